#pragma once
// A program set up as start-up sets it up, in a temporary folder that stands
// for the executable's folder, with a scripted shell.
#include "app/context.h"
#include "app/forms.h"
#include "app/startup.h"
#include "dialogs/directorylist.h"
#include "dialogs/mainunit.h"
#include "dialogs/warnunit.h"
#include "dialogs/workunit.h"
#include "platform/files.h"
#include "scriptedshell.h"
#include "tempdir.h"
#include "unlha/unlha.h"

#include <QtWidgets>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <memory>

namespace kinaru::testing {

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
        context = std::make_unique<AppContext>(AppContext{shell, *unlha, exeDir / "kinaru", std::move(arguments)});
        startup = std::make_unique<Startup>(*context);
    }

    TempDir exeDir;
    ScriptedShell shell;
    std::unique_ptr<Unlha> unlha;
    std::unique_ptr<AppContext> context;
    std::unique_ptr<Startup> startup;

private:
    std::string startFolder_;
};

}  // namespace kinaru::testing
