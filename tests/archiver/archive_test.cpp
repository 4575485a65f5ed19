// The library through its C entry points, loaded as the program loads it,
// with real files and independent LZH readers as judges.
#include <gtest/gtest.h>

#include <clocale>
#include <cstring>
#include <dlfcn.h>
#include <map>
#include <set>
#include <signal.h>
#include <sys/resource.h>
#include <thread>

#include "archive/archive.h"
#include "lzh/bitio.h"
#include "lzh/crc16.h"
#include "lzh/header.h"
#include "lzh/names.h"
#include "test_util.h"
#include "unlha32.h"

namespace {

using UnlhaFn = int (*)(void *, const char *, char *, unsigned long);
using VersionFn = int (*)();

class Library : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        handle_ = dlopen(UNLHA_SO, RTLD_NOW | RTLD_LOCAL);
        ASSERT_NE(handle_, nullptr) << dlerror();
        unlha_ = reinterpret_cast<UnlhaFn>(dlsym(handle_, "Unlha"));
        version_ = reinterpret_cast<VersionFn>(dlsym(handle_, "UnlhaGetVersion"));
        ASSERT_NE(unlha_, nullptr);
        ASSERT_NE(version_, nullptr);
    }
    static void TearDownTestSuite() { dlclose(handle_); }

    // Runs a command with `dir` as the current folder.
    int run(const fs::path &dir, const std::string &cmd, std::string *out = nullptr) {
        return inDir(dir, [&] {
            std::vector<char> buf(1 << 16, '\x7f');
            int rc = unlha_(nullptr, cmd.c_str(), buf.data(), buf.size());
            if (out) *out = buf.data();
            return rc;
        });
    }
    int run(const std::string &cmd, std::string *out = nullptr) { return run(tmp_.path(), cmd, out); }

    static std::string q(const fs::path &p) { return "\"" + p.string() + "\""; }

    TempDir tmp_;
    static inline void *handle_ = nullptr;
    static inline UnlhaFn unlha_ = nullptr;
    static inline VersionFn version_ = nullptr;
};

bool asciiName(const std::string &s) {
    for (unsigned char c : s)
        if (c >= 0x80) return false;
    return true;
}

std::map<std::string, std::string> asciiOnly(std::map<std::string, std::string> t) {
    for (auto it = t.begin(); it != t.end();) it = asciiName(it->first) ? std::next(it) : t.erase(it);
    return t;
}

// A source tree with the cases every method must carry.
std::map<std::string, std::string> makeSource(const fs::path &root, size_t window) {
    std::map<std::string, std::string> files = {
        {"empty", ""},
        {"one.bin", "Z"},
        {"run.txt", std::string(150000, 'a')},
        {"random.bin", randomBytes(40000, 31)},
        {"text.txt", textBytes(120000, 32)},
        {"win-1.txt", textBytes(window - 1, 33)},
        {"win.txt", textBytes(window, 34)},
        {"win+1.txt", textBytes(window + 1, 35)},
        {"nested/a/b/c/deep.txt", textBytes(3000, 36)},
        {"nested/a/side.txt", "side\n"},
        {"nested/.hidden", "hidden\n"},
    };
    for (auto &[name, data] : files) writeFile(root / name, data);
    fs::create_directories(root / "nested/empty-folder");
    return files;
}

class MethodTest : public Library, public ::testing::WithParamInterface<int> {
protected:
    size_t window() const { return size_t{1} << (GetParam() == 2 ? 13 : GetParam() == 3 ? 15 : 16); }
    std::string jm() const { return "-jm" + std::to_string(GetParam()); }
};

TEST_P(MethodTest, RoundTripReadByEveryPeer) {
    fs::path src = tmp_.path() / "src", arc = tmp_.path() / "out/test.lzh";
    fs::create_directories(arc.parent_path());
    auto files = makeSource(src, window());
    std::string cmd = "a -n1 -x1 -w" + (tmp_.path() / "").string() + " " + jm() + " -r2 -a2  " + q(arc) +
                      "  \"empty\" \"one.bin\" \"run.txt\" \"random.bin\" \"text.txt\" \"win-1.txt\" \"win.txt\""
                      " \"win+1.txt\" \"nested/*.*\"";
    std::string out;
    ASSERT_EQ(run(src, cmd, &out), 0) << out;
    ASSERT_EQ(run("t " + q(arc), &out), 0) << out;
    // What does not shrink is stored; the rest uses the method asked for.
    ASSERT_EQ(run("l " + q(arc), &out), 0);
    auto methodOf = [&](const std::string &name) {
        size_t at = out.find(name + "\n");
        size_t line = out.rfind('\n', at) + 1;
        return out.substr(out.find("-l", line), 5);
    };
    EXPECT_EQ(methodOf("random.bin"), "-lh0-");
    EXPECT_EQ(methodOf("empty"), "-lh0-");
    EXPECT_EQ(methodOf("text.txt"), "-lh" + std::to_string(GetParam() + 3) + "-");

    // Ours, with folders.
    fs::path mine = tmp_.path() / "mine";
    fs::create_directories(mine);
    ASSERT_EQ(run(mine, "x " + q(arc)), 0);
    EXPECT_EQ(treeDiff(tree(mine), files), "");
    EXPECT_TRUE(fs::is_directory(mine / "nested/empty-folder"));

    struct Peer {
        const char *program, *command;
    } peers[] = {{"lha", "lha xq"}, {"bsdtar", "bsdtar -xf"}, {"7zz", "7zz x -y"}};
    for (auto &p : peers) {
        SCOPED_TRACE(p.program);
        if (!haveProgram(p.program)) {
            std::cerr << "no " << p.program << ", its check is skipped\n";
            continue;
        }
        fs::path dir = tmp_.path() / (std::string("peer-") + p.program);
        fs::create_directories(dir);
        EXPECT_EQ(shell(dir, std::string(p.command) + " '" + arc.string() + "'"), 0);
        EXPECT_EQ(treeDiff(tree(dir), files), "");
    }
    if (haveProgram("lha")) {
        EXPECT_EQ(shell(tmp_.path(), "lha t '" + arc.string() + "'"), 0);
    }
}

TEST_P(MethodTest, JapaneseNamesAreStoredAsCp932) {
    ASSERT_NE(std::setlocale(LC_ALL, "C.UTF-8"), nullptr);
    fs::path src = tmp_.path() / "src", arc = tmp_.path() / "jp.lzh";
    writeFile(src / "日本語/ファイル.txt", textBytes(3000, 1));
    writeFile(src / "表.txt", "hyou");
    ASSERT_EQ(run(src, "a -x1 -r2 " + jm() + " " + q(arc) + " \"日本語\" \"表.txt\""), 0);
    std::string raw = readFile(arc);
    EXPECT_NE(raw.find(lzh::toArchiveName("ファイル.txt")), std::string::npos);
    EXPECT_NE(raw.find(lzh::toArchiveName("日本語")), std::string::npos);
    EXPECT_NE(raw.find("\x95\x5c.txt"), std::string::npos); // CP932 with a '\\' trail byte
    fs::path out = tmp_.path() / "out";
    fs::create_directories(out);
    ASSERT_EQ(run(out, "x " + q(arc)), 0);
    EXPECT_EQ(treeDiff(tree(out), tree(src)), "");
    // 7-Zip writes the stored bytes as they are: they must be the CP932 spelling.
    if (haveProgram("7zz")) {
        fs::path z = tmp_.path() / "z";
        fs::create_directories(z);
        ASSERT_EQ(shell(z, "7zz x -y ../jp.lzh"), 0);
        EXPECT_EQ(readFile(z / lzh::toArchiveName("日本語") / lzh::toArchiveName("ファイル.txt")), textBytes(3000, 1));
    }
    if (haveProgram("lha")) {
        EXPECT_EQ(shell(tmp_.path(), "lha t jp.lzh"), 0);
    }
}

TEST_P(MethodTest, HiddenNamesNeedA2) {
    fs::path src = tmp_.path() / "src";
    makeSource(src, 100);
    writeFile(src / ".top-hidden", "x");
    struct Case {
        const char *hidden;
        bool expect;
    } cases[] = {{"-a2", true}, {"", false}};
    for (auto &c : cases) {
        SCOPED_TRACE(c.hidden);
        fs::path arc = tmp_.path() / (std::string("h") + c.hidden + ".lzh");
        ASSERT_EQ(run(src, "a -x1 " + jm() + " -r2 " + c.hidden + " " + q(arc) + " \"*.*\""), 0);
        std::string list;
        ASSERT_EQ(run("l " + q(arc), &list), 0);
        EXPECT_EQ(list.find("nested/.hidden") != std::string::npos, c.expect) << list;
        EXPECT_EQ(list.find(".top-hidden") != std::string::npos, c.expect) << list;
        EXPECT_NE(list.find("nested/a/side.txt"), std::string::npos);
    }
}

TEST_P(MethodTest, AddingAgainReplacesTheEntry) {
    fs::path src = tmp_.path() / "src", arc = tmp_.path() / "u.lzh";
    writeFile(src / "a.txt", "old");
    writeFile(src / "b.txt", textBytes(5000, 1));
    ASSERT_EQ(run(src, "a -x1 " + jm() + " " + q(arc) + " a.txt b.txt"), 0);
    writeFile(src / "a.txt", textBytes(9000, 2));
    ASSERT_EQ(run(src, "a -x1 " + jm() + " " + q(arc) + " a.txt"), 0);
    std::string list;
    ASSERT_EQ(run("l " + q(arc), &list), 0);
    EXPECT_EQ(list.find("a.txt"), list.rfind("a.txt")) << list; // once
    fs::path out = tmp_.path() / "out";
    fs::create_directories(out);
    ASSERT_EQ(run(out, "x " + q(arc)), 0);
    EXPECT_EQ(readFile(out / "a.txt"), textBytes(9000, 2));
    EXPECT_EQ(readFile(out / "b.txt"), textBytes(5000, 1));
    if (haveProgram("lha")) {
        EXPECT_EQ(shell(tmp_.path(), "lha t u.lzh"), 0);
    }
}

TEST_P(MethodTest, JlhaArchivesAreReadByUs) {
    if (!haveProgram("jlha")) GTEST_SKIP() << "jlha not installed";
    fs::path src = tmp_.path() / "src";
    std::map<std::string, std::string> files = {
        {"text.txt", textBytes(100000, 41)},
        {"random.bin", randomBytes(20000, 42)},
        {"one.bin", "1"},
        {"dir/inner.txt", textBytes(window() + 1, 43)},
    };
    for (auto &[n, d] : files) writeFile(src / n, d);
    int lh = GetParam() + 3;
    for (int level : {0, 1, 2}) {
        if (level != 2 && GetParam() != 2) continue; // old levels once suffice
        SCOPED_TRACE(level);
        std::string name = "j" + std::to_string(level) + ".lzh";
        ASSERT_EQ(shell(src, "jlha a" + std::to_string(level) + "o" + std::to_string(lh) +
                                 "q ../" + name + " text.txt random.bin one.bin dir/inner.txt"), 0);
        std::string list;
        ASSERT_EQ(run("l " + name, &list), 0);
        EXPECT_NE(list.find("-lh" + std::to_string(lh) + "-"), std::string::npos) << list;
        EXPECT_NE(list.find("dir/inner.txt"), std::string::npos) << list;
        ASSERT_EQ(run("t " + name, &list), 0) << list;
        fs::path out = tmp_.path() / ("out" + std::to_string(level));
        fs::create_directories(out);
        ASSERT_EQ(run(out, "x ../" + name), 0);
        EXPECT_EQ(treeDiff(tree(out), files), "");
    }
}

INSTANTIATE_TEST_SUITE_P(Methods, MethodTest, ::testing::Values(2, 3, 4),
                         [](const auto &info) { return "jm" + std::to_string(info.param); });

TEST_F(Library, VersionAndOutputBuffer) {
    EXPECT_EQ(version_(), 100);
    char buf[8];
    std::memset(buf, 'k', sizeof buf);
    EXPECT_EQ(unlha_(nullptr, "q x.lzh", buf, 0), UNLHA_ERR_COMMAND);
    EXPECT_EQ(buf[0], 'k'); // size 0: untouched
    EXPECT_EQ(unlha_(nullptr, "q x.lzh", buf, sizeof buf), UNLHA_ERR_COMMAND);
    EXPECT_EQ(std::strlen(buf), sizeof buf - 1); // truncated, NUL-terminated
    EXPECT_EQ(unlha_(nullptr, nullptr, nullptr, 0), UNLHA_ERR_COMMAND);
}

TEST_F(Library, CallsOnDifferentArchivesRunInParallel) {
    constexpr int kThreads = 4;
    std::vector<std::thread> threads;
    std::vector<int> results(kThreads, -1);
    for (int t = 0; t < kThreads; ++t) {
        fs::path dir = tmp_.path() / ("t" + std::to_string(t));
        writeFile(dir / "data.txt", textBytes(200000, static_cast<unsigned>(t)));
        threads.emplace_back([this, dir, t, &results] {
            // Absolute paths only: the current folder belongs to the whole process.
            std::string arc = q(dir / "a.lzh");
            int rc = unlha_(nullptr, ("a -jm" + std::to_string(2 + t % 3) + " " + arc + " " + q(dir / "data.txt")).c_str(),
                            nullptr, 0);
            if (rc == 0) rc = unlha_(nullptr, ("t " + arc).c_str(), nullptr, 0);
            if (rc == 0) rc = unlha_(nullptr, ("x " + arc + " " + q(dir / "out/")).c_str(), nullptr, 0);
            results[static_cast<size_t>(t)] = rc;
        });
    }
    for (auto &th : threads) th.join();
    for (int t = 0; t < kThreads; ++t) {
        EXPECT_EQ(results[static_cast<size_t>(t)], 0) << t;
        fs::path dir = tmp_.path() / ("t" + std::to_string(t));
        EXPECT_EQ(readFile(dir / "out" / dir.relative_path() / "data.txt"), textBytes(200000, static_cast<unsigned>(t)));
    }
}

TEST_F(Library, ErrorCodes) {
    writeFile(tmp_.path() / "f.txt", "data");
    ASSERT_EQ(run("a -x1 ok.lzh f.txt"), 0);
    // A stored entry with one data byte changed: the CRC catches it.
    writeFile(tmp_.path() / "s.txt", "xyz");
    ASSERT_EQ(run("a s.lzh s.txt"), 0);
    std::string s = readFile(tmp_.path() / "s.lzh");
    s[s.size() - 3] ^= 0x20;
    writeFile(tmp_.path() / "crc.lzh", s);
    writeFile(tmp_.path() / "junk.lzh", "this is no archive at all");
    struct Case {
        std::string cmd;
        int code;
    } cases[] = {
        {"z ok.lzh", UNLHA_ERR_COMMAND},
        {"a -q ok.lzh f.txt", UNLHA_ERR_SWITCH},
        {"l missing.lzh", UNLHA_ERR_NO_ARCHIVE},
        {"a -x1", UNLHA_ERR_NO_ARCHIVE},
        {"a new.lzh nothing-here.txt", UNLHA_ERR_NO_ITEM},
        {"a new.lzh nowhere/*.*", UNLHA_ERR_NO_ITEM},
        {"t junk.lzh", UNLHA_ERR_DAMAGED},
        {"t crc.lzh", UNLHA_ERR_CRC},
        {"x -x1 ok.lzh nomatch.txt", UNLHA_ERR_NO_MATCH},
        {"s -n1 -x1 -w/tmp/ -jm2  -a2 -gu1 -ji1  \"junk.lzh\"", UNLHA_ERR_DAMAGED},
        {"s -n1 -x1 -w/tmp/ -jm2  -a2 -gu1 -ji1  \"missing.lzh\"", UNLHA_ERR_NO_ARCHIVE},
        {"t ok.lzh", 0},
        {"l -n0 ok.lzh", 0},
    };
    for (auto &c : cases) {
        std::string out;
        EXPECT_EQ(run(c.cmd, &out), c.code) << c.cmd << "\n" << out;
    }
    EXPECT_FALSE(fs::exists(tmp_.path() / "new.lzh"));
    if (geteuid() != 0) { // root reads anything
        writeFile(tmp_.path() / "secret.txt", "x");
        fs::permissions(tmp_.path() / "secret.txt", fs::perms::none);
        EXPECT_EQ(run("a new.lzh secret.txt"), UNLHA_ERR_READ);
    }
}

int countTemps(const fs::path &dir) {
    int n = 0;
    for (auto &e : fs::recursive_directory_iterator(dir))
        if (e.path().filename().string().rfind("unlha-", 0) == 0 || e.path().extension() == ".tmp") ++n;
    return n;
}

TEST_F(Library, CancelLeavesNoTrace) {
    fs::path src = tmp_.path() / "src";
    writeFile(src / "big.txt", textBytes(3 << 20, 5));
    writeFile(tmp_.path() / "keep.txt", "k");
    ASSERT_EQ(run("a c.lzh keep.txt"), 0);
    std::string before = readFile(tmp_.path() / "c.lzh");
    archive::Options o;
    o.command = 'a';
    o.archive = (tmp_.path() / "c.lzh").string();
    o.items = {(src / "big.txt").string()};
    int polls = 0;
    o.cancelled = [&] { return ++polls > 3; };
    std::string text;
    EXPECT_EQ(archive::run(o, text), UNLHA_ERR_CANCELLED);
    EXPECT_EQ(readFile(tmp_.path() / "c.lzh"), before);
    EXPECT_EQ(countTemps(tmp_.path()), 0);
}

TEST_F(Library, FailedAddLeavesTheOldArchive) {
    writeFile(tmp_.path() / "a.txt", textBytes(20000, 1));
    ASSERT_EQ(run("a -jm4 old.lzh a.txt"), 0);
    std::string before = readFile(tmp_.path() / "old.lzh");
    writeFile(tmp_.path() / "b.txt", textBytes(400000, 2));
    fs::path work = tmp_.path() / "work";
    fs::create_directories(work);

    // No such work folder.
    EXPECT_EQ(run("a -w" + (tmp_.path() / "nowhere/").string() + " old.lzh b.txt"), UNLHA_ERR_WRITE);
    // A missing item among good ones.
    EXPECT_EQ(run("a -w" + work.string() + "/ old.lzh b.txt missing.txt"), UNLHA_ERR_NO_ITEM);
    // The work folder fills up: files may not grow beyond 4 KiB.
    pid_t pid = fork();
    if (pid == 0) {
        signal(SIGXFSZ, SIG_IGN);
        rlimit lim{4096, 4096};
        setrlimit(RLIMIT_FSIZE, &lim);
        _exit(run("a -w" + work.string() + "/ old.lzh b.txt") == UNLHA_ERR_WRITE ? 0 : 1);
    }
    int st = 0;
    waitpid(pid, &st, 0);
    EXPECT_TRUE(WIFEXITED(st) && WEXITSTATUS(st) == 0);
    // A read-only work folder (root writes anyway).
    if (geteuid() != 0) {
        fs::permissions(work, fs::perms::owner_read | fs::perms::owner_exec);
        EXPECT_EQ(run("a -w" + work.string() + "/ old.lzh b.txt"), UNLHA_ERR_WRITE);
        fs::permissions(work, fs::perms::owner_all);
    }
    EXPECT_EQ(readFile(tmp_.path() / "old.lzh"), before);
    EXPECT_EQ(countTemps(tmp_.path()), 0);
    // And with room it works, moving the result across from the work folder.
    EXPECT_EQ(run("a -w" + work.string() + "/ old.lzh b.txt"), 0);
    EXPECT_EQ(countTemps(tmp_.path()), 0);
}

TEST_F(Library, ProgramShapedCommandWithFolderItems) {
    fs::path top = tmp_.path() / "top", out = tmp_.path() / "out dir";
    writeFile(top / "report.doc", textBytes(7000, 1));
    writeFile(top / "images/a.png", randomBytes(3000, 2));
    writeFile(top / "images/sub/b.png", randomBytes(10, 3));
    fs::create_directories(out);
    fs::create_directories(tmp_.path() / "work dir");
    std::string cmd = "a -n0 -x1 -w\"" + (tmp_.path() / "work dir/").string() + "\" -jm2 -r2 -a2  " +
                      q(out / "report.lzh") + "  \"report.doc\" \"images/*.*\"";
    std::string text;
    ASSERT_EQ(run(top, cmd, &text), 0) << text;
    ASSERT_EQ(run("l " + q(out / "report.lzh"), &text), 0);
    for (const char *n : {"report.doc", "images/", "images/a.png", "images/sub/", "images/sub/b.png"})
        EXPECT_NE(text.find(n), std::string::npos) << n << "\n" << text;
    // -x0 keeps names only.
    ASSERT_EQ(run(top, "a -x0 -r2 " + q(out / "flat.lzh") + " \"images/*.*\""), 0);
    ASSERT_EQ(run("l " + q(out / "flat.lzh"), &text), 0);
    EXPECT_EQ(text.find("images/"), std::string::npos) << text;
    EXPECT_NE(text.find("b.png"), std::string::npos) << text;
    // e extracts names only.
    fs::path flat = tmp_.path() / "flat";
    fs::create_directories(flat);
    ASSERT_EQ(run(flat, "e " + q(out / "report.lzh")), 0);
    EXPECT_TRUE(fs::exists(flat / "b.png"));
    EXPECT_FALSE(fs::exists(flat / "images"));
}

TEST_F(Library, LinksAreFollowedWhenPackingButSkippedWhenBroken) {
    fs::path src = tmp_.path() / "src";
    writeFile(src / "real.txt", "real content");
    fs::create_symlink("real.txt", src / "link.txt");
    fs::create_symlink("nowhere.txt", src / "dangling.txt");
    fs::create_directories(src / "loop");
    fs::create_directory_symlink("..", src / "loop/up");
    std::string text;
    ASSERT_EQ(run(src, "a -x1 -r2 ../l.lzh \"*.*\"", &text), 0) << text;
    EXPECT_NE(text.find("dangling.txt"), std::string::npos) << text;
    EXPECT_NE(text.find("loop/up"), std::string::npos) << text;
    fs::path out = tmp_.path() / "out";
    fs::create_directories(out);
    ASSERT_EQ(run(out, "x ../l.lzh"), 0);
    EXPECT_EQ(readFile(out / "link.txt"), "real content");
    EXPECT_FALSE(fs::is_symlink(out / "link.txt"));
    EXPECT_FALSE(fs::exists(out / "dangling.txt"));
}

// An archive with one stored entry whose stored names are given raw.
std::string craftedArchive(const std::string &rawDir, const std::string &rawName, const std::string &data) {
    lzh::Entry e;
    e.method = "-lh0-";
    e.packed = e.original = data.size();
    e.crc = lzh::crc16(0, reinterpret_cast<const uint8_t *>(data.data()), data.size());
    e.rawDir = rawDir;
    e.rawName = rawName;
    auto h = lzh::writeHeader(e, false);
    return std::string(h.begin(), h.end()) + data + std::string(1, '\0');
}

TEST_F(Library, ExtractionStaysInsideItsDestination) {
    fs::path dest = tmp_.path() / "dest", outside = tmp_.path() / "outside";
    fs::create_directories(dest);
    fs::create_directories(outside);
    writeFile(outside / "victim.txt", "untouched");
    fs::create_directory_symlink(outside, dest / "linkdir");
    fs::create_symlink(outside / "victim.txt", dest / "victim.txt");
    struct Case {
        const char *name;
        std::string dir, file;
        int code;
    } cases[] = {
        {"dot-dot folder", "..", "evil.txt", UNLHA_ERR_UNSAFE_NAME},
        {"dot-dot inside", "a\xFF..\xFF..", "evil.txt", UNLHA_ERR_UNSAFE_NAME},
        {"absolute folder", "\xFF" + outside.string().substr(1), "evil.txt", UNLHA_ERR_UNSAFE_NAME},
        {"slash in name", "", "../evil.txt", UNLHA_ERR_UNSAFE_NAME},
        {"through a link", "linkdir", "evil.txt", UNLHA_ERR_UNSAFE_NAME},
        {"over a link", "", "victim.txt", 0},
    };
    for (auto &c : cases) {
        SCOPED_TRACE(c.name);
        writeFile(tmp_.path() / "evil.lzh", craftedArchive(c.dir, c.file, "EVIL"));
        for (const char *cmd : {"x", "e"}) {
            int rc = run(dest, std::string(cmd) + " ../evil.lzh");
            if (std::string(cmd) == "x") {
                EXPECT_EQ(rc, c.code);
            }
        }
        EXPECT_EQ(readFile(outside / "victim.txt"), "untouched");
        EXPECT_FALSE(fs::exists(outside / "evil.txt"));
        EXPECT_FALSE(fs::exists(tmp_.path() / "evil.txt"));
    }
    // The link itself was replaced by a file, its target left alone.
    EXPECT_FALSE(fs::is_symlink(dest / "victim.txt"));
    EXPECT_EQ(readFile(dest / "victim.txt"), "EVIL");
}

// An archive with one -lh5- entry whose packed data is given.
std::string packedArchive(const std::vector<uint8_t> &packed, uint64_t original) {
    lzh::Entry e;
    e.method = "-lh5-";
    e.packed = packed.size();
    e.original = original;
    e.rawName = "x.txt";
    auto h = lzh::writeHeader(e, false);
    return std::string(h.begin(), h.end()) + std::string(packed.begin(), packed.end()) + std::string(1, '\0');
}

TEST_F(Library, BadPackedDataIsDamaged) {
    struct Case {
        const char *name;
        void (*write)(lzh::BitWriter &);
    } cases[] = {
        {"zero-length block", [](lzh::BitWriter &w) { w.put(16, 0); }},
        {"incomplete table", [](lzh::BitWriter &w) { w.put(16, 1), w.put(5, 1), w.put(3, 1); }},
        {"no data at all", [](lzh::BitWriter &) {}},
    };
    fs::path dest = tmp_.path() / "dest";
    fs::create_directories(dest);
    for (auto &c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<uint8_t> bits;
        lzh::BitWriter w(bits);
        c.write(w);
        w.finish();
        writeFile(tmp_.path() / "bad.lzh", packedArchive(bits, 100));
        EXPECT_EQ(run("t bad.lzh"), UNLHA_ERR_DAMAGED);
        EXPECT_EQ(run(dest, "x ../bad.lzh"), UNLHA_ERR_DAMAGED);
        EXPECT_TRUE(fs::is_empty(dest));
    }
}

TEST_F(Library, DamagedArchivesGiveCodesAndWriteNothingOutside) {
    fs::path src = tmp_.path() / "src";
    writeFile(src / "t.txt", textBytes(20000, 7));
    writeFile(src / "d/r.bin", randomBytes(3000, 8));
    writeFile(src / "d/e.txt", "");
    ASSERT_EQ(run(src, "a -x1 -jm4 -r2 ../good.lzh \"*.*\""), 0);
    const std::string good = readFile(tmp_.path() / "good.lzh");
    fs::path dest = tmp_.path() / "box/dest";
    fs::create_directories(dest);
    auto check = [&](const std::string &bytes, const std::string &what, bool mustFail) {
        writeFile(tmp_.path() / "bad.lzh", bytes);
        std::string out;
        int t = run("t bad.lzh", &out);
        if (mustFail) {
            EXPECT_NE(t, 0) << what;
        }
        EXPECT_TRUE(t == 0 || (t >= 0x8001 && t <= 0x800F)) << what << " gave " << t;
        int x = run(dest, "x ../../bad.lzh");
        EXPECT_TRUE(x == 0 || (x >= 0x8001 && x <= 0x800F)) << what;
        // Nothing beside the destination, no temporary left inside it.
        EXPECT_EQ(std::distance(fs::directory_iterator(tmp_.path() / "box"), fs::directory_iterator()), 1) << what;
        for (auto &e : fs::recursive_directory_iterator(dest))
            EXPECT_EQ(e.path().filename().string().find(".unlha-"), std::string::npos) << what;
    };
    // Cut where an entry ends, the archive only lacks its end mark: whole entries.
    std::set<size_t> ends;
    lzh::MemorySource scan(reinterpret_cast<const uint8_t *>(good.data()), good.size());
    lzh::Entry each;
    for (size_t end = 0; lzh::readHeader(scan, each) && scan.skip(each.packed);) ends.insert(end += each.raw.size() + each.packed);
    for (size_t cut = 0; cut < good.size(); cut += cut < 64 ? 1 : 97)
        check(good.substr(0, cut), "cut " + std::to_string(cut), !ends.count(cut));
    std::mt19937 rng(5);
    for (int i = 0; i < 120; ++i) {
        std::string bad = good;
        size_t at = rng() % bad.size();
        bad[at] = static_cast<char>(bad[at] ^ (1 << (rng() % 8)));
        check(bad, "flip at " + std::to_string(at), false);
    }
    // A huge claimed size, with a header that is otherwise right.
    lzh::MemorySource in(reinterpret_cast<const uint8_t *>(good.data()), good.size());
    lzh::Entry e;
    size_t at = 0;
    for (;;) { // the first packed file
        ASSERT_TRUE(lzh::readHeader(in, e));
        if (e.method == "-lh7-") break;
        at += e.raw.size() + e.packed;
        in.skip(e.packed);
    }
    std::string before = good.substr(0, at), rest = good.substr(at + e.raw.size());
    for (uint64_t size : {uint64_t{0xFFFFFFF0}, uint64_t{1} << 40}) {
        e.original = size;
        auto h = lzh::writeHeader(e, size >= lzh::kLargeSize);
        check(before + std::string(h.begin(), h.end()) + rest, "huge size", true);
    }
    // A folder entry that claims data.
    lzh::Entry dir;
    dir.method = "-lhd-";
    dir.rawDir = "d";
    dir.packed = 5;
    auto h = lzh::writeHeader(dir, false);
    check(std::string(h.begin(), h.end()) + "xxxxx" + good, "folder with data", true);
}

} // namespace

namespace {

// The unlha tool: same commands, arguments already split, exit status.
TEST(Tool, CommandsAndExitStatus) {
    TempDir tmp;
    writeFile(tmp.path() / "src/a b.txt", textBytes(5000, 1));
    writeFile(tmp.path() / "src/sub/c.txt", "c");
    const std::string tool = UNLHA_TOOL;
    auto sh = [&](const std::string &args) { return shell(tmp.path(), "'" + tool + "' " + args); };
    EXPECT_EQ(sh("a -jm4 -r2 t.lzh 'src/a b.txt' src/sub"), 0);
    EXPECT_EQ(sh("l t.lzh"), 0);
    EXPECT_EQ(sh("t t.lzh"), 0);
    EXPECT_EQ(sh("x t.lzh out/"), 0); // a first item ending in "/" is the destination
    EXPECT_EQ(readFile(tmp.path() / "out/src/a b.txt"), textBytes(5000, 1));
    EXPECT_EQ(readFile(tmp.path() / "out/src/sub/c.txt"), "c");
    EXPECT_EQ(sh("e t.lzh flat/ 'src/sub/*'"), 0);
    EXPECT_TRUE(fs::exists(tmp.path() / "flat/c.txt"));
    EXPECT_FALSE(fs::exists(tmp.path() / "flat/a b.txt"));
    EXPECT_NE(sh("t missing.lzh"), 0);
    EXPECT_NE(sh("q t.lzh"), 0);
    EXPECT_NE(sh(""), 0);
}

} // namespace
