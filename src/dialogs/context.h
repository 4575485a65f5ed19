#pragma once
// What the dialogs need from the world around them, handed to each at
// creation instead of being reached through globals.
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
    std::string executablePath;           // the settings and help files sit beside it
    std::vector<std::string> arguments;   // the paths to pack; empty in settings mode
    const Volumes* volumes = nullptr;     // the mounted volumes; null for the system's own
    Settings settings = {};               // as last loaded from the settings file
};

}  // namespace kinaru
