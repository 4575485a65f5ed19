// unlha32.dll under Wine: a Windows program packs and unpacks through it
// (dll_test.cpp), and the archives cross between Windows and Linux tools.
#include <algorithm>
#include <clocale>
#include <gtest/gtest.h>
#include <map>

#include "crafted.h"
#include "test_util.h"
#include "lzh/names.h"

namespace {

class WineTest : public ::testing::TestWithParam<std::string> {};  // win32 or win64

// What a peer writes: lhasa and 7-Zip the stored bytes (7-Zip also splits at
// a CP932 trail byte 0x5C), bsdtar told CP932 the names as they were.
enum class Reads { Stored, SplitAt5C, Cp932 };
std::map<std::string, std::string> expected(const std::map<std::string, std::string>& t, Reads how) {
    std::map<std::string, std::string> out;
    for (auto& [k, v] : t) {
        std::string raw;
        for (auto& part : fs::path(k)) {
            if (!raw.empty()) raw += '/';
            raw += lzh::toArchiveName(part.string());
        }
        if (how == Reads::SplitAt5C) std::replace(raw.begin(), raw.end(), '\\', '/');
        out[how == Reads::Cp932 ? k : raw] = v;
    }
    return out;
}

TEST_P(WineTest, ArchivesCrossBetweenWindowsAndLinux) {
    const std::string loader = GetParam() == "win32" ? kWine32 : kWine64;
    fs::path exe = fs::path(WINDOWS_OUT) / GetParam() / "unlha32-test.exe";
    if (auto why = wineMissing(loader); !why.empty()) GTEST_SKIP() << why;
    if (!haveProgram("xvfb-run")) GTEST_SKIP() << "no xvfb-run: the progress window needs a display";
    ASSERT_TRUE(fs::exists(exe));
    ASSERT_NE(std::setlocale(LC_ALL, "C.UTF-8"), nullptr);
    TempDir tmp;
    // The library writes self-extractors with the stubs beside it: those of
    // its own build (the i686 ones ship beside the Linux library).
    fs::path bin = tmp.path() / "bin";
    fs::create_directories(bin);
    const fs::path stubs = GetParam() == "win32" ? fs::path(UNLHA_TOOL).parent_path() : exe.parent_path();
    for (fs::path from : {exe, exe.parent_path() / "unlha32.dll", stubs / "kinaru-sfx-console.exe",
                          stubs / "kinaru-sfx-window.exe"})
        fs::copy_file(from, bin / from.filename());
    exe = bin / exe.filename();
    fs::path src = tmp.path() / "src";
    writeFile(src / "a.txt", textBytes(20000, 1));
    writeFile(src / "日本語フォルダ/表示.txt", textBytes(5000, 2));
    writeFile(src / "日本語フォルダ/ソース.bin", randomBytes(100000, 3));
    writeFile(src / "한국어.txt", "not in CP932: stored as UTF-8");
    writeFile(src / "empty", "");
    writeFile(tmp.path() / "odd/a:b.txt", "stream");  // names Windows reads as more than a name
    writeFile(tmp.path() / "odd/con.txt", "device");
    writeFile(tmp.path() / "odd/COM¹.txt", "device");  // superscript digits name devices too
    ASSERT_EQ(shell(tmp.path(), kTool + "a -r2 -x1 linux.lzh src && " + kTool + "a odd.lzh odd/* && rm -r odd"), 0);
    // A Unix link in the destination, which Wine does not show as a link.
    writeFile(tmp.path() / "through.lzh", craftedEntry(2, "linkdir", "victim.txt", "EVIL") + std::string(1, '\0'));
    fs::create_directories(tmp.path() / "outside");
    fs::create_directories(tmp.path() / "wdest");
    fs::create_directory_symlink(tmp.path() / "outside", tmp.path() / "wdest/linkdir");
    Ran r = runIn(tmp.path(), "LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8 " + wine(true, loader) + q(exe));
    if (r.status == 77) GTEST_SKIP() << "Wine did not take code page 932 from ja_JP.UTF-8";
    ASSERT_EQ(r.status, 0) << r.output;
    // Neither a stream nor a device was written to (nor their folder made).
    EXPECT_TRUE(!fs::exists(tmp.path() / "odd") || fs::is_empty(tmp.path() / "odd"));
    EXPECT_TRUE(fs::is_empty(tmp.path() / "outside"));

    auto want = tree(src);
    REQUIRE_ORACLES("lhasa", "7zz", "bsdtar");
    const std::tuple<std::string, std::string, Reads> peers[] = {
        {"lhasa", "lhasa xq", Reads::Stored},
        {"7zz", "7zz x -y", Reads::SplitAt5C},
        {"bsdtar", "bsdtar --options hdrcharset=CP932 -xf", Reads::Cp932}};
    for (const char* arc : {"win2.lzh", "win3.lzh", "win4.lzh"})
        for (auto& [program, command, how] : peers) {
            SCOPED_TRACE(program + " " + arc);
            fs::path dir = tmp.path() / (program + "-" + arc);
            fs::create_directories(dir);
            EXPECT_EQ(shell(dir, "LC_ALL=C.UTF-8 " + command + " ../" + arc), 0);
            EXPECT_EQ(treeDiff(tree(dir / "src"), expected(want, how)), "");
        }
}

INSTANTIATE_TEST_SUITE_P(, WineTest, ::testing::Values("win32", "win64"), [](const auto& i) { return i.param; });

}  // namespace
