// Stored names at every header level and in every name field: what they
// become, and that no extractor lets one out of its destination.
#include <gtest/gtest.h>

#include <dlfcn.h>
#include <set>

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

enum class Via { Tool, Library, StubConsole, StubWindow };

// Runs one extraction of `archive` into box/dest; returns what it printed.
std::string extract(Via via, const fs::path &box, int &rc) {
    std::string out;
    if (via == Via::Library) {
        static void *so = dlopen(UNLHA_SO, RTLD_NOW | RTLD_LOCAL);
        auto unlha = reinterpret_cast<int (*)(void *, const char *, char *, unsigned long)>(dlsym(so, "Unlha"));
        std::vector<char> buf(1 << 16);
        std::string cmd = "x \"" + (box / "evil.lzh").string() + "\" \"" + (box / "dest").string() + "/\"";
        rc = unlha(nullptr, cmd.c_str(), buf.data(), buf.size());
        return buf.data();
    }
    std::string cmd = "'" UNLHA_TOOL "' x evil.lzh dest/";
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
    FILE *p = popen(("cd '" + box.string() + "' && " + cmd + " 2>&1 </dev/null").c_str(), "r");
    char buf[4096];
    while (size_t n = fread(buf, 1, sizeof buf, p)) out.append(buf, n);
    int st = pclose(p);
    rc = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
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
        std::string cmd = "'" UNLHA_TOOL "' l '" + (tmp.path() / "evil.lzh").string() + "'";
        FILE *p = popen(cmd.c_str(), "r");
        std::string list;
        char buf[4096];
        while (size_t n = fread(buf, 1, sizeof buf, p)) list.append(buf, n);
        EXPECT_EQ(pclose(p), 0);
        EXPECT_NE(list.find(c.shown), std::string::npos) << list;
        EXPECT_NE(list.find("ok.txt"), std::string::npos) << list;
    }
}

} // namespace
