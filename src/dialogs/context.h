#pragma once
// What the dialogs need from the world around them, handed to each at
// creation. The three dialog references (forms.h) are the only globals; all
// else arrives here.
#include "settings/settings.h"

#include <string>
#include <vector>

namespace kinaru {

class Shell;
class Unlha;
class Volumes;

struct AppContext {
    Shell& shell;
    const Unlha& unlha;
    std::string executablePath;          // the settings and help files sit beside it
    std::vector<std::string> arguments;  // the paths to pack; empty in settings mode
    const Volumes* volumes = nullptr;    // the mounted volumes; null for the system's own
    // The settings file and the output folder without settings; empty for
    // the executable's path with ".ini" and the executable's folder.
    std::string settingsPath{};
    std::string defaultOutputFolder{};
    Settings settings = {};  // as last loaded from the settings file
};

}  // namespace kinaru
