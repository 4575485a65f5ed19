// The Windows stubs under Wine, in one Wine prefix for the whole run (its
// first start takes a while): names of every script back byte for byte,
// unsafe names refused, files replaced only on an answer, Ctrl-C.
#include <gtest/gtest.h>

#include "crafted.h"
#include "sfx/writer.h"
#include "support.h"

namespace {

using namespace sfxtest;

const char *const kWine = "/usr/lib/wine/wine";
const fs::path kStubs = fs::path(SFX_STUB).parent_path();

struct Prefix {
    TempDir dir;
    ~Prefix() { std::system(("WINEPREFIX=" + dir.str() + " /usr/lib/wine/wineserver -k 2>/dev/null").c_str()); }
};

// The command that runs a Windows program; the window face gets a display.
std::string wine(bool window = false) {
    static Prefix prefix;
    return "env WINEPREFIX=" + prefix.dir.str() + " WINEDEBUG=-all WINEDLLOVERRIDES='mscoree,mshtml=' " +
           (window ? "xvfb-run -a " : "") + kWine + " ";
}

class WindowsStub : public ::testing::Test {
protected:
    void SetUp() override {
        if (!fs::exists(kWine)) GTEST_SKIP() << "Wine is not installed (" << kWine << ")";
        if (!fs::exists(kStubs / sfx::kConsoleStub) || !fs::exists(kStubs / sfx::kWindowStub))
            GTEST_SKIP() << "Windows stubs not built (no MinGW-w64 cross compiler)";
        if (!haveProgram("xvfb-run")) GTEST_SKIP() << "xvfb-run is needed for the window face";
        writeFile(src() / "日本語/フォルダ/資料.txt", textBytes(30000, 1));
        writeFile(src() / "한국어.txt", "안녕하세요\n");
        writeFile(src() / "😀 絵文字.bin", randomBytes(5000, 2));
        writeFile(src() / "ｶﾀｶﾅ.txt", "ﾊﾝｶｸ\n");
        fs::create_directories(src() / "日本語/空");
    }
    fs::path src() const { return tmp_.path() / "src"; }
    fs::path make(const std::string &name, const std::string &switches) {
        return makeSelfExtractor(tmp_.path() / name, src(), "\"日本語/*.*\" 한국어.txt \"😀 絵文字.bin\" ｶﾀｶﾅ.txt", 4,
                                 switches);
    }
    TempDir tmp_;
};

TEST_F(WindowsStub, RestoresMixedNamesByteForByte) {
    struct Case {
        const char *switches, *args;
        bool folders;
    } cases[] = {
        {"-gu1 -ji1", "--dest=行き先", true},
        {"-ji1", "--dest=行き先", false},
        {"-gu1 -ji0 -gw4", "--unattended --dest=行き先", true},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.switches);
        fs::path exe = make(c.switches, c.switches);
        Result r = runIn(exe.parent_path(), wine(c.args[2] == 'u') + "12090507.exe " + c.args + " </dev/null");
        ASSERT_EQ(r.status, 0) << r.output;
        EXPECT_NE(r.output.find(c.args[2] == 'u' ? "4 個のファイルを「行き先」" : "한국어.txt"), std::string::npos)
            << r.output;
        std::map<std::string, std::string> want;
        for (auto &[name, data] : tree(src())) want[c.folders ? name : fs::path(name).filename().string()] = data;
        fs::path dest = exe.parent_path() / "行き先";
        EXPECT_EQ(treeDiff(want, tree(dest)), "");
        EXPECT_EQ(fs::exists(dest / "日本語/空"), c.folders);
        EXPECT_TRUE(tempFiles(dest).empty());
    }
    for (const char *stub : {sfx::kConsoleStub, sfx::kWindowStub}) EXPECT_LT(fs::file_size(kStubs / stub), 200u << 10);
}

// Names that lead out of the destination, or that Windows reads as something
// else (a separator, a drive, a device, a name it trims): refused, the rest
// extracted, the run failed.
TEST_F(WindowsStub, RefusesUnsafeNames) {
    fs::path box = tmp_.path() / "box";
    std::string lzh;
    for (auto [dir, name] : std::vector<std::pair<std::string, std::string>>{
             {"..", "上.txt"}, {"", "..\\..\\x.txt"}, {"", "/abs.txt"}, {"", "C:x.txt"}, {"", "CON.txt"},
             {"", "com1"}, {"", "dots.."}, {"sub\xFF..", "y.txt"}, {"", "a:stream"}})
        lzh += craftedEntry(2, dir, name, "x");
    writeFile(box / "evil.lzh", lzh + craftedEntry(2, "", "安全.txt", "safe") + '\0');
    ASSERT_EQ(run(box, "s -gu1 -ji1 evil.lzh"), 0);
    fs::create_directories(box / "dest");
    Result r = runIn(box / "dest", wine() + "../evil.exe </dev/null");
    EXPECT_NE(r.status, 0) << r.output;
    EXPECT_EQ(tree(box / "dest"), (std::map<std::string, std::string>{{"安全.txt", "safe"}}));
    EXPECT_EQ(tree(box).size(), 3u) << "only evil.lzh, evil.exe and dest/安全.txt";
}

TEST_F(WindowsStub, ReplacesOnlyOnAnAnswer) {
    struct Case {
        const char *switches, *args;
        bool replaced;
        int status;
    } cases[] = {
        {"-gu1 -ji1", "", false, 1},
        {"-gu1 -ji1", "--overwrite=yes", true, 0},
        {"-gu1 -ji1", "--overwrite=no", false, 0},
        {"-gu1 -ji0 -gw2", "--unattended --overwrite=yes", true, 0},
        {"-gu1 -ji0 -gw2", "--unattended", false, 0},
    };
    int n = 0;
    for (const Case &c : cases) {
        SCOPED_TRACE(std::string(c.switches) + " " + c.args);
        fs::path exe = make(std::to_string(n++), c.switches), dir = exe.parent_path();
        writeFile(dir / "日本語/フォルダ/資料.txt", "mine");
        Result r = runIn(dir, wine(std::string(c.switches).find("-ji0") != std::string::npos) + "12090507.exe " +
                                  c.args + " </dev/null");
        EXPECT_EQ(r.status, c.status) << r.output;
        EXPECT_EQ(readFile(dir / "日本語/フォルダ/資料.txt") == "mine", !c.replaced);
        EXPECT_EQ(readFile(dir / "한국어.txt"), readFile(src() / "한국어.txt"));
        EXPECT_TRUE(tempFiles(dir).empty());
    }
}

// Ctrl-C reaches the console stub as a console event: the file being
// written is removed and the run fails.
TEST_F(WindowsStub, InterruptedConsoleLeavesNoPartialFile) {
    writeFile(tmp_.path() / "big/大.bin", randomBytes(48 << 20, 3));
    fs::path exe = makeSelfExtractor(tmp_.path(), tmp_.path() / "big", "大.bin", 2, "-ji1");
    fs::path dest = tmp_.path() / "dest";
    fs::create_directories(dest);
    EXPECT_GT(interruptAfterFirstLine(dest, wine() + q(exe) + " </dev/null"), 0);
    EXPECT_TRUE(fs::is_empty(dest)) << "neither the file nor its temporary";
}

} // namespace
