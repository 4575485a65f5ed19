#include "win32/app.h"

#include "base/errors.h"
#include "base/paths.h"
#include "platform/files.h"
#include "settings/inifile.h"

namespace kinaru::win32 {

void App::ReadIni() {
    Settings defaults;
    defaults.outputFolder = defaultOutputFolder;
    settings = loadSettings(TIniFile(settingsPath), defaults, settings.sameName);
    unreachableOutput.reset();
    std::string wanted = settings.outputFolder;
    // The output folder is held as the folder list holds it: entered, and
    // without a final separator unless it is a root.
    settings.outputFolder = platform::currentDirectory();
    if (wanted.empty()) return;
    if (FileResult failed = platform::changeDirectory(wanted)) {
        unreachableOutput = wanted;
        throw InOutError(failed);
    }
    settings.outputFolder = platform::currentDirectory();
}

void App::WriteIni() const {
    Settings stored = settings;
    if (unreachableOutput) stored.outputFolder = *unreachableOutput;
    storeSettings(TIniFile(settingsPath), stored);
}

}  // namespace kinaru::win32
