// The settings file: its lines, its integers and the one table of its keys.
#include "base/errors.h"
#include "settings/inifile.h"
#include "settings/profile.h"
#include "settings/settings.h"
#include "tempdir.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

namespace kinaru::testing {
namespace {

class Profile : public ::testing::Test {
protected:
    TempDir dir;
    std::string file = dir / "kinaru.ini";
};

TEST_F(Profile, ReadsValuesAndFallsBackWhenAnythingIsMissing) {
    writeFile(file, "; comment\n[setting]\n  DistDir  =  /out  \nEMPTY=\nworkdir=" + std::string(1100, 'w') +
                        "\nWORKDIR=second\nSPLIT=a=b\n[SETTING]\nCOMPVER=2\n");
    TIniFile ini(file);
    EXPECT_EQ(ini.ReadString("SETTING", "DISTDIR", "x"), "/out");  // names match without case
    EXPECT_EQ(ini.ReadString("SETTING", "EMPTY", "x"), "");
    EXPECT_EQ(ini.ReadString("SETTING", "SPLIT", "x"), "a=b");  // the first "=" ends the name
    EXPECT_EQ(ini.ReadString("SETTING", "WORKDIR", "x"), std::string(1023, 'w'));  // the first, cut
    EXPECT_EQ(ini.ReadString("SETTING", "COMPVER", "x"), "x");                     // only the first section counts
    EXPECT_EQ(ini.ReadString("MAIN", "LEFT", "x"), "x");
    EXPECT_EQ(TIniFile(dir / "missing.ini").ReadString("A", "B", "d"), "d");
}

// A store changes its own line only: comments, unknown keys, line ends and
// lines that are no settings at all stay as they were.
TEST_F(Profile, StoreReplacesInPlaceAndAppendsWhatIsMissing) {
    const std::string odd = std::string("\x01garbage\xff no equals sign\r\n", 26) + std::string(100 * 1024, 'z');
    const std::pair<std::string, std::string> cases[] = {
        {"; keep\n[MAIN]\nleft = 5\nUnknown=kept\n\n[Other]\nx=1\n",
         "; keep\n[MAIN]\nLEFT=10\nUnknown=kept\nTOP=11\n\n[Other]\nx=1\n\n[SETTING]\nDISTDIR=/out\n"},
        {"[MAIN]\r\nLEFT=1\r\n" + odd + "\r\n[COMP]\r\nTOP=3",
         "[MAIN]\r\nLEFT=10\r\n" + odd + "\r\nTOP=11\r\n[COMP]\r\nTOP=3\r\n\r\n[SETTING]\r\nDISTDIR=/out\r\n"},
    };
    for (const auto& [before, after] : cases) {
        writeFile(file, before);
        TIniFile ini(file);
        ini.WriteInteger("MAIN", "LEFT", 10);
        ini.WriteInteger("MAIN", "TOP", 11);
        ini.WriteString("SETTING", "DISTDIR", "/out");
        EXPECT_EQ(readFile(file), after);
        EXPECT_EQ(ini.ReadInteger("MAIN", "TOP", 0), 11);
    }
}

TEST_F(Profile, FileThatCannotBeWrittenGivesTheWriteErrorAndStaysIntact) {
    TempDir locked;
    writeFile(file, "[MAIN]\nLEFT=1\n");
    ::chmod(file.c_str(), 0444);
    ::chmod(locked.path().c_str(), 0555);
    ::mkdir((dir / "folder.ini").c_str(), 0755);
    for (const std::string& path : {file, locked / "k.ini", dir / "folder.ini"}) {
        EXPECT_EQ(TIniFile(path).ReadString("MAIN", "TOP", "d"), "d");
        try {
            TIniFile(path).WriteInteger("MAIN", "LEFT", 2);
            ADD_FAILURE() << path << " was written";
        } catch (const WriteError& error) {
            EXPECT_EQ(std::string(error.what()), path + " に書き込めません");
        }
    }
    EXPECT_EQ(readFile(file), "[MAIN]\nLEFT=1\n");
    EXPECT_FALSE(exists(locked / "k.ini"));
}

TEST_F(Profile, HandEditedFilesAndValuesWithBlanksComeBackAsWritten) {
    writeFile(file, "\xEF\xBB\xBF[SETTING]\nDISTDIR=\"/srv/out\"\nWORKDIR=' /w '\n");
    TIniFile ini(file);
    EXPECT_EQ(ini.ReadString("SETTING", "DISTDIR", ""), "/srv/out");
    EXPECT_EQ(ini.ReadString("SETTING", "WORKDIR", ""), " /w ");
    for (std::string value : {" /out ", "\t/x", "\"quoted\"", "'quoted'", "/w\xff\xfe/", "\"", "'", "/plain"}) {
        ini.WriteString("SETTING", "WORKDIR", value);
        EXPECT_EQ(ini.ReadString("SETTING", "WORKDIR", ""), value);
    }
    EXPECT_EQ(readFile(file), "\xEF\xBB\xBF[SETTING]\nDISTDIR=\"/srv/out\"\nWORKDIR=/plain\n");
    EXPECT_FALSE(profile::writeString(file, "SETTING", "DISTDIR", "/x\n[MAIN]")) << "it would split the file";
    EXPECT_EQ(ini.ReadString("SETTING", "DISTDIR", ""), "/srv/out");
}

TEST_F(Profile, StoreThroughALinkKeepsTheLink) {
    writeFile(dir / "real.ini", "[MAIN]\nLEFT=1\n");
    ASSERT_EQ(::symlink("real.ini", file.c_str()), 0);
    TIniFile(file).WriteInteger("MAIN", "LEFT", 5);
    struct stat st {};
    EXPECT_TRUE(::lstat(file.c_str(), &st) == 0 && S_ISLNK(st.st_mode));
    EXPECT_EQ(readFile(dir / "real.ini"), "[MAIN]\nLEFT=5\n");
}

TEST(IntegerRules, AcceptOnlyWhatTheFormatAllows) {
    const std::optional<std::int32_t> no;
    // clang-format off
    const std::pair<const char*, std::optional<std::int32_t>> cases[] = {
        {"0x20", 32}, {"0XA", 10}, {"$20", 32}, {"0x", no}, {"$", no}, {"-5", -5}, {"+7", 7}, {"  12", 12},
        {"12abc", no}, {"-0x10", no}, {"2147483647", 2147483647}, {"2147483648", no}, {"-2147483648", INT32_MIN},
        {"-2147483649", no}, {"$FFFFFFFF", -1}, {"0x80000000", INT32_MIN}, {"$100000000", no}, {"$000000010", 16},
        {"0xffff", 65535}, {"", no}, {"-", no}, {"+", no}, {"12 ", no}, {"\t12", no}, {"-$10", no}, {" 0x10", no},
        {"0x-1", no}, {"007", 7}, {"99999999999999999999", no}, {"1.5", no},
    };
    // clang-format on
    for (const auto& [text, value] : cases) EXPECT_EQ(parseProfileInteger(text), value) << '"' << text << '"';
}

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
    // A same-name policy that is none of the three: the one in force stays.
    for (int number : {3, -1}) {
        ini.WriteInteger("SETTING", "SAMEFILE", number);
        EXPECT_EQ(loadSettings(ini, defaults, SameNamePolicy::Add).sameName, SameNamePolicy::Add) << number;
    }
}

}  // namespace
}  // namespace kinaru::testing
