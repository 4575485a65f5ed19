// The settings dialog as a user meets it: its layout, its buttons, the reset
// and the output drive's free space.
#include "dialogs/drivelist.h"
#include "dialogs/gauge.h"
#include "dialogs/panelbutton.h"
#include "dialogs/webpages.h"
#include "platform/qttexts.h"
#include "fixture.h"
#include "layoutcheck.h"

#include <QTest>
#include <functional>
#include <map>

namespace kinaru::testing {
namespace {

constexpr std::int64_t kMiB = 1048576;
constexpr std::int64_t kGiB = 1024 * kMiB;
constexpr std::int64_t kTiB = 1024 * kGiB;

// Volumes as a test sets them out: folders under a temporary folder pose as
// mount points, with sizes no disk on this machine would give.
class FakeVolumes : public Volumes {
public:
    struct Sizes {
        std::int64_t total, free;
    };
    void add(const std::string& root, Sizes sizes) {
        order_.push_back({root, ""});
        sizes_[root] = sizes;
    }
    Sizes& operator[](const std::string& root) { return sizes_.at(root); }

    std::vector<Volume> mounted() const override { return order_; }
    std::int64_t totalBytes(const std::string& root) const override {
        auto found = sizes_.find(root);
        return found == sizes_.end() ? -1 : found->second.total;
    }
    std::int64_t freeBytes(const std::string& root) const override {
        auto found = sizes_.find(root);
        return found == sizes_.end() ? -1 : found->second.free;
    }

private:
    std::vector<Volume> order_;
    std::map<std::string, Sizes> sizes_;
};

QString freeText(std::int64_t kilobytes) { return QString::number(kilobytes) + QStringLiteral("k ﾊﾞｲﾄの空き"); }

class SettingsDialog : public ProgramTest {
protected:
    SettingsDialog() {
        for (const char* name : {"big", "full", "broken", "odd"}) ::mkdir((mounts / name).c_str(), 0755);
        fake.add("/", {100 * kGiB, 50 * kGiB});
        fake.add(big(), {8 * kTiB, 3 * kTiB});
        fake.add(full(), {kGiB, 0});
        fake.add(broken(), {-1, -1});
        fake.add(missing(), {-1, -1});  // a drive without a medium: nothing to enter
        fake.add(odd(), {kGiB, kGiB});
        volumes = &fake;
    }

    std::string big() const { return mounts / "big"; }
    std::string full() const { return mounts / "full"; }
    std::string broken() const { return mounts / "broken"; }
    std::string missing() const { return mounts / "missing"; }
    std::string odd() const { return mounts / "odd"; }

    // The user picks the volume on root in the drive selector.
    static void choose(const std::string& root) {
        int index = Form1->Drive_Dst->findData(QByteArray::fromStdString(root));
        ASSERT_GE(index, 0) << root;
        Form1->Drive_Dst->setCurrentIndex(index);
    }
    static void leaveSelector(Qt::FocusReason reason = Qt::TabFocusReason) {
        QFocusEvent leave(QEvent::FocusOut, reason);
        QApplication::sendEvent(Form1->Drive_Dst, &leave);
    }

    TempDir mounts;
    FakeVolumes fake;
};

TEST_F(SettingsDialog, WindowIsFixedWithoutBorderIconsAndOpensOnTheOptionsPage) {
    start();
    EXPECT_EQ(Form1->windowTitle(), "Kinaru Ver2.5");
    EXPECT_EQ(Form1->size(), QSize(288, 290));
    EXPECT_EQ(Form1->minimumSize(), Form1->maximumSize());
    Qt::WindowFlags flags = Form1->windowFlags();
    for (Qt::WindowType icon : {Qt::WindowSystemMenuHint, Qt::WindowCloseButtonHint, Qt::WindowMinimizeButtonHint,
                                Qt::WindowMaximizeButtonHint, Qt::WindowContextHelpButtonHint})
        EXPECT_FALSE(flags.testFlag(icon)) << std::hex << icon;
    EXPECT_EQ(Form1->PageControl1->currentWidget(), Form1->TabSheet2);
    QStringList tabs;
    for (int i = 0; i < Form1->PageControl1->count(); ++i) tabs << Form1->PageControl1->tabText(i);
    EXPECT_EQ(tabs, QStringList({"出力", "圧縮ｵﾌﾟｼｮﾝ", "ｼｽﾃﾑ", "ﾊﾞｰｼﾞｮﾝ情報"}));
}

TEST_F(SettingsDialog, PagesAreLaidOutCleanlyWithTheirTexts) {
    start();
    EXPECT_EQ(layoutProblems(Form1), QStringList{});
    const std::pair<QWidget*, const char*> captions[] = {
        {Form1->ViewInfo, "圧縮中に状況を表示する"}, {Form1->GroupBox2, "初期化"}, {Form1->Button4, "初期化"},
        {Form1->GroupBox1, "同名ファイル存在時の動作"}, {Form1->rWrite, "消して作成"}, {Form1->rAdd, "そのまま上書き"},
        {Form1->rUserSelect, "ﾀﾞｲｱﾛｸﾞ表示、ﾕｰｻﾞが選択"}, {Form1->oDirectory, "ﾃﾞｨﾚｸﾄﾘ情報も格納する"},
        {Form1->oOpenDist, "圧縮後、出力ﾌｫﾙﾀﾞを開く"}, {Form1->Label1, "圧縮形式"}, {Form1->Label2, "作業ﾌｫﾙﾀﾞ"},
        {Form1->UseDefault, "標準の場所を使う"}, {Form1->Button1, "参照"}, {Form1->Label6, "出力ﾄﾞﾗｲﾌﾞの空き状況"},
        {Form1->Label5, "USE:"}, {Form1->Label10, "UNLHA32.DLLのﾊﾞｰｼﾞｮﾝ"}, {Form1->Panel2, "Web"},
        {Form1->Panel6, "最新情報"}, {Form1->Panel5, "HELP"}, {Form1->Button2, "保存"}, {Form1->Button3, "中止"},
        {Form1->Version, "This Version is 2.5 Complete.[25C版]"},
    };
    for (auto [control, text] : captions) {
        QString shown = control->property("text").toString();
        EXPECT_EQ(shown.isEmpty() ? control->property("title").toString() : shown, QString::fromUtf8(text));
    }
    EXPECT_EQ(Form1->Panel2->toolTip(), "Mobrekのﾒｲﾝﾍﾟｰｼﾞを開きます。");
    EXPECT_EQ(Form1->Panel6->toolTip(), "このｿﾌﾄの最新情報を開きます。");
    QStringList methods;
    for (int i = 0; i < Form1->CompressVer->count(); ++i) methods << Form1->CompressVer->itemText(i);
    EXPECT_EQ(methods, QStringList({"LH5(LHA2.13以降)", "LH6(LHA2.67以降)", "LH7(TEST)"}));
    EXPECT_TRUE(Form1->UnlhaVer->isReadOnly());
}

// The order in which Tab reaches the given widgets, starting at the first.
std::vector<QWidget*> tabSequence(const std::vector<QWidget*>& widgets) {
    std::vector<QWidget*> seen;
    QWidget* at = widgets.front();
    do {
        if (std::find(widgets.begin(), widgets.end(), at) != widgets.end()) seen.push_back(at);
        at = at->nextInFocusChain();
    } while (at != widgets.front() && seen.size() < widgets.size());
    return seen;
}

TEST_F(SettingsDialog, TabOrder) {
    start();
    std::vector<QWidget*> page = {Form1->ViewInfo,    Form1->rWrite,      Form1->rAdd,
                                  Form1->rUserSelect, Form1->oDirectory,  Form1->oOpenDist,
                                  Form1->CompressVer, Form1->WorkDirectory, Form1->Button1,
                                  Form1->UseDefault,  Form1->Button4};
    EXPECT_EQ(tabSequence(page), page);
    std::vector<QWidget*> dialog = {Form1->PageControl1, Form1->Button2, Form1->Button3};
    EXPECT_EQ(tabSequence(dialog), dialog);
}

TEST_F(SettingsDialog, CancelLeavesTheFileByteForByte) {
    const std::string before = "; mine\r\n[SETTING]\r\nCOMPVER=2\r\nOPENDIST=yes\r\n";
    writeFile(iniPath(), before);
    start();
    QTimer::singleShot(0, [] {
        Form1->oOpenDist->click();
        Form1->rWrite->click();
        Form1->CompressVer->setCurrentIndex(0);
        Form1->Button3->click();
    });
    EXPECT_EQ(startup->run(), 0);
    EXPECT_TRUE(startup->mainWindowClosed());
    EXPECT_EQ(readFile(iniPath()), before);
}

TEST_F(SettingsDialog, ResetAnsweredNoChangesAndWritesNothing) {
    const std::string before = "[SETTING]\nSAMEFILE=0\n";
    writeFile(iniPath(), before);
    start();
    Form1->showForm();
    Form1->oOpenDist->click();
    Form1->Button4->click();
    EXPECT_EQ(shell.questions, QStringList{"設定を初期化します。よろしいですか？"});
    EXPECT_TRUE(Form1->oOpenDist->isChecked());
    EXPECT_EQ(Form1->GetRadio(), SameNamePolicy::Replace);
    EXPECT_TRUE(shell.messages.isEmpty());
    EXPECT_EQ(readFile(iniPath()), before);
    EXPECT_TRUE(Form1->isVisible());
}

TEST_F(SettingsDialog, ResetAnsweredYesShowsAndStoresEveryDefault) {
    TempDir out;
    writeFile(iniPath(), "; old\n[MAIN]\nLEFT=150\nTOP=160\n[COMP]\nLEFT=170\n[ALART]\nTOP=180\n[SETTING]\nDISTDIR=" +
                             out.path() + "\nWORKDIR=/w/\nSAMEFILE=1\nCOMPVER=2\nVIEWINFO=0\nDIRENABLE=0\n"
                                          "OPENDIST=1\nDEFAULT=0\n");
    start();
    Form1->showForm();
    ASSERT_EQ(Form1->Left(), 150);
    ASSERT_EQ(Form1->Dir_Dst->Directory(), out.path());
    shell.yesNoAnswers = {true};
    Form1->Button4->click();

    EXPECT_TRUE(shell.errors.isEmpty()) << shell.errors.join('\n').toStdString();
    EXPECT_EQ(shell.messages, QStringList{"設定を初期化しました。"});
    EXPECT_EQ(QPoint(Form1->Left(), Form1->Top()), QPoint(10, 10));
    EXPECT_EQ(QPoint(Form2->Left(), Form2->Top()), QPoint(20, 20));
    EXPECT_EQ(QPoint(Form3->Left(), Form3->Top()), QPoint(30, 30));
    EXPECT_EQ(Form1->Dir_Dst->Directory(), exeDir.path());
    EXPECT_EQ(platform::currentDirectory(), exeDir.path());
    EXPECT_EQ(Form1->WorkDirectory->text(), "");
    EXPECT_EQ(Form1->GetRadio(), SameNamePolicy::Ask);
    EXPECT_EQ(Form1->CompressVer->currentIndex(), 0);
    EXPECT_TRUE(Form1->ViewInfo->isChecked());
    EXPECT_TRUE(Form1->oDirectory->isChecked());
    EXPECT_FALSE(Form1->oOpenDist->isChecked());
    EXPECT_TRUE(Form1->UseDefault->isChecked());
    EXPECT_FALSE(Form1->WorkDirectory->isEnabled());
    EXPECT_FALSE(Form1->Button1->isEnabled());
    const std::string defaults = normalForm(exeDir.path(), "", 2, 0, 1, 1, 0, 1);
    EXPECT_EQ(readFile(iniPath()), defaults) << "the old file and its comment are gone";
    EXPECT_TRUE(Form1->isVisible()) << "the dialog stays open";

    // Cancel afterwards keeps the defaults stored.
    Form1->Button3->click();
    EXPECT_TRUE(startup->mainWindowClosed());
    EXPECT_EQ(readFile(iniPath()), defaults);
}

// The program never writes a read-only settings file, nor one in a read-only
// folder, and the reset is no way round that: the file stays, and the failed
// store is reported.
TEST_F(SettingsDialog, ResetThatCannotStoreKeepsTheFileAndReportsTheWriteError) {
    const std::string before = "[SETTING]\nCOMPVER=2\n";
    for (bool folderReadOnly : {false, true}) {
        SCOPED_TRACE(folderReadOnly ? "read-only folder" : "read-only file");
        writeFile(iniPath(), before);
        ::chmod(folderReadOnly ? exeDir.path().c_str() : iniPath().c_str(), folderReadOnly ? 0555 : 0444);
        start();
        Form1->showForm();
        shell.yesNoAnswers = {true};
        Form1->Button4->click();
        EXPECT_EQ(shell.errors, QStringList{QString::fromStdString(iniPath()) + " に書き込めません."});
        EXPECT_TRUE(shell.messages.isEmpty()) << "no confirmation after a failed store";
        EXPECT_EQ(readFile(iniPath()), before);
        EXPECT_TRUE(Form1->isVisible());
        startup.reset();
        ::chmod(exeDir.path().c_str(), 0755);
        ::chmod(iniPath().c_str(), 0644);
        shell.errors.clear();
    }
}

TEST(LibraryVersion, ShownWithTwoDecimals) {
    struct Case {
        unsigned version;
        const char* text;
    } cases[] = {{115, "Version 1.15"}, {100, "Version 1.00"}, {1, "Version 0.01"}, {250, "Version 2.50"},
                 {65535, "Version 655.35"}};
    for (const Case& c : cases) EXPECT_EQ(libraryVersionText(c.version), c.text) << c.version;
}

TEST_F(SettingsDialog, BrowseKeepsTheChosenFolderWithItsFinalSlash) {
    start();
    Form1->UseDefault->click();
    ASSERT_TRUE(Form1->Button1->isEnabled());
    shell.fileAnswers = {exeDir / "temp/WORK", std::nullopt, std::string("/WORK")};
    Form1->Button1->click();
    EXPECT_EQ(Form1->WorkDirectory->text().toStdString(), exeDir / "temp/");
    Form1->Button1->click();  // cancelled
    EXPECT_EQ(Form1->WorkDirectory->text().toStdString(), exeDir / "temp/");
    Form1->Button1->click();
    EXPECT_EQ(Form1->WorkDirectory->text(), "/");
    // Enter in the edit opens nothing; on the focused button it browses.
    Form1->show();
    Form1->WorkDirectory->setFocus();
    QTest::keyClick(Form1->WorkDirectory, Qt::Key_Return);
    EXPECT_EQ(shell.fileDialogs, std::vector<std::string>(3, "WORK"));
    Form1->Button1->setFocus();
    QTest::keyClick(Form1->Button1, Qt::Key_Return);
    EXPECT_EQ(shell.fileDialogs.size(), 4u);
}

TEST_F(SettingsDialog, PanelButtonsOpenTheWebPagesAndTheHelp) {
    start();
    for (PanelButton* panel : {Form1->Panel2, Form1->Panel6, Form1->Panel5}) {
        QPointF inside(10, 10);
        QMouseEvent press(QEvent::MouseButtonPress, inside, panel->mapToGlobal(inside), Qt::LeftButton,
                          Qt::LeftButton, Qt::NoModifier);
        QMouseEvent release(QEvent::MouseButtonRelease, inside, panel->mapToGlobal(inside), Qt::LeftButton,
                            Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(panel, &press);
        QApplication::sendEvent(panel, &release);
    }
    EXPECT_EQ(shell.openedUrls, QStringList({makerHomePage(), latestInformationPage()}));
    EXPECT_TRUE(makerHomePage().endsWith('/'));
    EXPECT_EQ(latestInformationPage(), makerHomePage() + "newest.html");
    EXPECT_EQ(shell.openedDocuments, std::vector<std::string>{exeDir / "Kinaru.html"});
}

// The help beside the program speaks of every choice the dialogs offer, under
// the names the user sees there.
TEST(Help, IsInstalledAndNamesEveryChoice) {
    std::string help = readFile(HELP_FILE);
    ASSERT_FALSE(help.empty());
    EXPECT_NE(help.find("<meta charset=\"utf-8\">"), std::string::npos);
    for (const char* text : {"出力", "圧縮ｵﾌﾟｼｮﾝ", "ｼｽﾃﾑ", "ﾊﾞｰｼﾞｮﾝ情報", "圧縮中に状況を表示する", "同名ファイル存在時の動作",
                             "消して作成", "そのまま上書き", "ﾀﾞｲｱﾛｸﾞ表示、ﾕｰｻﾞが選択", "ﾃﾞｨﾚｸﾄﾘ情報も格納する",
                             "圧縮後、出力ﾌｫﾙﾀﾞを開く", "圧縮形式", "LH5", "LH6", "LH7", "作業ﾌｫﾙﾀﾞ", "標準の場所を使う",
                             "参照", "WORK", "初期化", "保存", "中止", "Web", "最新情報", "自動解凍書庫化", "WinSFX",
                             "圧縮中止", "上書き続行", "削除続行", "ﾌｧｲﾙ名変更", "kinaru.ini"})
        EXPECT_NE(help.find(text), std::string::npos) << text;
}

TEST_F(SettingsDialog, ShowingRefreshesTheDriveOfTheOutputFolder) {
    start();
    EXPECT_EQ(Form1->startDrive(), "/");
    EXPECT_EQ(Form1->DistStr->text(), "0 ﾊﾞｲﾄの空き") << "nothing is asked before the dialog shows";
    Form1->showForm();
    EXPECT_EQ(Form1->DistStr->text(), freeText(50 * kGiB / 1024));
    EXPECT_EQ(Form1->DistDrive->PercentDone(), 50);
    EXPECT_EQ(Form1->DistDrive->value(), 50);
}

// Sizes beyond 32 bits, rounding of mebibytes and kilobytes, odd reports.
TEST_F(SettingsDialog, DriveRefreshArithmetic) {
    start();
    choose(odd());
    struct Case {
        std::int64_t total, free;
        int percent;
        std::int64_t kilobytes;
    } cases[] = {
        {100 * kMiB, 25 * kMiB, 75, 25600},
        {8 * kTiB, 3 * kTiB, 62, 3 * kTiB / 1024},
        {4 * kGiB + kMiB, 2 * kGiB, 50, 2097152},
        {kGiB, 1, 100, 0},              // nearly full is not full: it stays
        {kMiB - 1, 1000, 0, 0},         // under a mebibyte: a gauge of nothing
        {10 * kMiB, 20 * kMiB, 0, 20480},  // more free than total: an empty gauge
        {-1, 5 * kMiB, 0, 5120},
        {-1, -1, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.total) + " / " + std::to_string(c.free));
        fake[odd()] = {c.total, c.free};
        leaveSelector();
        EXPECT_EQ(Form1->Drive_Dst->Drive(), odd());
        EXPECT_EQ(Form1->DistDrive->PercentDone(), c.percent);
        EXPECT_EQ(Form1->DistDrive->value(), c.percent);
        EXPECT_EQ(Form1->DistStr->text(), freeText(c.kilobytes));
    }
    EXPECT_TRUE(shell.errors.isEmpty());
}

TEST_F(SettingsDialog, ChoosingAVolumeMovesTheFolderListAndBackToItsLastFolder) {
    start();
    ::mkdir((big() + "/deep").c_str(), 0755);
    choose(big());
    EXPECT_EQ(Form1->Dir_Dst->Directory(), big());
    EXPECT_EQ(platform::currentDirectory(), big());
    EXPECT_EQ(Form1->DistStr->text(), freeText(3 * kTiB / 1024));
    Form1->Dir_Dst->SetDirectory(big() + "/deep");
    choose("/");
    EXPECT_EQ(Form1->Dir_Dst->Directory(), exeDir.path()) << "the folder last used on the start volume";
    choose(big());
    EXPECT_EQ(Form1->Dir_Dst->Directory(), big() + "/deep");
    EXPECT_TRUE(shell.errors.isEmpty());
}

TEST_F(SettingsDialog, VolumeWithoutFreeSpaceReturnsToTheStartDrive) {
    std::string startFolder = platform::currentDirectory();
    struct Case {
        const char* name;
        std::function<void()> reach;  // how the full volume gets chosen
        std::string folderAfter;
    } cases[] = {
        {"chosen in the selector", [this] { choose(full()); }, exeDir.path()},
        {"entered in the folder list", [this] { Form1->Dir_Dst->SetDirectory(full()); }, exeDir.path()},
        {"found full when the selector is left", [this] {
             choose(odd());
             fake[odd()].free = 0;
             leaveSelector();
         }, exeDir.path()},
        {"stored as the output folder", [] {}, startFolder},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.folderAfter == startFolder) writeFile(iniPath(), "[SETTING]\nDISTDIR=" + full() + "\n");
        fake[odd()].free = kGiB;
        start();
        Form1->showForm();
        c.reach();
        EXPECT_EQ(Form1->Drive_Dst->Drive(), "/");
        EXPECT_EQ(Form1->Dir_Dst->Directory(), c.folderAfter);
        EXPECT_EQ(Form1->DistStr->text(), freeText(50 * kGiB / 1024)) << "the start drive is shown";
        EXPECT_EQ(Form1->DistDrive->PercentDone(), 50);
        EXPECT_TRUE(shell.errors.isEmpty());
        startup.reset();
        platform::changeDirectory(startFolder);
        std::remove(iniPath().c_str());
    }
}

// With the start drive full as well, the way back ends there instead of
// going round for ever.
TEST_F(SettingsDialog, FullStartDriveEndsTheReturn) {
    fake["/"].free = 0;
    start();
    Form1->showForm();
    int changes = 0;
    QObject::connect(Form1->Drive_Dst, &DriveList::driveChanged, [&changes] { ++changes; });
    choose(full());
    EXPECT_EQ(changes, 2) << "to the full volume and back, once";
    EXPECT_EQ(Form1->Drive_Dst->Drive(), "/");
    EXPECT_EQ(Form1->Dir_Dst->Directory(), exeDir.path());
    EXPECT_EQ(Form1->DistStr->text(), "0k ﾊﾞｲﾄの空き");
    EXPECT_EQ(Form1->DistDrive->PercentDone(), 100);
    leaveSelector();
    EXPECT_EQ(changes, 2);
    EXPECT_TRUE(shell.errors.isEmpty());
}

TEST_F(SettingsDialog, VolumeThatCannotBeQueriedStaysSelectedAndShowsNothingFree) {
    start();
    Form1->showForm();
    choose(broken());
    EXPECT_EQ(Form1->Drive_Dst->Drive(), broken());
    EXPECT_EQ(Form1->Dir_Dst->Directory(), broken());
    EXPECT_EQ(Form1->DistStr->text(), "0k ﾊﾞｲﾄの空き");
    EXPECT_EQ(Form1->DistDrive->PercentDone(), 0);
    EXPECT_EQ(Form1->DistDrive->MaxValue(), 0);
    EXPECT_TRUE(shell.errors.isEmpty());
}

// A drive without a medium: the folder list cannot enter it and says so; once
// the selector is left, the refresh finds nothing to query.
TEST_F(SettingsDialog, VolumeThatCannotBeEnteredKeepsTheFolderAndStaysSelected) {
    start();
    Form1->showForm();
    const QString before = Form1->DistStr->text();
    choose(missing());
    EXPECT_EQ(shell.errors, QStringList{"ﾌｧｲﾙが見つかりません."});
    EXPECT_EQ(Form1->Dir_Dst->Directory(), exeDir.path());
    EXPECT_EQ(Form1->DistStr->text(), before) << "no refresh before the selector is left";
    leaveSelector(Qt::PopupFocusReason);
    EXPECT_EQ(Form1->DistStr->text(), before) << "its own drop-down is not leaving it";
    leaveSelector();
    EXPECT_EQ(Form1->Drive_Dst->Drive(), missing());
    EXPECT_EQ(Form1->DistStr->text(), "0k ﾊﾞｲﾄの空き");
    EXPECT_EQ(Form1->DistDrive->PercentDone(), 0);
    EXPECT_EQ(Form1->Dir_Dst->Directory(), exeDir.path());
}

TEST_F(SettingsDialog, StoredOutputFolderOnAnotherVolumeMovesTheSelector) {
    writeFile(iniPath(), "[SETTING]\nDISTDIR=" + big() + "\n");
    start();
    EXPECT_EQ(Form1->startDrive(), "/") << "remembered before the settings are loaded";
    EXPECT_EQ(Form1->Drive_Dst->Drive(), big());
    EXPECT_EQ(Form1->DistStr->text(), freeText(3 * kTiB / 1024));
    EXPECT_EQ(Form1->DistDrive->PercentDone(), 62);
}

}  // namespace
}  // namespace kinaru::testing

TEST(QtTexts, StockButtonsAreJapanese) {
    ASSERT_TRUE(kinaru::platform::loadJapaneseQtTexts(*QCoreApplication::instance())) << "qt6-translations-l10n missing";
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "&Yes").left(2), QStringLiteral("はい"));
}
