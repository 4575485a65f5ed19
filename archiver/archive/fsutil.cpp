#include "fsutil.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <stdio.h>
#include <string>
#include <sys/file.h>
#include <sys/stat.h>
#include <time.h>
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

namespace {

// A dot keeps them out of listings and of "*.*" (without -a2).
std::string tempName(unsigned attempt) {
    struct timespec ts;
    clock_gettime(CLOCK_REALTIME, &ts);
    char buf[64];
    std::snprintf(buf, sizeof buf, ".unlha-%d-%lx-%u.tmp", static_cast<int>(::getpid()),
                  static_cast<unsigned long>(ts.tv_nsec), attempt);
    return buf;
}

std::string procPath(int fd) { return "/proc/self/fd/" + std::to_string(fd); }

} // namespace

bool namelessFilesWork() { return ::access("/proc/self/fd", F_OK) == 0; }

PendingFile::PendingFile(const std::string &dir) {
    std::string d = dir.empty() ? "." : dir;
    ownDir_.reset(::open(d.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (ownDir_.get() < 0) lzh::fail(UNLHA_ERR_WRITE, "cannot create a temporary file in " + d + ": " + sysError(errno));
    dir_ = ownDir_.get();
    open(d, namelessFilesWork());
}

PendingFile::PendingFile(int dirFd, const std::string &dirForMessages, bool nameless) : dir_(dirFd) {
    open(dirForMessages, nameless);
}

void PendingFile::open(const std::string &dirForMessages, bool nameless) {
    // Naming it later goes through /proc; without /proc it gets a name now.
    if (nameless) fd_.reset(::openat(dir_, ".", O_TMPFILE | O_RDWR | O_CLOEXEC, 0600));
    for (unsigned i = 0; i < 1000 && fd_.get() < 0; ++i) {
        name_ = tempName(i);
        fd_.reset(::openat(dir_, name_.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
        if (fd_.get() < 0 && errno != EEXIST) break;
    }
    if (fd_.get() < 0) {
        name_.clear();
        lzh::fail(UNLHA_ERR_WRITE, "cannot create a temporary file in " + dirForMessages + ": " + sysError(errno));
    }
}

PendingFile::~PendingFile() {
    if (!name_.empty()) ::unlinkat(dir_, name_.c_str(), 0);
}

bool PendingFile::publish(int toDir, const std::string &to, bool replace) {
    if (!name_.empty()) {
        bool ok = replace ? ::renameat(dir_, name_.c_str(), toDir, to.c_str()) == 0
                          : renameNoReplace(dir_, name_, toDir, to);
        if (ok) name_.clear();
        return ok;
    }
    const std::string self = procPath(fd_.get());
    if (::linkat(AT_FDCWD, self.c_str(), toDir, to.c_str(), AT_SYMLINK_FOLLOW) == 0) return true;
    if (errno != EEXIST || !replace) return false;
    // A link cannot replace: a name of our own first, then one rename over `to`.
    for (unsigned i = 0; i < 1000; ++i) {
        std::string tmp = tempName(i);
        if (::linkat(AT_FDCWD, self.c_str(), toDir, tmp.c_str(), AT_SYMLINK_FOLLOW) != 0) {
            if (errno == EEXIST) continue;
            return false;
        }
        if (::renameat(toDir, tmp.c_str(), toDir, to.c_str()) == 0) return true;
        int err = errno;
        ::unlinkat(toDir, tmp.c_str(), 0);
        errno = err;
        return false;
    }
    return false;
}

std::string followLinks(std::string path) {
    for (int hops = 0; hops < 40; ++hops) {
        std::string to(256, '\0');
        ssize_t n;
        while ((n = ::readlink(path.c_str(), to.data(), to.size())) == static_cast<ssize_t>(to.size()))
            to.resize(to.size() * 2);
        if (n <= 0) return path; // not a link, or nothing there yet
        to.resize(static_cast<size_t>(n));
        path = to[0] == '/' ? to : dirName(path) + "/" + to;
    }
    lzh::fail(UNLHA_ERR_WRITE, path + ": " + sysError(ELOOP));
}

bool lockForWriting(int fd, const std::function<bool()> &cancelled) {
    // Polled rather than blocking, so that a cancel or a signal ends the wait.
    while (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        // A file system without locks: go on as before locks existed.
        if (errno != EWOULDBLOCK && errno != EINTR) return true;
        if (cancelled && cancelled()) return false;
        ::usleep(20000);
    }
    return true;
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
