#pragma once
// The library as the program loads it, the trees the self-extractors pack,
// and ways to make and run them.
#include <algorithm>
#include <csignal>
#include <map>
#include <string>
#include <vector>

#include "test_util.h"

namespace sfxtest {

using UnlhaFn = int (*)(void *, const char *, char *, unsigned long);

// libunlha32.so from the build, loaded once.
UnlhaFn unlha();

// Runs a command with `dir` as the current folder; the output text in *out.
int run(const fs::path &dir, const std::string &cmd, std::string *out = nullptr, void *owner = nullptr);

std::string q(const fs::path &p);

// Nested folders, Japanese names, a blank, a hidden file, an empty folder,
// data that packs and data that does not; and the items the program names.
void makeTree(const fs::path &root);
std::string treeItems();

// Packs `items` of `src` with -jmN into base/work and runs s with `switches`
// in base/out, as the program does; the self-extractor written.
fs::path makeSelfExtractor(const fs::path &base, const fs::path &src, const std::string &items, int method,
                           const std::string &switches);

// Every folder below root, relative; files whose name holds ".tmp".
std::vector<std::string> folders(const fs::path &root);
std::vector<std::string> tempFiles(const fs::path &root);

struct Result {
    int status = -1;    // exit status
    std::string output; // stdout and stderr together
};
Result runIn(const fs::path &dir, const std::string &cmd);

// Runs a shell command in `dir` and sends it `sig` once it has printed its
// first line; its exit status, -1 when the signal ended it.
int interruptAfterFirstLine(const fs::path &dir, const std::string &cmd, int sig = SIGINT);

// How the Linux stub is started: console without any display, or the window
// face offscreen with scripted answers.
enum class Face { Console, Window };
std::string launch(Face face, const std::string &exe, const std::string &extra = "");

} // namespace sfxtest
