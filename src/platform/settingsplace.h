#pragma once
// Where the settings file lives. Beside the executable (its path with ".ini")
// when such a file is there or when the program runs from a folder of its
// own (the build folder, an unpacked copy); an install, which leaves the
// marker "kinaru.installed" beside the executable, keeps it in the user's
// configuration folder instead, and sends archives to the home folder.
#include <string>

namespace kinaru::platform {

struct SettingsPlace {
    std::string file;
    std::string defaultOutputFolder;  // with its final "/"
};

SettingsPlace settingsPlace(const std::string& executable);

// The program's own state between runs: $XDG_STATE_HOME/kinaru/, or
// ~/.local/state/kinaru/, with its final "/"; made when missing.
std::string stateFolder();

}  // namespace kinaru::platform
