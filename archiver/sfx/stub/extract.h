#pragma once
// What both faces of the stub share: finding the archive inside the running
// program and extracting it.
#include <functional>
#include <optional>
#include <string>

#include "archive/trailer.h"

namespace stub {

// How the run was asked to behave from the command line; the hidden options
// let tests (and scripts) run either face without a person.
struct Args {
    std::string dest;               // --dest=DIR: the destination
    std::optional<bool> overwrite;  // --overwrite=yes|no: the answer to every question
    bool unattended = false;        // --unattended: accept the window face's dialogs as they stand
    bool console = false;           // --console: the console face even with a display
};

// Reads the hidden options; false with a message on an unknown one.
bool parseArgs(int argc, char** argv, Args& args, std::string& error);

struct Self {
    std::string path;  // this self-extractor
    archive::Trailer trailer;
    uint64_t files = 0;  // entries with data, for the final count
};

// Finds the archive in the running program. False (with a message) when
// there is none or it is cut short.
bool openSelf(Self& self, std::string& error);

struct Outcome {
    int rc = 0;         // 0 or the library's error code
    std::string text;   // names and messages
    uint64_t kept = 0;  // existing files the answers kept
};

// Extracts into `dest`. Callbacks run on the calling thread of run().
Outcome extract(const Self& self, const std::string& dest, const std::function<bool(const std::string&)>& overwrite,
                const std::function<void(const std::string&, uint64_t, uint64_t)>& progress = {},
                bool withWindow = false);

// True when a window can be shown: a display or an explicit Qt platform.
bool haveDisplay();

int runConsole(const Self& self, const Args& args);
int runWindow(const Self& self, const Args& args, int argc, char** argv);

}  // namespace stub
