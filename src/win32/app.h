#pragma once
// What the Windows dialogs share: the library, the settings and the paths,
// handed to each dialog instead of being reached through globals.
#include "settings/settings.h"
#include "unlha/unlha.h"

#include <optional>
#include <string>
#include <vector>

namespace kinaru::win32 {

struct App {
    const Unlha& unlha;
    std::string executablePath;
    std::vector<std::string> arguments;  // paths from the root; empty in settings mode
    std::string settingsPath;
    std::string defaultOutputFolder;
    Settings settings{};  // as loaded; the output folder is the one entered
    // A stored output folder that could not be entered, kept for the next store.
    std::optional<std::string> unreachableOutput{};

    // Loads the settings file and enters the output folder; throws
    // KinaruError when that folder cannot be entered.
    void ReadIni();
    // Stores the settings with the dialogs' positions; throws WriteError.
    void WriteIni() const;
};

}  // namespace kinaru::win32
