#include "settings.h"

#include "settings/inifile.h"

namespace kinaru {

namespace {

template <typename... Visitors>
struct Overload : Visitors... {
    using Visitors::operator()...;
};

const SettingKey kKeys[] = {
    {"MAIN", "LEFT", &Settings::mainLeft},
    {"MAIN", "TOP", &Settings::mainTop},
    {"COMP", "LEFT", &Settings::compressionLeft},
    {"COMP", "TOP", &Settings::compressionTop},
    {"ALART", "LEFT", &Settings::sameNameLeft},
    {"ALART", "TOP", &Settings::sameNameTop},
    {"SETTING", "DISTDIR", &Settings::outputFolder},
    {"SETTING", "WORKDIR", &Settings::workFolder},
    {"SETTING", "SAMEFILE", &Settings::sameName},
    {"SETTING", "COMPVER", &Settings::method},
    {"SETTING", "VIEWINFO", &Settings::showProgress},
    {"SETTING", "DIRENABLE", &Settings::folderNames},
    {"SETTING", "OPENDIST", &Settings::openOutputFolder},
    {"SETTING", "DEFAULT", &Settings::defaultWorkFolder},
};

int methodNumber(std::optional<Method> method) { return method ? static_cast<int>(*method) : -1; }

}  // namespace

std::span<const SettingKey> settingKeys() { return kKeys; }

Settings loadSettings(const TIniFile& ini, const Settings& defaults, SameNamePolicy inForce) {
    Settings loaded = defaults;
    for (const SettingKey& k : kKeys) {
        std::visit(Overload{
                       [&](int Settings::*f) { loaded.*f = ini.ReadInteger(k.section, k.key, defaults.*f); },
                       [&](bool Settings::*f) { loaded.*f = ini.ReadBool(k.section, k.key, defaults.*f); },
                       [&](std::string Settings::*f) { loaded.*f = ini.ReadString(k.section, k.key, defaults.*f); },
                       [&](SameNamePolicy Settings::*f) {
                           int number = ini.ReadInteger(k.section, k.key, static_cast<int>(defaults.*f));
                           loaded.*f = sameNamePolicyFrom(number).value_or(inForce);
                       },
                       [&](std::optional<Method> Settings::*f) {
                           loaded.*f = methodFrom(ini.ReadInteger(k.section, k.key, methodNumber(defaults.*f)));
                       },
                   },
                   k.field);
    }
    return loaded;
}

void storeSettings(const TIniFile& ini, const Settings& settings) {
    for (const SettingKey& k : kKeys) {
        std::visit(
            Overload{
                [&](int Settings::*f) { ini.WriteInteger(k.section, k.key, settings.*f); },
                [&](bool Settings::*f) { ini.WriteBool(k.section, k.key, settings.*f); },
                [&](std::string Settings::*f) { ini.WriteString(k.section, k.key, settings.*f); },
                [&](SameNamePolicy Settings::*f) { ini.WriteInteger(k.section, k.key, static_cast<int>(settings.*f)); },
                [&](std::optional<Method> Settings::*f) {
                    ini.WriteInteger(k.section, k.key, methodNumber(settings.*f));
                },
            },
            k.field);
    }
}

}  // namespace kinaru
