// The settings dialog as a user meets it: its layout, its file, the reset,
// its buttons and the output drive's free space.
#include "dialogs/drivelist.h"
#include "dialogs/gauge.h"
#include "dialogs/panelbutton.h"
#include "core/webpages.h"
#include "fixture.h"
#include "layoutcheck.h"

#include <QAccessible>
#include <QTest>
#include <functional>
#include <map>

namespace kinaru::testing {
namespace {

constexpr std::int64_t kMiB = 1048576, kGiB = 1024 * kMiB, kTiB = 1024 * kGiB;

QString freeText(std::int64_t kilobytes) { return QString::number(kilobytes) + QStringLiteral("k ﾊﾞｲﾄの空き"); }

// Folders under a temporary folder pose as mount points, with sizes no disk
// on this machine would give; -1 is a size that cannot be asked.
class SettingsDialog : public ProgramTest, public Volumes {
protected:
    // clang-format off
    SettingsDialog() {
        for (const char* name : {"big", "full", "odd"}) ::mkdir((mounts / name).c_str(), 0755);
        sizes = {{"/", {100 * kGiB, 50 * kGiB}}, {big, {8 * kTiB, 3 * kTiB}}, {full, {kGiB, 0}},
                      {missing, {-1, -1}},  // a drive without a medium: nothing to enter
                      {odd, {kGiB, kGiB}}};
        volumes = this;
    }
    // clang-format on
    std::vector<Volume> mounted() const override {
        std::vector<Volume> roots;
        for (const auto& entry : sizes) roots.push_back({entry.first, ""});
        return roots;
    }
    std::int64_t totalBytes(const std::string& root) const override { return sizes.at(root)[0]; }
    std::int64_t freeBytes(const std::string& root) const override { return sizes.at(root)[1]; }

    // The user picks the volume on root in the drive selector, or leaves it.
    static void choose(const std::string& root) {
        int index = Form1->Drive_Dst->findData(QByteArray::fromStdString(root));
        ASSERT_GE(index, 0) << root;
        Form1->Drive_Dst->setCurrentIndex(index);
    }
    static void leaveSelector(Qt::FocusReason reason = Qt::TabFocusReason) {
        QFocusEvent leave(QEvent::FocusOut, reason);
        QApplication::sendEvent(Form1->Drive_Dst, &leave);
    }
    void expectDrive(const std::string& root, const QString& free, int percent) {
        EXPECT_EQ(Form1->Drive_Dst->Drive(), root);
        EXPECT_EQ(Form1->DistStr->text(), free);
        EXPECT_EQ(Form1->DistDrive->PercentDone(), percent);
        EXPECT_EQ(Form1->DistDrive->value(), percent);
    }

    TempDir mounts;
    const std::string big = mounts / "big", full = mounts / "full", missing = mounts / "missing", odd = mounts / "odd";
    std::map<std::string, std::array<std::int64_t, 2>> sizes;  // total, free
};

TEST_F(SettingsDialog, EveryDialogIsLaidOutCleanlyInTheFontInUse) {
    start();
    Form2->Expand->click();
    for (QWidget* dialog : {static_cast<QWidget*>(Form1), static_cast<QWidget*>(Form2), static_cast<QWidget*>(Form3)})
        EXPECT_EQ(layoutProblems(dialog), QStringList{});
    EXPECT_EQ(Form1->UnlhaVer->geometry(), QRect(144, 68, 101, 20)) << "at its place, the label whole before it";
    // A screen reader names every control a person can reach or read; a
    // combo box's own edit and drop-down list go by the combo box's name.
    auto control = [](QWidget* w) {
        return qobject_cast<QAbstractButton*>(w) || qobject_cast<QLineEdit*>(w) || qobject_cast<QComboBox*>(w) ||
               qobject_cast<QAbstractItemView*>(w) || qobject_cast<QProgressBar*>(w);
    };
    for (QWidget* dialog : {static_cast<QWidget*>(Form1), static_cast<QWidget*>(Form2), static_cast<QWidget*>(Form3)})
        for (QWidget* w : dialog->findChildren<QWidget*>())
            if (control(w) && w->window() == dialog && !qobject_cast<QComboBox*>(w->parentWidget()))
                EXPECT_FALSE(QAccessible::queryAccessibleInterface(w)->text(QAccessible::Name).isEmpty())
                    << dialog->metaObject()->className() << " " << w->metaObject()->className() << " at " << w->x()
                    << "," << w->y();
    // List rows fit the font and never fall below twelve pixels.
    Form2->files->addItem("x");
    EXPECT_GE(Form2->files->visualItemRect(Form2->files->item(0)).height(),
              std::max(12, Form2->files->fontMetrics().height()));
}

// Save stores what the controls hold; cancel leaves the file byte for byte.
// Either ends the program.
TEST_F(SettingsDialog, SaveStoresTheControlsAndCancelNothing) {
    const std::string before = "; mine\r\n[SETTING]\r\nCOMPVER=2\r\nOPENDIST=yes\r\n";
    for (bool save : {false, true}) {
        writeFile(iniPath(), save ? "" : before);
        start();
        QTimer::singleShot(0, [save] {
            Form1->oOpenDist->setChecked(true);
            Form1->rAdd->click();
            Form1->CompressVer->setCurrentIndex(2);
            Form1->UseDefault->click();
            Form1->WorkDirectory->setText("/work/");
            (save ? Form1->Button2 : Form1->Button3)->click();
        });
        EXPECT_EQ(startup->run(), 0);
        EXPECT_TRUE(startup->mainWindowClosed());
        EXPECT_EQ(readFile(iniPath()), save ? normalForm(exeDir.path(), "/work/", {1, 2, 1, 1, 1, 0}) : before);
    }
}

// Confirmed, the reset shows and stores every default, unless the file cannot
// be written (read-only, or in a read-only folder): the reset is no way round
// that, the file stays and the failed store is reported.
TEST_F(SettingsDialog, ResetShowsAndStoresEveryDefaultOnlyWhenConfirmed) {
    const std::string before = "; old\n[MAIN]\nLEFT=150\n[SETTING]\nDISTDIR=" + big +
                               "\nWORKDIR=/w/\nSAMEFILE=0\nCOMPVER=2\nOPENDIST=1\nDEFAULT=0\n";
    const std::string defaults = normalForm(exeDir.path(), "", kDefaultFlags);
    enum { No, Yes, ReadOnlyFile, ReadOnlyFolder };
    for (int answer : {No, Yes, ReadOnlyFile, ReadOnlyFolder}) {
        SCOPED_TRACE(answer);
        writeFile(iniPath(), before);
        if (answer == ReadOnlyFile) ::chmod(iniPath().c_str(), 0444);
        if (answer == ReadOnlyFolder) ::chmod(exeDir.path().c_str(), 0555);
        start();
        Form1->showForm();
        shell.yesNoAnswers = {answer != No};
        Form1->Button4->click();
        const bool stored = answer == Yes;
        EXPECT_EQ(shell.questions, QStringList{"設定を初期化します。よろしいですか？"});
        EXPECT_EQ(shell.messages, stored ? QStringList{"設定を初期化しました。"} : QStringList{});
        EXPECT_EQ(shell.errors.join(""), answer > Yes ? QString::fromStdString(iniPath()) + " に書き込めません." : "");
        EXPECT_EQ(readFile(iniPath()), stored ? defaults : before) << "the old file and its comment are gone";
        if (answer <= Yes) {
            EXPECT_EQ(Form1->Left(), stored ? 10 : 150);
            EXPECT_EQ(Form1->Dir_Dst->Directory(), stored ? exeDir.path() : big);
            EXPECT_EQ(Form1->WorkDirectory->isEnabled(), !stored) << "the default work folder is in use";
        }
        EXPECT_TRUE(Form1->isVisible());
        Form1->Button3->click();
        EXPECT_EQ(readFile(iniPath()), stored ? defaults : before) << "cancel afterwards keeps the reset";
        ::chmod(exeDir.path().c_str(), 0755);
        ::chmod(iniPath().c_str(), 0644);
        for (QStringList* shown : {&shell.questions, &shell.messages, &shell.errors}) shown->clear();
    }
}

// A file written by hand keeps its own layout; the normal form is what a
// store into a fresh file gives.
TEST_F(SettingsDialog, LoadThenStoreBringsTheFileIntoNormalForm) {
    TempDir out;
    const std::string exe = exeDir.path();
    const std::pair<std::string, std::string> cases[] = {
        {"DISTDIR=\n", normalForm(startFolder, "", kDefaultFlags, 32)},  // the folder shown at start stays
        {"", normalForm(exe, "", kDefaultFlags, 32)},
        {"VIEWINFO=2\nDIRENABLE=yes\nOPENDIST=5\nDEFAULT=0\n", normalForm(exe, "", {2, 0, 1, 1, 1, 0}, 32)},
        {"SAMEFILE=7\n", normalForm(exe, "", kDefaultFlags, 32)},  // an unknown policy keeps the one in force
        {"SAMEFILE=1\nCOMPVER=2\n", normalForm(exe, "", {1, 2, 1, 1, 0, 1}, 32)},
        {"COMPVER=5\n", normalForm(exe, "", {2, -1, 1, 1, 0, 1}, 32)},  // no method at all
        {"DISTDIR=" + out.path() + "/\n", normalForm(out.path(), "", kDefaultFlags, 32)},
        {"DISTDIR=/\n", normalForm("/", "", kDefaultFlags, 32)},
        {"WORKDIR=/tmp/ワーク フォルダ/\n", normalForm(exe, "/tmp/ワーク フォルダ/", kDefaultFlags, 32)},
        {"WORKDIR=" + std::string(1100, 'w') + "\n", normalForm(exe, std::string(1023, 'w'), kDefaultFlags, 32)},
    };
    for (const auto& [settings, expected] : cases) {
        SCOPED_TRACE(settings);
        writeFile(iniPath(), "[MAIN]\nLEFT=0x20\n[SETTING]\n" + settings);
        start();
        std::remove(iniPath().c_str());
        Form1->WriteIni();
        EXPECT_EQ(readFile(iniPath()), expected);
    }
}

TEST_F(SettingsDialog, WorkFolderFollowsUseDefaultAndBrowsingKeepsTheFinalSlash) {
    writeFile(iniPath(), "[SETTING]\nDEFAULT=0\nWORKDIR=/w/\n");
    start();
    const QColor window = QApplication::palette().color(QPalette::Base);
    const QColor buttonFace = QApplication::palette().color(QPalette::Button);
    for (bool useDefault : {true, false}) {
        Form1->UseDefault->click();
        EXPECT_EQ(Form1->WorkDirectory->isEnabled(), !useDefault);
        EXPECT_EQ(Form1->Button1->isEnabled(), !useDefault);
        EXPECT_EQ(Form1->WorkDirectory->palette().color(QPalette::Base), useDefault ? buttonFace : window);
        EXPECT_EQ(Form1->WorkDirectory->text(), "/w/") << "the edit keeps its text";
    }
    shell.fileAnswers = {exeDir / "temp/WORK", std::nullopt, std::string("/WORK")};
    Form1->Button1->click();
    EXPECT_EQ(Form1->WorkDirectory->text().toStdString(), exeDir / "temp/");
    Form1->Button1->click();  // cancelled
    EXPECT_EQ(Form1->WorkDirectory->text().toStdString(), exeDir / "temp/");
    Form1->Button1->click();
    EXPECT_EQ(Form1->WorkDirectory->text(), "/");
    // Enter in the edit opens nothing; on the focused button it browses.
    Form1->show();
    for (QWidget* focus : {static_cast<QWidget*>(Form1->WorkDirectory), static_cast<QWidget*>(Form1->Button1)}) {
        focus->setFocus();
        QTest::keyClick(focus, Qt::Key_Return);
    }
    EXPECT_EQ(shell.fileDialogs, std::vector<std::string>(4, "WORK"));
}

TEST_F(SettingsDialog, PanelButtonsOpenTheWebPagesAndTheHelp) {
    start();
    for (PanelButton* panel : {Form1->Panel2, Form1->Panel6, Form1->Panel5}) {
        QTest::mousePress(panel, Qt::LeftButton, Qt::NoModifier, QPoint(10, 10));
        QTest::mouseRelease(panel, Qt::LeftButton, Qt::NoModifier, QPoint(10, 10));
    }
    EXPECT_EQ(shell.openedUrls, QStringList({QString::fromStdString(makerHomePage()), QString::fromStdString(latestInformationPage())}));
    EXPECT_EQ(shell.openedDocuments, std::vector<std::string>{exeDir / "Kinaru.html"});
}

// A drive without a medium: the folder list cannot enter it and says so; once
// the selector is left (not for its own drop-down), the refresh finds nothing.
// Then sizes beyond 32 bits, rounding of mebibytes and kilobytes, odd reports.
TEST_F(SettingsDialog, DriveRefresh) {
    start();
    Form1->showForm();
    const QString before = Form1->DistStr->text();
    choose(missing);
    EXPECT_EQ(shell.errors, QStringList{"ﾌｧｲﾙが見つかりません."});
    leaveSelector(Qt::PopupFocusReason);
    EXPECT_EQ(Form1->DistStr->text(), before);
    leaveSelector();
    expectDrive(missing, "0k ﾊﾞｲﾄの空き", 0);
    EXPECT_EQ(Form1->Dir_Dst->Directory(), exeDir.path());
    shell.errors.clear();
    choose(odd);
    struct Case {
        std::int64_t total, free;
        int percent;
        std::int64_t kilobytes;
    } cases[] = {
        {100 * kMiB, 25 * kMiB, 75, 25600},
        {8 * kTiB, 3 * kTiB, 62, 3 * kTiB / 1024},
        {4 * kGiB + kMiB, 2 * kGiB, 50, 2097152},
        {kGiB, 1, 100, 0},                 // nearly full is not full: it stays
        {kMiB - 1, 1000, 0, 0},            // under a mebibyte: a gauge of nothing
        {10 * kMiB, 20 * kMiB, 0, 20480},  // more free than total: an empty gauge
        {-1, 5 * kMiB, 0, 5120},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.total) + " / " + std::to_string(c.free));
        sizes[odd] = {c.total, c.free};
        leaveSelector();
        expectDrive(odd, freeText(c.kilobytes), c.percent);
    }
    EXPECT_EQ(Form1->Dir_Dst->Directory(), odd);
    EXPECT_TRUE(shell.errors.isEmpty());
}

// The drive shown is the stored output folder's, refreshed once the dialog
// shows; choosing another drive moves the folder list to its last folder.
TEST_F(SettingsDialog, DriveFollowsTheOutputFolderAndChoosingOneMovesTheFolderList) {
    start();
    EXPECT_EQ(Form1->DistStr->text(), "0 ﾊﾞｲﾄの空き") << "nothing is asked before showing";
    Form1->showForm();
    expectDrive("/", freeText(50 * kGiB / 1024), 50);
    ::mkdir((big + "/deep").c_str(), 0755);
    writeFile(iniPath(), "[SETTING]\nDISTDIR=" + big + "/deep\n");
    start();
    EXPECT_EQ(Form1->startDrive(), "/") << "remembered before the settings are loaded";
    expectDrive(big, freeText(3 * kTiB / 1024), 62);
    choose("/");
    EXPECT_EQ(Form1->Dir_Dst->Directory(), exeDir.path()) << "the folder last used on the start volume";
    choose(big);
    EXPECT_EQ(platform::currentDirectory(), big + "/deep");
}

TEST_F(SettingsDialog, VolumeWithoutFreeSpaceReturnsToTheStartDrive) {
    const std::tuple<const char*, std::function<void()>, int> cases[] = {
        {"chosen in the selector", [this] { choose(full); }, 50},
        {"entered in the folder list", [this] { Form1->Dir_Dst->SetDirectory(full); }, 50},
        {"found full when the selector is left", [this] { choose(odd), sizes[odd][1] = 0, leaveSelector(); }, 50},
        // The way back ends at a full start drive instead of going round for ever.
        {"start drive full too", [this] { sizes["/"][1] = 0, choose(full), leaveSelector(); }, 100},
        {"stored as the output folder", [] {}, 50},
    };
    for (const auto& [name, reach, percent] : cases) {
        SCOPED_TRACE(name);
        bool stored = std::string(name).starts_with("stored");
        if (stored) writeFile(iniPath(), "[SETTING]\nDISTDIR=" + full + "\n");
        sizes[odd][1] = kGiB;
        sizes["/"][1] = 50 * kGiB;
        start();
        Form1->showForm();
        reach();
        expectDrive("/", percent == 100 ? "0k ﾊﾞｲﾄの空き" : freeText(50 * kGiB / 1024), percent);
        EXPECT_EQ(Form1->Dir_Dst->Directory(), stored ? startFolder : exeDir.path());
        EXPECT_TRUE(shell.errors.isEmpty());
        platform::changeDirectory(startFolder);
    }
}

// Keys as a person uses them: Tab enters the same-name group at its checked
// button and leaves it in one step, and Escape closes the dialog as 中止
// does. (Enter at the reset question is the desktop run's.)
TEST_F(SettingsDialog, KeysAsAPersonUsesThem) {
    const std::string before = "[SETTING]\nSAMEFILE=1\n";
    writeFile(iniPath(), before);
    start();
    std::vector<QWidget*> reached;
    QTimer::singleShot(0, [&] {
        Form1->PageControl1->setCurrentWidget(Form1->TabSheet2);
        Form1->activateWindow();
        if (!QTest::qWaitForWindowActive(Form1)) return;
        Form1->ViewInfo->setFocus();
        for (auto key : {Qt::Key_Tab, Qt::Key_Tab, Qt::Key_Backtab, Qt::Key_Backtab}) {
            QTest::keyClick(QApplication::focusWidget(), key);
            reached.push_back(QApplication::focusWidget());
        }
        QTest::keyClick(Form1, Qt::Key_Escape);
        if (Form1->isVisible()) {
            ADD_FAILURE() << "Escape left the dialog open";
            Form1->Button3->click();
        }
    });
    EXPECT_EQ(startup->run(), 0);
    EXPECT_EQ(reached, (std::vector<QWidget*>{Form1->rAdd, Form1->oDirectory, Form1->rAdd, Form1->ViewInfo}));
    EXPECT_TRUE(startup->mainWindowClosed());
    EXPECT_EQ(readFile(iniPath()), before);
}

}  // namespace
}  // namespace kinaru::testing
