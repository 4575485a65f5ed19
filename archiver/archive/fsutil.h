#pragma once
// Small POSIX helpers shared by the archive operations.
#include <string>

namespace archive {

std::string sysError(int err);

// Closes the descriptor when it leaves scope.
class Fd {
public:
    Fd() = default;
    explicit Fd(int fd) : fd_(fd) {}
    Fd(const Fd &) = delete;
    Fd &operator=(const Fd &) = delete;
    Fd(Fd &&o) noexcept : fd_(o.release()) {}
    Fd &operator=(Fd &&o) noexcept {
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

// Removes a file when it leaves scope unless keep() was called.
class TempFile {
public:
    explicit TempFile(std::string path) : path_(std::move(path)) {}
    TempFile(const TempFile &) = delete;
    TempFile &operator=(const TempFile &) = delete;
    ~TempFile();
    void keep() { path_.clear(); }

private:
    std::string path_;
};

std::string dirName(const std::string &path);
// A new empty file in `dir` (mode 0600); throws UNLHA_ERR_WRITE.
Fd createTemp(const std::string &dir, std::string &path);
// The process umask, read without changing it.
unsigned currentUmask();
// Creates the folder and its parents.
bool makeDirs(const std::string &path);
// Renames `from` to `to` unless `to` exists (false with errno EEXIST), as
// one step where the file system allows, else by a link and an unlink.
bool renameNoReplace(int fromDir, const std::string &from, int toDir, const std::string &to);

} // namespace archive
