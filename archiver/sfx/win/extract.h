#pragma once
// What both Windows faces share: the options, finding the archive inside the
// running program, and extracting it with the wide-character file API.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "archive/trailer.h"

namespace winstub {

// The hidden options, so that tests and scripts run either face without a person.
struct Args {
    std::wstring dest;              // --dest=DIR
    std::optional<bool> overwrite;  // --overwrite=yes|no: the answer to every question
    bool unattended = false;        // --unattended: every dialog accepted as it stands
    bool console = false;           // --console: the console face in the window stub
};

// False with a message on an unknown option.
bool parseArgs(int argc, wchar_t** argv, Args& args, std::string& error);

struct Self {
    std::wstring path;  // this self-extractor
    archive::Trailer trailer;
    uint64_t files = 0, bytes = 0;  // entries with data and their size, for counts and progress
};

// False (with a message) when the program carries no archive or a cut one.
bool openSelf(Self& self, std::string& error);

struct Events {
    std::function<bool(const std::string& name)> overwrite;  // asked before replacing a file
    std::function<void(const std::string& name, uint64_t done, uint64_t total)> progress;
    std::function<bool()> cancelled;  // polled while unpacking
};

struct Outcome {
    int rc = 0;         // 0 or the first UNLHA_ERR_* met
    std::string text;   // messages, UTF-8
    uint64_t kept = 0;  // existing files the answers kept
};

// Extracts into `dest` (created when missing). Each file is written under a
// temporary name and renamed into place only when complete and correct.
Outcome extract(const Self& self, const std::wstring& dest, const Events& events);


int runConsole(const Self& self, const Args& args);
int runWindow(const Self& self, const Args& args);

}  // namespace winstub
