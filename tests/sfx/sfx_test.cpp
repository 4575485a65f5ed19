// The s command through the library's entry point: what it writes, where,
// and what it refuses.
#include <gtest/gtest.h>

#include <dlfcn.h>
#include <fcntl.h>
#include <sys/stat.h>

#include "command/command.h"
#include "sfx/trailer.h"
#include "sfx/writer.h"
#include "support.h"
#include "unlha32.h"

namespace {

using namespace sfxtest;

class SelfExtractor : public ::testing::Test {
protected:
    void SetUp() override {
        fs::create_directories(work());
        fs::create_directories(out());
        writeFile(tmp_.path() / "src/a.txt", textBytes(20000, 7));
        writeFile(tmp_.path() / "src/フォルダ/b.txt", "b\n");
        ASSERT_EQ(run(tmp_.path() / "src", "a -n1 -x1 -r2 -jm2 " + q(archive()) + " \"a.txt\" \"フォルダ/*.*\""), 0);
    }
    fs::path work() const { return tmp_.path() / "work dir"; }
    fs::path out() const { return tmp_.path() / "out"; }
    fs::path archive() const { return work() / "12090507.lzh"; }
    // The command text as the program builds it.
    std::string command(const std::string &face) const {
        return "s -n1 -x1 -w\"" + work().string() + "/\" -jm2  -a2 " + face + "  " + q(archive());
    }
    TempDir tmp_;
};

sfx::Trailer trailerOf(const fs::path &p) {
    sfx::Trailer t;
    int fd = ::open(p.c_str(), O_RDONLY);
    EXPECT_TRUE(sfx::readTrailer(fd, t));
    ::close(fd);
    return t;
}

TEST_F(SelfExtractor, WritesStubArchiveAndFaceIntoCurrentFolder) {
    struct Case {
        std::string switches;
        bool window;
        int style;
        bool folders;
    } cases[] = {
        {"-gu1 -ji1", false, 0, true},
        {"-gu1 -ji0 -gw4", true, 4, true},
        {"-gu1 -ji0 -gw2", true, 2, true},
        {"-ji1", false, 0, false},
    };
    const std::string stub = readFile(SFX_STUB);
    const std::string lzh = readFile(archive());
    for (const Case &c : cases) {
        SCOPED_TRACE(c.switches);
        std::string text;
        ASSERT_EQ(run(out(), command(c.switches), &text), 0) << text;
        fs::path exe = out() / "12090507.exe";
        ASSERT_TRUE(fs::exists(exe));
        EXPECT_EQ(fs::status(exe).permissions() & fs::perms::all,
                  fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec | fs::perms::others_read |
                      fs::perms::others_exec);
        std::string whole = readFile(exe);
        sfx::Trailer t = trailerOf(exe);
        EXPECT_EQ(t.window, c.window);
        EXPECT_EQ(t.style, c.style);
        EXPECT_EQ(t.folders, c.folders);
        EXPECT_EQ(t.archiveOffset, stub.size());
        EXPECT_EQ(whole.substr(0, stub.size()), stub);
        EXPECT_EQ(whole.substr(t.archiveOffset, t.archiveSize), lzh);
        EXPECT_EQ(whole.size(), stub.size() + lzh.size() + sfx::kTrailerSize);
        EXPECT_EQ(readFile(archive()), lzh) << "the archive stays where it is";
        EXPECT_TRUE(tempFiles(out()).empty());
        fs::remove(exe);
    }
}

TEST_F(SelfExtractor, NeverReplacesAnExistingFile) {
    writeFile(out() / "12090507.exe", "someone else's");
    std::string text;
    EXPECT_EQ(run(out(), command("-gu1 -ji1"), &text), UNLHA_ERR_EXISTS) << text;
    EXPECT_EQ(readFile(out() / "12090507.exe"), "someone else's");
    EXPECT_TRUE(tempFiles(out()).empty());
    // Nor a link that would lead elsewhere.
    fs::remove(out() / "12090507.exe");
    fs::create_symlink(tmp_.path() / "nowhere", out() / "12090507.exe");
    EXPECT_EQ(run(out(), command("-gu1 -ji1"), &text), UNLHA_ERR_EXISTS);
    EXPECT_FALSE(fs::exists(tmp_.path() / "nowhere"));
}

TEST_F(SelfExtractor, RefusesWhatIsNoArchive) {
    struct Case {
        std::string name, content;
        int code;
    } cases[] = {
        {"junk.lzh", "no archive here at all", UNLHA_ERR_DAMAGED},
        {"empty.lzh", std::string(1, '\0'), UNLHA_ERR_DAMAGED},
        {"cut.lzh", readFile(archive()).substr(0, 300), UNLHA_ERR_DAMAGED},
        {"missing.lzh", "", UNLHA_ERR_NO_ARCHIVE},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        if (c.code != UNLHA_ERR_NO_ARCHIVE) writeFile(work() / c.name, c.content);
        EXPECT_EQ(run(out(), "s -n1 -ji1 " + q(work() / c.name)), c.code);
        EXPECT_TRUE(fs::is_empty(out())) << "nothing written, not even a temporary file";
    }
}

// The self-extractor lines as the program sends them.
TEST(SelfExtractorSwitches, AreReadFromTheCommandText) {
    struct Case {
        const char *text;
        bool window;
        int style;
        bool folders;
        const char *work;
    } cases[] = {
        {"s -n0 -x1 -w/tmp/ -jm4  -a2 -gu1 -ji0 -gw4  \"/tmp/12090507.lzh\"", true, 4, true, "/tmp/"},
        {"s -n1 -x0 -w/tmp/ -jm3  -a2 -gu1 -ji1  \"/tmp/12090507.lzh\"", false, 0, true, "/tmp/"},
        {"s -n0 -x1 -w\"/my dir/\"  -a2 -gu1 -ji0 -gw2  \"/my dir/12090507.lzh\"", true, 2, true, "/my dir/"},
        {"s -ji1 a.lzh", false, 0, false, ""},
    };
    for (const Case &c : cases) {
        archive::Options o = command::parse(command::splitWords(c.text));
        EXPECT_EQ(o.command, 's') << c.text;
        EXPECT_EQ(o.sfxWindow, c.window) << c.text;
        EXPECT_EQ(o.sfxStyle, c.style) << c.text;
        EXPECT_EQ(o.sfxFolders, c.folders) << c.text;
        EXPECT_EQ(o.workDir, c.work) << c.text;
    }
}

TEST(SelfExtractorName, IsTheArchiveNamePartWithExe) {
    struct Case {
        const char *archive, *exe;
    } cases[] = {
        {"/tmp/12090507.lzh", "12090507.exe"}, {"12090507.lzh", "12090507.exe"}, {"/a.b/c", "c.exe"},
        {"/w/WORK12090507.lzh", "WORK12090507.exe"}, {"/w/.lzh", ".lzh.exe"}, {"x.tar.lzh", "x.tar.exe"},
    };
    for (const Case &c : cases) EXPECT_EQ(sfx::exeName(c.archive), c.exe) << c.archive;
}

// An installed copy finds the stub beside itself, wherever it was put; a copy
// without the stub says so.
TEST_F(SelfExtractor, FindsTheStubBesideTheLibrary) {
    for (bool withStub : {true, false}) {
        SCOPED_TRACE(withStub);
        TempDir install;
        fs::copy_file(UNLHA_SO, install.path() / "libunlha32.so");
        if (withStub) fs::copy_file(SFX_STUB, install.path() / "kinaru-sfx");
        void *h = dlopen((install.path() / "libunlha32.so").c_str(), RTLD_NOW | RTLD_LOCAL);
        ASSERT_NE(h, nullptr) << dlerror();
        auto fn = reinterpret_cast<UnlhaFn>(dlsym(h, "Unlha"));
        int rc = inDir(out(), [&] { return fn(nullptr, command("-ji1").c_str(), nullptr, 0); });
        dlclose(h);
        EXPECT_EQ(rc, withStub ? 0 : UNLHA_ERR_UNSUPPORTED);
        EXPECT_EQ(fs::exists(out() / "12090507.exe"), withStub);
        fs::remove(out() / "12090507.exe");
        EXPECT_TRUE(tempFiles(out()).empty());
    }
}

} // namespace
