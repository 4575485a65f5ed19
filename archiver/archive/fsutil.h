#pragma once
// Small POSIX helpers shared by the archive operations.
#include <functional>
#include <string>

namespace archive {

std::string sysError(int err);

// Closes the descriptor when it leaves scope.
class Fd {
public:
    Fd() = default;
    explicit Fd(int fd) : fd_(fd) {}
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    Fd(Fd&& o) noexcept : fd_(o.release()) {}
    Fd& operator=(Fd&& o) noexcept {
        reset(o.release());
        return *this;
    }
    ~Fd() { reset(); }
    int get() const { return fd_; }
    int release() {
        int f = fd_;
        fd_ = -1;
        return f;
    }
    void reset(int fd = -1);

private:
    int fd_ = -1;
};

// A file being written that takes its final name only when complete. Where
// the file system allows, it has no name at all until then, so that nothing
// is left behind even when the process is killed; elsewhere it is a
// ".unlha-*.tmp" file in its folder, removed when this object goes unless
// it was published.
class PendingFile {
public:
    // In the folder `dir` (a path, or a descriptor that must outlive this,
    // with its path for messages). `nameless` is namelessFilesWork(), asked
    // once for many files. Throws UNLHA_ERR_WRITE.
    explicit PendingFile(const std::string& dir);
    PendingFile(int dirFd, const std::string& dirForMessages, bool nameless);
    PendingFile(const PendingFile&) = delete;
    PendingFile& operator=(const PendingFile&) = delete;
    ~PendingFile();
    int fd() const { return fd_.get(); }
    // Gives the file the name `to` in the folder `toDir`. Without `replace`
    // an existing `to` is kept and false returned with errno EEXIST; with it
    // `to` is replaced in one step (a link at `to` is replaced, not followed).
    // False with errno set on failure (EXDEV: another file system).
    bool publish(int toDir, const std::string& to, bool replace);

private:
    void open(const std::string& dirForMessages, bool nameless);

    Fd ownDir_;
    int dir_ = -1;
    Fd fd_;
    std::string name_;  // empty while the file has no name
};

// Whether a file without a name can be given one later (through /proc).
bool namelessFilesWork();

// Follows `path` while it is a symbolic link, to the file it finally names
// (which need not exist). Throws UNLHA_ERR_WRITE on a loop.
std::string followLinks(std::string path);

// Takes the advisory lock that serialises writers of one file, waiting for
// it; false when `cancelled` asked to stop first.
bool lockForWriting(int fd, const std::function<bool()>& cancelled);

std::string dirName(const std::string& path);
// The process umask, read without changing it.
unsigned currentUmask();
// Creates the folder and its parents.
bool makeDirs(const std::string& path);
// Renames `from` to `to` unless `to` exists (false with errno EEXIST), as
// one step where the file system allows, else by a link and an unlink.
bool renameNoReplace(int fromDir, const std::string& from, int toDir, const std::string& to);

}  // namespace archive
