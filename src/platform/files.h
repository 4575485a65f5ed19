#pragma once
// File-system calls the program needs, with failures expressed as the small
// codes the dialogs report: 2 missing entry, 3 missing folder or not a
// folder, 4 too many open files, 5 access denied, otherwise the errno.
#include <string>

namespace kinaru::platform {

// The executable's real path.
std::string executablePath();

std::string currentDirectory();

// 0 on success, else the code above.
int changeDirectory(const std::string& path);

// Code for a failed access to path whose errno was err.
int failureCode(const std::string& path, int err);

// True when the path exists and its owner may write it. The program treats a
// file without the owner-write bit as read-only even when running as root.
bool ownerWritable(const std::string& path);

}  // namespace kinaru::platform
