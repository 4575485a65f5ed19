// Self-extractors run as a user runs them: made by the library from a real
// archive, started in a fresh folder, judged by the files they leave.
#include <gtest/gtest.h>

#include <cstring>

#include <csignal>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include "lzh/crc16.h"
#include "lzh/header.h"
#include "sfx/trailer.h"
#include "support.h"
#include "unlha32.h"

namespace {

using namespace sfxtest;

std::string faceSwitches(Face face, int style) {
    if (face == Face::Console) return "-ji1";
    return style == 4 ? "-ji0 -gw4" : "-ji0 -gw2";
}

// Packs the tree with one method and turns it into a self-extractor, as the
// program does: archive in the work folder, s run in the archive folder.
fs::path makeSelfExtractor(const fs::path &base, const fs::path &src, int method, const std::string &face,
                           bool folders = true) {
    fs::path work = base / "work";
    fs::path outDir = base / "out";
    fs::create_directories(work);
    fs::create_directories(outDir);
    fs::path lzh = work / "12090507.lzh";
    std::string jm = "-jm" + std::to_string(method);
    std::string text;
    EXPECT_EQ(run(src, "a -n1 -x1 -w" + work.string() + "/ " + jm + " -r2 -a2  " + q(lzh) + "  " + treeItems(), &text), 0)
        << text;
    EXPECT_EQ(run(outDir, "s -n1 -x1 -w" + work.string() + "/ " + jm + "  -a2 " + (folders ? "-gu1 " : "") + face +
                              "  " + q(lzh),
                  &text),
              0)
        << text;
    fs::remove(lzh);
    return outDir / "12090507.exe";
}

class Stub : public ::testing::Test {
protected:
    void SetUp() override { makeTree(src()); }
    fs::path src() const { return tmp_.path() / "src"; }
    // A fresh folder holding only a copy of the self-extractor.
    fs::path freshCopy(const fs::path &exe, const std::string &name) {
        fs::path dir = tmp_.path() / name;
        fs::create_directories(dir);
        fs::copy_file(exe, dir / "自己解凍.exe");
        return dir;
    }
    TempDir tmp_;
};

struct Made {
    int method;
    Face face;
    int style;
};

class EveryMethodAndFace : public Stub, public ::testing::WithParamInterface<Made> {};

TEST_P(EveryMethodAndFace, RestoresTheTreeByteForByte) {
    const Made m = GetParam();
    fs::path exe = makeSelfExtractor(tmp_.path() / "make", src(), m.method, faceSwitches(m.face, m.style));
    fs::path run = freshCopy(exe, "run");
    Result r = runIn(run, launch(m.face, "./自己解凍.exe"));
    ASSERT_EQ(r.status, 0) << r.output;
    fs::remove(run / "自己解凍.exe");
    EXPECT_EQ(treeDiff(tree(src()), tree(run)), "");
    EXPECT_EQ(folders(src()), folders(run));
    EXPECT_TRUE(tempFiles(run).empty());
    if (m.face == Face::Console) EXPECT_NE(r.output.find("資料/図表/説明 書.txt"), std::string::npos) << r.output;
    else EXPECT_NE(r.output.find("7 個のファイルを"), std::string::npos) << r.output;
}

INSTANTIATE_TEST_SUITE_P(, EveryMethodAndFace,
                         ::testing::Values(Made{2, Face::Console, 0}, Made{3, Face::Console, 0},
                                           Made{4, Face::Console, 0}, Made{2, Face::Window, 2},
                                           Made{3, Face::Window, 4}, Made{4, Face::Window, 4}),
                         [](const auto &info) {
                             const Made &m = info.param;
                             return "lh" + std::to_string(m.method + 3) +
                                    (m.face == Face::Console ? "_console" : "_window_gw" + std::to_string(m.style));
                         });

TEST_F(Stub, WithoutFoldersSwitchRestoresNamesOnly) {
    for (Face face : {Face::Console, Face::Window}) {
        SCOPED_TRACE(face == Face::Console ? "console" : "window");
        TempDir make;
        fs::path exe = makeSelfExtractor(make.path(), src(), 2, faceSwitches(face, 2), false);
        fs::path run = freshCopy(exe, face == Face::Console ? "flat-c" : "flat-w");
        Result r = runIn(run, launch(face, "./自己解凍.exe"));
        ASSERT_EQ(r.status, 0) << r.output;
        fs::remove(run / "自己解凍.exe");
        std::map<std::string, std::string> flat;
        for (auto &[name, data] : tree(src())) flat[fs::path(name).filename().string()] = data;
        EXPECT_EQ(treeDiff(flat, tree(run)), "");
        EXPECT_TRUE(folders(run).empty());
    }
}

// Without a display it can open (none named, or an X server that is gone)
// the window type falls back to the console face.
TEST_F(Stub, WindowTypeWithoutDisplayActsAsConsole) {
    fs::path exe = makeSelfExtractor(tmp_.path() / "make", src(), 2, "-ji0 -gw2");
    const char* environments[] = {"", "DISPLAY=:4711 "};
    for (const char* environment : environments) {
        SCOPED_TRACE(environment);
        fs::path run = freshCopy(exe, std::string("run") + (*environment ? "-gone" : ""));
        fs::create_directories(run / "here");
        Result r = runIn(run / "here", launch(Face::Console, std::string(environment) + "../自己解凍.exe", "--dest=dest"));
        ASSERT_EQ(r.status, 0) << r.output;
        EXPECT_NE(r.output.find("資料/メモ.txt"), std::string::npos) << "names printed: " << r.output;
        EXPECT_EQ(treeDiff(tree(src()), tree(run / "here/dest")), "");
    }
}

TEST_F(Stub, WindowFaceExtractsWhereItIsTold) {
    fs::path exe = makeSelfExtractor(tmp_.path() / "make", src(), 2, "-ji0 -gw4");
    fs::path run = freshCopy(exe, "run");
    fs::path dest = tmp_.path() / "行き先/深い 所";
    Result r = runIn(run, launch(Face::Window, "./自己解凍.exe", "--dest='" + dest.string() + "'"));
    ASSERT_EQ(r.status, 0) << r.output;
    EXPECT_EQ(treeDiff(tree(src()), tree(dest)), "");
    EXPECT_EQ(tree(run).size(), 1u) << "nothing beside the self-extractor";
}

// Existing files: replaced only on a yes, from a person on a terminal or the
// window's question; the console without a terminal refuses and fails.
TEST_F(Stub, AsksBeforeReplacingAFile) {
    struct Case {
        const char *name;
        Face face;
        std::string how; // extra arguments, or a shell prefix feeding a terminal
        bool terminal;
        bool replaced;
        int status;
    } cases[] = {
        {"console, no terminal", Face::Console, "", false, false, 1},
        {"console, told yes", Face::Console, "--overwrite=yes", false, true, 0},
        {"console, terminal y", Face::Console, "y", true, true, 0},
        {"console, terminal n", Face::Console, "n", true, false, 0},
        {"window, answered no", Face::Window, "--overwrite=no", false, false, 0},
        {"window, answered yes", Face::Window, "--overwrite=yes", false, true, 0},
        {"window, no answer given", Face::Window, "", false, false, 0},
    };
    fs::path exeConsole = makeSelfExtractor(tmp_.path() / "make-c", src(), 2, "-ji1");
    fs::path exeWindow = makeSelfExtractor(tmp_.path() / "make-w", src(), 2, "-ji0 -gw2");
    int n = 0;
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        if (c.terminal && !haveProgram("script")) continue;
        fs::path run = freshCopy(c.face == Face::Console ? exeConsole : exeWindow, "ow" + std::to_string(n++));
        writeFile(run / "資料/メモ.txt", "mine");
        std::string cmd;
        if (c.terminal)
            cmd = "printf '" + c.how + "\\n' | script -qec 'env -u QT_QPA_PLATFORM -u DISPLAY ./自己解凍.exe' /dev/null";
        else
            cmd = launch(c.face, "./自己解凍.exe", c.how);
        Result r = runIn(run, cmd);
        EXPECT_EQ(r.status, c.status) << r.output;
        EXPECT_EQ(readFile(run / "資料/メモ.txt"), c.replaced ? readFile(src() / "資料/メモ.txt") : "mine") << r.output;
        // Everything else arrives whatever the answer.
        EXPECT_EQ(readFile(run / "資料/図表/説明 書.txt"), readFile(src() / "資料/図表/説明 書.txt"));
        EXPECT_TRUE(tempFiles(run).empty());
        if (c.terminal) EXPECT_NE(r.output.find("上書きしますか"), std::string::npos) << r.output;
        if (!c.replaced && !c.terminal) EXPECT_NE(r.output.find("既にあ"), std::string::npos) << r.output;
    }
}

// Every byte of the self-extractor after the stub, changed in turn at a few
// places or cut, must end in a reported failure and nothing outside the
// destination.
TEST_F(Stub, DamagedSelfExtractorFailsAndStaysInItsDestination) {
    fs::path exe = makeSelfExtractor(tmp_.path() / "make", src(), 4, "-ji1");
    const std::string good = readFile(exe);
    sfx::Trailer t;
    {
        int fd = ::open(exe.c_str(), O_RDONLY);
        ASSERT_TRUE(sfx::readTrailer(fd, t));
        ::close(fd);
    }
    auto flip = [&](uint64_t at) {
        std::string s = good;
        s[at] = static_cast<char>(s[at] ^ 0x5A);
        return s;
    };
    // The archive part cut short, with a trailer that fits the cut.
    auto cutArchive = [&](uint64_t keep) {
        sfx::Trailer c = t;
        c.archiveSize = keep;
        auto b = sfx::encodeTrailer(c);
        return good.substr(0, t.archiveOffset + keep) + std::string(b.begin(), b.end());
    };
    const uint64_t a = t.archiveOffset, n = t.archiveSize;
    struct Case {
        std::string name, bytes;
    } cases[] = {
        {"file cut in half", good.substr(0, a + n / 2)},
        {"trailer missing", good.substr(0, good.size() - sfx::kTrailerSize)},
        {"archive cut, trailer rebuilt", cutArchive(n / 2)},
        {"archive cut inside the last entry", cutArchive(n - 2)},
        {"first header flipped", flip(a + 3)},
        {"packed data flipped early", flip(a + n / 4)},
        {"packed data flipped late", flip(a + n - 200)},
        {"trailer offset flipped", flip(good.size() - sfx::kTrailerSize + 1)},
    };
    int i = 0;
    for (Face face : {Face::Console, Face::Window}) {
        for (const Case &c : cases) {
            SCOPED_TRACE(c.name + (face == Face::Console ? " (console)" : " (window)"));
            // box/自己解凍.exe extracting into box/dest: only dest may change.
            fs::path box = tmp_.path() / ("box" + std::to_string(i++));
            fs::create_directories(box / "dest");
            writeFile(box / "自己解凍.exe", c.bytes);
            fs::permissions(box / "自己解凍.exe", fs::perms::owner_all);
            std::string args = face == Face::Console ? "" : "--dest=dest";
            fs::path where = face == Face::Console ? box / "dest" : box;
            std::string exePath = face == Face::Console ? "../自己解凍.exe" : "./自己解凍.exe";
            Result r = runIn(where, launch(face, exePath, args));
            EXPECT_NE(r.status, 0) << r.output;
            EXPECT_TRUE(r.output.find("壊れ") != std::string::npos || r.output.find("失敗") != std::string::npos)
                << r.output;
            std::vector<std::string> top;
            for (auto &e : fs::directory_iterator(box)) top.push_back(e.path().filename().string());
            std::sort(top.begin(), top.end());
            EXPECT_EQ(top, (std::vector<std::string>{"dest", "自己解凍.exe"}));
            EXPECT_TRUE(tempFiles(box).empty());
            // What did arrive is whole and right.
            for (auto &[name, data] : tree(box / "dest")) {
                auto want = tree(src());
                ASSERT_TRUE(want.count(name)) << name;
                EXPECT_EQ(want[name], data) << name;
            }
        }
    }
}

// Ctrl-C, a hang-up or a kill in the console face: the file being written
// is never left half-done, and the run fails.
TEST_F(Stub, InterruptedConsoleLeavesNoPartialFile) {
    TempDir t;
    writeFile(t.path() / "src/大.bin", randomBytes(24 << 20, 21));
    fs::path lzh = t.path() / "big.lzh";
    ASSERT_EQ(run(t.path() / "src", "a -n1 " + q(lzh) + " 大.bin"), 0);
    ASSERT_EQ(run(t.path(), "s -n1 -ji1 " + q(lzh)), 0);
    fs::path dest = t.path() / "dest";
    fs::create_directories(dest);
    for (int sig : {SIGINT, SIGHUP, SIGKILL}) {
        SCOPED_TRACE(strsignal(sig));
        int out[2];
        ASSERT_EQ(::pipe(out), 0);
        pid_t pid = ::fork();
        if (pid == 0) {
            ::dup2(out[1], STDOUT_FILENO);
            ::close(out[0]);
            ::chdir(dest.c_str());
            ::unsetenv("QT_QPA_PLATFORM");
            ::execl((t.path() / "big.exe").c_str(), "big.exe", static_cast<char *>(nullptr));
            ::_exit(127);
        }
        ::close(out[1]);
        // The name is printed as the file starts; interrupt it then.
        char c;
        while (::read(out[0], &c, 1) == 1 && c != '\n') {
        }
        ::kill(pid, sig);
        int st = 0;
        ::waitpid(pid, &st, 0);
        ::close(out[0]);
        if (sig != SIGKILL) {
            ASSERT_TRUE(WIFEXITED(st)) << "ended by the signal instead of stopping cleanly";
            EXPECT_NE(WEXITSTATUS(st), 0);
        }
        EXPECT_TRUE(fs::is_empty(dest)) << "neither the file nor its temporary";
    }
}

// A crafted archive whose names lead out of the destination: refused by
// every face, with nothing written outside.
TEST_F(Stub, RefusesNamesLeadingOutside) {
    std::string lzh;
    auto add = [&](const std::string &dir, const std::string &name, const std::string &data) {
        lzh::Entry e;
        e.method = "-lh0-";
        e.rawDir = dir;
        e.rawName = name;
        e.packed = e.original = data.size();
        e.crc = lzh::crc16(0, reinterpret_cast<const uint8_t *>(data.data()), data.size());
        e.mtime = 1700000000;
        auto h = lzh::writeHeader(e, false);
        lzh.append(h.begin(), h.end());
        lzh += data;
    };
    add("..", "上.txt", "escaped");
    add("..\xFF..", "上上.txt", "escaped");
    add("", "安全.txt", "safe");
    lzh += '\0';
    fs::path work = tmp_.path() / "work";
    writeFile(work / "evil.lzh", lzh);
    for (Face face : {Face::Console, Face::Window}) {
        SCOPED_TRACE(face == Face::Console ? "console" : "window");
        TempDir t;
        fs::path out = t.path() / "a/b";
        fs::create_directories(out);
        ASSERT_EQ(run(out, "s -n1 -gu1 " + faceSwitches(face, 4) + " " + q(work / "evil.lzh")), 0);
        fs::path dest = out / "dest";
        fs::create_directories(dest);
        Result r = runIn(dest, launch(face, "../evil.exe", face == Face::Window ? "--dest=." : ""));
        EXPECT_NE(r.status, 0) << r.output;
        EXPECT_EQ(readFile(dest / "安全.txt"), "safe");
        EXPECT_FALSE(fs::exists(out / "上.txt"));
        EXPECT_FALSE(fs::exists(t.path() / "a/上上.txt"));
        EXPECT_FALSE(fs::exists(dest / "上.txt")) << "not even flattened into the destination";
    }
}

} // namespace
