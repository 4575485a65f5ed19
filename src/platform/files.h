#pragma once
// File-system calls the program needs, with failures expressed in the words
// the dialogs report them in.
#include <string>

#include "base/errors.h"

namespace kinaru::platform {

// The executable's real path.
std::string executablePath();

std::string currentDirectory();

FileResult changeDirectory(const std::string& path);

// What a failed access to path whose errno was err means.
FileResult failureOf(const std::string& path, int err);

// True when the path exists and its owner may write it. The program treats a
// file without the owner-write bit as read-only even when running as root.
bool ownerWritable(const std::string& path);

}  // namespace kinaru::platform
