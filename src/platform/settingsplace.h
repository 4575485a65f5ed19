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

}  // namespace kinaru::platform
