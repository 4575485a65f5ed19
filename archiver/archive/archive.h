#pragma once
// The archive operations behind the command letters a, l, t, x and e.
#include <functional>
#include <string>
#include <vector>

namespace archive {

struct Options {
    char command = 0;          // 'a', 's', 'l', 't', 'x', 'e'
    bool showProgress = false; // -n0
    bool withFolders = true;   // -x1 / -x0
    std::string workDir;       // -w
    int method = 2;            // -jm2 / -jm3 / -jm4
    bool recurse = false;      // -r2
    bool hidden = false;       // -a2
    std::string archive;
    std::vector<std::string> items;
    // Polled between blocks; returning true cancels the operation.
    std::function<bool()> cancelled;
};

// Runs the operation; returns 0 or an UNLHA_ERR_* code, with messages (or
// the listing) appended to `text`.
int run(const Options &opt, std::string &text);

} // namespace archive
