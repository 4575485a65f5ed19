// The library through its C entry points, loaded as the program loads it,
// and the unlha tool, with real files and independent LZH readers as judges.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <thread>

#include "archive/fsutil.h"
#include "lzh/error.h"
#include "lzh/stream.h"
#include "crafted.h"
#include "test_util.h"

namespace {

using namespace std::string_literals;
using Names = std::vector<std::string>;

// The entries' headers, in the archive's order.
std::vector<lzh::Entry> entries(const fs::path& arc) {
    std::string raw = readFile(arc);
    lzh::MemorySource in(reinterpret_cast<const uint8_t*>(raw.data()), raw.size());
    std::vector<lzh::Entry> out(1);
    while (lzh::readHeader(in, out.back()) && in.skip(out.back().packed)) out.emplace_back();
    out.pop_back();
    return out;
}

// The stored names; folders end in "/".
Names storedNames(const fs::path& arc) {
    Names out;
    for (auto& e : entries(arc)) out.push_back(e.path() + (e.isDir() ? "/" : ""));
    return out;
}

class Library : public ::testing::Test {
protected:
    int run(const std::string& cmd, std::string* out = nullptr) { return call(tmp_.path(), cmd, out); }

    // Unpacks with x (or e) into a fresh folder; what came out.
    std::map<std::string, std::string> extracted(const fs::path& arc, const std::string& cmd = "x") {
        fs::path out = tmp_.path() / ("out" + std::to_string(outs_++));
        fs::create_directories(out);
        EXPECT_EQ(call(out, cmd + " " + q(arc)), 0);
        return tree(out);
    }

    TempDir tmp_;
    int outs_ = 0;
};

class MethodTest : public Library, public ::testing::WithParamInterface<int> {};

// clang-format off
TEST_P(MethodTest, RoundTripReadByEveryPeer) {
    fs::path src = tmp_.path() / "src", arc = tmp_.path() / "test.lzh";
    std::map<std::string, std::string> files = {
        {"empty", ""}, {"one.bin", "Z"}, {"run.txt", std::string(150000, 'a')}, {"random.bin", randomBytes(40000, 31)},
        {"text.txt", textBytes(120000, 32)}, {"nested/a/b/c/deep.txt", textBytes(3000, 36)}, {"nested/.hidden", "h"}};
    // Matches a whole window back, and one byte less.
    const size_t window = size_t{1} << (GetParam() == 2 ? 13 : GetParam() == 3 ? 15 : 16);
    for (size_t period : {window - 1, window}) {
        std::string unit = randomBytes(period, 37), &far = files["far" + std::to_string(period)];
        while (far.size() < 3 * window) far += unit;
    }
    for (auto &[name, data] : files) writeFile(src / name, data);
    fs::create_directories(src / "nested/empty-folder");
    std::string out;
    ASSERT_EQ(call(src, "a -jm" + std::to_string(GetParam()) + " -r2 -a2 " + q(arc) + " \"*.*\"", &out), 0) << out;
    ASSERT_EQ(run("t " + q(arc), &out), 0) << out;
    // What does not shrink is stored; the rest uses the method asked for.
    std::map<std::string, std::string> method;
    for (auto &e : entries(arc)) method[e.path()] = e.method;
    EXPECT_EQ(method["random.bin"], "-lh0-");
    EXPECT_EQ(method["empty"], "-lh0-");
    EXPECT_EQ(method["text.txt"], "-lh" + std::to_string(GetParam() + 3) + "-");
    for (auto& e : entries(arc))  // the repeats reach a whole window back: little more than one period is stored
        if (e.path().starts_with("far")) EXPECT_LT(e.packed, e.original / 3 + e.original / 48) << e.path();
    EXPECT_EQ(treeDiff(extracted(arc), files), "");
    EXPECT_TRUE(fs::is_directory(tmp_.path() / "out0/nested/empty-folder"));

    REQUIRE_ORACLES("lhasa", "bsdtar", "7zz", "jlha");
    for (auto& dir : extractAll(tmp_.path() / "peers", arc, {"lhasa xq", "bsdtar -xf", "7zz x -y", "jlha xq"}))
        EXPECT_EQ(treeDiff(tree(dir), files), "") << dir;
}
// clang-format on

INSTANTIATE_TEST_SUITE_P(Methods, MethodTest, ::testing::Values(2, 3, 4),
                         [](const auto& info) { return "jm" + std::to_string(info.param); });

TEST_F(Library, SwitchesAndItemsChooseWhatIsStored) {
    fs::path top = tmp_.path() / "top";
    for (auto n : {"report.doc", "images/a.png", "images/.hidden", "images/sub/b.png", "report[1].txt", "report1.txt",
                   "a?c", "abc", "abd", "b[x]/in.txt", "bx/in.txt", "imagesX/c.png"})
        writeFile(top / n, n);
    writeFile(top / "other/a.png", "A");
    struct Case {
        std::string command;
        int code;
        Names stored;
        // clang-format off
    } cases[] = {
        // The program's own command: a quoted work folder with a blank, a folder marker.
        {"a -n0 -x1 -w\"" + (tmp_.path() / "work dir/").string() + "\" -jm2 -r2 -a2  \"../1.lzh\"  \"report.doc\" "
         "\"images/*.*\"", 0, {"report.doc", "images/", "images/.hidden", "images/a.png", "images/sub/", "images/sub/b.png"}},
        {"a -r2 ../2.lzh images", 0, {"images/", "images/a.png", "images/sub/", "images/sub/b.png"}},
        {"a ../3.lzh images/*.png", 0, {"images/a.png"}},
        {"a -x0 -r2 ../4.lzh images/*.*", 0, {"a.png", "b.png"}},
        // Two files of one name without folders: the later one, with a warning.
        {"a -x0 -r2 ../5.lzh images other", UNLHA_WARN_SAME_NAME, {"a.png", "b.png"}},
        // An item that names an existing file or folder is that one, whatever
        // characters it holds; only then are `*` and `?` patterns, and `[` never is.
        {"a ../6.lzh report[1].txt", 0, {"report[1].txt"}},
        {"a ../7.lzh a?c", 0, {"a?c"}},
        {"a ../8.lzh ab?", 0, {"abc", "abd"}},
        {"a ../9.lzh r*[1].txt", 0, {"report[1].txt"}},
        {"a ../10.lzh report[2].txt", UNLHA_ERR_NO_ITEM, {}},
        {"a -r2 ../11.lzh b[x]", 0, {"b[x]/", "b[x]/in.txt"}},
        {"a ../12.lzh report1.txt report[1].txt", 0, {"report1.txt", "report[1].txt"}},
        {"a -r2 ../13.lzh images/sub imagesX", 0, {"images/sub/", "images/sub/b.png", "imagesX/", "imagesX/c.png"}},
    };
    // clang-format on
    fs::create_directories(tmp_.path() / "work dir");
    int n = 0;
    for (auto& c : cases) {
        SCOPED_TRACE(c.command);
        std::string text;
        EXPECT_EQ(call(top, c.command, &text), c.code) << text;
        EXPECT_EQ(storedNames(tmp_.path() / (std::to_string(++n) + ".lzh")), c.stored);
    }
    EXPECT_EQ(extracted(tmp_.path() / "5.lzh").at("a.png"), "A");         // the later one
    EXPECT_EQ(extracted(tmp_.path() / "1.lzh", "e").count("b.png"), 1u);  // e drops the folders
    // An archive inside the folder it packs never packs itself, also when added to.
    for (int i = 0; i < 2; ++i) EXPECT_EQ(call(top, "a -r2 images/in.lzh images"), 0);
    EXPECT_EQ(storedNames(top / "images/in.lzh"),
              (Names{"images/", "images/a.png", "images/sub/", "images/sub/b.png"}));
    EXPECT_EQ(call(tmp_.path(), "x 12.lzh out/ report[1].txt"), 0);
    EXPECT_EQ(tree(tmp_.path() / "out"), (std::map<std::string, std::string>{{"report[1].txt", "report[1].txt"}}));
    // A folder named takes what lies in it, not what merely begins alike.
    EXPECT_EQ(call(tmp_.path(), "x 13.lzh out13/ images"), 0);
    EXPECT_EQ(tree(tmp_.path() / "out13"), (std::map<std::string, std::string>{{"images/sub/b.png", "images/sub/b.png"}}));
    EXPECT_EQ(shell(top, kTool + "a ../tool.lzh 'report[1].txt'"), 0);
    EXPECT_EQ(storedNames(tmp_.path() / "tool.lzh"), Names{"report[1].txt"});
}

// Stored modes pass the umask on their way out, as tar's do for ordinary
// users; setuid, setgid and sticky bits never come back.
TEST_F(Library, ExtractedModesPassTheUmask) {
    writeFile(tmp_.path() / "all.sh", "#!/bin/sh\n");
    fs::permissions(tmp_.path() / "all.sh", fs::perms::all | fs::perms::set_uid | fs::perms::set_gid | fs::perms::sticky_bit);
    ASSERT_EQ(run("a m.lzh all.sh"), 0);
    for (mode_t mask : {022, 077, 0}) {
        mode_t was = umask(mask);
        fs::path out = tmp_.path() / ("out" + std::to_string(mask));
        fs::create_directories(out);
        EXPECT_EQ(call(out, "x ../m.lzh"), 0);
        umask(was);
        struct stat st {};
        ASSERT_EQ(stat((out / "all.sh").c_str(), &st), 0);
        EXPECT_EQ(st.st_mode & 07777, 0777 & ~mask) << std::oct << mask;
    }
}

// Threads through the library and processes through the tool on one
// archive, beside threads busy with archives of their own. Absolute paths
// only: the current folder belongs to the whole process.
TEST_F(Library, ConcurrentWritersOfOneArchiveLoseNoAdd) {
    const fs::path shared = tmp_.path() / "shared.lzh";
    auto file = [&](int i) { return tmp_.path() / (std::to_string(i) + ".txt"); };
    std::vector<int> rc(12, -1);
    std::vector<std::thread> threads;
    for (int i = 0; i < 12; ++i) {
        writeFile(file(i), textBytes(300000, static_cast<unsigned>(i)));
        // clang-format off
        threads.emplace_back([&, i] {
            std::string own = q(tmp_.path() / ("own" + std::to_string(i) + ".lzh")), jm = std::to_string(2 + i % 3);
            if (i % 3 == 0) rc[i] = library()(nullptr, ("a -jm4 " + q(shared) + " " + q(file(i))).c_str(), nullptr, 0);
            else if (i % 3 == 1) rc[i] = shell(tmp_.path(), kTool + "a -jm4 shared.lzh " + q(file(i)));
            else if (!(rc[i] = library()(nullptr, ("a -jm" + jm + " " + own + " " + q(file(i))).c_str(), nullptr, 0)))
                rc[i] = library()(nullptr, ("t " + own).c_str(), nullptr, 0);
        });
        // clang-format on
    }
    for (auto& t : threads) t.join();
    Names names = storedNames(shared);
    for (int i = 0; i < 12; ++i) {
        EXPECT_EQ(rc[i], 0) << i;
        auto named = [&](const std::string& n) { return fs::path(n).filename() == file(i).filename(); };
        EXPECT_EQ(std::count_if(names.begin(), names.end(), named), i % 3 == 2 ? 0 : 1) << file(i);
    }
    EXPECT_EQ(run("t " + q(shared)), 0);
    EXPECT_EQ(temps(tmp_.path()), "");
}

// Refused or failed commands have their codes (through an output buffer of
// any size) and write nothing, not even a temporary file.
TEST_F(Library, FailuresHaveTheirCodesAndChangeNothing) {
    auto version = reinterpret_cast<decltype(&::UnlhaGetVersion)>(dlsym(dlopen(UNLHA_SO, RTLD_NOW), "UnlhaGetVersion"));
    ASSERT_TRUE(version && version() == 100 && library());
    char buf[8] = "kkkkkkk";
    EXPECT_EQ(library()(nullptr, "q x.lzh", buf, 0), UNLHA_ERR_COMMAND);
    EXPECT_EQ(buf[0], 'k');  // size 0: untouched
    EXPECT_EQ(library()(nullptr, "q x.lzh", buf, sizeof buf), UNLHA_ERR_COMMAND);
    EXPECT_EQ(std::strlen(buf), sizeof buf - 1);  // cut, NUL-terminated
    EXPECT_EQ(library()(nullptr, nullptr, nullptr, 0), UNLHA_ERR_COMMAND);
    writeFile(tmp_.path() / "f.txt", "data");
    ASSERT_EQ(run("a ok.lzh f.txt"), 0);
    writeFile(tmp_.path() / "s.txt", "xyz");
    std::string crc = craftedEntry(2, "", "s.txt", "xyz") + "\0"s;
    crc[crc.size() - 2] ^= 0x20;  // one data byte changed
    writeFile(tmp_.path() / "crc.lzh", crc);
    writeFile(tmp_.path() / "junk.lzh", "this is no archive at all");
    fs::create_directories(tmp_.path() / "empty");
    fs::create_symlink("nowhere", tmp_.path() / "dangling");
    fs::create_symlink("loop.lzh", tmp_.path() / "loop.lzh");
    lzh::Entry folder;
    folder.method = "-lhd-", folder.rawDir = "d", folder.packed = 5;
    auto h = lzh::writeHeader(folder, false);
    writeFile(tmp_.path() / "folder.lzh", std::string(h.begin(), h.end()) + "xxxxx\0"s);
    writeFile(tmp_.path() / "cut.lzh", readFile(tmp_.path() / "ok.lzh").substr(0, 30));
    writeFile(tmp_.path() / "end.lzh", "\0"s);
    writeFile(tmp_.path() / "zeros.lzh", std::string(64, '\0'));
    writeFile(tmp_.path() / "zeroed.lzh", "\0"s + readFile(tmp_.path() / "ok.lzh").substr(1));
    fs::copy_file(tmp_.path() / "ok.lzh", tmp_.path() / "ro.lzh");
    fs::permissions(tmp_.path() / "ro.lzh", fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    writeFile(tmp_.path() / "ok", "someone else's");        // what s -linux would write
    fs::create_symlink("nowhere", tmp_.path() / "ok.exe");  // and s for Windows
    const auto before = tree(tmp_.path());
    // clang-format off
    std::pair<std::string, int> cases[] = {
        {"l missing.lzh", UNLHA_ERR_NO_ARCHIVE},           {"a new.lzh nothing-here.txt", UNLHA_ERR_NO_ITEM},
        {"a new.lzh nowhere/*.*", UNLHA_ERR_NO_ITEM},      {"a ok.lzh s.txt missing.txt", UNLHA_ERR_NO_ITEM},
        {"a new.lzh", UNLHA_ERR_NOTHING},                  {"a -x0 new.lzh empty", UNLHA_ERR_NOTHING},
        {"a ok.lzh dangling", UNLHA_ERR_NOTHING},          {"a empty s.txt", UNLHA_ERR_WRITE},
        {"a -wnowhere/ ok.lzh s.txt", UNLHA_ERR_WRITE},    {"t junk.lzh", UNLHA_ERR_DAMAGED},
        {"t crc.lzh", UNLHA_ERR_CRC},                      {"x -x1 ok.lzh nomatch.txt", UNLHA_ERR_NO_MATCH},
        {"a loop.lzh s.txt", UNLHA_ERR_WRITE},             {"x folder.lzh", UNLHA_ERR_DAMAGED},
        {"s -linux -ji1 ok.lzh", UNLHA_ERR_EXISTS},        {"s -ji1 ok.lzh", UNLHA_ERR_EXISTS},
        {"s -linux -ji1 junk.lzh", UNLHA_ERR_DAMAGED},     {"s -linux -ji1 end.lzh", UNLHA_ERR_DAMAGED},
        {"s -linux -ji1 cut.lzh", UNLHA_ERR_DAMAGED},      {"s -linux -ji1 missing.lzh", UNLHA_ERR_NO_ARCHIVE},
        {"l zeros.lzh", UNLHA_ERR_DAMAGED},                {"t zeroed.lzh", UNLHA_ERR_DAMAGED},
        {"a zeros.lzh s.txt", UNLHA_ERR_DAMAGED},          {"a ro.lzh s.txt", UNLHA_ERR_WRITE},
    };
    // clang-format on
    for (auto& [cmd, code] : cases) {
        std::string out;
        EXPECT_EQ(run(cmd, &out), code) << cmd << "\n" << out;
        EXPECT_STRNE(UnlhaErrorText(code), "") << cmd;
    }
    EXPECT_EQ(treeDiff(tree(tmp_.path()), before), "");
    EXPECT_FALSE(fs::exists(tmp_.path() / "nowhere"));
    // An empty file is an empty archive to add to; a lone end mark lists as one.
    writeFile(tmp_.path() / "new.lzh", "");
    EXPECT_EQ(run("a new.lzh s.txt"), 0);
    EXPECT_EQ(storedNames(tmp_.path() / "new.lzh"), Names{"s.txt"});
    EXPECT_EQ(run("l end.lzh"), 0);
    // The disk fills up (files may not grow beyond a few KiB).
    writeFile(tmp_.path() / "big.txt", textBytes(400000, 2));
    // Counters of a coverage build go elsewhere: the limit would cut them short and spoil later runs.
    EXPECT_EQ(shell(tmp_.path(), "trap '' XFSZ; ulimit -f 8; GCOV_PREFIX=\"$PWD/gcov\" " + kTool + "a -jm4 ok.lzh big.txt"), 1);
    EXPECT_EQ(readFile(tmp_.path() / "ok.lzh"), before.at("ok.lzh"));
    EXPECT_EQ(temps(tmp_.path()), "");
    // A full disk says so, apart from other failures to write.
    if (int full = ::open("/dev/full", O_WRONLY); full >= 0) {
        lzh::FdSink sink(full, "/dev/full");
        const uint8_t byte = 0;
        sink.write(&byte, 1);
        try {
            sink.flush();
            ADD_FAILURE() << "a write to a full device succeeded";
        } catch (const lzh::Error& e) {
            EXPECT_EQ(e.code, UNLHA_ERR_DISK_FULL);
        }
        ::close(full);
    }
    // A work folder on another file system: copied beside the archive, then renamed.
    if (fs::is_directory("/dev/shm")) {
        EXPECT_EQ(run("a -w/dev/shm/ ok.lzh big.txt"), 0);
        EXPECT_EQ(storedNames(tmp_.path() / "ok.lzh"), (Names{"f.txt", "big.txt"}));
    }
}

// Packing follows links, skipping broken ones, and writes an archive that a
// link names where it stands; extracting never passes a link.
TEST_F(Library, LinksAreFollowedWhenPackingNeverWhenExtracting) {
    fs::path src = tmp_.path() / "src", dest = tmp_.path() / "dest", outside = tmp_.path() / "outside";
    fs::path arc = tmp_.path() / "l.lzh", real = tmp_.path() / "real/l.lzh";
    writeFile(src / "real.txt", "real content");
    fs::create_symlink("real.txt", src / "link.txt");
    fs::create_symlink("nowhere.txt", src / "dangling.txt");
    fs::create_directories(src / "loop");
    fs::create_directory_symlink("..", src / "loop/up");
    fs::create_directories(real.parent_path());
    fs::create_symlink("real/l.lzh", arc);  // dangling: the first add makes what it names
    std::string text;
    ASSERT_EQ(call(src, "a -x1 -r2 ../l.lzh \"*.*\"", &text), 0) << text;
    EXPECT_NE(text.find("dangling.txt"), std::string::npos) << text;
    EXPECT_NE(text.find("loop/up"), std::string::npos) << text;
    const Names stored = storedNames(real);
    writeFile(src / "real.txt", textBytes(9000, 2));  // added again: replaced where it stood
    ASSERT_EQ(call(src, "a -jm4 ../l.lzh real.txt"), 0);
    EXPECT_TRUE(fs::is_symlink(arc));
    EXPECT_EQ(storedNames(real), stored);
    EXPECT_EQ(treeDiff(extracted(arc), {{"link.txt", "real content"}, {"real.txt", textBytes(9000, 2)}}), "");

    writeFile(outside / "victim.txt", "untouched");
    fs::create_directories(dest);
    fs::create_directory_symlink(outside, dest / "linkdir");
    fs::create_symlink(outside / "victim.txt", dest / "victim.txt");
    writeFile(tmp_.path() / "through.lzh", craftedEntry(2, "linkdir", "victim.txt", "EVIL") + "\0"s);
    writeFile(tmp_.path() / "over.lzh", craftedEntry(2, "", "victim.txt", "EVIL") + "\0"s);
    EXPECT_EQ(call(dest, "x ../through.lzh"), UNLHA_ERR_UNSAFE_NAME);
    EXPECT_EQ(call(dest, "x ../over.lzh"), 0);
    EXPECT_EQ(readFile(outside / "victim.txt"), "untouched");
    EXPECT_FALSE(fs::is_symlink(dest / "victim.txt"));  // the link was replaced by a file
    EXPECT_EQ(readFile(dest / "victim.txt"), "EVIL");
}

// Both ways of writing a file that takes its name only when complete.
TEST(PendingFile, NamedOnlyWhenPublishedNeverThroughALink) {
    for (bool nameless : {true, false}) {
        SCOPED_TRACE(nameless);
        TempDir tmp;
        archive::Fd dir(open(tmp.str().c_str(), O_RDONLY | O_DIRECTORY));
        writeFile(tmp.path() / "kept", "old");
        fs::create_symlink(tmp.path() / "kept", tmp.path() / "link");
        {
            archive::PendingFile f(dir.get(), tmp.str(), nameless);
            ASSERT_EQ(write(f.fd(), "new", 3), 3);
            EXPECT_EQ(temps(tmp.path()).empty(), nameless);
            EXPECT_FALSE(f.publish(dir.get(), "kept", false));
            EXPECT_EQ(errno, EEXIST);
            EXPECT_TRUE(f.publish(dir.get(), "link", true));
            archive::PendingFile dropped(dir.get(), tmp.str(), nameless);
        }
        EXPECT_EQ(temps(tmp.path()), "");
        EXPECT_EQ(readFile(tmp.path() / "kept"), "old");
        EXPECT_FALSE(fs::is_symlink(tmp.path() / "link"));
        EXPECT_EQ(readFile(tmp.path() / "link"), "new");
    }
}

// The unlha tool: arguments already split, exit status, meanings on
// stderr; -n0 shows one rewritten line on a terminal and nothing otherwise.
TEST(Tool, CommandsExitStatusAndMeanings) {
    TempDir tmp;
    for (auto n : {"src/a b.txt", "src/sub/c.txt", "src/other/c.txt"}) writeFile(tmp.path() / n, n);
    EXPECT_EQ(shell(tmp.path(), kTool + "a -jm4 -r2 t.lzh 'src/a b.txt' src/sub"), 0);
    EXPECT_EQ(shell(tmp.path(), kTool + "x t.lzh out/"), 0);  // a first item ending in "/" is the destination
    EXPECT_EQ(readFile(tmp.path() / "out/src/a b.txt"), "src/a b.txt");
    EXPECT_EQ(shell(tmp.path(), kTool + "e t.lzh flat/ 'src/sub/*'"), 0);
    EXPECT_EQ(tree(tmp.path() / "flat"), (std::map<std::string, std::string>{{"c.txt", "src/sub/c.txt"}}));
    // A fifo is refused at once, never waited on for a writer (the timeout
    // only ends a run that would wait for ever).
    ASSERT_EQ(mkfifo((tmp.path() / "fifo.lzh").c_str(), 0644), 0);
    const std::string fifo = "timeout -s KILL 60 " + kTool, refused = UnlhaErrorText(UNLHA_ERR_READ);
    const std::tuple<std::string, int, std::string> cases[] = {
        {fifo + "l fifo.lzh", 1, refused},
        {fifo + "t fifo.lzh", 1, refused},
        {fifo + "x fifo.lzh out/", 1, refused},
        {fifo + "s -linux -ji1 fifo.lzh", 1, refused},
        {kTool + "a -x0 -r2 same.lzh src/sub src/other", 3, UnlhaErrorText(UNLHA_WARN_SAME_NAME)},
        {kTool + "t missing.lzh", 1, UnlhaErrorText(UNLHA_ERR_NO_ARCHIVE)},
        {kTool + "q t.lzh", 1, UnlhaErrorText(UNLHA_ERR_COMMAND)},
        {kTool, 2, "usage"},
        {kTool + "--help 2>/dev/null", 0, "usage"},  // asked for: to stdout, success
        {kTool + "--version 2>/dev/null", 0, "unlha 1.00"},
        {kTool + "a -n0 n.lzh 'src/a b.txt' >/dev/null", 0, ""},
        {"script -qec \"" + kTool + "a -n0 s.lzh src/sub/c.txt\" /dev/null", 0, "100% src/sub/c.txt"},
    };
    const bool terminal = haveProgram("script");  // util-linux: a terminal for the tool
    for (auto& [cmd, status, says] : cases) {
        if (!terminal && cmd.starts_with("script")) continue;
        Ran r = runIn(tmp.path(), cmd);
        EXPECT_EQ(r.status, status) << cmd;
        EXPECT_TRUE(says.empty() ? r.output.empty() : r.output.find(says) != std::string::npos) << r.output;
    }
    if (!terminal) GTEST_SKIP() << "script is not installed: the terminal case was left out";
}

// A signal while a file is written: the tool ends by it, the Linux
// self-extractor's console face stops cleanly and fails; neither leaves a
// part of the file or a temporary, and the archive added to stays as it was.
TEST(Tool, StopSignalsLeaveNoTemporaryFile) {
    TempDir tmp;
    writeFile(tmp.path() / "big.txt", textBytes(24 << 20, 9));
    writeFile(tmp.path() / "small.txt", "s");
    for (auto cmd : {"a old.lzh small.txt", "a big.lzh big.txt", "s -linux -ji1 big.lzh"})
        ASSERT_EQ(shell(tmp.path(), kTool + cmd), 0);
    const std::string old = readFile(tmp.path() / "old.lzh"), stub = "./big --dest=out";
    const std::string add = kTool + "a -jm4 old.lzh big.txt", extract = kTool + "x big.lzh out/";
    std::pair<std::string, int> cases[] = {{add, SIGINT},  {add, SIGTERM},    {add, SIGHUP},
                                           {add, SIGKILL}, {extract, SIGINT}, {extract, SIGKILL},
                                           {stub, SIGINT}, {stub, SIGHUP},    {stub, SIGKILL}};
    for (auto& [cmd, sig] : cases) {
        SCOPED_TRACE(cmd + " " + strsignal(sig));
        int st = stopWhileWriting(tmp.path(), cmd, sig);
        bool clean = cmd == stub && sig != SIGKILL;  // stopped cleanly and failed
        EXPECT_TRUE(clean ? WIFEXITED(st) && WEXITSTATUS(st) > 0 : WIFSIGNALED(st) && WTERMSIG(st) == sig) << st;
        EXPECT_EQ(readFile(tmp.path() / "old.lzh"), old);
        EXPECT_FALSE(fs::exists(tmp.path() / "out/big.txt"));
        EXPECT_EQ(temps(tmp.path()), "");
    }
}

}  // namespace
