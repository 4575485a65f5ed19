// The Linux self-extractor (s -linux) run as a user runs it: made by the
// library from a real archive, started in a fresh folder, judged by the
// files it leaves.
#include <gtest/gtest.h>

#include <cstring>

#include "archive/trailer.h"
#include "support.h"

namespace {

using namespace sfxtest;

class Stub : public ::testing::Test {
protected:
    void SetUp() override { makeTree(src()); }
    fs::path src() const { return tmp_.path() / "src"; }
    // A fresh folder holding only a copy of a new self-extractor.
    fs::path make(const std::string &name, int method, const std::string &switches) {
        fs::path exe = makeSelfExtractor(tmp_.path() / ("make-" + name), src(), treeItems(), method,
                                         "-linux " + switches);
        fs::create_directories(tmp_.path() / name);
        fs::copy_file(exe, tmp_.path() / name / "自己解凍");
        return tmp_.path() / name;
    }
    TempDir tmp_;
};

// Every method and face; without -gu1 the names alone; the window face where
// --dest says, the window type without a display (none, or one that is gone)
// as the console.
TEST_F(Stub, RestoresTheTreeByteForByte) {
    struct Case {
        const char *name;
        int method;
        const char *switches, *launcher, *dest, *says;
        bool folders;
    } cases[] = {
        {"lh5-console", 2, "-gu1 -ji1", "", "", "資料/図表/説明 書.txt", true},
        {"lh6-window", 3, "-gu1 -ji0 -gw4", "w", "行き先/深い 所", "7 個のファイルを", true},
        {"lh7-console-flat", 4, "-ji1", "", "", "ルート.txt", false},
        {"lh5-window-flat", 2, "-ji0 -gw2", "w", "", "7 個のファイルを", false},
        {"no-display", 2, "-gu1 -ji0 -gw2", "", "d", "資料/メモ.txt", true},
        {"display-gone", 2, "-gu1 -ji0 -gw2", "DISPLAY=:4711 ", "d", "資料/メモ.txt", true},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        fs::path run = make(c.name, c.method, c.switches), dest = *c.dest ? run / c.dest : run;
        std::string extra = *c.dest ? "--dest='" + dest.string() + "'" : "";
        Result r = runIn(run, *c.launcher == 'w' ? launch(Face::Window, "./自己解凍", extra)
                                                 : launch(Face::Console, c.launcher + std::string("./自己解凍"), extra));
        ASSERT_EQ(r.status, 0) << r.output;
        EXPECT_NE(r.output.find(c.says), std::string::npos) << r.output;
        fs::remove(run / "自己解凍");
        std::map<std::string, std::string> want;
        for (auto &[name, data] : tree(src())) want[c.folders ? name : fs::path(name).filename().string()] = data;
        EXPECT_EQ(treeDiff(want, tree(dest)), "");
        EXPECT_EQ(folders(dest).empty(), !c.folders);
        EXPECT_TRUE(tempFiles(run).empty());
    }
}

// Existing files: replaced only on a yes, from a person on a terminal or the
// window's question; the console without a terminal refuses and fails.
TEST_F(Stub, AsksBeforeReplacingAFile) {
    struct Case {
        const char *name;
        Face face;
        std::string how; // extra arguments, or the line typed on a terminal
        bool terminal, replaced;
        int status;
    } cases[] = {
        {"console, no terminal", Face::Console, "", false, false, 1},
        {"console, told yes", Face::Console, "--overwrite=yes", false, true, 0},
        {"console, terminal y", Face::Console, "y", true, true, 0},
        {"console, terminal n", Face::Console, "n", true, false, 0},
        {"window, answered no", Face::Window, "--overwrite=no", false, false, 0},
        {"window, answered yes", Face::Window, "--overwrite=yes", false, true, 0},
    };
    int n = 0;
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        if (c.terminal && !haveProgram("script")) continue;
        fs::path run = make("ow" + std::to_string(n++), 2, c.face == Face::Console ? "-gu1 -ji1" : "-gu1 -ji0 -gw2");
        writeFile(run / "資料/メモ.txt", "mine");
        std::string cmd = c.terminal ? "printf '" + c.how + "\\n' | script -qec 'env -u DISPLAY ./自己解凍' /dev/null"
                                     : launch(c.face, "./自己解凍", c.how);
        Result r = runIn(run, cmd);
        EXPECT_EQ(r.status, c.status) << r.output;
        EXPECT_EQ(readFile(run / "資料/メモ.txt"), c.replaced ? readFile(src() / "資料/メモ.txt") : "mine");
        EXPECT_EQ(readFile(run / "資料/図表/説明 書.txt"), readFile(src() / "資料/図表/説明 書.txt"));
        EXPECT_TRUE(tempFiles(run).empty());
    }
}

// Damaged or cut self-extractors end in a reported failure, with nothing
// outside the destination and nothing wrong inside it.
TEST_F(Stub, DamagedSelfExtractorFailsAndStaysInItsDestination) {
    const std::string good = readFile(make("made", 4, "-ji1 -gu1") / "自己解凍");
    archive::Trailer t;
    ASSERT_TRUE(archive::decodeTrailer(reinterpret_cast<const uint8_t *>(good.data()) + good.size() - 32,
                                       good.size(), t));
    auto flip = [&](uint64_t at) {
        std::string s = good;
        s[at] = static_cast<char>(s[at] ^ 0x5A);
        return s;
    };
    auto cutArchive = [&](uint64_t keep) { // with a trailer that fits the cut
        archive::Trailer c = t;
        c.archiveSize = keep;
        auto b = archive::encodeTrailer(c);
        return good.substr(0, t.archiveOffset + keep) + std::string(b.begin(), b.end());
    };
    const uint64_t a = t.archiveOffset, n = t.archiveSize;
    const std::string cases[] = {good.substr(0, a + n / 2), cutArchive(n / 2), cutArchive(n - 2), flip(a + 3),
                                 flip(a + n / 4), flip(a + n - 200), flip(good.size() - 31)};
    int i = 0;
    for (Face face : {Face::Console, Face::Window})
        for (const std::string &bytes : cases) {
            SCOPED_TRACE(i);
            fs::path box = tmp_.path() / ("box" + std::to_string(i++));
            writeFile(box / "自己解凍", bytes);
            fs::create_directories(box / "dest");
            fs::permissions(box / "自己解凍", fs::perms::owner_all);
            Result r = runIn(box, launch(face, "./自己解凍", "--dest=dest"));
            EXPECT_NE(r.status, 0) << r.output;
            for (auto &e : fs::directory_iterator(box))
                EXPECT_TRUE(e.path().filename() == "dest" || e.path().filename() == "自己解凍") << e.path();
            auto want = tree(src());
            for (auto &[name, data] : tree(box / "dest")) EXPECT_EQ(want[name], data) << name;
        }
}

// Ctrl-C, a hang-up or a kill in the console face: the file being written
// is never left half-done, and the run fails.
TEST_F(Stub, InterruptedConsoleLeavesNoPartialFile) {
    TempDir t;
    writeFile(t.path() / "src/大.bin", randomBytes(24 << 20, 21));
    fs::path exe = makeSelfExtractor(t.path(), t.path() / "src", "大.bin", 2, "-linux -ji1");
    fs::path dest = t.path() / "dest";
    fs::create_directories(dest);
    for (int sig : {SIGINT, SIGHUP, SIGKILL}) {
        SCOPED_TRACE(strsignal(sig));
        int status = interruptAfterFirstLine(dest, launch(Face::Console, exe.string()), sig);
        if (sig != SIGKILL) EXPECT_GT(status, 0) << "stopped cleanly and failed, not ended by the signal";
        EXPECT_TRUE(fs::is_empty(dest)) << "neither the file nor its temporary";
    }
}

} // namespace
