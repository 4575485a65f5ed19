#include "fixture.h"

namespace kinaru::testing {
namespace {

using SettingsStore = ProgramTest;

// A file written by hand keeps its own layout; the normal form is what a
// store into a fresh file gives.
TEST_F(SettingsStore, LoadThenStoreBringsTheFileIntoNormalForm) {
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

TEST_F(SettingsStore, WorkFolderControlsFollowUseDefault) {
    writeFile(iniPath(), "[SETTING]\nDEFAULT=0\nWORKDIR=/w/\n");
    start();
    const QColor window = QApplication::palette().color(QPalette::Base);
    const QColor buttonFace = QApplication::palette().color(QPalette::Button);
    ASSERT_NE(window, buttonFace) << "the two looks must be told apart";
    for (bool useDefault : {false, true, false, true}) {
        if (useDefault != Form1->UseDefault->isChecked()) Form1->UseDefault->click();
        EXPECT_EQ(Form1->WorkDirectory->isEnabled(), !useDefault);
        EXPECT_EQ(Form1->Button1->isEnabled(), !useDefault);
        EXPECT_EQ(Form1->WorkDirectory->palette().color(QPalette::Base), useDefault ? buttonFace : window);
        EXPECT_EQ(Form1->WorkDirectory->text(), "/w/") << "the edit keeps its text";
    }
}

}  // namespace
}  // namespace kinaru::testing
