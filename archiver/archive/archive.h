#pragma once
// The archive operations behind the command letters a, l, t, x and e.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace archive {

// The packing method, numbered as its -jm switch is.
enum class PackMethod { LH5 = 2, LH6 = 3, LH7 = 4 };

struct Options {
    char command = 0;             // 'a', 's', 'l', 't', 'x', 'e'
    bool showProgress = false;    // -n0
    bool withFolders = true;      // -x1 / -x0
    std::string workDir;          // -w
    PackMethod method = PackMethod::LH5;  // -jm2 / -jm3 / -jm4
    bool recurse = false;         // -r2
    bool hidden = false;          // -a2
    unsigned threads = 0;         // packing threads; 0: every core this process may use
    std::string archive;
    std::vector<std::string> items;
    // Polled between blocks; returning true cancels the operation.
    std::function<bool()> cancelled;
    // Called as the work goes on, from the thread running it: the current
    // entry's name, and bytes done and total over the whole operation.
    std::function<void(const std::string& name, uint64_t done, uint64_t total)> progress;

    // Self-extractor switches, recorded by s into what it writes.
    bool sfxWindow = false;   // -ji0 (window) / -ji1 (console)
    int sfxStyle = 0;         // -gw2 / -gw4
    bool sfxFolders = false;  // -gu1
    bool sfxLinux = false;    // -linux: a Linux self-extractor instead of a Windows one

    // Reading an archive that sits inside a larger file (a self-extractor):
    // it starts at archiveOffset and, when archiveSize > 0, takes that many bytes.
    uint64_t archiveOffset = 0;
    uint64_t archiveSize = 0;
    // Asked before x/e replaces an existing file; false keeps the file. Without
    // it existing files are replaced.
    std::function<bool(const std::string& name)> overwrite;
};

// Runs a, l, t, x or e; returns 0 or an UNLHA_ERR_* code, with messages (or
// the listing) appended to `text`. The s command lives above this layer
// (command::run).
int run(const Options& opt, std::string& text);

// How far `done` of `total` bytes is, in thousandths: what every progress
// display shows, window or terminal.
inline int permille(uint64_t done, uint64_t total) { return total ? static_cast<int>(done * 1000 / total) : 0; }

// Runs op, turning a failure it throws into its code and message.
int guarded(const std::function<int()>& op, std::string& text);

}  // namespace archive
