// The compression dialog on the offscreen platform: filled from real files
// and folders, drops delivered as drop events carrying file URLs.
#include "fixture.h"
#include "layoutcheck.h"

#include <QTest>
#include <QUrl>
#include <unistd.h>

namespace kinaru::testing {
namespace {

QStringList shownItems(const QListWidget* list) {
    QStringList texts;
    for (int row = 0; row < list->count(); ++row) texts << list->item(row)->text();
    return texts;
}

std::vector<std::string> candidates(const QComboBox* box) {
    std::vector<std::string> result;
    for (int i = 0; i < box->count(); ++i) result.push_back(box->itemData(i).toByteArray().toStdString());
    return result;
}

// Drags the data onto the dialog and drops it, as the window system does.
void dropOn(QWidget* target, QMimeData* data) {
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &enter);
    ASSERT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &drop);
}

void dropPaths(QWidget* target, const std::vector<std::string>& paths) {
    QList<QUrl> urls;
    for (const std::string& path : paths) urls << QUrl::fromLocalFile(QString::fromStdString(path));
    QMimeData data;
    data.setUrls(urls);
    dropOn(target, &data);
}

class CompressionDialog : public ProgramTest {
protected:
    CompressionDialog() {
        for (const char* folder : {"data", "data/photos", "data/notes.old", "data/ro.dir", "data/sub", "out"})
            ::mkdir((files / folder).c_str(), 0755);
        for (const char* file : {"data/report.txt", "data/README", "data/x.txt", "data/x.doc", "data/sub/deep.txt"})
            writeFile(files / file, "content");
        ::chmod((files / "data/ro.dir").c_str(), 0555);
    }

    // Starts in compression mode with these items and output folder, and
    // shows the dialog.
    void show(std::vector<std::string> items, const std::string& outputFolder, int method = 0) {
        start(std::move(items));
        Form1->Dir_Dst->SetDirectory(outputFolder);
        Form1->CompressVer->setCurrentIndex(method);
        context->settings = Form1->settings();
        startup->chooseMode();
        ASSERT_TRUE(Form2->isVisible());
    }

    TempDir files;
};

TEST_F(CompressionDialog, FilesAndFoldersBecomeEntriesCandidatesAndTheTopFolder) {
    show({files / "data/report.txt", files / "data/photos", files / "data/notes.old", files / "data/ro.dir",
          files / "data/README"},
         files / "out");
    std::vector<std::string> entries = {"report.txt", "photos/*.*", "notes.old/*.*", "ro.dir", "README"};
    EXPECT_EQ(Form2->fileEntries(), entries);
    EXPECT_EQ(shownItems(Form2->files), QStringList({"report.txt", "photos/*.*", "notes.old/*.*", "ro.dir", "README"}));
    std::vector<std::string> expected = {files / "out/report.lzh", files / "out/photos.lzh",
                                         files / "out/notes.old.lzh", files / "out/ro.lzh", files / "out/README.lzh"};
    EXPECT_EQ(candidates(Form2->lzhfiles), expected);
    EXPECT_EQ(Form2->lzhfiles->currentIndex(), 0);
    EXPECT_EQ(Form2->archivePath(), files / "out/report.lzh");
    EXPECT_EQ(Form2->topDirText(), files / "data/");
    EXPECT_EQ(Form2->TopDir->text().toStdString(), files / "data/");
    EXPECT_TRUE(shell.errors.isEmpty());
}

TEST_F(CompressionDialog, RootOutputFolder) {
    show({files / "data/report.txt", files / "data/photos"}, "/");
    std::vector<std::string> expected = {"/report.lzh", "/photos.lzh"};
    EXPECT_EQ(candidates(Form2->lzhfiles), expected);
}

TEST_F(CompressionDialog, CaptionCarriesTheMethod) {
    struct Case {
        int method;
        QString caption;
    } cases[] = {
        {0, QStringLiteral("Kinaru - ﾌｧｲﾙ圧縮 - LH5")},
        {1, QStringLiteral("Kinaru - ﾌｧｲﾙ圧縮 - LH6")},
        {2, QStringLiteral("Kinaru - ﾌｧｲﾙ圧縮 - LH7")},
        {-1, QStringLiteral("Kinaru - ﾌｧｲﾙ圧縮")},
    };
    for (const Case& c : cases) {
        startup.reset();
        show({files / "data/x.txt"}, files / "out", c.method);
        EXPECT_EQ(Form2->windowTitle(), c.caption);
    }
}

TEST_F(CompressionDialog, RepeatedItemsAreListedEachTimeWithOneCandidate) {
    show({files / "data/x.txt", files / "data/x.doc", files / "data/x.txt", files / "data/X.TXT"}, files / "out");
    std::vector<std::string> entries = {"x.txt", "x.doc", "x.txt", "X.TXT"};
    EXPECT_EQ(Form2->fileEntries(), entries);
    std::vector<std::string> expected = {files / "out/x.lzh"};
    EXPECT_EQ(candidates(Form2->lzhfiles), expected);
}

TEST_F(CompressionDialog, ShortestFolderPartBecomesTheTopFolder) {
    show({files / "data/sub/deep.txt", files / "data/x.txt"}, files / "out");
    EXPECT_EQ(Form2->topDirText(), files / "data/");
    std::vector<std::string> entries = {"sub/deep.txt", "x.txt"};
    EXPECT_EQ(Form2->fileEntries(), entries);
}

// The settings load makes the output folder the current one; the items
// still name what was chosen where the program started.
TEST_F(CompressionDialog, RelativeItemsNameFilesOfTheStartFolder) {
    writeFile(files / "out/x.txt", "a namesake");
    ASSERT_EQ(::chdir((files / "data").c_str()), 0);
    show({"x.txt", ".", "sub/"}, files / "out");
    std::vector<std::string> entries = {"data/x.txt", "data/*.*", "data/sub/*.*"};
    EXPECT_EQ(Form2->fileEntries(), entries);
    EXPECT_EQ(Form2->topDirText(), files.path() + "/");
    std::vector<std::string> expected = {files / "out/x.lzh", files / "out/data.lzh", files / "out/sub.lzh"};
    EXPECT_EQ(candidates(Form2->lzhfiles), expected);
}

TEST_F(CompressionDialog, MissingItemsAndOddNamesAreListedAsSpelt) {
    std::vector<std::string> names = {"a b.txt", "new\nline.txt", "q\"uote.txt", "bad\xff.txt", "報告.doc"};
    for (const std::string& name : names) writeFile(files / ("data/" + name), "");
    std::vector<std::string> items;
    for (const std::string& name : names) items.push_back(files / ("data/" + name));
    items.push_back(files / "data/missing.txt");
    items.push_back(files / "data/gone/at/all");
    show(items, files / "out");
    std::vector<std::string> entries = names;
    entries.push_back("missing.txt");
    entries.push_back("gone/at/all");
    EXPECT_EQ(Form2->fileEntries(), entries);
    EXPECT_EQ(Form2->topDirText(), files / "data/");
    // Invalid bytes survive in the candidate the run takes.
    Form2->lzhfiles->setCurrentIndex(3);
    EXPECT_EQ(Form2->archivePath(), files / "out/bad\xff.lzh");
}

TEST_F(CompressionDialog, DropsBelowTheTopFolderAreAddedInOrderWithoutDuplicates) {
    ::mkdir((files / "Work").c_str(), 0755);
    ::mkdir((files / "Work/Docs").c_str(), 0755);
    ::mkdir((files / "Work/Pics").c_str(), 0755);
    ::mkdir((files / "WORK").c_str(), 0755);
    ::mkdir((files / "Workshop").c_str(), 0755);
    ::symlink("Work", (files / "work").c_str());
    writeFile(files / "Work/a.txt", "");
    show({files / "Work/a.txt"}, files / "out");
    std::vector<std::string> candidatesBefore = candidates(Form2->lzhfiles);

    dropPaths(Form2, {files / "Work/Docs/n.txt", files / "Work/Pics", files / "Workshop/n.txt", files / "n.txt",
                      files / "WORK/other.txt", files / "work/via-link.txt", files / "Work/A.TXT",
                      files / "Work/docs/N.TXT", files / "Work/Docs/n.txt"});
    std::vector<std::string> entries = {"a.txt", "Docs/n.txt", "Pics/*.*", "via-link.txt"};
    EXPECT_EQ(Form2->fileEntries(), entries);
    EXPECT_EQ(Form2->topDirText(), files / "Work/") << "drops never move the top folder";
    EXPECT_EQ(candidates(Form2->lzhfiles), candidatesBefore) << "nor add candidates";
}

TEST_F(CompressionDialog, DropOnAChildReachesTheDialog) {
    show({files / "data/x.txt"}, files / "out");
    Form2->SetOuterHeight(272);
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(QString::fromStdString(files / "data/README"))});
    // A drag over the list or the boxes is the dialog's: none of them takes it.
    for (QWidget* child : {static_cast<QWidget*>(Form2->files), static_cast<QWidget*>(Form2->TopDir),
                           static_cast<QWidget*>(Form2->lzhfiles->lineEdit())})
        EXPECT_FALSE(child->acceptDrops());
    dropOn(Form2, &data);
    EXPECT_EQ(Form2->fileEntries().back(), "README");
}

TEST_F(CompressionDialog, BadDropsChangeNothing) {
    show({files / "data/x.txt"}, files / "out");
    QMimeData empty;
    empty.setData("text/uri-list", "");
    dropOn(Form2, &empty);
    QMimeData remote;
    remote.setData("text/uri-list", "http://example.org/data/x\r\nfile://elsewhere/x\r\n");
    dropOn(Form2, &remote);
    // Ten thousand paths outside the top folder are passed over quickly.
    std::vector<std::string> outside;
    for (int i = 0; i < 10000; ++i) outside.push_back(files / ("elsewhere/" + std::to_string(i) + ".txt"));
    QElapsedTimer timer;
    timer.start();
    dropPaths(Form2, outside);
    EXPECT_LT(timer.elapsed(), 5000);
    EXPECT_EQ(Form2->fileEntries(), std::vector<std::string>{"x.txt"});
    EXPECT_TRUE(shell.errors.isEmpty());
}

TEST_F(CompressionDialog, DroppedNamesKeepTheirBytes) {
    writeFile(files / "data/bad\xfe.txt", "");
    writeFile(files / "data/bad\xff.txt", "");
    writeFile(files / "data/new\nline.txt", "");
    show({files / "data/x.txt", files / "data/bad\xff.txt"}, files / "out");
    QMimeData data;
    data.setData("text/uri-list", QByteArray::fromStdString("file://" + files.path() +
                                                            "/data/bad%FE.txt\r\nfile://" + files.path() +
                                                            "/data/new%0Aline.txt\r\n"));
    dropOn(Form2, &data);
    // Differing from a listed name only in an invalid byte, it is no duplicate.
    std::vector<std::string> entries = {"x.txt", "bad\xff.txt", "bad\xfe.txt", "new\nline.txt"};
    EXPECT_EQ(Form2->fileEntries(), entries);
}

// Folders deeper than 255 bytes are ordinary here: the top folder is set from
// them and dropped names below them are kept whole.
TEST_F(CompressionDialog, LongFolderPartsAndLongDroppedNames) {
    std::string deep = files / "data";
    for (int level = 0; level < 6; ++level) {
        deep += "/" + std::string(60, char('a' + level));
        ::mkdir(deep.c_str(), 0755);
    }
    std::string longName(200, 'n');
    writeFile(deep + "/x.txt", "");
    ::mkdir((deep + "/" + longName).c_str(), 0755);
    writeFile(deep + "/" + longName + "/" + longName + ".txt", "");
    show({deep + "/x.txt"}, files / "out");
    ASSERT_GT(deep.size(), 255u);
    EXPECT_EQ(Form2->topDirText(), deep + "/");
    dropPaths(Form2, {deep + "/" + longName + "/" + longName + ".txt", deep + "/" + longName});
    std::vector<std::string> entries = {"x.txt", longName + "/" + longName + ".txt", longName + "/*.*"};
    EXPECT_EQ(Form2->fileEntries(), entries);
}

TEST_F(CompressionDialog, SelfExtractorOptions) {
    show({files / "data/x.txt"}, files / "out", 2);
    EXPECT_FALSE(Form2->WinSFX->isEnabled());
    Form2->SelfExt->click();
    EXPECT_TRUE(Form2->WinSFX->isEnabled());
    EXPECT_TRUE(Form2->WinSFX->isChecked()) << "LH7 ticks the window type";
    Form2->WinSFX->click();
    EXPECT_TRUE(Form2->WinSFX->isChecked()) << "and keeps it ticked";
    Form2->SelfExt->click();
    EXPECT_FALSE(Form2->WinSFX->isEnabled());
    EXPECT_TRUE(Form2->WinSFX->isChecked()) << "unticking leaves the tick";

    context->settings.method = Method::LH6;
    Form2->WinSFX->setChecked(false);
    Form2->SelfExt->click();
    EXPECT_TRUE(Form2->WinSFX->isEnabled());
    EXPECT_FALSE(Form2->WinSFX->isChecked()) << "LH6 only enables it";
    Form2->WinSFX->click();
    EXPECT_TRUE(Form2->WinSFX->isChecked());
    Form2->WinSFX->click();
    EXPECT_FALSE(Form2->WinSFX->isChecked());
}

TEST_F(CompressionDialog, ExpandTogglesTheHeight) {
    show({files / "data/x.txt"}, files / "out");
    EXPECT_EQ(Form2->OuterHeight(), 53);
    EXPECT_FALSE(Form2->Expand->isChecked());
    Form2->Expand->click();
    EXPECT_EQ(Form2->OuterHeight(), 272);
    Form2->Expand->click();
    EXPECT_EQ(Form2->OuterHeight(), 53);
}

TEST_F(CompressionDialog, FolderButtonOpensTheTopFolder) {
    show({files / "data/x.txt"}, files / "out");
    Form2->SpeedButton1->click();
    EXPECT_EQ(shell.openedFolders, std::vector<std::string>{files / "data/"});
}

// Keys go to the shown, active dialog as a person's would.
TEST_F(CompressionDialog, TypedNameStaysAndEnterStartsOnlyFromTheNameBoxOrTheButton) {
    writeFile(files / "data/Report.txt", "");
    show({files / "data/Report.txt"}, files / "out");
    Form2->Expand->click();  // the list and the options take focus only when shown
    Form2->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(Form2));
    QObject::disconnect(Form2->Compress, &QPushButton::clicked, Form2, nullptr);
    int pressed = 0;
    QObject::connect(Form2->Compress, &QPushButton::clicked, [&pressed] { ++pressed; });
    struct Case {
        QWidget* focus;
        Qt::Key key;
        int presses;
    } cases[] = {
        {Form2->files, Qt::Key_Return, 0},  {Form2->TopDir, Qt::Key_Return, 0}, {Form2->SelfExt, Qt::Key_Enter, 0},
        {Form2->Compress, Qt::Key_Return, 1}, {Form2->lzhfiles, Qt::Key_Return, 1}, {Form2->lzhfiles, Qt::Key_Enter, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.focus->metaObject()->className());
        pressed = 0;
        c.focus->setFocus();
        QTest::keyClick(QApplication::focusWidget(), c.key);
        EXPECT_EQ(pressed, c.presses);
    }
    Form2->lzhfiles->lineEdit()->clear();
    Form2->lzhfiles->setFocus();
    QTest::keyClicks(QApplication::focusWidget(), QString::fromStdString(files / "out/report.lzh"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(Form2->archivePath(), files / "out/report.lzh") << "not the candidate out/Report.lzh";
    EXPECT_EQ(Form2->lzhfiles->count(), 1) << "Enter adds no item";
}

TEST_F(CompressionDialog, ArchivePathSetByTheRunKeepsItsBytes) {
    show({files / "data/x.txt"}, files / "out");
    Form2->setArchivePath("/out/bad\xff.exe");
    EXPECT_EQ(Form2->archivePath(), "/out/bad\xff.exe");
    Form2->lzhfiles->setCurrentIndex(0);
    EXPECT_EQ(Form2->archivePath(), files / "out/x.lzh");
}

TEST_F(CompressionDialog, CommandsFromTheSettingsAndTheItemList) {
    show({files / "data/report.txt", files / "data/photos"}, files / "out", 2);
    context->settings.showProgress = false;
    context->settings.folderNames = true;
    std::string out = files / "out/";
    EXPECT_EQ(archiveCommand(Form2->commandSwitches("/my work/"), Form2->archivePath(), Form2->fileEntries()),
              "a -n1 -x1 -w\"/my work/\" -jm4 -r2 -a2  \"" + out + "report.lzh\"  \"report.txt\" \"photos/*.*\"");
    Form2->SelfExt->click();
    EXPECT_EQ(Form2->buildSelfExtractorCommand("/tmp/", "/tmp/12090507.lzh"),
              "s -n1 -x1 -w/tmp/ -jm4  -a2 -gu1 -ji0 -gw4  \"/tmp/12090507.lzh\"");
}

TEST_F(CompressionDialog, ListRowsFitTheFontAndAreNeverBelowTwelvePixels) {
    show({files / "data/x.txt", files / "data/README"}, files / "out");
    int row = Form2->files->visualItemRect(Form2->files->item(1)).height();
    EXPECT_GE(row, std::max(12, Form2->files->fontMetrics().height()));
    QStyleOptionViewItem option;
    option.fontMetrics = Form2->lzhfiles->fontMetrics();
    EXPECT_GE(Form2->lzhfiles->itemDelegate()->sizeHint(option, Form2->lzhfiles->model()->index(0, 0)).height(),
              std::max(12, Form2->lzhfiles->fontMetrics().height()));
}

TEST_F(CompressionDialog, LaidOutCleanlyWithItsTexts) {
    start();
    Form2->Expand->click();
    EXPECT_EQ(layoutProblems(Form2), QStringList{});
    EXPECT_EQ(layoutProblems(Form3), QStringList{});
    EXPECT_EQ(Form2->Label1->text(), QStringLiteral("出力"));
    EXPECT_EQ(Form2->Label5->text(), QStringLiteral("TOP"));
    EXPECT_EQ(Form2->Compress->text(), QStringLiteral("圧縮"));
    EXPECT_EQ(Form2->Panel3->text(), QStringLiteral("ｵﾌﾟｼｮﾝ"));
    EXPECT_EQ(Form2->SelfExt->text(), QStringLiteral("自動解凍書庫化"));
    EXPECT_EQ(Form2->WinSFX->text(), QStringLiteral("WinSFX"));
    EXPECT_EQ(Form2->Expand->toolTip(), QStringLiteral("このﾎﾞﾀﾝを押すと、細かい設定等ができます。"));
    EXPECT_EQ(Form2->windowTitle(), QStringLiteral("Kinaru - ﾌｧｲﾙ圧縮"));
    EXPECT_TRUE(Form2->TopDir->isReadOnly());
    EXPECT_FALSE(Form2->windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint));
    EXPECT_FALSE(Form2->topFolder().has_value()) << "unset until filled";

    // Tab order: Compress, lzhfiles, TopDir, files, SelfExt, WinSFX.
    std::vector<QWidget*> expected = {Form2->Compress, Form2->lzhfiles, Form2->TopDir,
                                      Form2->files,    Form2->SelfExt,  Form2->WinSFX};
    std::vector<QWidget*> order;
    QWidget* at = Form2->Compress;
    for (int guardSteps = 0; guardSteps < 100 && order.size() < expected.size(); ++guardSteps) {
        if (std::find(expected.begin(), expected.end(), at) != expected.end() &&
            std::find(order.begin(), order.end(), at) == order.end())
            order.push_back(at);
        at = at->nextInFocusChain();
    }
    EXPECT_EQ(order, expected);
}

}  // namespace
}  // namespace kinaru::testing
