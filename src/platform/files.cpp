#include "files.h"

#include "base/paths.h"

#include <cerrno>
#include <climits>
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

int failureCode(const std::string& path, int err) {
    switch (err) {
        case ENOENT: {
            // Tell a missing entry from a missing folder above it.
            std::string entry = path;
            while (entry.size() > 1 && entry.back() == '/') entry.pop_back();
            std::string folder = folderPart(entry);
            if (folder.empty()) return 2;
            struct stat st {};
            return (::stat(folder.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) ? 2 : 3;
        }
        case ENOTDIR: return 3;
        case EMFILE:
        case ENFILE: return 4;
        case EACCES:
        case EPERM: return 5;
        default: return err;
    }
}

int changeDirectory(const std::string& path) {
    if (::chdir(path.c_str()) == 0) return 0;
    int err = errno;
    return failureCode(path, err);
}

bool ownerWritable(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && (st.st_mode & S_IWUSR);
}

}  // namespace kinaru::platform
