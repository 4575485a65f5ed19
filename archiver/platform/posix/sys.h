#pragma once
#include <cstring>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <fnmatch.h>
#include <stdio.h>
#include <string>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace sys {

using Stat = struct ::stat;
using ::closedir;
using ::DIR;
using ::dirent;
using ::opendir;
using ::readdir;

using ::access;
using ::close;
using ::dup;
using ::fchmod;
using ::fcntl;
using ::flock;
using ::fstat;
using ::fstatat;
using ::fsync;
using ::ftruncate;
using ::futimens;
using ::getpid;
using ::isatty;
using ::linkat;
using ::localtime_r;
using ::lseek;
using ::lstat;
using ::mkdir;
using ::mkdirat;
using ::open;
using ::openat;
using ::pread;
using ::pwrite;
using ::read;
using ::readlink;
using ::rename;
using ::renameat;
using ::renameat2;
using ::stat;
using ::strerror_r;
using ::unlink;
using ::unlinkat;
using ::usleep;
using ::write;

// Item patterns: only `*` and `?` are wildcards; `[` is an ordinary
// name character (as in Windows names), and so is `\`.
inline int fnmatch(const char* pattern, const char* name, int) {
    std::string p;
    for (const char* c = pattern; *c; ++c) p += *c == '[' ? std::string("[[]") : std::string(1, *c);
    return ::fnmatch(p.c_str(), name, FNM_NOESCAPE);
}

// Why a path component could not be a file's name here beyond the archive's
// own rules, or null; Windows has more (devices, `:`), POSIX none.
inline const char* nameFault(const std::string&) { return nullptr; }
// Where a path's root ends; the components after it are stored.
inline size_t rootLength(const std::string&) { return 0; }
// Paths from callers are already in the form the archiver uses.
inline void toInternalPath(std::string&) {}
// The locale's codeset, and conversion between codesets; false when `in`
// does not convert completely.
std::string localCodeset();
bool convert(const std::string& to, const std::string& from, const std::string& in, std::string& out);
// Text from and to the caller of the library: the locale's bytes as they are.
inline std::string fromCallerText(const char* s) { return s; }
inline std::string toCallerText(const std::string& s) { return s; }
// The program's arguments after its name.
inline std::vector<std::string> arguments(int argc, char** argv) { return {argv + 1, argv + argc}; }
// The file of the library or program that holds `address`.
std::string modulePath(const void* address);

}  // namespace sys
