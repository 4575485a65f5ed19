// Stored names at every header level and in every name field: what they
// become, and that no extractor lets one out of its destination.
#include <gtest/gtest.h>

#include <dlfcn.h>
#include <set>
#include <fcntl.h>
#include <sys/stat.h>

#include "crafted.h"
#include "lzh/names.h"
#include "sfx/trailer.h"
#include "test_util.h"
#include "unlha32.h"

namespace {

using lzh::NameFault;
using namespace std::string_literals;

struct NameCase {
    int level;
    std::string dir, name;
    NameFault fault;
    std::string shown; // the path as l lists it
};

const std::vector<NameCase> &nameCases() {
    static const std::vector<NameCase> cases = {
        {2, "..\0\xFF..\0\xFF"s, "x.txt", NameFault::Control, "..\\x00/..\\x00/x.txt"},
        {2, "", "..\0/x.txt"s, NameFault::Control, "..\\x00/x.txt"},
        {1, "..\0\xFF"s, "x.txt", NameFault::Control, "..\\x00/x.txt"},
        {1, "", "..\0\\..\0\\x.txt"s, NameFault::Control, "..\\x00/..\\x00/x.txt"},
        {0, "", "..\0\\..\0\\x.txt"s, NameFault::Control, "..\\x00/..\\x00/x.txt"},
        {0, "", "a\x1b\\x.txt", NameFault::Control, "a\\x1b/x.txt"},
        {2, "a\xFF..\xFF", "x.txt", NameFault::DotPart, "a/../x.txt"},
        {1, "", ".\\x.txt", NameFault::DotPart, "./x.txt"},
        {2, "a\xFF\xFF", "x.txt", NameFault::EmptyPart, "a/x.txt"},
        {0, "", "a//x.txt", NameFault::EmptyPart, "a/x.txt"},
        {2, "\xFFtmp\xFF", "x.txt", NameFault::Absolute, "tmp/x.txt"},
        {0, "", "\\tmp\\x.txt", NameFault::Absolute, "tmp/x.txt"},
        {1, "", "C:\\x.txt", NameFault::Absolute, "C:/x.txt"},
        {2, "", "", NameFault::NoName, ""},
        // CP932 with a '\\' trail byte: one part, not a separator.
        {0, "", "\x95\\\\\x95\\.txt", NameFault::None, "表/表.txt"},
        {2, "d\xFF", "x.txt", NameFault::None, "d/x.txt"},
    };
    return cases;
}

TEST(StoredNames, OneVerdictForEveryLevelAndField) {
    ASSERT_NE(std::setlocale(LC_ALL, "C.UTF-8"), nullptr);
    for (const auto &c : nameCases()) {
        SCOPED_TRACE(lzh::escapeControls(c.dir + "|" + c.name) + " level " + std::to_string(c.level));
        std::string bytes = craftedEntry(c.level, c.dir, c.name, "data") + '\0';
        lzh::MemorySource src(reinterpret_cast<const uint8_t *>(bytes.data()), bytes.size());
        lzh::Entry e;
        ASSERT_TRUE(lzh::readHeader(src, e, true));
        EXPECT_EQ(e.fault, c.fault);
        EXPECT_EQ(e.path(), c.shown);
    }
}

// Runs a shell command in `dir`: exit status and what it printed.
std::pair<int, std::string> sh(const fs::path &dir, const std::string &cmd) {
    FILE *p = popen(("cd '" + dir.string() + "' && " + cmd + " 2>&1 </dev/null").c_str(), "r");
    std::string out;
    char buf[4096];
    while (size_t n = fread(buf, 1, sizeof buf, p)) out.append(buf, n);
    int st = pclose(p);
    return {WIFEXITED(st) ? WEXITSTATUS(st) : -1, out};
}
const std::string kTool = "'" UNLHA_TOOL "' ";

enum class Via { Tool, Library, StubConsole, StubWindow };

// Runs one extraction of `archive` into box/dest; returns what it printed.
std::string extract(Via via, const fs::path &box, int &rc) {
    if (via == Via::Library) {
        static void *so = dlopen(UNLHA_SO, RTLD_NOW | RTLD_LOCAL);
        auto unlha = reinterpret_cast<int (*)(void *, const char *, char *, unsigned long)>(dlsym(so, "Unlha"));
        std::vector<char> buf(1 << 16);
        std::string cmd = "x \"" + (box / "evil.lzh").string() + "\" \"" + (box / "dest").string() + "/\"";
        rc = unlha(nullptr, cmd.c_str(), buf.data(), buf.size());
        return buf.data();
    }
    std::string cmd = kTool + "x evil.lzh dest/";
    if (via != Via::Tool) {
        std::string lzh = readFile(box / "evil.lzh"), stub = readFile(SFX_STUB);
        sfx::Trailer t;
        t.archiveOffset = stub.size(), t.archiveSize = lzh.size(), t.folders = true;
        t.window = via == Via::StubWindow;
        auto tail = sfx::encodeTrailer(t);
        writeFile(box / "evil.exe", stub + lzh + std::string(tail.begin(), tail.end()));
        fs::permissions(box / "evil.exe", fs::perms::owner_exec, fs::perm_options::add);
        cmd = (t.window ? "env QT_QPA_PLATFORM=offscreen ./evil.exe --unattended"
                        : "env -u QT_QPA_PLATFORM -u DISPLAY ./evil.exe --console") + " --dest=dest"s;
    }
    auto [status, out] = sh(box, cmd);
    rc = status;
    return out;
}

TEST(StoredNames, UnsafeEntriesStayOutOfEveryExtractorsReach) {
    ASSERT_NE(std::setlocale(LC_ALL, "C.UTF-8"), nullptr);
    for (const auto &c : nameCases()) {
        if (c.fault == NameFault::None) continue;
        std::string lzh = craftedEntry(c.level, c.dir, c.name, "EVIL") + craftedEntry(c.level, "", "ok.txt", "fine");
        for (Via via : {Via::Tool, Via::Library, Via::StubConsole, Via::StubWindow}) {
            if (via >= Via::StubConsole && c.fault != NameFault::Control) continue; // the stubs share the check
            SCOPED_TRACE(lzh::escapeControls(c.dir + "|" + c.name) + " level " + std::to_string(c.level) + " via " +
                         std::to_string(int(via)));
            TempDir tmp;
            fs::path box = tmp.path() / "a/b/box";
            fs::create_directories(box / "dest");
            writeFile(box / "evil.lzh", lzh + (via == Via::Library ? "" : "\0"s)); // with and without the end mark
            int rc = 0;
            std::string out = extract(via, box, rc);
            EXPECT_EQ(rc, via == Via::Library ? UNLHA_ERR_UNSAFE_NAME : 1) << out;
            EXPECT_NE(out.find("refused"), std::string::npos) << out;
            std::set<std::string> found, want = {"a", "a/b", "a/b/box", "a/b/box/dest", "a/b/box/dest/ok.txt",
                                                 "a/b/box/evil.lzh"};
            if (via >= Via::StubConsole) want.insert("a/b/box/evil.exe");
            for (auto &e : fs::recursive_directory_iterator(tmp.path())) found.insert(fs::relative(e.path(), tmp.path()));
            EXPECT_EQ(found, want);
        }
        // l lists both entries, the unsafe name escaped, never cut.
        TempDir tmp;
        writeFile(tmp.path() / "evil.lzh", lzh + "\0"s);
        auto [rc, list] = sh(tmp.path(), kTool + "l evil.lzh");
        EXPECT_EQ(rc, 0);
        EXPECT_NE(list.find(c.shown), std::string::npos) << list;
        EXPECT_NE(list.find("ok.txt"), std::string::npos) << list;
    }
}

// A level-0 Unix extension: 'U', minor version, time, mode, uid, gid.
TEST(StoredNames, Level0UnixExtensionReadAsPeersReadIt) {
    TempDir tmp;
    const std::string unix0 = "U\0\xD2\x02\x96\x49\xED\x81\xE8\x03\xE8\x03"s; // 2009-02-13, 0100755
    writeFile(tmp.path() / "u.lzh", craftedEntry(0, "", "x.sh", "#!", unix0) + "\0"s);
    std::vector<std::pair<std::string, std::string>> readers = {{"ours", kTool + "x ../u.lzh"}};
    for (const char *peer : {"lhasa", "bsdtar"})
        if (haveProgram(peer)) readers.push_back({peer, peer + " x"s + (peer[0] == 'b' ? "f" : "") + " ../u.lzh"});
    if (readers.size() < 3) GTEST_SKIP() << "lhasa or bsdtar not installed";
    for (auto &[who, cmd] : readers) {
        SCOPED_TRACE(who);
        fs::create_directories(tmp.path() / who);
        ASSERT_EQ(sh(tmp.path() / who, cmd).first, 0);
        struct stat st {};
        ASSERT_EQ(::stat((tmp.path() / who / "x.sh").c_str(), &st), 0);
        EXPECT_EQ(st.st_mode & 0777, 0755u);
        EXPECT_EQ(st.st_mtime, 1234567890);
    }
}

TEST(StoredNames, DeclaredCodePageDecidesElseCp932UnlessUnixUtf8) {
    ASSERT_NE(std::setlocale(LC_ALL, "C.UTF-8"), nullptr);
    using lzh::CodePage;
    struct Case {
        CodePage declared;
        uint8_t os;
        std::string stored, local;
    } cases[] = {
        {CodePage::Unknown, 'M', "\xC3\xBD\xC3\xBD.txt", "ﾃｽﾃｽ.txt"}, // CP932 kana that are valid UTF-8
        {CodePage::Cp932, 'U', "\xC3\xBD\xC3\xBD.txt", "ﾃｽﾃｽ.txt"},
        {CodePage::Unknown, 'U', "\xC3\xBD\xC3\xBD.txt", "ýý.txt"},
        {CodePage::Utf8, 'M', "한국어", "한국어"},
        {CodePage::Unknown, 'U', "\x93\xfa\x96\x7b", "日本"},
        {CodePage::Unknown, 'M', "\x93\xfa\x96\x7b", "日本"},
    };
    for (auto &c : cases) {
        SCOPED_TRACE(c.local);
        lzh::Entry e;
        e.rawName = c.stored, e.os = c.os, e.codePage = c.declared;
        lzh::decodePath(e);
        EXPECT_EQ(e.path(), c.local);
    }
}

// Japanese, Korean, emoji and half-width kana, mixed in one path too: we and
// bsdtar (with no option) restore them byte for byte.
TEST(StoredNames, MixedNamesComeBackFromUsAndBsdtar) {
    ASSERT_NE(std::setlocale(LC_ALL, "C.UTF-8"), nullptr);
    TempDir tmp;
    fs::path src = tmp.path() / "src";
    for (const char *n : {"日本語.txt", "한국어.txt", "😀.txt", "ﾃｽﾃｽ.txt", "表/한.txt", "plain.txt"})
        writeFile(src / n, n);
    ASSERT_EQ(sh(src, kTool + "a -r2 ../m.lzh '*.*'").first, 0);
    std::vector<std::string> readers = {kTool + "x ../m.lzh"};
    if (haveProgram("bsdtar")) readers.push_back("LC_ALL=C.UTF-8 bsdtar -xf ../m.lzh");
    for (size_t i = 0; i < readers.size(); ++i) {
        SCOPED_TRACE(readers[i]);
        fs::path out = tmp.path() / std::to_string(i);
        fs::create_directories(out);
        auto [rc, text] = sh(out, readers[i]);
        EXPECT_EQ(rc, 0) << text;
        EXPECT_EQ(treeDiff(tree(out), tree(src)), "");
    }
    if (readers.size() == 1) GTEST_SKIP() << "bsdtar not installed";
}

// Before 1970 or after 2106 the nearest time the header holds, said so; and
// an archive whose final 0 is missing still reads whole.
TEST(StoredNames, TimesOutsideTheFieldAndAMissingEndMark) {
    TempDir tmp;
    const std::pair<const char *, int64_t> files[] = {{"old", -315619200}, {"far", 7258118400}}; // 1960, 2200
    for (auto &[n, t] : files) {
        writeFile(tmp.path() / n, n);
        struct timespec ts[2] = {{t, 0}, {t, 0}};
        ASSERT_EQ(::utimensat(AT_FDCWD, (tmp.path() / n).c_str(), ts, 0), 0);
    }
    auto [rc, text] = sh(tmp.path(), kTool + "a t.lzh old far");
    ASSERT_EQ(rc, 0) << text;
    EXPECT_NE(text.find("old: time outside 1970-2106"), std::string::npos) << text;
    EXPECT_NE(text.find("far: time outside 1970-2106"), std::string::npos) << text;
    std::string lzh = readFile(tmp.path() / "t.lzh");
    ASSERT_EQ(lzh.back(), '\0');
    writeFile(tmp.path() / "t.lzh", lzh.substr(0, lzh.size() - 1));
    fs::create_directories(tmp.path() / "x");
    ASSERT_EQ(sh(tmp.path() / "x", kTool + "x ../t.lzh").first, 0);
    struct stat st {};
    ASSERT_EQ(::stat((tmp.path() / "x/old").c_str(), &st), 0);
    EXPECT_EQ(st.st_mtime, 0);
    ASSERT_EQ(::stat((tmp.path() / "x/far").c_str(), &st), 0);
    EXPECT_EQ(st.st_mtime, lzh::kLastTime);
    writeFile(tmp.path() / "t.lzh", lzh.substr(0, lzh.size() - 2)); // the last entry cut
    EXPECT_NE(sh(tmp.path(), kTool + "t t.lzh").first, 0);
}

} // namespace
