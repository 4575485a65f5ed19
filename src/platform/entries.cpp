#include "entries.h"

#include "app/paths.h"
#include "platform/files.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kinaru::platform {

Entry findEntry(const std::string& path) {
    struct stat st {};
    if (path.empty()) return {2, 0};
    if (::stat(path.c_str(), &st) != 0) {
        int err = errno;
        if (::lstat(path.c_str(), &st) != 0) return {failureCode(path, err), 0};
        st.st_mode = S_IFREG | (st.st_mode & 07777);  // a dangling link
    }
    int attributes = S_ISDIR(st.st_mode) ? kDirectory : kArchive;
    if (!(st.st_mode & S_IWUSR)) attributes |= kReadOnly;
    std::string name = namePart(path);
    if (!name.empty() && name[0] == '.' && name != "." && name != "..") attributes |= kHidden;
    return {0, attributes};
}

bool createFolder(const std::string& path) { return ::mkdir(path.c_str(), 0777) == 0; }

bool renameNoReplace(const std::string& from, const std::string& to) {
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return true;
    if (errno != EINVAL && errno != ENOSYS) return false;
    // File systems without the flag: a hard link fails on an existing name.
    if (::link(from.c_str(), to.c_str()) != 0) return false;
    ::unlink(from.c_str());
    return true;
}

bool deleteFile(const std::string& path) { return ::unlink(path.c_str()) == 0; }

}  // namespace kinaru::platform
