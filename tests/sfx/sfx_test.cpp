// The s command through the library's entry point: what it writes and
// where; and t and x reading what it wrote.
#include <gtest/gtest.h>

#include <dlfcn.h>

#include "archive/trailer.h"
#include "support.h"

namespace {

using namespace sfxtest;

class SelfExtractor : public ::testing::Test {
protected:
    void SetUp() override {
        fs::create_directories(work());
        fs::create_directories(out());
        writeFile(tmp_.path() / "src/a.txt", textBytes(20000, 7));
        writeFile(tmp_.path() / "src/フォルダ/b.txt", "b\n");
        ASSERT_EQ(call(tmp_.path() / "src", "a -n1 -x1 -r2 -jm2 " + q(archive()) + " \"a.txt\" \"フォルダ/*.*\""), 0);
    }
    fs::path work() const { return tmp_.path() / "work dir"; }
    fs::path out() const { return tmp_.path() / "out"; }
    fs::path archive() const { return work() / "v1.2.lzh"; }  // named without its last dot
    // The command text as the program builds it.
    std::string command(const std::string& face) const {
        return "s -n1 -x1 -w\"" + work().string() + "/\" -jm2  -a2 " + face + "  " + q(archive());
    }
    TempDir tmp_;
};

// Each face gets its stub, the archive byte for byte and a trailer naming
// the face; t and x read the result as the archive it carries.
// clang-format off
TEST_F(SelfExtractor, WritesTheStubOfTheFaceAskedAndReadsBack) {
    struct { std::string switches, stub, name; bool window; int style; bool folders; } cases[] = {
        {"-linux -gu1 -ji0 -gw4", sfx::kLinuxStub, "v1.2", true, 4, true},
        {"-gu1 -ji1", sfx::kConsoleStub, "v1.2.exe", false, 0, true},
        {"-gu1 -ji0 -gw4", sfx::kWindowStub, "v1.2.exe", true, 4, true},
        {"-ji0 -gw2", sfx::kWindowStub, "v1.2.exe", true, 2, false},
    };
    const std::string lzh = readFile(archive());
    for (const auto &c : cases) {
        SCOPED_TRACE(c.switches);
        if (c.stub != sfx::kLinuxStub && !haveWindowsStubs()) continue;
        std::string text;
        ASSERT_EQ(call(out(), command(c.switches), &text), 0) << text;
        const fs::path exe = out() / c.name;
        EXPECT_EQ(fs::status(exe).permissions() & fs::perms::all, fs::perms(0755));
        std::string whole = readFile(exe), stub = readFile(kStubs / c.stub);
        archive::Trailer t;
        ASSERT_TRUE(archive::decodeTrailer(reinterpret_cast<const uint8_t *>(whole.data()) + whole.size() - 32,
                                           whole.size(), t));
        EXPECT_EQ(std::tie(t.window, t.style, t.folders), std::tie(c.window, c.style, c.folders));
        EXPECT_EQ(whole.substr(0, t.archiveOffset), stub);
        EXPECT_EQ(whole.substr(t.archiveOffset, t.archiveSize), lzh);
        EXPECT_EQ(readFile(archive()), lzh) << "the archive stays where it is";
        EXPECT_EQ(temps(out()), "");
        EXPECT_EQ(call(out(), "t " + q(exe), &text), 0) << text;
        EXPECT_EQ(call(out(), "x " + q(exe) + " x/", &text), 0) << text;
        EXPECT_EQ(readFile(out() / "x/フォルダ/b.txt"), "b\n");
        fs::remove_all(out());
        fs::create_directories(out());
    }
    if (!haveWindowsStubs()) GTEST_SKIP() << "Windows stubs not built (no MinGW-w64 cross compiler)";
}
// clang-format on

// Other writers' self-extractors carry no trailer: the archive is the first
// valid header after the program. A program without one is no archive.
TEST_F(SelfExtractor, FindsTheArchiveAfterAForeignProgram) {
    const std::string lzh = readFile(archive()), program = "MZ" + randomBytes(70000, 3) + "-lh5-";
    writeFile(out() / "foreign.exe", program + lzh);
    writeFile(out() / "plain.exe", program);
    std::string text;
    EXPECT_EQ(call(out(), "x foreign.exe x/", &text), 0) << text;
    EXPECT_EQ(readFile(out() / "x/a.txt"), textBytes(20000, 7));
    EXPECT_EQ(call(out(), "l plain.exe", &text), UNLHA_ERR_DAMAGED) << text;
}

// An installed copy of the library, and the tool, find the stub beside
// themselves, wherever they were put; a copy without the stub says so.
TEST_F(SelfExtractor, FindsTheStubBesideItself) {
    for (bool withStub : {true, false}) {
        SCOPED_TRACE(withStub);
        TempDir install;
        fs::copy_file(UNLHA_SO, install.path() / "libunlha32.so");
        if (withStub) fs::copy_file(SFX_STUB, install.path() / sfx::kLinuxStub);
        void* h = dlopen((install.path() / "libunlha32.so").c_str(), RTLD_NOW | RTLD_LOCAL);
        ASSERT_NE(h, nullptr) << dlerror();
        auto fn = reinterpret_cast<decltype(&::Unlha)>(dlsym(h, "Unlha"));
        int rc = inDir(out(), [&] { return fn(nullptr, command("-linux -ji1").c_str(), nullptr, 0); });
        dlclose(h);
        EXPECT_EQ(rc, withStub ? 0 : UNLHA_ERR_UNSUPPORTED);
        EXPECT_EQ(fs::exists(out() / "v1.2"), withStub);
        fs::remove(out() / "v1.2");
        EXPECT_EQ(temps(out()), "");
    }
    Ran r = runIn(out(), kTool + command("-linux -ji1"));  // the tool, beside its stub
    EXPECT_TRUE(r.status == 0 && fs::exists(out() / "v1.2")) << r.output;
    // Also where /proc is not mounted (a container, a chroot).
    fs::remove(out() / "v1.2");
    const std::string noProc = "unshare -m sh -c 'mount -t tmpfs none /proc && exec \"$0\" \"$@\"' ";
    if (shell(out(), noProc + "true") != 0) GTEST_SKIP() << "cannot hide /proc here (unshare -m)";
    r = runIn(out(), noProc + kTool + command("-linux -ji1"));
    EXPECT_TRUE(r.status == 0 && fs::exists(out() / "v1.2")) << r.output;
}

}  // namespace
