#include "platform/setaside.h"

#include "base/paths.h"
#include "platform/fileops.h"

#include <atomic>
#include <cerrno>
#include <csignal>
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace kinaru::platform {

namespace {

// The file that a stop signal settles. Owned by its SetAside; a signal
// handler can only reach it through a global.
std::atomic<const SetAside::Paths*> guarded{nullptr};

// From here to onStop: system calls on ready strings only, as a signal
// handler may make.
bool moveNoReplace(const char* from, const char* to) {
    if (::renameat2(AT_FDCWD, from, AT_FDCWD, to, RENAME_NOREPLACE) == 0) return true;
    if (errno != EINVAL && errno != ENOSYS) return false;
    if (::link(from, to) != 0) return false;
    ::unlink(from);
    return true;
}

bool notOlder(const timespec& a, const timespec& b) {
    return a.tv_sec != b.tv_sec ? a.tv_sec > b.tv_sec : a.tv_nsec >= b.tv_nsec;
}

enum class Settled { Done, NameTaken, Failed };

// Puts the backup back, or deletes it when its name holds a file written
// after it moved aside: the archiver puts only complete archives at a name,
// so that file is the replacement. The record goes once that is done.
Settled settle(const char* original, const char* backup, const char* record) {
    struct stat aside {};
    if (::lstat(backup, &aside) != 0) {
        if (errno != ENOENT) return Settled::Failed;
    } else if (!moveNoReplace(backup, original)) {
        if (errno != EEXIST) return Settled::Failed;
        // Moving a file sets its change time: the moment it went aside.
        struct stat now {};
        if (::stat(original, &now) != 0 || !notOlder(now.st_mtim, aside.st_ctim)) return Settled::NameTaken;
        ::unlink(backup);
    }
    if (*record) ::unlink(record);
    return Settled::Done;
}

void onStop(int sig) {
    int saved = errno;
    if (const SetAside::Paths* paths = guarded.load())
        settle(paths->original.c_str(), paths->backup.c_str(), paths->record.c_str());
    errno = saved;
    // The handler was reset on entry: once it returns, this ends the program.
    ::raise(sig);
}

constexpr std::string_view kRecord = "aside-";

// "NAME.lzh.kinaru-old" for ".NAME.lzh.kinaru-old", in the same folder.
std::string visibleName(const std::string& backup) {
    std::string name = namePart(backup);
    while (!name.empty() && name.front() == '.') name.erase(0, 1);
    return folderPart(backup) + name;
}

bool writeAll(int fd, const std::string& bytes) {
    for (size_t done = 0; done < bytes.size();) {
        ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += size_t(n);
    }
    return true;
}

// Writes the record under a dotted name, locked, and gives it its real name
// only when whole; returns the locked descriptor, or -1.
int writeRecord(const std::string& folder, const SetAside::Paths& paths, std::string& record) {
    std::string temporary = folder + "." + std::string(kRecord) + "XXXXXX";
    // Not inherited: a program we start must not hold the lock after we end.
    int fd = ::mkostemp(temporary.data(), O_CLOEXEC);
    if (fd < 0) return -1;
    std::string name = folder + std::string(kRecord) + temporary.substr(temporary.size() - 6);
    if (::flock(fd, LOCK_EX) == 0 && writeAll(fd, paths.original + '\0' + paths.backup + '\0') && ::fsync(fd) == 0 &&
        renameNoReplace(temporary, name)) {
        record = name;
        return fd;
    }
    ::unlink(temporary.c_str());
    ::close(fd);
    return -1;
}

std::string readAll(int fd) {
    std::string bytes;
    char buffer[4096];
    for (ssize_t n; (n = ::read(fd, buffer, sizeof buffer)) != 0;) {
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) break;
        bytes.append(buffer, size_t(n));
    }
    return bytes;
}

bool taken(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0;
}

}  // namespace

std::unique_ptr<SetAside> SetAside::move(const std::string& path, const std::string& backup,
                                         const std::string& recordFolder) {
    // A record must never name somebody else's file as a backup.
    if (taken(backup)) return nullptr;
    Paths paths{path, backup, {}};
    int lock = writeRecord(recordFolder, paths, paths.record);
    if (!renameNoReplace(path, backup)) {
        if (lock >= 0) {
            ::unlink(paths.record.c_str());
            ::close(lock);
        }
        return nullptr;
    }
    std::unique_ptr<SetAside> aside(new SetAside(std::move(paths), lock));
    guarded.store(&aside->paths_);
    return aside;
}

SetAside::~SetAside() { restore(); }

void SetAside::forget() {
    if (!paths_.record.empty()) ::unlink(paths_.record.c_str());
    if (lock_ >= 0) ::close(lock_);
    settled_ = true;
}

void SetAside::commit() {
    if (settled_) return;
    guarded.store(nullptr);
    ::unlink(paths_.backup.c_str());
    forget();
}

void SetAside::restore() {
    if (settled_) return;
    guarded.store(nullptr);
    if (renameNoReplace(paths_.backup, paths_.original) || renameNoReplace(paths_.backup, visibleName(paths_.backup))) {
        forget();
        return;
    }
    // Left to the next start, with its record.
    if (lock_ >= 0) ::close(lock_);
    settled_ = true;
}

void settleOnStopSignals() {
    struct sigaction sa {};
    sa.sa_handler = onStop;
    sa.sa_flags = SA_RESETHAND;
    sigemptyset(&sa.sa_mask);
    for (int sig : {SIGINT, SIGTERM, SIGHUP}) sigaddset(&sa.sa_mask, sig);
    for (int sig : {SIGINT, SIGTERM, SIGHUP}) ::sigaction(sig, &sa, nullptr);
}

void settleLeftovers(const std::string& recordFolder) {
    DIR* folder = ::opendir(recordFolder.c_str());
    if (!folder) return;
    std::vector<std::string> names;
    while (const dirent* entry = ::readdir(folder)) {
        std::string_view name = entry->d_name;
        if (name.starts_with(kRecord) || name.starts_with("." + std::string(kRecord))) names.emplace_back(name);
    }
    ::closedir(folder);
    for (const std::string& name : names) {
        std::string record = recordFolder + name;
        int fd = ::open(record.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0) continue;
        // A record still locked belongs to a run that goes on.
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
            std::string bytes = readAll(fd);
            size_t first = bytes.find('\0');
            // A dotted record was never whole: nothing moved after it.
            if (name.front() == '.' || first == std::string::npos || bytes.back() != '\0') {
                ::unlink(record.c_str());
            } else {
                std::string original = bytes.substr(0, first);
                std::string backup = bytes.substr(first + 1, bytes.size() - first - 2);
                // Somebody else's file has the name: both stay, the old one in sight.
                if (settle(original.c_str(), backup.c_str(), record.c_str()) == Settled::NameTaken &&
                    renameNoReplace(backup, visibleName(backup)))
                    ::unlink(record.c_str());
            }
        }
        ::close(fd);
    }
}

}  // namespace kinaru::platform
