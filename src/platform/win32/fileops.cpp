#include "platform/fileops.h"

#include "platform/win32/wide.h"

#include <windows.h>

namespace kinaru::platform {

bool createFolder(const std::string& path) { return CreateDirectoryW(widen(path).c_str(), nullptr); }

// MoveFile never replaces an existing file.
bool renameNoReplace(const std::string& from, const std::string& to) {
    return MoveFileW(widen(from).c_str(), widen(to).c_str());
}

bool deleteFile(const std::string& path) { return DeleteFileW(widen(path).c_str()); }

}  // namespace kinaru::platform
