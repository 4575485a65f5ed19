// Stored names at every header level and in every name field: what they
// become, and that no extractor lets one out of its destination.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include "crafted.h"
#include "lzh/names.h"
#include "test_util.h"

namespace {

using lzh::NameFault;
using namespace std::string_literals;

struct NameCase {
    int level;
    std::string dir, name;
    NameFault fault;
    std::string shown;  // the path as l lists it
};

const std::vector<NameCase>& nameCases() {
    static const std::vector<NameCase> cases = {
        {2, "..\0\xFF..\0\xFF"s, "x.txt", NameFault::Control, "..\\x00/..\\x00/x.txt"},
        {2, "", "..\0/x.txt"s, NameFault::Control, "..\\x00/x.txt"},
        {1, "..\0\xFF"s, "x.txt", NameFault::Control, "..\\x00/x.txt"},
        {1, "", "..\0\\..\0\\x.txt"s, NameFault::Control, "..\\x00/..\\x00/x.txt"},
        {0, "", "..\0\\..\0\\x.txt"s, NameFault::Control, "..\\x00/..\\x00/x.txt"},
        {0, "", "a\x1b\\x.txt", NameFault::Control, "a\\x1b/x.txt"},
        {2, "", "x\x1f.txt", NameFault::Control, "x\\x1f.txt"},  // the last control byte; a blank is none
        {2, "", " .txt", NameFault::None, " .txt"},
        {2, "a\xFF..\xFF", "x.txt", NameFault::DotPart, "a/../x.txt"},
        {1, "", ".\\x.txt", NameFault::DotPart, "./x.txt"},
        {2, "a\xFF\xFF", "x.txt", NameFault::EmptyPart, "a/x.txt"},
        {2, "", "..\\x.txt", NameFault::DotPart, "..\\x.txt"},  // climbs where '\\' separates
        {2, "\xFFtmp\xFF", "x.txt", NameFault::Absolute, "tmp/x.txt"},
        {0, "", "\\tmp\\x.txt", NameFault::Absolute, "tmp/x.txt"},
        {1, "", "C:\\x.txt", NameFault::Absolute, "C:/x.txt"},
        {2, "", "", NameFault::NoName, ""},
        // CP932 with a '\\' trail byte: one part, not a separator.
        {0, "", "\x95\\\\\x95\\.txt", NameFault::None, "表/表.txt"},
    };
    return cases;
}

// Each crafted name has its verdict; the unsafe ones are refused, with the
// rest extracted and nothing written outside. l lists them all, escaped,
// never cut.
TEST(StoredNames, OneVerdictForEveryLevelAndFieldAndNoWayOut) {
    ASSERT_NE(std::setlocale(LC_ALL, "C.UTF-8"), nullptr);
    std::string evil, out;
    for (const auto& c : nameCases()) {
        SCOPED_TRACE(c.shown + " level " + std::to_string(c.level));
        std::string entry = craftedEntry(c.level, c.dir, c.name, "EVIL");
        lzh::MemorySource src(reinterpret_cast<const uint8_t*>(entry.data()), entry.size());
        lzh::Entry e;
        ASSERT_TRUE(lzh::readHeader(src, e, true));
        EXPECT_EQ(e.fault, c.fault);
        EXPECT_EQ(e.path(), c.shown);
        if (c.fault != NameFault::None) evil += entry;
    }
    TempDir tmp;
    fs::path box = tmp.path() / "a/b/box";
    writeFile(box / "evil.lzh", evil + craftedEntry(0, "", "ok.txt", "fine"));
    fs::create_directories(box / "dest");
    EXPECT_EQ(call(box, "x evil.lzh dest/", &out), UNLHA_ERR_UNSAFE_NAME) << out;
    auto left = tree(tmp.path());
    left.erase("a/b/box/evil.lzh");
    EXPECT_EQ(left, (std::map<std::string, std::string>{{"a/b/box/dest/ok.txt", "fine"}}));
    Ran list = runIn(box, kTool + "l evil.lzh");
    EXPECT_EQ(list.status, 0);
    for (const auto& c : nameCases()) {
        if (c.fault != NameFault::None) {
            EXPECT_TRUE(out.find(c.shown + ": refused") != std::string::npos &&
                        list.output.find("  " + c.shown + "\n") < list.output.find("ok.txt"))
                << c.shown + "\n" + out + list.output;
        }
    }
}

struct stat statOf(const fs::path& p) {
    struct stat st {};
    EXPECT_EQ(::stat(p.c_str(), &st), 0) << p;
    return st;
}

// clang-format off
TEST(StoredNames, DeclaredCodePageDecidesElseCp932UnlessUnixUtf8) {
    ASSERT_NE(std::setlocale(LC_ALL, "C.UTF-8"), nullptr);
    using lzh::CodePage;
    struct { CodePage declared; uint8_t os; std::string stored, local; } cases[] = {
        {CodePage::Unknown, 'M', "\xC3\xBD\xC3\xBD.txt", "ﾃｽﾃｽ.txt"}, // CP932 kana that are valid UTF-8
        {CodePage::Cp932, 'U', "\xC3\xBD\xC3\xBD.txt", "ﾃｽﾃｽ.txt"},
        {CodePage::Unknown, 'U', "\xC3\xBD\xC3\xBD.txt", "ýý.txt"},
        {CodePage::Utf8, 'M', "한국어", "한국어"},
        {CodePage::Unknown, 'U', "\x93\xfa\x96\x7b", "日本"},
    };
    for (auto &c : cases) {
        lzh::Entry e;
        e.rawName = c.stored, e.os = c.os, e.codePage = c.declared;
        lzh::decodePath(e);
        EXPECT_EQ(e.path(), c.local);
    }
    // Written in CP932 where it holds every name, else in UTF-8 declared so.
    EXPECT_EQ(lzh::toArchiveName("日本語"), "\x93\xfa\x96\x7b\x8c\xea");
    EXPECT_EQ(lzh::archiveCodePage({"日本語", "café-ÿ"}), CodePage::Utf8);
}
// clang-format on

// Every name a stores comes back from x as the same file; a name that would
// not (read as a drive, a control byte, a part that climbs where '\\'
// separates, bytes that are no text) is named, escaped, and left out with
// a warning while the rest is packed. Japanese names that CP932 would turn
// into look-alikes (U+301C) are kept as they are; Korean, emoji and
// half-width kana come back from bsdtar too.
TEST(StoredNames, EveryNameAddStoresComesBackTheRestAreNamed) {
    TempDir tmp;
    fs::path src = tmp.path() / "src";
    const std::vector<std::string> good = {"〜波.txt", "日本語.txt", "ﾃｽﾄ.txt",   "a\\b",     "x\\",       "sub/C:foo",
                                           "a[1]?.txt", "表\\.txt",  "café.txt", "한국어.txt", "😀/ﾃｽﾃｽ.txt"};
    const std::vector<std::string> bad = {"C:foo",          "a:b",      "ctl\x01",       "nl\nx", "x\\..\\y", "\\a",
                                          "x\\..\\..\\PWN", "ab\377cd", "ctl\x1b/in.txt"};
    for (const auto& n : good) writeFile(src / n, n);
    for (const auto& n : bad) writeFile(src / n, n);
    Ran r = runIn(src, "LC_ALL=C.UTF-8 " + kTool + "a -r2 ../n.lzh '*.*'");
    EXPECT_EQ(r.status, 3) << r.output;
    EXPECT_NE(r.output.find(UnlhaErrorText(UNLHA_WARN_NAME_SKIPPED)), std::string::npos) << r.output;
    for (const auto& n : bad) {
        std::string shown = lzh::escapeControls(n.substr(0, n.find('/')));  // a folder's name
        EXPECT_NE(r.output.find(shown + ": not stored"), std::string::npos) << shown;
    }
    for (char c : r.output) EXPECT_TRUE(c == '\n' || static_cast<unsigned char>(c) >= 0x20) << r.output;
    EXPECT_EQ(readFile(tmp.path() / "n.lzh").find("..\\.."), std::string::npos);
    std::map<std::string, std::string> want;
    for (const auto& n : good) want[n] = n;
    for (const auto& out : extractAll(tmp.path(), tmp.path() / "n.lzh", {"bsdtar -xf"}))  // bsdtar: with no option
        EXPECT_EQ(treeDiff(tree(out), want), "") << out;
}

// Before 1970 or after 2106 the nearest time the header holds, said so; an
// archive whose final 0 is missing still reads whole; l warns of sizes that
// other readers cut to 32 bits.
TEST(StoredNames, TimesSizesAndAMissingEndMark) {
    TempDir tmp;
    lzh::Entry big;
    big.method = "-lh5-", big.rawName = "big", big.original = uint64_t{5} << 30;
    auto h = lzh::writeHeader(big, true);
    writeFile(tmp.path() / "big.lzh", std::string(h.begin(), h.end()) + "\0"s);
    EXPECT_NE(runIn(tmp.path(), kTool + "l big.lzh").output.find("big  (4 GiB or more"), std::string::npos);
    ASSERT_EQ(shell(tmp.path(), "touch -d @-315619200 old && touch -d @7258118400 far"), 0);  // 1960, 2200
    auto [rc, text] = runIn(tmp.path(), kTool + "a t.lzh old far");
    ASSERT_EQ(rc, 0) << text;
    EXPECT_TRUE(text.find("old: time outside 1970-2106") < text.find("far: time outside 1970-2106")) << text;
    std::string lzh = readFile(tmp.path() / "t.lzh");
    writeFile(tmp.path() / "t.lzh", lzh.substr(0, lzh.size() - 1));
    fs::path out = extractAll(tmp.path(), tmp.path() / "t.lzh", {})[0];
    EXPECT_EQ(statOf(out / "old").st_mtime, 0);
    EXPECT_EQ(statOf(out / "far").st_mtime, lzh::kLastTime);
    writeFile(tmp.path() / "t.lzh", lzh.substr(0, lzh.size() - 2));  // the last entry cut
    EXPECT_NE(shell(tmp.path(), kTool + "t t.lzh"), 0);
}

// The seeds that are no crafted attack (other writers' archives, a level-0
// Unix extension): we give what lhasa gives, times and execute bits too.
TEST(StoredNames, SeedsComeOutAsFromLhasa) {
    TempDir tmp;
    for (auto& seed : fs::directory_iterator(fs::path(SEEDS_DIR))) {
        std::string name = seed.path().filename();
        if (name.rfind("crafted-", 0) == 0) continue;
        auto outs = extractAll(tmp.path() / name, seed.path(), {"lhasa x"});
        if (outs.size() < 2) GTEST_SKIP() << "lhasa not installed";
        EXPECT_FALSE(tree(outs[0]).empty()) << name;
        EXPECT_EQ(treeDiff(tree(outs[0]), tree(outs[1])), "") << name;
        for (auto& [file, data] : tree(outs[1])) {
            struct stat a = statOf(outs[0] / file), b = statOf(outs[1] / file);
            EXPECT_EQ(std::pair(a.st_mtime, a.st_mode & 0111), std::pair(b.st_mtime, b.st_mode & 0111)) << file;
        }
    }
}

}  // namespace
