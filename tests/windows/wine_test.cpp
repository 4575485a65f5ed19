// unlha32.dll under Wine: a Windows program packs and unpacks through it
// (dll_test.cpp), and the archives cross between Windows and Linux tools.
#include <algorithm>
#include <clocale>
#include <gtest/gtest.h>
#include <map>

#include "test_util.h"
#include "lzh/names.h"

namespace {

struct Side {
    const char *name, *loader;
};
class WineTest : public ::testing::TestWithParam<Side> {};

// One prefix for the whole run: its first start is the slow part.
const TempDir &prefix() {
    static TempDir d;
    return d;
}

// What a peer writes: lhasa and 7-Zip the stored bytes (7-Zip also splits at
// a CP932 trail byte 0x5C), bsdtar told CP932 the names as they were.
enum class Reads { Stored, SplitAt5C, Cp932 };
std::map<std::string, std::string> expected(const std::map<std::string, std::string> &t, Reads how) {
    std::map<std::string, std::string> out;
    for (auto &[k, v] : t) {
        std::string raw;
        for (auto &part : fs::path(k)) raw += (raw.empty() ? "" : "/") + lzh::toArchiveName(part.string());
        if (how == Reads::SplitAt5C) std::replace(raw.begin(), raw.end(), '\\', '/');
        out[how == Reads::Cp932 ? k : raw] = v;
    }
    return out;
}

TEST_P(WineTest, ArchivesCrossBetweenWindowsAndLinux) {
    Side s = GetParam();
    fs::path exe = fs::path(WINDOWS_OUT) / s.name / "unlha32-test.exe";
    if (!fs::exists(s.loader)) GTEST_SKIP() << s.loader << " is not installed";
    if (!haveProgram("xvfb-run")) GTEST_SKIP() << "no xvfb-run: the progress window needs a display";
    ASSERT_TRUE(fs::exists(exe));
    ASSERT_NE(std::setlocale(LC_ALL, "C.UTF-8"), nullptr);
    TempDir tmp;
    fs::path src = tmp.path() / "src";
    writeFile(src / "a.txt", textBytes(20000, 1));
    writeFile(src / "日本語フォルダ/表示.txt", textBytes(5000, 2));
    writeFile(src / "日本語フォルダ/ソース.bin", randomBytes(100000, 3));
    writeFile(src / "한국어.txt", "not in CP932: stored as UTF-8");
    writeFile(src / "empty", "");
    ASSERT_EQ(shell(tmp.path(), std::string(UNLHA_TOOL) + " a -r2 -x1 linux.lzh src"), 0);
    // Names Windows reads as more than a name: a stream, a device.
    writeFile(tmp.path() / "odd/a:b.txt", "stream");
    writeFile(tmp.path() / "odd/con.txt", "device");
    ASSERT_EQ(shell(tmp.path(), std::string(UNLHA_TOOL) + " a odd.lzh odd/a:b.txt odd/con.txt && rm -r odd"), 0);
    std::string env = "WINEPREFIX='" + prefix().str() + "' WINEDEBUG=-all WINEDLLOVERRIDES='mscoree,mshtml=' " +
                      "LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8 ";
    int rc = shell(tmp.path(), env + "xvfb-run -a " + s.loader + " '" + exe.string() + "' >log.txt 2>&1");
    if (rc == 77) GTEST_SKIP() << "Wine did not take code page 932 from ja_JP.UTF-8";
    ASSERT_EQ(rc, 0) << readFile(tmp.path() / "log.txt");
    EXPECT_TRUE(fs::is_empty(tmp.path() / "odd")); // neither a stream nor a device was written to

    auto want = tree(src);
    struct Peer {
        const char *program, *command;
        Reads how;
    } peers[] = {{"lhasa", "lhasa xq", Reads::Stored},
                 {"7zz", "7zz x -y", Reads::SplitAt5C},
                 {"bsdtar", "bsdtar --options hdrcharset=CP932 -xf", Reads::Cp932}};
    for (const char *arc : {"win2.lzh", "win3.lzh", "win4.lzh"})
        for (auto &p : peers) {
            SCOPED_TRACE(std::string(p.program) + " " + arc);
            if (!haveProgram(p.program)) {
                std::cerr << "no " << p.program << ", its check is skipped\n";
                continue;
            }
            fs::path dir = tmp.path() / (std::string(p.program) + "-" + arc);
            fs::create_directories(dir);
            EXPECT_EQ(shell(dir, "LC_ALL=C.UTF-8 " + std::string(p.command) + " ../" + arc), 0);
            EXPECT_EQ(treeDiff(tree(dir / "src"), expected(want, p.how)), "");
        }
}

INSTANTIATE_TEST_SUITE_P(, WineTest,
                         ::testing::Values(Side{"win32", "/usr/lib/wine/wine"}, Side{"win64", "/usr/lib/wine/wine64"}),
                         [](const auto &i) { return std::string(i.param.name); });

} // namespace
