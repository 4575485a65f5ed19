#include "fsutil.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <time.h>

#include "lzh/error.h"
#include "platform/sys.h"

namespace archive {

std::string sysError(int err) {
    char buf[256];
    return sys::strerror_r(err, buf, sizeof buf);
}

void Fd::reset(int fd) {
    if (fd_ >= 0) sys::close(fd_);
    fd_ = fd;
}

namespace {

// A dot keeps them out of listings and of "*.*" (without -a2).
std::string tempName(unsigned attempt) {
    struct timespec ts;
    clock_gettime(CLOCK_REALTIME, &ts);
    char buf[64];
    std::snprintf(buf, sizeof buf, ".unlha-%d-%lx-%u.tmp", static_cast<int>(sys::getpid()),
                  static_cast<unsigned long>(ts.tv_nsec), attempt);
    return buf;
}

std::string procPath(int fd) { return "/proc/self/fd/" + std::to_string(fd); }

}  // namespace

bool namelessFilesWork() { return sys::access("/proc/self/fd", F_OK) == 0; }

PendingFile::PendingFile(const std::string& dir) {
    std::string d = dir.empty() ? "." : dir;
    ownDir_.reset(sys::open(d.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (ownDir_.get() < 0)
        lzh::fail(UNLHA_ERR_WRITE, "cannot create a temporary file in " + d + ": " + sysError(errno));
    dir_ = ownDir_.get();
    open(d, namelessFilesWork());
}

PendingFile::PendingFile(int dirFd, const std::string& dirForMessages, bool nameless) : dir_(dirFd) {
    open(dirForMessages, nameless);
}

void PendingFile::open(const std::string& dirForMessages, bool nameless) {
    // Naming it later goes through /proc; without /proc it gets a name now.
    if (nameless) fd_.reset(sys::openat(dir_, ".", O_TMPFILE | O_RDWR | O_CLOEXEC, 0600));
    for (unsigned i = 0; i < 1000 && fd_.get() < 0; ++i) {
        name_ = tempName(i);
        fd_.reset(sys::openat(dir_, name_.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
        if (fd_.get() < 0 && errno != EEXIST) break;
    }
    if (fd_.get() < 0) {
        name_.clear();
        lzh::fail(UNLHA_ERR_WRITE, "cannot create a temporary file in " + dirForMessages + ": " + sysError(errno));
    }
}

PendingFile::~PendingFile() {
    if (!name_.empty()) sys::unlinkat(dir_, name_.c_str(), 0);
}

bool PendingFile::publish(int toDir, const std::string& to, bool replace) {
    if (!name_.empty()) {
        bool ok = replace ? sys::renameat(dir_, name_.c_str(), toDir, to.c_str()) == 0
                          : renameNoReplace(dir_, name_, toDir, to);
        if (ok) name_.clear();
        return ok;
    }
    const std::string self = procPath(fd_.get());
    if (sys::linkat(AT_FDCWD, self.c_str(), toDir, to.c_str(), AT_SYMLINK_FOLLOW) == 0) return true;
    if (errno != EEXIST || !replace) return false;
    // A link cannot replace: a name of our own first, then one rename over `to`.
    for (unsigned i = 0; i < 1000; ++i) {
        std::string tmp = tempName(i);
        if (sys::linkat(AT_FDCWD, self.c_str(), toDir, tmp.c_str(), AT_SYMLINK_FOLLOW) != 0) {
            if (errno == EEXIST) continue;
            return false;
        }
        if (sys::renameat(toDir, tmp.c_str(), toDir, to.c_str()) == 0) return true;
        int err = errno;
        sys::unlinkat(toDir, tmp.c_str(), 0);
        errno = err;
        return false;
    }
    return false;
}

std::string followLinks(std::string path) {
    for (int hops = 0; hops < 40; ++hops) {
        std::string to(256, '\0');
        ssize_t n;
        while ((n = sys::readlink(path.c_str(), to.data(), to.size())) == static_cast<ssize_t>(to.size()))
            to.resize(to.size() * 2);
        if (n <= 0) return path;  // not a link, or nothing there yet
        to.resize(static_cast<size_t>(n));
        path = to[0] == '/' ? to : dirName(path) + "/" + to;
    }
    lzh::fail(UNLHA_ERR_WRITE, path + ": " + sysError(ELOOP));
}

bool lockForWriting(int fd, const std::function<bool()>& cancelled) {
    // Polled rather than blocking, so that a cancel or a signal ends the wait.
    while (sys::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        // A file system without locks: go on as before locks existed.
        if (errno != EWOULDBLOCK && errno != EINTR) return true;
        if (cancelled && cancelled()) return false;
        sys::usleep(20000);
    }
    return true;
}

std::string dirName(const std::string& path) {
    size_t p = path.rfind('/');
    if (p == std::string::npos) return ".";
    if (p == 0) return "/";
    return path.substr(0, p);
}

unsigned currentUmask() {
    FILE* f = std::fopen("/proc/self/status", "re");
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

bool makeDirs(const std::string& path) {
    sys::Stat st;
    if (path.empty() || sys::stat(path.c_str(), &st) == 0) return !path.empty() && S_ISDIR(st.st_mode);
    std::string parent = dirName(path);
    if (parent != path && parent != "." && parent != "/") makeDirs(parent);
    return sys::mkdir(path.c_str(), 0777) == 0 || errno == EEXIST;
}

bool renameNoReplace(int fromDir, const std::string& from, int toDir, const std::string& to) {
    if (sys::renameat2(fromDir, from.c_str(), toDir, to.c_str(), RENAME_NOREPLACE) == 0) return true;
    if (errno != EINVAL && errno != ENOSYS) return false;
    if (sys::linkat(fromDir, from.c_str(), toDir, to.c_str(), 0) != 0) return false;
    sys::unlinkat(fromDir, from.c_str(), 0);
    return true;
}

}  // namespace archive
