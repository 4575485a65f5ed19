#pragma once
// A program set up as start-up sets it up, in a temporary folder that stands
// for the executable's folder, with a scripted shell.
#include "app/startup.h"
#include "dialogs/context.h"
#include "dialogs/directorylist.h"
#include "dialogs/forms.h"
#include "dialogs/mainunit.h"
#include "dialogs/warnunit.h"
#include "dialogs/workunit.h"
#include "platform/files.h"
#include "platform/volumes.h"
#include "scriptedshell.h"
#include "tempdir.h"
#include "unlha/unlha.h"

#include <QtWidgets>
#include <gtest/gtest.h>
#include <sys/stat.h>

// clang-format off
namespace kinaru::testing {

// A settings file in the form in which a store into a new file writes it;
// flags: SAMEFILE, COMPVER, VIEWINFO, DIRENABLE, OPENDIST, DEFAULT.
inline std::string normalForm(const std::string& distdir, const std::string& workdir, std::array<int, 6> flags,
                              int left = 10) {
    std::string text = "[MAIN]\nLEFT=" + std::to_string(left) + "\nTOP=10\n\n[COMP]\nLEFT=20\nTOP=20\n\n[ALART]\n"
                       "LEFT=30\nTOP=30\n\n[SETTING]\nDISTDIR=" + distdir + "\nWORKDIR=" + workdir + "\n";
    const char* keys[] = {"SAMEFILE", "COMPVER", "VIEWINFO", "DIRENABLE", "OPENDIST", "DEFAULT"};
    for (int i = 0; i < 6; ++i) text += std::string(keys[i]) + "=" + std::to_string(flags[i]) + "\n";
    return text;
}
// clang-format on
inline const std::array<int, 6> kDefaultFlags = {2, 0, 1, 1, 0, 1};

class ProgramTest : public ::testing::Test {
protected:
    ~ProgramTest() override {
        startup.reset();
        platform::changeDirectory(startFolder);
    }
    std::string iniPath() const { return exeDir / "kinaru.ini"; }

    // Creates the three dialogs as the program does.
    void start(std::vector<std::string> arguments = {}, const char* library = RECORDING_LIBRARY) {
        startup.reset();
        unlha = std::make_unique<Unlha>(std::vector<std::string>{library});
        context =
            std::make_unique<AppContext>(AppContext{shell, *unlha, exeDir / "kinaru", std::move(arguments), volumes});
        startup = std::make_unique<Startup>(*context);
    }

    const std::string startFolder = platform::currentDirectory();
    TempDir exeDir;
    ScriptedShell shell;
    const Volumes* volumes = nullptr;  // the system's unless a test brings its own
    std::unique_ptr<Unlha> unlha;
    std::unique_ptr<AppContext> context;
    std::unique_ptr<Startup> startup;
};

}  // namespace kinaru::testing
