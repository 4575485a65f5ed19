// The Windows stubs under Wine, in one Wine prefix for the whole run (its
// first start takes a while): names of every script back byte for byte,
// unsafe names refused, files replaced only on an answer, Ctrl-C.
#include <gtest/gtest.h>

#include "crafted.h"
#include "support.h"

namespace {

using namespace sfxtest;

// The i686 stubs are the ones s ships; the x86_64 build of the same sources
// runs on every x86_64 host, so the stubs' code is tested even where 32-bit
// programs cannot run.
struct Build {
    const char* name;
    std::string loader;
    fs::path stubs;
};
const Build kBuilds[] = {{"i686", kWine32, kStubs}, {"x86_64", kWine64, fs::path(WINDOWS_OUT) / "win64"}};

class WindowsStub : public ::testing::TestWithParam<Build> {
protected:
    void SetUp() override {
        if (auto why = wineMissing(GetParam().loader); !why.empty()) GTEST_SKIP() << why;
        if (!haveWindowsStubs(GetParam().stubs))
            GTEST_SKIP() << "Windows stubs not built in " << GetParam().stubs << " (no MinGW-w64 cross compiler)";
        if (!haveProgram("xvfb-run")) GTEST_SKIP() << "xvfb-run is needed for the window face";
        // s takes the stubs beside it: a kit of its own for another build's.
        if (stubs_ != kStubs) {
            fs::create_directories(kit());
            for (auto stub : {sfx::kConsoleStub, sfx::kWindowStub}) fs::copy_file(stubs_ / stub, kit() / stub);
            stubs_ = kit();
        }
        writeFile(src() / "日本語/フォルダ/資料.txt", textBytes(30000, 1));
        writeFile(src() / "한국어.txt", "안녕하세요\n");
        writeFile(src() / "😀 絵文字.bin", randomBytes(5000, 2));
        writeFile(src() / "ｶﾀｶﾅ.txt", "ﾊﾝｶｸ\n");
        fs::create_directories(src() / "日本語/空");
    }
    fs::path src() const { return tmp_.path() / "src"; }
    fs::path kit() const { return tmp_.path() / "kit"; }
    std::string wine(bool display = false) const { return ::wine(display, GetParam().loader); }
    TempDir tmp_;
    fs::path stubs_ = GetParam().stubs;
};

// Each face, with and without folders; a file already there is replaced
// only on an answer, and the console without one fails.
// clang-format off
TEST_P(WindowsStub, RestoresMixedNamesAndReplacesOnlyOnAnAnswer) {
    const std::string exe = "12090507.exe ", mine = "日本語/フォルダ/資料.txt";
    expectFaces(tmp_.path(), src(), "\"日本語/*.*\" 한국어.txt \"😀 絵文字.bin\" ｶﾀｶﾅ.txt", {
        {"console", "-gu1 -ji1", wine() + exe + "--dest=行き先", "行き先", mine, false, 1, "한국어.txt"},
        {"console, no", "-gu1 -ji1", wine() + exe + "--dest=行き先 --overwrite=no", "行き先", mine, false, 0, "한국어.txt"},
        {"console flat", "-ji1", wine() + exe + "--dest=行き先 --overwrite=yes", "行き先", "資料.txt", true, 0, "한국어.txt"},
        {"window", "-gu1 -ji0 -gw4", wine(true) + exe + "--unattended --dest=行き先 --overwrite=yes", "行き先", mine, true, 0,
         "4 個のファイルを「行き先」"},
        {"window, no answer", "-gu1 -ji0 -gw2", wine(true) + exe + "--unattended", "", mine, false, 0, "1 個のファイルは既にあった"},
    }, stubs_);
    for (const char *stub : {sfx::kConsoleStub, sfx::kWindowStub}) EXPECT_LT(fs::file_size(stubs_ / stub), 200u << 10);
}
// clang-format on

// Names that lead out of the destination, or that Windows reads as something
// else (a separator, a drive, a device, a name it trims), or that pass a
// link in the destination (Wine shows Unix links as plain folders): refused,
// the rest extracted, the run failed.
// clang-format off
TEST_P(WindowsStub, RefusesUnsafeNames) {
    fs::path box = tmp_.path() / "box";
    std::string lzh;
    for (auto [dir, name] : std::vector<std::pair<std::string, std::string>>{
             {"..", "上.txt"}, {"", "..\\..\\x.txt"}, {"", "/abs.txt"}, {"", "C:x.txt"}, {"", "CON.txt"},
             {"", "com1"}, {"", "dots.."}, {"sub\xFF..", "y.txt"}, {"", "a:stream"}, {"link", "through.txt"}})
        lzh += craftedEntry(2, dir, name, "x");
    writeFile(box / "evil.lzh", lzh + craftedEntry(2, "", "安全.txt", "safe") + '\0');
    ASSERT_EQ(selfExtract(box, "s -gu1 -ji1 evil.lzh", nullptr, stubs_), 0);
    fs::create_directories(box / "dest");
    fs::create_directories(box / "elsewhere");
    fs::create_directory_symlink("../elsewhere", box / "dest/link");
    Ran r = runIn(box / "dest", wine() + "../evil.exe");
    EXPECT_NE(r.status, 0) << r.output;
    EXPECT_EQ(tree(box / "dest"), (std::map<std::string, std::string>{{"安全.txt", "safe"}}));
    EXPECT_EQ(tree(box).size(), 3u) << "only evil.lzh, evil.exe and dest/安全.txt, nothing through the link";
}
// clang-format on

// Ctrl-C reaches the console stub as a console event: the file being
// written is removed and the run fails.
TEST_P(WindowsStub, InterruptedConsoleLeavesNoPartialFile) {
    writeFile(tmp_.path() / "big/大.bin", randomBytes(48 << 20, 3));
    fs::path exe = makeSelfExtractor(tmp_.path(), tmp_.path() / "big", "大.bin", 2, "-ji1", stubs_);
    fs::path dest = tmp_.path() / "dest";
    fs::create_directories(dest);
    int st = stopWhileWriting(dest, wine() + q(exe), SIGINT);
    EXPECT_TRUE(st != -1 && WIFEXITED(st) && WEXITSTATUS(st) > 0) << st;
    EXPECT_TRUE(fs::is_empty(dest)) << "neither the file nor its temporary";
}

INSTANTIATE_TEST_SUITE_P(, WindowsStub, ::testing::ValuesIn(kBuilds), [](const auto& i) { return i.param.name; });

}  // namespace
