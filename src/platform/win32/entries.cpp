#include "platform/entries.h"

#include "base/paths.h"
#include "platform/files.h"
#include "platform/win32/wide.h"

#include <windows.h>

namespace kinaru::platform {

std::optional<FoundEntry> findEntry(const std::string& path) {
    if (namePart(path).empty()) return std::nullopt;
    WIN32_FIND_DATAW found{};
    HANDLE search = FindFirstFileW(widen(path).c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return std::nullopt;
    FindClose(search);
    // The attribute word as the system gives it; only the bits the dialogs
    // know are kept, so that a plain folder is 16 exactly.
    unsigned known = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                     FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_ARCHIVE;
    return FoundEntry{narrow(found.cFileName), unsigned(found.dwFileAttributes) & known};
}

FileResult searchCode(const std::string& path) {
    if (path.empty()) return {FileFailure::MissingEntry, ERROR_FILE_NOT_FOUND};
    WIN32_FIND_DATAW found{};
    HANDLE search = FindFirstFileW(widen(path).c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        FindClose(search);
        return {};
    }
    return failureOf(path, int(GetLastError()));
}

}  // namespace kinaru::platform
