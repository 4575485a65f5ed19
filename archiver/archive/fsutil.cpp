#include "fsutil.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include "lzh/error.h"

namespace archive {

std::string sysError(int err) {
    char buf[256];
    return strerror_r(err, buf, sizeof buf);
}

void Fd::reset(int fd) {
    if (fd_ >= 0) ::close(fd_);
    fd_ = fd;
}

TempFile::~TempFile() {
    if (!path_.empty()) ::unlink(path_.c_str());
}

std::string dirName(const std::string &path) {
    size_t p = path.rfind('/');
    if (p == std::string::npos) return ".";
    if (p == 0) return "/";
    return path.substr(0, p);
}

Fd createTemp(const std::string &dir, std::string &path) {
    std::string d = dir.empty() ? "." : dir;
    if (d.back() != '/') d += '/';
    std::string tmpl = d + "unlha-XXXXXX.tmp";
    int fd = mkostemps(tmpl.data(), 4, O_CLOEXEC);
    if (fd < 0) lzh::fail(UNLHA_ERR_WRITE, "cannot create a temporary file in " + d + ": " + sysError(errno));
    path = tmpl;
    return Fd(fd);
}

unsigned currentUmask() {
    FILE *f = std::fopen("/proc/self/status", "re");
    unsigned mask = 022;
    if (!f) return mask;
    char line[256];
    while (std::fgets(line, sizeof line, f))
        if (!std::strncmp(line, "Umask:", 6)) {
            mask = static_cast<unsigned>(std::strtoul(line + 6, nullptr, 8));
            break;
        }
    std::fclose(f);
    return mask;
}

bool makeDirs(const std::string &path) {
    struct stat st;
    if (path.empty() || ::stat(path.c_str(), &st) == 0) return !path.empty() && S_ISDIR(st.st_mode);
    std::string parent = dirName(path);
    if (parent != path && parent != "." && parent != "/") makeDirs(parent);
    return ::mkdir(path.c_str(), 0777) == 0 || errno == EEXIST;
}

bool renameNoReplace(int fromDir, const std::string &from, int toDir, const std::string &to) {
    if (::renameat2(fromDir, from.c_str(), toDir, to.c_str(), RENAME_NOREPLACE) == 0) return true;
    if (errno != EINVAL && errno != ENOSYS) return false;
    if (::linkat(fromDir, from.c_str(), toDir, to.c_str(), 0) != 0) return false;
    ::unlinkat(fromDir, from.c_str(), 0);
    return true;
}

} // namespace archive
