#include "fixture.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

namespace kinaru::testing {
namespace {

TEST(CommandLine, ArgumentsEndAtTheFirstEmptyOne) {
    std::string longPath(5000, 'p');  // no fixed-size buffer cuts it
    struct Case {
        std::vector<const char*> argv;
        std::vector<std::string> expected;
    } cases[] = {
        {{"kinaru"}, {}},
        {{"kinaru", ""}, {}},
        {{"kinaru", "a b.txt", "c"}, {"a b.txt", "c"}},
        {{"kinaru", "a", "", "b"}, {"a"}},
        {{"kinaru", "-platform", "x"}, {"-platform", "x"}},
        {{"kinaru", longPath.c_str()}, {longPath}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(commandLineArguments(int(c.argv.size()), c.argv.data()), c.expected);
}

using Startup = ProgramTest;

TEST_F(Startup, CreatesTheDialogsInOrderWithTheirReferencesSet) {
    start();
    ASSERT_TRUE(Form1 && Form2 && Form3);
    EXPECT_TRUE(Form2->acceptDrops());
    // Form3's creation loaded the settings: without a file every default holds.
    EXPECT_EQ(std::tuple(Form1->Left(), Form2->Top(), Form3->Left()), std::tuple(10, 20, 30));
    EXPECT_EQ(context->settings.outputFolder, exeDir.path()) << "and the context carries them";
    EXPECT_TRUE(shell.errors.isEmpty());
}

TEST_F(Startup, SettingsModeShowsOnlyTheSettingsDialog) {
    start();
    bool form1Shown = false, form2Shown = true;
    QTimer::singleShot(0, [&] {
        form1Shown = Form1->isVisible();
        form2Shown = Form2->isVisible();
        Form1->Button3->click();
    });
    EXPECT_EQ(startup->run(), 0);
    EXPECT_TRUE(form1Shown);
    EXPECT_FALSE(form2Shown);
    EXPECT_EQ(Form1->UnlhaVer->text(), "Version 1.15");
    EXPECT_FALSE(exists(iniPath())) << "cancel must not store";
}

TEST_F(Startup, SettingsModeWithoutTheLibraryTellsAndEndsWithoutStoring) {
    start({}, "/nonexistent/libunlha32.so");
    EXPECT_EQ(startup->run(), 0);
    ASSERT_EQ(shell.messages.size(), 1);
    EXPECT_EQ(shell.messages[0], QStringLiteral("UNLHA32.DLLが正しくインストールされていないか、存在しません。\r\n"
                                                "UNLHA32.DLLを正しくインストールしておいてください。"));
    EXPECT_FALSE(Form1->isVisible());
    EXPECT_TRUE(startup->mainWindowClosed());
    EXPECT_FALSE(exists(iniPath()));
}

TEST_F(Startup, CompressionModeShowsOnlyTheCompressionDialogAndItsCloseEndsTheProgram) {
    start({"/nowhere/x.txt"});
    startup->chooseMode();
    EXPECT_TRUE(Form2->isVisible());
    EXPECT_FALSE(Form1->isVisible());
    QTimer::singleShot(0, [] { Form2->close(); });
    EXPECT_EQ(startup->run(), 0);
    EXPECT_TRUE(startup->mainWindowClosed());
    EXPECT_FALSE(Form1->isVisible());
    EXPECT_TRUE(exists(iniPath())) << "hiding the compression dialog stores the settings";
}

TEST_F(Startup, SaveStoresWhatTheControlsHoldThenEnds) {
    start();
    QTimer::singleShot(0, [] {
        Form1->oOpenDist->setChecked(true);
        Form1->rAdd->click();
        Form1->CompressVer->setCurrentIndex(2);
        Form1->UseDefault->click();
        Form1->WorkDirectory->setText("/work/");
        Form1->Button2->click();
    });
    EXPECT_EQ(startup->run(), 0);
    EXPECT_TRUE(startup->mainWindowClosed());
    EXPECT_EQ(readFile(iniPath()), normalForm(exeDir.path(), "/work/", 1, 2, 1, 1, 1, 0));
}

TEST_F(Startup, FailedSaveShowsTheWriteErrorAndKeepsTheDialogOpen) {
    writeFile(iniPath(), "[MAIN]\nLEFT=10\n");
    ::chmod(iniPath().c_str(), 0444);
    start();
    Form1->showForm();
    Form1->Button2->click();
    ASSERT_EQ(shell.errors.size(), 1);
    EXPECT_EQ(shell.errors[0], QString::fromStdString(iniPath()) + QStringLiteral(" に書き込めません."));
    EXPECT_TRUE(Form1->isVisible());
    EXPECT_FALSE(startup->mainWindowClosed());
}

// A store that fails while the compression dialog closes is shown, and the
// program still ends instead of lingering without a window.
TEST_F(Startup, FailedStoreOnClosingTheCompressionDialogStillEnds) {
    writeFile(iniPath(), "");
    ::chmod(iniPath().c_str(), 0444);
    start({"x"});
    startup->chooseMode();
    QTimer::singleShot(0, [] { Form2->close(); });
    EXPECT_EQ(startup->run(), 0);
    EXPECT_EQ(shell.errors.size(), 1);
    EXPECT_TRUE(startup->mainWindowClosed());
}

TEST_F(Startup, OutputFolderThatCannotBeEnteredIsReportedAndStartGoesOn) {
    writeFile(iniPath(), "[MAIN]\nLEFT=44\n[SETTING]\nDISTDIR=" + exeDir.path() + "/gone/deeper\nCOMPVER=1\n");
    std::string before = platform::currentDirectory();
    start();
    ASSERT_EQ(shell.errors.size(), 1);
    EXPECT_EQ(shell.errors[0], QString::fromStdString(exeDir.path()) + QStringLiteral("/gone/deeper: 不正なﾌｧｲﾙ名です."));
    EXPECT_EQ(Form1->Left(), 44) << "positions are applied before the folder";
    EXPECT_EQ(Form1->Dir_Dst->Directory(), before);
    EXPECT_EQ(Form1->CompressVer->currentIndex(), 1) << "the keys after the folder are still loaded";
    ASSERT_NE(Form3, nullptr);
}

}  // namespace
}  // namespace kinaru::testing
