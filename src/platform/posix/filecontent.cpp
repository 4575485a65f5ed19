#include "platform/filecontent.h"

#include "base/paths.h"
#include "platform/files.h"

#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kinaru::platform {

std::optional<std::string> readRegularFile(const std::string& file) {
    int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return std::nullopt;
    struct stat st {};
    std::optional<std::string> content;
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode)) {
        content.emplace();
        char buffer[65536];
        ssize_t n;
        while ((n = ::read(fd, buffer, sizeof buffer)) > 0) content->append(buffer, std::size_t(n));
        if (n < 0) content.reset();
    }
    ::close(fd);
    return content;
}

bool replaceFileContent(const std::string& target, const std::string& content) {
    struct stat st {};
    bool exists = ::stat(target.c_str(), &st) == 0;
    if (exists && (!(st.st_mode & S_IWUSR) || !S_ISREG(st.st_mode))) return false;
    std::string folder = folderPart(target);
    if (!platform::ownerWritable(folder.empty() ? "." : folder)) return false;

    std::string temp = target + ".XXXXXX";
    int fd = ::mkstemp(temp.data());
    if (fd < 0) return false;
    ::fchmod(fd, exists ? (st.st_mode & 07777) : 0644);
    const char* p = content.data();
    std::size_t left = content.size();
    bool ok = true;
    while (left > 0) {
        ssize_t n = ::write(fd, p, left);
        if (n <= 0) {
            ok = false;
            break;
        }
        p += n;
        left -= std::size_t(n);
    }
    ok = (::fsync(fd) == 0) && ok;
    ok = (::close(fd) == 0) && ok;
    if (ok) ok = ::rename(temp.c_str(), target.c_str()) == 0;
    if (!ok) ::unlink(temp.c_str());
    return ok;
}

std::string followLinks(const std::string& file) {
    char* real = ::realpath(file.c_str(), nullptr);
    if (!real) return file;
    std::string resolved = real;
    std::free(real);
    return resolved;
}

}  // namespace kinaru::platform
