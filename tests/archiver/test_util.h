#pragma once
// Temporary folders, files, test data and shell commands for the archiver tests.
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <random>
#include <string>
#include <vector>
#include <sys/wait.h>
#include <unistd.h>

#include "oracles.h"
#include "tempdir.h"

namespace fs = std::filesystem;

// A fresh folder that is removed with everything in it.
struct TempDir : kinaru::testing::TempDir {
    fs::path path() const { return str(); }
    std::string str() const { return kinaru::testing::TempDir::path(); }
};

using kinaru::testing::readFile;
using kinaru::testing::writeFile;

inline std::string randomBytes(size_t n, unsigned seed) {
    std::mt19937 rng(seed);
    std::string s(n, '\0');
    for (auto& c : s) c = static_cast<char>(rng());
    return s;
}

// Text-like data: words from a small vocabulary, so it compresses.
inline std::string textBytes(size_t n, unsigned seed) {
    static const char* words[] = {"archive", "header",   "window", "match", "length", "table", "the", "of", "Huffman",
                                  "block",   "position", "code",   "\n",    "    ",   "{",     "}",   "();"};
    std::mt19937 rng(seed);
    std::string s;
    while (s.size() < n) s += words[rng() % (sizeof words / sizeof *words)] + std::string(" ");
    s.resize(n);
    return s;
}

inline std::string q(const fs::path& p) { return "\"" + p.string() + "\""; }

// Runs a shell command in `dir`: its exit status (-1 when a signal ended it)
// and what it printed on stdout and stderr.
struct Ran {
    int status = -1;
    std::string output;
};
inline Ran runIn(const fs::path& dir, const std::string& cmd) {
    Ran r;
    FILE* p = popen(("cd '" + dir.string() + "' && { " + cmd + "; } 2>&1 </dev/null").c_str(), "r");
    char buf[4096];
    while (size_t n = fread(buf, 1, sizeof buf, p)) r.output.append(buf, n);
    int st = pclose(p);
    r.status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
    return r;
}
inline int shell(const fs::path& dir, const std::string& cmd) { return runIn(dir, cmd).status; }

// Our temporary files below `dir`, named or not yet named.
inline std::string temps(const fs::path& dir) {
    std::string out;
    for (auto& e : fs::recursive_directory_iterator(dir))
        if (e.path().filename().string().find("unlha-") != std::string::npos) out += e.path().string() + "\n";
    return out;
}

// Starts `cmd` in `dir` and sends it `sig` while it writes a file that has
// no final name yet: its wait status, or -1 when it never wrote one.
inline int stopWhileWriting(const fs::path& dir, const std::string& cmd, int sig) {
    const std::string run = "exec " + cmd + " </dev/null >/dev/null 2>&1";
    pid_t pid = fork();
    if (pid == 0) _exit(chdir(dir.c_str()) || execl("/bin/sh", "sh", "-c", run.c_str(), nullptr));
    const fs::path fds = "/proc/" + std::to_string(pid) + "/fd";
    auto holdsPending = [&] {
        std::error_code ec;
        for (fs::directory_iterator it(fds, ec), end; !ec && it != end; it.increment(ec)) {
            std::string to = fs::read_symlink(it->path(), ec).string();
            if (to.find("unlha-") != std::string::npos ||
                (to.find("/#") != std::string::npos && to.ends_with(" (deleted)")))
                return true;
        }
        return false;
    };
    bool seen = false;
    for (int i = 0; i < 5000 && !(seen = holdsPending()); ++i) usleep(1000);
    kill(pid, sig);
    int st = 0;
    waitpid(pid, &st, 0);
    return seen ? st : -1;
}

// The two Windows builds and the Wine loader that runs each.
inline const std::string kWine32 = "/usr/lib/wine/wine", kWine64 = "/usr/lib/wine/wine64";

// Why `loader` cannot run programs here, or "" when it can. Some x86_64
// hosts refuse 32-bit programs even with wine32 installed ("Exec format
// error"): there the 32-bit builds are skipped, never failed.
inline std::string wineMissing(const std::string& loader) {
    static std::map<std::string, std::string> known;
    auto [it, fresh] = known.try_emplace(loader);
    if (!fresh) return it->second;
    if (!fs::exists(loader))
        it->second = loader + " is not installed";
    else if (std::system(("'" + loader + "' --version >/dev/null 2>&1").c_str()) != 0)
        it->second = "this host does not run " + loader + " (32-bit programs refused: Exec format error)";
    return it->second;
}

// The start of a command that runs a Windows program under Wine, in one
// prefix per loader for the whole run (its first start is the slow part);
// `display` gives the program one.
inline std::string wine(bool display = false, const std::string& loader = kWine32) {
    struct Prefix {
        TempDir dir;
        ~Prefix() { std::system(("WINEPREFIX=" + dir.str() + " /usr/lib/wine/wineserver -k 2>/dev/null").c_str()); }
    };
    static std::map<std::string, Prefix> prefixes;
    return "env WINEPREFIX=" + prefixes[loader].dir.str() + " WINEDEBUG=-all WINEDLLOVERRIDES='mscoree,mshtml=' " +
           (display ? "xvfb-run -a " : "") + loader + " ";
}

// Runs f with `dir` as the current folder.
template <class F>
auto inDir(const fs::path& dir, F f) {
    fs::path back = fs::current_path();
    fs::current_path(dir);
    auto r = f();
    fs::current_path(back);
    return r;
}

using kinaru::testing::tree;

// The names whose content differs between two trees or that one lacks ("" when equal).
inline std::string treeDiff(const std::map<std::string, std::string>& a, const std::map<std::string, std::string>& b) {
    std::string out;
    for (auto& [k, v] : a)
        if (!b.count(k) || b.at(k) != v) out += k + "\n";
    for (auto& [k, v] : b)
        if (!a.count(k)) out += k + "\n";
    return out;
}

#ifdef UNLHA_TOOL
inline const std::string kTool = "'" UNLHA_TOOL "' ";

// Extracts `archive` with us and each installed peer into dir/0, dir/1 ...
inline std::vector<fs::path> extractAll(const fs::path& dir, const fs::path& archive, std::vector<std::string> peers) {
    std::vector<fs::path> outs;
    peers.insert(peers.begin(), kTool + "x");
    for (const auto& cmd : peers) {
        if (!outs.empty() && !haveProgram(cmd.substr(0, cmd.find(' ')))) continue;
        outs.push_back(dir / std::to_string(outs.size()));
        fs::create_directories(outs.back());
        EXPECT_EQ(shell(outs.back(), "LC_ALL=C.UTF-8 " + cmd + " '" + archive.string() + "'"), 0) << cmd;
    }
    return outs;
}

#endif

#ifdef UNLHA_SO
#include <dlfcn.h>

#include "unlha32.h"

// The library from the build, loaded as the program loads it.
inline decltype(&::Unlha) library() {
    static auto fn = reinterpret_cast<decltype(&::Unlha)>(dlsym(dlopen(UNLHA_SO, RTLD_NOW | RTLD_LOCAL), "Unlha"));
    EXPECT_TRUE(fn) << "cannot load " UNLHA_SO;
    return fn;
}

// Runs a command through the library with `dir` as the current folder.
inline int call(const fs::path& dir, const std::string& cmd, std::string* out = nullptr, void* owner = nullptr) {
    if (!library()) return -1;
    return inDir(dir, [&] {
        std::vector<char> buf(1 << 16, '\x7f');
        int rc = library()(owner, cmd.c_str(), buf.data(), buf.size());
        if (out) *out = buf.data();
        return rc;
    });
}
#endif
