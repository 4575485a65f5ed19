// The compression dialog on the offscreen platform: filled from real files
// and folders, drops delivered as drop events carrying file URLs.
#include "core/commandlines.h"
#include "fixture.h"

#include <QTest>
#include <QUrl>
#include <unistd.h>

namespace kinaru::testing {
namespace {

std::vector<std::string> candidates(const QComboBox* box) {
    std::vector<std::string> result;
    for (int i = 0; i < box->count(); ++i) result.push_back(box->itemData(i).toByteArray().toStdString());
    return result;
}

// Drags the data onto the dialog and drops it, as the window system does.
void dropOn(QWidget* target, const QByteArray& uriList) {
    QMimeData data;
    data.setData("text/uri-list", uriList);
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &enter);
    ASSERT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &drop);
}

class CompressionDialog : public ProgramTest {
protected:
    CompressionDialog() {
        for (const char* folder : {"data", "data/photos", "data/sub", "out"}) ::mkdir((files / folder).c_str(), 0755);
        for (const char* file : {"data/report.txt", "data/x.txt", "data/x.doc"}) writeFile(files / file, "content");
    }

    // Starts in compression mode with these items and shows the dialog.
    void show(std::vector<std::string> items, int method = 0) {
        start(std::move(items));
        Form1->Dir_Dst->SetDirectory(files / "out");
        Form1->CompressVer->setCurrentIndex(method);
        context->settings = Form1->settings();
        startup->chooseMode();
        ASSERT_TRUE(Form2->isVisible());
    }

    TempDir files;
};

// Relative items name files of the folder the program started in, although
// the settings load makes the output folder the current one.
TEST_F(CompressionDialog, ItemsBecomeEntriesCandidatesAndTheTopFolder) {
    const std::string data = files / "data/", out = files / "out/";
    writeFile(out + "x.txt", "a namesake");
    struct Case {
        std::vector<std::string> items, entries, candidates;
        std::string top;
        // clang-format off
    } cases[] = {
        {{data + "x.txt", data + "x.doc", data + "x.txt", data + "X.TXT"}, {"x.txt", "x.doc", "x.txt", "X.TXT"},
         {out + "x.lzh"}, data},
        {{"x.txt", ".", "sub/"}, {"data/x.txt", "data/*.*", "data/sub/*.*"},
         {out + "x.lzh", out + "data.lzh", out + "sub.lzh"}, files.path() + "/"},
    };
    // clang-format on
    for (const Case& c : cases) {
        ASSERT_EQ(::chdir(data.c_str()), 0);
        show(c.items);
        EXPECT_EQ(Form2->fileEntries(), c.entries);
        EXPECT_EQ(Form2->files->item(0)->text().toStdString(), c.entries[0]);
        EXPECT_EQ(candidates(Form2->lzhfiles), c.candidates);
        EXPECT_EQ(Form2->archivePath(), c.candidates[0]);
        EXPECT_EQ(Form2->TopDir->text().toStdString(), c.top);
    }
}

// Drops below the top folder are added in order, each once, keeping their
// bytes; others are passed over. They never move the top folder nor add
// candidates, and a drop on a child control reaches the dialog.
TEST_F(CompressionDialog, DropsBelowTheTopFolderAreAddedOnce) {
    for (const char* folder : {"Work", "Work/Docs", "Work/Pics"}) ::mkdir((files / folder).c_str(), 0755);
    writeFile(files / "Work/a.txt", "");
    writeFile(files / "Work/bad\xff.txt", "");
    show({files / "Work/a.txt", files / "Work/bad\xff.txt"});
    std::vector<std::string> candidatesBefore = candidates(Form2->lzhfiles);
    QByteArray uris;
    for (const char* path : {"Work/Docs/n.txt", "Work/Pics", "n.txt", "Work/A.TXT", "Work/docs/N.TXT",
                             "Work/Docs/n.txt", "Work/bad%FE.txt", "Work/new%0Aline.txt"})
        uris += QUrl::fromLocalFile(QString::fromStdString(files.path() + "/")).toEncoded() + path + "\r\n";
    for (QWidget* child : {static_cast<QWidget*>(Form2->files), static_cast<QWidget*>(Form2->lzhfiles->lineEdit())})
        EXPECT_FALSE(child->acceptDrops()) << "the drop is the dialog's";
    dropOn(Form2, uris);
    std::vector<std::string> entries = {"a.txt",    "bad\xff.txt", "Docs/n.txt",
                                        "Pics/*.*", "bad\xfe.txt", "new\nline.txt"};
    EXPECT_EQ(Form2->fileEntries(), entries);
    EXPECT_EQ(Form2->TopDir->text().toStdString(), files / "Work/");
    EXPECT_EQ(candidates(Form2->lzhfiles), candidatesBefore);
}

// Keys go to the shown, active dialog as a person's would.
TEST_F(CompressionDialog, TypedNameStaysAndEnterStartsOnlyFromTheNameBoxOrTheButton) {
    writeFile(files / "data/Report.txt", "");
    show({files / "data/Report.txt"});
    Form2->Expand->click();  // the list and the options take focus only when shown
    Form2->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(Form2));
    QObject::disconnect(Form2->Compress, &QPushButton::clicked, Form2, nullptr);
    int pressed = 0;
    QObject::connect(Form2->Compress, &QPushButton::clicked, [&pressed] { ++pressed; });
    const std::tuple<QWidget*, Qt::Key, int> cases[] = {
        {Form2->files, Qt::Key_Return, 0},    {Form2->TopDir, Qt::Key_Return, 0},   {Form2->SelfExt, Qt::Key_Enter, 0},
        {Form2->Compress, Qt::Key_Return, 1}, {Form2->lzhfiles, Qt::Key_Return, 1}, {Form2->lzhfiles, Qt::Key_Enter, 1},
    };
    for (auto [focus, key, presses] : cases) {
        pressed = 0;
        focus->setFocus();
        QTest::keyClick(QApplication::focusWidget(), key);
        EXPECT_EQ(pressed, presses) << focus->metaObject()->className();
    }
    // Tab goes round in the designed order, ▼ last.
    std::vector<QWidget*> order;
    Form2->Compress->setFocus();
    do {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        order.push_back(QApplication::focusWidget());
    } while (order.back() != Form2->Compress && order.size() < 10);
    EXPECT_EQ(order, (std::vector<QWidget*>{Form2->lzhfiles, Form2->TopDir, Form2->files, Form2->SelfExt, Form2->Expand,
                                            Form2->Compress}));
    Form2->lzhfiles->lineEdit()->clear();
    Form2->lzhfiles->setFocus();
    QTest::keyClicks(QApplication::focusWidget(), QString::fromStdString(files / "out/report.lzh"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(Form2->archivePath(), files / "out/report.lzh") << "not the candidate out/Report.lzh";
    EXPECT_EQ(Form2->lzhfiles->count(), 1) << "Enter adds no item";
}

// LH7 ticks the self-extractor's window type and keeps it ticked.
TEST_F(CompressionDialog, CommandsFromTheSettingsTheItemListAndTheWindowType) {
    show({files / "data/report.txt", files / "data/photos"}, 2);
    context->settings.showProgress = false;
    context->settings.folderNames = true;
    EXPECT_EQ(archiveCommand(Form2->commandSwitches("/my work/"), Form2->archivePath(), Form2->fileEntries()),
              "a -n1 -x1 -w\"/my work/\" -jm4 -r2 -a2  \"" + files / "out/report.lzh\"  \"report.txt\" \"photos/*.*\"");
    EXPECT_FALSE(Form2->WinSFX->isEnabled());
    Form2->SelfExt->click();
    EXPECT_TRUE(Form2->WinSFX->isEnabled() && Form2->WinSFX->isChecked());
    Form2->WinSFX->click();
    EXPECT_TRUE(Form2->WinSFX->isChecked());
    EXPECT_EQ(Form2->buildSelfExtractorCommand("/tmp/", "/tmp/1.lzh"),
              "s -n1 -x1 -w/tmp/ -jm4  -a2 -gu1 -ji0 -gw4  \"/tmp/1.lzh\"");
    Form2->SelfExt->click();
    EXPECT_FALSE(Form2->WinSFX->isEnabled());
    // A name the run sets keeps its bytes until a candidate is chosen.
    Form2->setArchivePath("/out/bad\xff.exe");
    EXPECT_EQ(Form2->archivePath(), "/out/bad\xff.exe");
    Form2->lzhfiles->setCurrentIndex(0);
    EXPECT_EQ(Form2->archivePath(), files / "out/report.lzh");
}

// The archiver command lines are a wire format: every case compares bytes.
TEST(CommandLines, ByteForByte) {
    auto archive = [](CommandSwitches switches, std::vector<std::string> items) {
        return archiveCommand(switches, "/o/x.lzh", items);
    };
    auto sfx = [](std::optional<Method> method, bool window) {
        return selfExtractorCommand({true, true, "/my dir/", method}, window, "/t/1.lzh");
    };
    // clang-format off
    const std::pair<std::string, std::string> cases[] = {
        {archive({true, true, "/tmp/", Method::LH5}, {"report.doc", "images/*.*"}),
         "a -n0 -x1 -w/tmp/ -jm2 -r2 -a2  \"/o/x.lzh\"  \"report.doc\" \"images/*.*\""},
        {archive({false, false, "/work", Method::LH6}, {"a"}), "a -n1 -x0 -w/work -jm3 -r2 -a2  \"/o/x.lzh\"  \"a\""},
        {archive({true, false, "", Method::LH7}, {"a"}), "a -n0 -x0 -w -jm4 -r2 -a2  \"/o/x.lzh\"  \"a\""},
        {archive({true, true, "/tmp/", std::nullopt}, {}), "a -n0 -x1 -w/tmp/ -r2 -a2  \"/o/x.lzh\" "},
        // A work folder with blanks would split into several words.
        {archive({true, true, "/my\tdir/", Method::LH5}, {"a"}),
         "a -n0 -x1 -w\"/my\tdir/\" -jm2 -r2 -a2  \"/o/x.lzh\"  \"a\""},
        // Names are copied as they are: nothing escaped, doubled or decoded.
        {archive({true, true, "/t/", Method::LH5}, {"a b", "q\"q", "報告\xff", "a"}),
         "a -n0 -x1 -w/t/ -jm2 -r2 -a2  \"/o/x.lzh\"  \"a b\" \"q\"q\" \"報告\xff\" \"a\""},
        {sfx(Method::LH5, true), "s -n0 -x1 -w\"/my dir/\" -jm2  -a2 -gu1 -ji0 -gw2  \"/t/1.lzh\""},
        {sfx(Method::LH6, true), "s -n0 -x1 -w\"/my dir/\" -jm3  -a2 -gu1 -ji0 -gw2  \"/t/1.lzh\""},
        {sfx(Method::LH7, true), "s -n0 -x1 -w\"/my dir/\" -jm4  -a2 -gu1 -ji0 -gw4  \"/t/1.lzh\""},
        {sfx(Method::LH7, false), "s -n0 -x1 -w\"/my dir/\" -jm4  -a2 -gu1 -ji1  \"/t/1.lzh\""},
        {sfx(std::nullopt, true), "s -n0 -x1 -w\"/my dir/\"  -a2 -gu1 -ji0 -gw2  \"/t/1.lzh\""},
    };
    // clang-format on
    for (const auto& [made, expected] : cases) EXPECT_EQ(made, expected);
}

}  // namespace
}  // namespace kinaru::testing
