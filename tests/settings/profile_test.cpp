#include "base/errors.h"
#include "settings/inifile.h"
#include "settings/profile.h"
#include "tempdir.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

namespace kinaru {
namespace {

using testing::readFile;
using testing::TempDir;
using testing::writeFile;

class Profile : public ::testing::Test {
protected:
    TempDir dir;
    std::string file = dir / "kinaru.ini";
};

TEST_F(Profile, ReadsValuesAndFallsBackWhenAnythingIsMissing) {
    writeFile(file,
              "; hand-written comment\n"
              "[setting]\n"
              "  DistDir  =  /out  \n"
              "EMPTY=\n"
              "workdir=first\n"
              "WORKDIR=second\n"
              "[SETTING]\n"
              "COMPVER=2\n");
    TIniFile ini(file);
    EXPECT_EQ(ini.ReadString("SETTING", "DISTDIR", "x"), "/out");        // names match without case
    EXPECT_EQ(ini.ReadString("SETTING", "EMPTY", "x"), "");              // present but empty: empty
    EXPECT_EQ(ini.ReadString("SETTING", "WORKDIR", "x"), "first");       // the first of duplicates
    EXPECT_EQ(ini.ReadString("SETTING", "COMPVER", "x"), "x");           // only the first section counts
    EXPECT_EQ(ini.ReadString("MAIN", "LEFT", "fallback"), "fallback");   // missing section
    EXPECT_EQ(ini.ReadString("SETTING", "NONE", "fallback"), "fallback"); // missing key
    EXPECT_EQ(TIniFile(dir / "missing.ini").ReadString("A", "B", "d"), "d");
}

TEST_F(Profile, ReadIsCutAt1023Bytes) {
    std::string longValue(1100, 'w');
    writeFile(file, "[SETTING]\nWORKDIR=" + longValue + "\n");
    EXPECT_EQ(TIniFile(file).ReadString("SETTING", "WORKDIR", ""), longValue.substr(0, 1023));
}

TEST_F(Profile, StoreReplacesInPlaceAndAppendsWhatIsMissing) {
    writeFile(file,
              "; keep me\n"
              "[MAIN]\n"
              "left = 5\n"
              "Unknown=kept\n"
              "\n"
              "[Other]\n"
              "x=1\n");
    TIniFile ini(file);
    ini.WriteInteger("MAIN", "LEFT", 10);   // replaced where it stands
    ini.WriteInteger("MAIN", "TOP", 11);    // added at the end of its section
    ini.WriteString("SETTING", "DISTDIR", "/out");  // a new section at the end
    EXPECT_EQ(readFile(file),
              "; keep me\n"
              "[MAIN]\n"
              "LEFT=10\n"
              "Unknown=kept\n"
              "TOP=11\n"
              "\n"
              "[Other]\n"
              "x=1\n"
              "\n"
              "[SETTING]\n"
              "DISTDIR=/out\n");
}

TEST_F(Profile, KeepsCrlfLineEndsAndOddContent) {
    std::string binary("\x01\x02garbage\xff\xfe no equals sign", 27);
    std::string hugeLine(100 * 1024, 'z');
    writeFile(file, "[MAIN]\r\nLEFT=1\r\n" + binary + "\r\n" + hugeLine + "\r\n[COMP]\r\nTOP=3");  // no final newline
    TIniFile ini(file);
    ini.WriteInteger("MAIN", "LEFT", 2);
    ini.WriteInteger("COMP", "LEFT", 4);
    EXPECT_EQ(readFile(file), "[MAIN]\r\nLEFT=2\r\n" + binary + "\r\n" + hugeLine + "\r\n[COMP]\r\nTOP=3\r\nLEFT=4\r\n");
    EXPECT_EQ(ini.ReadInteger("COMP", "TOP", 0), 3);
}

TEST_F(Profile, NewFileHasSectionsInOrderOfFirstStore) {
    TIniFile ini(file);
    ini.WriteInteger("MAIN", "LEFT", 10);
    ini.WriteInteger("MAIN", "TOP", -3);
    ini.WriteBool("SETTING", "VIEWINFO", true);
    ini.WriteBool("SETTING", "OPENDIST", false);
    EXPECT_EQ(readFile(file), "[MAIN]\nLEFT=10\nTOP=-3\n\n[SETTING]\nVIEWINFO=1\nOPENDIST=0\n");
}

TEST_F(Profile, FlagsAndIntegersReadByTheRules) {
    writeFile(file, "[S]\nA=2\nB=yes\nC=0\nD=0x20\nE=12abc\n");
    TIniFile ini(file);
    EXPECT_TRUE(ini.ReadBool("S", "A", false));
    EXPECT_TRUE(ini.ReadBool("S", "B", true));
    EXPECT_FALSE(ini.ReadBool("S", "B", false));
    EXPECT_FALSE(ini.ReadBool("S", "C", true));
    EXPECT_EQ(ini.ReadInteger("S", "D", 0), 32);
    EXPECT_EQ(ini.ReadInteger("S", "E", 99), 99);
    EXPECT_EQ(ini.ReadInteger("S", "MISSING", -7), -7);
}

TEST_F(Profile, ReadOnlyFileOrFolderGivesTheWriteErrorAndStaysIntact) {
    writeFile(file, "[MAIN]\nLEFT=1\n");
    ::chmod(file.c_str(), 0444);
    TIniFile ini(file);
    try {
        ini.WriteInteger("MAIN", "LEFT", 2);
        FAIL() << "a read-only file was written";
    } catch (const WriteError& error) {
        EXPECT_EQ(std::string(error.what()), file + " に書き込めません");
    }
    EXPECT_EQ(readFile(file), "[MAIN]\nLEFT=1\n");

    TempDir locked;
    ::chmod(locked.path().c_str(), 0555);
    EXPECT_THROW(TIniFile(locked / "k.ini").WriteInteger("MAIN", "LEFT", 2), WriteError);
    EXPECT_FALSE(testing::exists(locked / "k.ini"));
}

TEST_F(Profile, HandEditedFilesAndValuesWithBlanksComeBackAsWritten) {
    writeFile(file, "\xEF\xBB\xBF[SETTING]\nDISTDIR=\"/srv/out\"\n");
    TIniFile ini(file);
    EXPECT_EQ(ini.ReadString("SETTING", "DISTDIR", ""), "/srv/out");
    for (std::string value : {" /out ", "\t/x", "\"quoted\"", "/w\xff\xfe/", "\"", "/plain"}) {
        ini.WriteString("SETTING", "WORKDIR", value);
        EXPECT_EQ(ini.ReadString("SETTING", "WORKDIR", ""), value);
    }
    EXPECT_EQ(readFile(file), "\xEF\xBB\xBF[SETTING]\nDISTDIR=\"/srv/out\"\nWORKDIR=/plain\n");

    // A folder in the file's place is a file that cannot be read or written.
    ASSERT_EQ(::mkdir((dir / "folder.ini").c_str(), 0755), 0);
    TIniFile folder(dir / "folder.ini");
    EXPECT_EQ(folder.ReadString("SETTING", "DISTDIR", "default"), "default");
    EXPECT_THROW(folder.WriteString("SETTING", "DISTDIR", "/x"), WriteError);
}

TEST_F(Profile, ValueWithLineBreakIsRefusedRatherThanSplittingTheFile) {
    writeFile(file, "[SETTING]\nDISTDIR=/a\n");
    EXPECT_FALSE(profile::writeString(file, "SETTING", "DISTDIR", "/x\n[MAIN]"));
    EXPECT_EQ(readFile(file), "[SETTING]\nDISTDIR=/a\n");
}

TEST_F(Profile, StoreThroughALinkKeepsTheLink) {
    std::string real = dir / "real.ini";
    writeFile(real, "[MAIN]\nLEFT=1\n");
    ASSERT_EQ(::symlink(real.c_str(), file.c_str()), 0);
    TIniFile(file).WriteInteger("MAIN", "LEFT", 5);
    struct stat st {};
    ASSERT_EQ(::lstat(file.c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));
    EXPECT_EQ(readFile(real), "[MAIN]\nLEFT=5\n");
}

}  // namespace
}  // namespace kinaru
