#include "platform/files.h"

#include "base/paths.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace kinaru::platform {

std::string executablePath() {
    std::vector<char> buffer(PATH_MAX + 1);
    for (;;) {
        ssize_t n = readlink("/proc/self/exe", buffer.data(), buffer.size());
        if (n < 0) return {};
        if (std::size_t(n) < buffer.size()) return std::string(buffer.data(), std::size_t(n));
        buffer.resize(buffer.size() * 2);
    }
}

std::string currentDirectory() {
    std::vector<char> buffer(PATH_MAX + 1);
    while (!getcwd(buffer.data(), buffer.size())) {
        if (errno != ERANGE) return {};
        buffer.resize(buffer.size() * 2);
    }
    return buffer.data();
}

FileResult failureOf(const std::string& path, int err) {
    switch (err) {
        case 0: return {};
        case ENOENT: {
            // Tell a missing entry from a missing folder above it.
            std::string entry = path;
            while (entry.size() > 1 && entry.back() == '/') entry.pop_back();
            std::string folder = folderPart(entry);
            struct stat st {};
            bool inFolder = folder.empty() || (::stat(folder.c_str(), &st) == 0 && S_ISDIR(st.st_mode));
            return {inFolder ? FileFailure::MissingEntry : FileFailure::MissingFolder, err};
        }
        // A name that cannot lead anywhere: Windows calls these invalid names.
        case ENOTDIR:
        case ENAMETOOLONG:
        case ELOOP: return {FileFailure::MissingFolder, err};
        case EMFILE:
        case ENFILE: return {FileFailure::TooManyOpenFiles, err};
        case EACCES:
        case EPERM:
        case EROFS: return {FileFailure::AccessDenied, err};
        // EIO, EINTR, ENOMEM and the rest are shown with their own number.
        default: return {FileFailure::Other, err};
    }
}

FileResult changeDirectory(const std::string& path) {
    if (::chdir(path.c_str()) == 0) return {};
    int err = errno;
    return failureOf(path, err);
}

bool ownerWritable(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && (st.st_mode & S_IWUSR);
}

std::string realPath(const std::string& path) {
    char* real = ::realpath(path.empty() ? "." : path.c_str(), nullptr);
    if (!real) return {};
    std::string result = real;
    std::free(real);
    return result;
}

bool sameEntry(const std::string& a, const std::string& b) {
    struct stat sa {
    }, sb{};
    if (::stat(a.c_str(), &sa) != 0 || ::stat(b.c_str(), &sb) != 0) return false;
    return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

bool isFolder(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool nameTaken(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0;
}

bool canCreateIn(const std::string& folder) {
    return isFolder(folder) && ownerWritable(folder) && ::access(folder.c_str(), W_OK | X_OK) == 0;
}

}  // namespace kinaru::platform
