#include "platform/entries.h"

#include "base/paths.h"
#include "platform/files.h"

#include <cerrno>

#include <sys/stat.h>

namespace kinaru::platform {

std::optional<FoundEntry> findEntry(const std::string& path) {
    FoundEntry entry{namePart(path), 0};
    if (entry.name.empty()) return std::nullopt;

    struct stat st {};
    if (::stat(path.c_str(), &st) != 0 && ::lstat(path.c_str(), &st) != 0) return std::nullopt;

    entry.attributes = S_ISDIR(st.st_mode) ? kFolderAttribute : kFileAttribute;
    // Read-only by the owner-write bit alone, even for root.
    if (!(st.st_mode & S_IWUSR)) entry.attributes |= kReadOnlyAttribute;
    if (entry.name.front() == '.') entry.attributes |= kHiddenAttribute;
    return entry;
}

FileResult searchCode(const std::string& path) {
    struct stat st {};
    if (path.empty()) return {FileFailure::MissingEntry, ENOENT};
    if (::stat(path.c_str(), &st) == 0) return {};
    int err = errno;
    if (::lstat(path.c_str(), &st) == 0) return {};
    return failureOf(path, err);
}

}  // namespace kinaru::platform
