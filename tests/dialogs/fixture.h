#pragma once
// A program set up as start-up sets it up, in a temporary folder that stands
// for the executable's folder, with a scripted shell.
#include "dialogs/context.h"
#include "dialogs/forms.h"
#include "app/startup.h"
#include "dialogs/directorylist.h"
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
#include <memory>

namespace kinaru::testing {

// A settings file in the normal form in which a store into a new file writes it.
inline std::string normalForm(const std::string& distdir, const std::string& workdir, int samefile, int compver,
                              int viewinfo, int direnable, int opendist, int useDefault, int left1 = 10, int top1 = 10) {
    return "[MAIN]\nLEFT=" + std::to_string(left1) + "\nTOP=" + std::to_string(top1) +
           "\n\n[COMP]\nLEFT=20\nTOP=20\n\n[ALART]\nLEFT=30\nTOP=30\n\n[SETTING]\nDISTDIR=" + distdir +
           "\nWORKDIR=" + workdir + "\nSAMEFILE=" + std::to_string(samefile) + "\nCOMPVER=" +
           std::to_string(compver) + "\nVIEWINFO=" + std::to_string(viewinfo) + "\nDIRENABLE=" +
           std::to_string(direnable) + "\nOPENDIST=" + std::to_string(opendist) + "\nDEFAULT=" +
           std::to_string(useDefault) + "\n";
}

class ProgramTest : public ::testing::Test {
protected:
    ProgramTest() : startFolder_(platform::currentDirectory()) {}
    ~ProgramTest() override {
        startup.reset();
        platform::changeDirectory(startFolder_);
    }

    std::string iniPath() const { return exeDir / "kinaru.ini"; }

    // Creates the three dialogs as the program does.
    void start(std::vector<std::string> arguments = {}, const char* library = RECORDING_LIBRARY) {
        unlha = std::make_unique<Unlha>(std::vector<std::string>{library});
        context = std::make_unique<AppContext>(
            AppContext{shell, *unlha, exeDir / "kinaru", std::move(arguments), volumes});
        startup = std::make_unique<Startup>(*context);
    }

    TempDir exeDir;
    ScriptedShell shell;
    const Volumes* volumes = nullptr;  // the system's unless a test brings its own
    std::unique_ptr<Unlha> unlha;
    std::unique_ptr<AppContext> context;
    std::unique_ptr<Startup> startup;

private:
    std::string startFolder_;
};

}  // namespace kinaru::testing
