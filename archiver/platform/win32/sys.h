#pragma once
#include <cstddef>
#include <cstdint>
#include <ctime>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <sys/types.h>
#include <vector>

#include "names.h"

// What Windows lacks of the POSIX flags; chosen not to collide with its own.
#define O_CLOEXEC 0x0080  // _O_NOINHERIT
#define O_DIRECTORY 0x200000
#define O_NOFOLLOW 0x400000
#define AT_FDCWD (-100)
#define AT_SYMLINK_NOFOLLOW 0x100
#define AT_REMOVEDIR 0x200
#define AT_SYMLINK_FOLLOW 0x400
#define RENAME_NOREPLACE 1
#define O_TMPFILE 0x800000  // refused: Windows has no unnamed files
#ifndef O_NONBLOCK
#define O_NONBLOCK 0
#endif
#ifndef F_OK
#define F_OK 0
#endif
#ifndef W_OK
#define W_OK 2
#endif
#define F_DUPFD_CLOEXEC 1030
#define LOCK_EX 2
#define LOCK_NB 4
#define LOCK_UN 8
#ifndef EWOULDBLOCK
#define EWOULDBLOCK EAGAIN
#endif
#ifndef S_IFLNK
#define S_IFLNK 0xA000
#endif
#ifndef S_ISLNK
#define S_ISLNK(m) (((m)&0xF000) == S_IFLNK)
#endif
#ifndef ELOOP
#define ELOOP 114
#endif

namespace sys {

struct Stat {
    uint64_t st_dev = 0, st_ino = 0;  // volume serial number and file index
    unsigned st_mode = 0;
    int64_t st_size = 0;
    int64_t st_mtime = 0;
};

struct dirent {
    const char* d_name;
};
struct DIR;
DIR* opendir(const char* path);
dirent* readdir(DIR* d);
int closedir(DIR* d);

// Descriptors are the C runtime's, over handles opened with the wide API.
int open(const char* path, int flags, unsigned mode = 0);
int openat(int dir, const char* name, int flags, unsigned mode = 0);
int close(int fd);
int dup(int fd);
int fcntl(int fd, int cmd, int arg);  // F_DUPFD_CLOEXEC only
int access(const char* path, int mode);
// Symbolic links are not followed by hand on Windows: never a link here.
ssize_t readlink(const char* path, char* buf, size_t n);
// A lock on one byte far past any data, so that readers are never blocked;
// it serialises writers that take it too.
int flock(int fd, int op);
int usleep(unsigned microseconds);
ssize_t read(int fd, void* buf, size_t n);
ssize_t write(int fd, const void* buf, size_t n);
// These leave the file position where it was.
ssize_t pread(int fd, void* buf, size_t n, int64_t at);
ssize_t pwrite(int fd, const void* buf, size_t n, int64_t at);
int64_t lseek(int fd, int64_t at, int whence);
int ftruncate(int fd, int64_t size);
int fstat(int fd, Stat* st);
int stat(const char* path, Stat* st);
int lstat(const char* path, Stat* st);
int fstatat(int dir, const char* name, Stat* st, int flags);
int fchmod(int fd, unsigned mode);
int fsync(int fd);
int futimens(int fd, const struct timespec times[2]);
int mkdir(const char* path, unsigned mode);
int mkdirat(int dir, const char* name, unsigned mode);
int unlink(const char* path);
int unlinkat(int dir, const char* name, int flags);
int rename(const char* from, const char* to);
int renameat(int fromDir, const char* from, int toDir, const char* to);
int renameat2(int fromDir, const char* from, int toDir, const char* to, unsigned flags);
int linkat(int fromDir, const char* from, int toDir, const char* to, int flags);
// Only `*` and `?` are wildcards; case does not matter, as in the Windows
// file systems.
int fnmatch(const char* pattern, const char* name, int flags);
std::tm* localtime_r(const time_t* t, std::tm* out);
int getpid();
int isatty(int fd);
const char* strerror_r(int err, char* buf, size_t n);

// Drive ("C:") or share ("//server/share") at the head of a path.
size_t rootLength(const std::string& path);
// "\" separators become "/".
void toInternalPath(std::string& path);
// Internal text is UTF-8.
std::string localCodeset();
bool convert(const std::string& to, const std::string& from, const std::string& in, std::string& out);
// Callers pass and read text in the system code page.
std::string fromCallerText(const char* s);
std::string toCallerText(const std::string& s);
// From the wide command line, so that no name is lost to the code page.
std::vector<std::string> arguments(int argc, char** argv);
std::string modulePath(const void* address);
// UTF-8 <-> UTF-16.
std::wstring widen(const std::string& s);
std::string narrow(const std::wstring& s);

}  // namespace sys
