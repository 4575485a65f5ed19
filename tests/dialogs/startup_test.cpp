#include "core/compressrun.h"
#include "fixture.h"

#include <QTimer>

namespace kinaru::testing {
namespace {

TEST(CommandLine, ArgumentsEndAtTheFirstEmptyOne) {
    std::string longPath(5000, 'p');  // no fixed-size buffer cuts it
    const std::pair<std::vector<const char*>, std::vector<std::string>> cases[] = {
        {{"kinaru"}, {}},
        {{"kinaru", ""}, {}},
        {{"kinaru", "a b.txt", "c"}, {"a b.txt", "c"}},
        {{"kinaru", "a", "", "b"}, {"a"}},
        {{"kinaru", "-platform", "x"}, {"-platform", "x"}},
        {{"kinaru", longPath.c_str()}, {longPath}},
    };
    for (const auto& [argv, expected] : cases) EXPECT_EQ(commandLineArguments(int(argv.size()), argv.data()), expected);
}

using Startup = ProgramTest;

// Without items the settings dialog shows, with items the compression dialog;
// closing either ends the program.
TEST_F(Startup, EachModeShowsOnlyItsDialog) {
    for (bool compression : {false, true}) {
        start(compression ? std::vector<std::string>{"/nowhere/x.txt"} : std::vector<std::string>{});
        startup->chooseMode();
        bool form1Shown = true, form2Shown = true;
        QTimer::singleShot(0, [&] {
            form1Shown = Form1->isVisible();
            form2Shown = Form2->isVisible();
            compression ? (void)Form2->close() : Form1->Button3->click();
        });
        EXPECT_EQ(startup->run(), 0);
        EXPECT_EQ(form1Shown, !compression);
        EXPECT_EQ(form2Shown, compression);
        EXPECT_TRUE(startup->mainWindowClosed());
        EXPECT_TRUE(compression || Form1->UnlhaVer->text() == "Version 1.15") << "the library's version is shown";
        EXPECT_EQ(exists(iniPath()), compression) << "hiding the compression dialog stores, cancel does not";
    }
}

TEST_F(Startup, SettingsModeWithoutTheLibraryTellsAndEndsWithoutStoring) {
    start({}, "/nonexistent/libunlha32.so");
    EXPECT_EQ(startup->run(), 0);
    EXPECT_EQ(shell.messages, QStringList{QString::fromStdString(missingLibraryMessage())})
        << "the text the compression run shows too";
    EXPECT_NE(missingLibraryMessage().find("libunlha32.so"), std::string::npos);
    EXPECT_TRUE(startup->mainWindowClosed());
    EXPECT_FALSE(exists(iniPath()));
}

// A failed save keeps the settings dialog open; a store that fails while the
// compression dialog closes is shown, and the program still ends.
TEST_F(Startup, FailedStoreShowsTheWriteError) {
    for (bool compression : {false, true}) {
        writeFile(iniPath(), "");
        ::chmod(iniPath().c_str(), 0444);
        start(compression ? std::vector<std::string>{"x"} : std::vector<std::string>{});
        compression ? startup->chooseMode() : Form1->showForm();
        compression ? (void)Form2->close() : Form1->Button2->click();
        EXPECT_EQ(shell.errors, QStringList{QString::fromStdString(iniPath()) + " に書き込めません."});
        EXPECT_EQ(startup->mainWindowClosed(), compression);
        EXPECT_EQ(Form1->isVisible(), !compression);
        shell.errors.clear();
    }
}

}  // namespace
}  // namespace kinaru::testing
