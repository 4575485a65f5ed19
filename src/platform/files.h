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

// The path with links and "." and ".." resolved; empty when it is not there.
std::string realPath(const std::string& path);

// True when both paths lead to the same entry.
bool sameEntry(const std::string& a, const std::string& b);

bool isFolder(const std::string& path);

// True when anything has that name, a dangling link included.
bool nameTaken(const std::string& path);

// True when a new file can be made in folder.
bool canCreateIn(const std::string& folder);

}  // namespace kinaru::platform
