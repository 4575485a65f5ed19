#pragma once
// Looking up directory entries the way the dialogs need: an attribute word
// (folder 16, file 32, +1 read-only for the owner, +2 hidden by a leading dot)
// or the reason nothing was found.
#include <string>

namespace kinaru::platform {

enum Attribute : int { kReadOnly = 1, kHidden = 2, kDirectory = 16, kArchive = 32 };

struct Entry {
    int code = 0;       // 0 found; else 2 missing, 3 folder missing, 5 denied, errno
    int attributes = 0; // valid when found
    bool found() const { return code == 0; }
};

// Follows links; a dangling link is looked at itself and counts as a file.
Entry findEntry(const std::string& path);

// Creates a folder; false when it could not be made.
bool createFolder(const std::string& path);

// Renames without ever replacing an existing file of the new name.
bool renameNoReplace(const std::string& from, const std::string& to);

bool deleteFile(const std::string& path);

}  // namespace kinaru::platform
