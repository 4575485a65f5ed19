// Files and folders on Windows through the wide-character API.
#include "sys.h"

#include <cerrno>
#include <io.h>
#include <windows.h>

#include "filetime.h"

namespace sys {

namespace {

int setErrno(DWORD e) {
    switch (e) {
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
        case ERROR_BAD_NETPATH:
        case ERROR_INVALID_DRIVE: errno = ENOENT; break;
        case ERROR_ACCESS_DENIED:
        case ERROR_SHARING_VIOLATION:
        case ERROR_LOCK_VIOLATION:
        case ERROR_WRITE_PROTECT: errno = EACCES; break;
        case ERROR_FILE_EXISTS:
        case ERROR_ALREADY_EXISTS: errno = EEXIST; break;
        case ERROR_NOT_SAME_DEVICE: errno = EXDEV; break;
        case ERROR_DISK_FULL:
        case ERROR_HANDLE_DISK_FULL: errno = ENOSPC; break;
        case ERROR_DIRECTORY: errno = ENOTDIR; break;
        case ERROR_DIR_NOT_EMPTY: errno = ENOTEMPTY; break;
        case ERROR_INVALID_NAME:
        case ERROR_BAD_PATHNAME:
        case ERROR_INVALID_PARAMETER: errno = EINVAL; break;
        case ERROR_NOT_ENOUGH_MEMORY:
        case ERROR_OUTOFMEMORY: errno = ENOMEM; break;
        case ERROR_TOO_MANY_OPEN_FILES: errno = EMFILE; break;
        default: errno = EIO;
    }
    return -1;
}

int lastError() { return setErrno(GetLastError()); }

int invalid(int err) {
    errno = err;
    return -1;
}

HANDLE handleOf(int fd) { return reinterpret_cast<HANDLE>(_get_osfhandle(fd)); }

int adopt(HANDLE h, int flags) {
    int fd = _open_osfhandle(reinterpret_cast<intptr_t>(h), flags);
    if (fd < 0) {
        CloseHandle(h);
        errno = EMFILE;
    }
    return fd;
}

// Where an open file or folder really is; empty when unknown.
std::wstring finalPath(HANDLE h) {
    std::wstring p(MAX_PATH, L'\0');
    DWORD n = GetFinalPathNameByHandleW(h, p.data(), static_cast<DWORD>(p.size()), FILE_NAME_NORMALIZED);
    if (n >= p.size()) {
        p.resize(n + 1);
        n = GetFinalPathNameByHandleW(h, p.data(), static_cast<DWORD>(p.size()), FILE_NAME_NORMALIZED);
    }
    if (!n || n >= p.size()) return {};
    p.resize(n);
    return p;
}

// The full path of `name` inside the folder `dir`; empty when refused.
std::wstring at(int dir, const char* name) {
    if (dir == AT_FDCWD) return widen(name);
    if (nameFault(name)) return {};
    std::wstring p = finalPath(handleOf(dir));
    if (p.empty()) return {};
    if (p.back() != L'\\') p += L'\\';
    return p + widen(name);
}

using wintime::fileTime;
using wintime::unixTime;

bool isLink(HANDLE h) {
    FILE_ATTRIBUTE_TAG_INFO tag{};
    return GetFileInformationByHandleEx(h, FileAttributeTagInfo, &tag, sizeof tag) &&
           (tag.FileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) && IsReparseTagNameSurrogate(tag.ReparseTag);
}

int statHandle(HANDLE h, Stat* st, bool noFollow) {
    BY_HANDLE_FILE_INFORMATION i;
    if (!GetFileInformationByHandle(h, &i)) return lastError();
    st->st_dev = i.dwVolumeSerialNumber;
    st->st_ino = static_cast<uint64_t>(i.nFileIndexHigh) << 32 | i.nFileIndexLow;
    st->st_size = static_cast<int64_t>(static_cast<uint64_t>(i.nFileSizeHigh) << 32 | i.nFileSizeLow);
    st->st_mtime = unixTime(i.ftLastWriteTime);
    bool dir = i.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY;
    st->st_mode = (noFollow && isLink(h)) ? S_IFLNK | 0777
                  : dir                   ? S_IFDIR | 0755
                                          : S_IFREG | ((i.dwFileAttributes & FILE_ATTRIBUTE_READONLY) ? 0444 : 0644);
    if (dir) st->st_size = 0;
    return 0;
}

int statPath(const std::wstring& p, Stat* st, bool noFollow) {
    if (p.empty()) return invalid(EINVAL);
    DWORD flags = FILE_FLAG_BACKUP_SEMANTICS | (noFollow ? FILE_FLAG_OPEN_REPARSE_POINT : 0);
    HANDLE h = CreateFileW(p.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                           nullptr, OPEN_EXISTING, flags, nullptr);
    if (h == INVALID_HANDLE_VALUE) return lastError();
    int r = statHandle(h, st, noFollow);
    CloseHandle(h);
    return r;
}

int openPath(const std::wstring& p, int flags) {
    if (p.empty() || (flags & O_TMPFILE)) return invalid(EINVAL);
    bool noFollow = flags & O_NOFOLLOW;
    if (flags & O_DIRECTORY) {
        // Held without delete sharing: the folder cannot be renamed or
        // swapped for a link while names are created inside it.
        HANDLE h =
            CreateFileW(p.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                        FILE_FLAG_BACKUP_SEMANTICS | (noFollow ? FILE_FLAG_OPEN_REPARSE_POINT : 0), nullptr);
        if (h == INVALID_HANDLE_VALUE) return lastError();
        BY_HANDLE_FILE_INFORMATION i;
        int err = !GetFileInformationByHandle(h, &i)                 ? EIO
                  : !(i.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ? ENOTDIR
                  : noFollow && isLink(h)                            ? ELOOP
                                                                     : 0;
        if (err) {
            CloseHandle(h);
            return invalid(err);
        }
        return adopt(h, _O_RDONLY);
    }
    int acc = flags & (O_RDONLY | O_WRONLY | O_RDWR);
    DWORD access = acc == O_WRONLY ? GENERIC_WRITE : acc == O_RDWR ? GENERIC_READ | GENERIC_WRITE : GENERIC_READ;
    DWORD disp = (flags & O_CREAT)   ? ((flags & O_EXCL)    ? CREATE_NEW
                                        : (flags & O_TRUNC) ? CREATE_ALWAYS
                                                            : OPEN_ALWAYS)
                 : (flags & O_TRUNC) ? TRUNCATE_EXISTING
                                     : OPEN_EXISTING;
    HANDLE h = CreateFileW(p.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, disp,
                           FILE_ATTRIBUTE_NORMAL | (noFollow ? FILE_FLAG_OPEN_REPARSE_POINT : 0), nullptr);
    if (h == INVALID_HANDLE_VALUE) return lastError();
    return adopt(h, acc == O_RDONLY ? _O_RDONLY : 0);
}

// Runs `op` with the file position kept.
template <class Op>
ssize_t keepingPosition(int fd, Op op) {
    HANDLE h = handleOf(fd);
    LARGE_INTEGER zero{}, here;
    if (!SetFilePointerEx(h, zero, &here, FILE_CURRENT)) return lastError();
    ssize_t r = op(h);
    int saved = errno;
    SetFilePointerEx(h, here, nullptr, FILE_BEGIN);
    errno = saved;
    return r;
}

}  // namespace

int open(const char* path, int flags, unsigned) { return openPath(widen(path), flags); }
int openat(int dir, const char* name, int flags, unsigned) {
    std::wstring p = at(dir, name);
    int fd = openPath(p, flags);
    // Wine does not flag a Unix symbolic link as a reparse point; a folder
    // reached through one is found elsewhere than where it was asked for.
    if (fd >= 0 && dir != AT_FDCWD && (flags & O_DIRECTORY) && (flags & O_NOFOLLOW)) {
        std::wstring got = finalPath(handleOf(fd));
        if (CompareStringOrdinal(got.c_str(), static_cast<int>(got.size()), p.c_str(), static_cast<int>(p.size()),
                                 TRUE) != CSTR_EQUAL) {
            _close(fd);
            return invalid(ELOOP);
        }
    }
    return fd;
}
int close(int fd) { return _close(fd); }

int dup(int fd) {
    HANDLE h;
    if (!DuplicateHandle(GetCurrentProcess(), handleOf(fd), GetCurrentProcess(), &h, 0, FALSE, DUPLICATE_SAME_ACCESS))
        return lastError();
    return adopt(h, _O_RDONLY);
}

int fcntl(int fd, int cmd, int) { return cmd == F_DUPFD_CLOEXEC ? dup(fd) : invalid(EINVAL); }

int access(const char* path, int) {
    return GetFileAttributesW(widen(path).c_str()) != INVALID_FILE_ATTRIBUTES ? 0 : lastError();
}

ssize_t readlink(const char*, char*, size_t) { return invalid(EINVAL); }

int flock(int fd, int op) {
    OVERLAPPED o{};
    o.Offset = 0xFFFFFFFE;
    o.OffsetHigh = 0x7FFFFFFF;
    if (op & LOCK_UN) return UnlockFileEx(handleOf(fd), 0, 1, 0, &o) ? 0 : lastError();
    DWORD flags = LOCKFILE_EXCLUSIVE_LOCK | ((op & LOCK_NB) ? LOCKFILE_FAIL_IMMEDIATELY : 0);
    if (LockFileEx(handleOf(fd), flags, 0, 1, 0, &o)) return 0;
    if (GetLastError() == ERROR_LOCK_VIOLATION || GetLastError() == ERROR_IO_PENDING) return invalid(EWOULDBLOCK);
    return lastError();
}

int usleep(unsigned microseconds) {
    Sleep((microseconds + 999) / 1000);
    return 0;
}

ssize_t read(int fd, void* buf, size_t n) {
    DWORD got = 0;
    if (!ReadFile(handleOf(fd), buf, static_cast<DWORD>(n < (1u << 30) ? n : (1u << 30)), &got, nullptr))
        return GetLastError() == ERROR_HANDLE_EOF || GetLastError() == ERROR_BROKEN_PIPE ? 0 : lastError();
    return static_cast<ssize_t>(got);
}

ssize_t write(int fd, const void* buf, size_t n) {
    DWORD put = 0;
    if (!WriteFile(handleOf(fd), buf, static_cast<DWORD>(n < (1u << 30) ? n : (1u << 30)), &put, nullptr))
        return lastError();
    return static_cast<ssize_t>(put);
}

ssize_t pread(int fd, void* buf, size_t n, int64_t at) {
    return keepingPosition(fd, [&](HANDLE h) -> ssize_t {
        OVERLAPPED o{};
        o.Offset = static_cast<DWORD>(at);
        o.OffsetHigh = static_cast<DWORD>(static_cast<uint64_t>(at) >> 32);
        DWORD got = 0;
        if (!ReadFile(h, buf, static_cast<DWORD>(n), &got, &o))
            return GetLastError() == ERROR_HANDLE_EOF ? 0 : lastError();
        return static_cast<ssize_t>(got);
    });
}

ssize_t pwrite(int fd, const void* buf, size_t n, int64_t at) {
    return keepingPosition(fd, [&](HANDLE h) -> ssize_t {
        OVERLAPPED o{};
        o.Offset = static_cast<DWORD>(at);
        o.OffsetHigh = static_cast<DWORD>(static_cast<uint64_t>(at) >> 32);
        DWORD put = 0;
        if (!WriteFile(h, buf, static_cast<DWORD>(n), &put, &o)) return lastError();
        return static_cast<ssize_t>(put);
    });
}

int64_t lseek(int fd, int64_t at, int whence) {
    LARGE_INTEGER to, now;
    to.QuadPart = at;
    DWORD how = whence == SEEK_CUR ? FILE_CURRENT : whence == SEEK_END ? FILE_END : FILE_BEGIN;
    if (!SetFilePointerEx(handleOf(fd), to, &now, how)) return lastError();
    return now.QuadPart;
}

int ftruncate(int fd, int64_t size) {
    return static_cast<int>(keepingPosition(fd, [&](HANDLE h) -> ssize_t {
        LARGE_INTEGER to;
        to.QuadPart = size;
        return SetFilePointerEx(h, to, nullptr, FILE_BEGIN) && SetEndOfFile(h) ? 0 : lastError();
    }));
}

int fstat(int fd, Stat* st) { return statHandle(handleOf(fd), st, false); }
int stat(const char* path, Stat* st) { return statPath(widen(path), st, false); }
int lstat(const char* path, Stat* st) { return statPath(widen(path), st, true); }
int fstatat(int dir, const char* name, Stat* st, int flags) {
    return statPath(at(dir, name), st, flags & AT_SYMLINK_NOFOLLOW);
}

// Windows keeps no permission bits.
int fchmod(int, unsigned) { return 0; }
int fsync(int fd) { return FlushFileBuffers(handleOf(fd)) ? 0 : lastError(); }

int futimens(int fd, const struct timespec times[2]) {
    FILETIME a = fileTime(times[0].tv_sec), m = fileTime(times[1].tv_sec);
    return SetFileTime(handleOf(fd), nullptr, &a, &m) ? 0 : lastError();
}

int mkdir(const char* path, unsigned) { return CreateDirectoryW(widen(path).c_str(), nullptr) ? 0 : lastError(); }

int mkdirat(int dir, const char* name, unsigned) {
    std::wstring p = at(dir, name);
    if (p.empty()) return invalid(EINVAL);
    return CreateDirectoryW(p.c_str(), nullptr) ? 0 : lastError();
}

int unlink(const char* path) { return DeleteFileW(widen(path).c_str()) ? 0 : lastError(); }

int unlinkat(int dir, const char* name, int flags) {
    std::wstring p = at(dir, name);
    if (p.empty()) return invalid(EINVAL);
    BOOL ok = (flags & AT_REMOVEDIR) ? RemoveDirectoryW(p.c_str()) : DeleteFileW(p.c_str());
    return ok ? 0 : lastError();
}

int renameat2(int fromDir, const char* from, int toDir, const char* to, unsigned flags) {
    std::wstring f = at(fromDir, from), t = at(toDir, to);
    if (f.empty() || t.empty()) return invalid(EINVAL);
    DWORD how = (flags & RENAME_NOREPLACE) ? 0 : MOVEFILE_REPLACE_EXISTING;
    return MoveFileExW(f.c_str(), t.c_str(), how | MOVEFILE_WRITE_THROUGH) ? 0 : lastError();
}

int renameat(int fromDir, const char* from, int toDir, const char* to) {
    return renameat2(fromDir, from, toDir, to, 0);
}
int rename(const char* from, const char* to) { return renameat2(AT_FDCWD, from, AT_FDCWD, to, 0); }

int linkat(int fromDir, const char* from, int toDir, const char* to, int) {
    std::wstring f = at(fromDir, from), t = at(toDir, to);
    if (f.empty() || t.empty()) return invalid(EINVAL);
    return CreateHardLinkW(t.c_str(), f.c_str(), nullptr) ? 0 : lastError();
}

int isatty(int fd) { return _isatty(fd); }

struct DIR {
    HANDLE h;
    WIN32_FIND_DATAW data;
    bool pending;
    std::string name;
    dirent entry;
};

DIR* opendir(const char* path) {
    std::wstring p = widen(path);
    DWORD a = GetFileAttributesW(p.c_str());
    if (a == INVALID_FILE_ATTRIBUTES) return lastError(), nullptr;
    if (!(a & FILE_ATTRIBUTE_DIRECTORY)) return invalid(ENOTDIR), nullptr;
    if (!p.empty() && p.back() != L'\\' && p.back() != L'/') p += L'\\';
    auto* d = new DIR{};
    d->h = FindFirstFileW((p + L"*").c_str(), &d->data);
    d->pending = d->h != INVALID_HANDLE_VALUE;
    if (!d->pending && GetLastError() != ERROR_FILE_NOT_FOUND) {
        lastError();
        delete d;
        return nullptr;
    }
    return d;
}

dirent* readdir(DIR* d) {
    if (!d->pending) return nullptr;
    d->name = narrow(d->data.cFileName);
    d->entry.d_name = d->name.c_str();
    d->pending = FindNextFileW(d->h, &d->data);
    return &d->entry;
}

int closedir(DIR* d) {
    if (d->h != INVALID_HANDLE_VALUE) FindClose(d->h);
    delete d;
    return 0;
}

}  // namespace sys
