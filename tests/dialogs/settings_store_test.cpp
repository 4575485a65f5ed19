#include "fixture.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>

namespace kinaru::testing {
namespace {

using SettingsStore = ProgramTest;

TEST_F(SettingsStore, LoadThenStoreBringsTheFileIntoNormalForm) {
    TempDir out;
    struct Case {
        std::string name;
        std::string settings;  // the [SETTING] section as a user left it
        std::string left;      // MAIN LEFT as written
        std::string expected;
    } cases[] = {
        {"no file at all", "", "", normalForm(exeDir.path(), "", 2, 0, 1, 1, 0, 1)},
        {"hexadecimal position", "", "LEFT=0x20\n", normalForm(exeDir.path(), "", 2, 0, 1, 1, 0, 1, 32)},
        {"dollar position", "", "LEFT=$20\n", normalForm(exeDir.path(), "", 2, 0, 1, 1, 0, 1, 32)},
        {"rejected position", "", "LEFT=12abc\n", normalForm(exeDir.path(), "", 2, 0, 1, 1, 0, 1, 10)},
        {"flags normalised", "VIEWINFO=2\nDIRENABLE=yes\nOPENDIST=5\nDEFAULT=0\n", "",
         normalForm(exeDir.path(), "", 2, 0, 1, 1, 1, 0)},
        {"unknown policy keeps the one in force", "SAMEFILE=7\n", "", normalForm(exeDir.path(), "", 2, 0, 1, 1, 0, 1)},
        {"policy add", "SAMEFILE=1\n", "", normalForm(exeDir.path(), "", 1, 0, 1, 1, 0, 1)},
        {"method out of range stores -1", "COMPVER=5\n", "", normalForm(exeDir.path(), "", 2, -1, 1, 1, 0, 1)},
        {"method LH7", "COMPVER=2\n", "", normalForm(exeDir.path(), "", 2, 2, 1, 1, 0, 1)},
        {"output folder with final slash", "DISTDIR=" + out.path() + "/\n", "",
         normalForm(out.path(), "", 2, 0, 1, 1, 0, 1)},
        {"root output folder", "DISTDIR=/\n", "", normalForm("/", "", 2, 0, 1, 1, 0, 1)},
        {"work folder kept as written", "WORKDIR=/tmp/ワーク フォルダ/\n", "",
         normalForm(exeDir.path(), "/tmp/ワーク フォルダ/", 2, 0, 1, 1, 0, 1)},
        {"work folder cut at 1023 bytes", "WORKDIR=" + std::string(1100, 'w') + "\n", "",
         normalForm(exeDir.path(), std::string(1023, 'w'), 2, 0, 1, 1, 0, 1)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.settings.empty() && c.left.empty())
            std::remove(iniPath().c_str());
        else
            writeFile(iniPath(), "[MAIN]\n" + c.left + "[SETTING]\n" + c.settings);
        start();
        // A file written by hand keeps its own layout: the normal form is
        // what a store into a fresh file gives.
        std::remove(iniPath().c_str());
        Form1->WriteIni();
        EXPECT_EQ(readFile(iniPath()), c.expected);
        startup.reset();
    }
}

TEST_F(SettingsStore, EmptyOutputFolderKeepsTheFolderShownAtStart) {
    writeFile(iniPath(), "[SETTING]\nDISTDIR=\n");
    std::string start_folder = platform::currentDirectory();
    start();
    EXPECT_EQ(Form1->Dir_Dst->Directory(), start_folder);
}

TEST_F(SettingsStore, HandEditedFileKeepsCommentsAndUnknownKeys) {
    writeFile(iniPath(),
              "; Kinaru settings, edited by hand\r\n"
              "[MAIN]\r\n"
              "LEFT=100\r\n"
              "Theme=dark\r\n"
              "\r\n"
              "[Extra]\r\n"
              "note=keep\r\n"
              "\r\n"
              "[SETTING]\r\n"
              "COMPVER=1\r\n");
    start();
    Form1->WriteIni();
    std::string stored = readFile(iniPath());
    EXPECT_NE(stored.find("; Kinaru settings, edited by hand\r\n[MAIN]\r\nLEFT=100\r\nTheme=dark\r\nTOP=10\r\n"),
              std::string::npos);
    EXPECT_NE(stored.find("[Extra]\r\nnote=keep\r\n"), std::string::npos);
    EXPECT_NE(stored.find("[SETTING]\r\nCOMPVER=1\r\nDISTDIR="), std::string::npos);
    EXPECT_EQ(stored.find("\n\n"), std::string::npos) << "CRLF file stays CRLF";
}

TEST_F(SettingsStore, GarbageFileLoadsWithDefaultsAndKeepsItsLines) {
    std::string garbage("\x00\x01\xff[SETTING\n=\n[]\nkey only\n", 26);
    writeFile(iniPath(), garbage + "[SETTING]\nSAMEFILE=0\nSAMEFILE=1\n" + std::string(100 * 1024, 'x'));
    start();
    EXPECT_EQ(Form1->GetRadio(), SameNamePolicy::Replace) << "the first of duplicated keys counts";
    Form1->WriteIni();
    std::string stored = readFile(iniPath());
    EXPECT_EQ(stored.substr(0, garbage.size()), garbage);
    EXPECT_NE(stored.find(std::string(100 * 1024, 'x') + "\nDISTDIR="), std::string::npos);
}

TEST_F(SettingsStore, WorkFolderControlsFollowUseDefault) {
    writeFile(iniPath(), "[SETTING]\nDEFAULT=0\nWORKDIR=/w/\n");
    start();
    auto editColour = [] { return Form1->WorkDirectory->palette().color(QPalette::Base); };
    const QColor window = QApplication::palette().color(QPalette::Base);
    const QColor buttonFace = QApplication::palette().color(QPalette::Button);
    ASSERT_NE(window, buttonFace) << "the two looks must be told apart";
    // The load turned the option off: edit and browse button open.
    EXPECT_TRUE(Form1->WorkDirectory->isEnabled());
    EXPECT_TRUE(Form1->Button1->isEnabled());
    EXPECT_EQ(editColour(), window);
    for (bool useDefault : {true, false, true}) {
        Form1->UseDefault->click();
        ASSERT_EQ(Form1->UseDefault->isChecked(), useDefault);
        EXPECT_EQ(Form1->WorkDirectory->isEnabled(), !useDefault);
        EXPECT_EQ(Form1->Button1->isEnabled(), !useDefault);
        EXPECT_EQ(editColour(), useDefault ? buttonFace : window);
        EXPECT_EQ(Form1->WorkDirectory->text(), "/w/") << "the edit keeps its text";
    }
}

}  // namespace
}  // namespace kinaru::testing
