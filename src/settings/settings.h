#pragma once
// The settings as one plain value, and the one table of the settings file's
// keys that loads and stores it.
#include "base/choices.h"

#include <optional>
#include <span>
#include <string>
#include <variant>

namespace kinaru {

class TIniFile;

struct Settings {
    // Window positions: sections MAIN, COMP and ALART.
    int mainLeft = 10, mainTop = 10;
    int compressionLeft = 20, compressionTop = 20;
    int sameNameLeft = 30, sameNameTop = 30;
    // Section SETTING.
    std::string outputFolder;                       // DISTDIR; its default is the executable's folder
    std::string workFolder;                         // WORKDIR
    SameNamePolicy sameName = SameNamePolicy::Ask;  // SAMEFILE
    std::optional<Method> method = Method::LH5;     // COMPVER; none: no method switch
    bool showProgress = true;                       // VIEWINFO
    bool folderNames = true;                        // DIRENABLE
    bool openOutputFolder = false;                  // OPENDIST
    bool defaultWorkFolder = true;                  // DEFAULT

    bool operator==(const Settings&) const = default;
};

// One key of the settings file and the field that holds it.
struct SettingKey {
    const char* section;
    const char* key;
    std::variant<int Settings::*, bool Settings::*, std::string Settings::*, SameNamePolicy Settings::*,
                 std::optional<Method> Settings::*>
        field;
};

// Every key, in the order a new file lists them.
std::span<const SettingKey> settingKeys();

// Reads every key. A missing or unreadable key gives the field of defaults; a
// same-name policy out of range leaves the one in force, a method out of
// range gives none.
Settings loadSettings(const TIniFile& ini, const Settings& defaults, SameNamePolicy inForce);

// Writes every key; throws WriteError when the file cannot be written.
void storeSettings(const TIniFile& ini, const Settings& settings);

}  // namespace kinaru
