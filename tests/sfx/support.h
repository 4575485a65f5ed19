#pragma once
// The library as the program loads it, a nested tree with Japanese names and
// a way to run the self-extractors it makes.
#include <algorithm>
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

// The tree every self-extractor test packs: nested folders, Japanese names,
// a blank, a hidden file, an empty folder, data that packs and data that
// does not.
void makeTree(const fs::path &root);
// The items the program would name for that tree.
std::string treeItems();

// Every folder below root, relative.
std::vector<std::string> folders(const fs::path &root);

struct Result {
    int status = -1; // exit status
    std::string output; // stdout and stderr together
};

// Runs a shell command line in `dir`.
Result runIn(const fs::path &dir, const std::string &cmd);

// How a self-extractor is started: console without any display, or the
// window face offscreen with scripted answers.
enum class Face { Console, Window };
std::string launch(Face face, const std::string &exe, const std::string &extra = "");

std::vector<std::string> tempFiles(const fs::path &root);

} // namespace sfxtest
