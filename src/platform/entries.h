#pragma once
// Looking up one directory entry the way the dialogs need it: its name and an
// attribute word in the classic form (folder 16, file 32, read-only 1,
// hidden 2), so that the rules built on that word hold as written.
#include <optional>
#include <string>

#include "base/errors.h"

namespace kinaru::platform {

constexpr unsigned kReadOnlyAttribute = 1;
constexpr unsigned kHiddenAttribute = 2;
constexpr unsigned kFolderAttribute = 16;
constexpr unsigned kFileAttribute = 32;

struct FoundEntry {
    std::string name;
    unsigned attributes = 0;
};

// The entry that path's last component names, following links; a dangling
// link is found as a file. Nothing is found for a missing or unreachable
// entry, or for a path that names no component (one ending in "/").
std::optional<FoundEntry> findEntry(const std::string& path);

// No failure when something exists at path (links followed, a dangling link
// counts); a missing entry in an existing folder is told from a missing folder.
FileResult searchCode(const std::string& path);

}  // namespace kinaru::platform
