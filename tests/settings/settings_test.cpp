// The one table of the settings file's keys: what is stored comes back.
#include "settings/inifile.h"
#include "settings/settings.h"
#include "tempdir.h"

#include <gtest/gtest.h>

namespace kinaru::testing {
namespace {

TEST(SettingsTable, EveryFieldIsStoredAndLoadedBack) {
    TempDir dir;
    TIniFile ini(dir / "kinaru.ini");
    Settings defaults;
    defaults.outputFolder = "/out/";
    EXPECT_EQ(loadSettings(ini, defaults, SameNamePolicy::Add), defaults) << "no file: every default";

    const Settings changed{1,           2,     3,     4,    -5,   6, "/o/", "/w/", SameNamePolicy::Replace,
                           Method::LH7, false, false, true, false};
    storeSettings(ini, changed);
    EXPECT_EQ(loadSettings(ini, defaults, SameNamePolicy::Add), changed);

    // Out of range: the policy in force stays, the method becomes none.
    ini.WriteInteger("SETTING", "SAMEFILE", 3);
    ini.WriteInteger("SETTING", "COMPVER", 3);
    Settings loaded = loadSettings(ini, defaults, SameNamePolicy::Add);
    EXPECT_EQ(loaded.sameName, SameNamePolicy::Add);
    EXPECT_EQ(loaded.method, std::nullopt);
}

}  // namespace
}  // namespace kinaru::testing
