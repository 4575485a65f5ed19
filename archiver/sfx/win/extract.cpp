#include "extract.h"

#include <windows.h>

#include <vector>

#include "lzh/error.h"
#include "lzh/header.h"
#include "lzh/unpack.h"
#include "winio.h"
#include "platform/win32/filetime.h"
#include "platform/win32/names.h"
#include "sfx/texts.h"

namespace winstub {

bool parseArgs(int argc, wchar_t** argv, Args& args, std::string& error) {
    for (int i = 1; i < argc; ++i) {
        std::wstring a = argv[i];
        if (a.rfind(L"--dest=", 0) == 0)
            args.dest = a.substr(7);
        else if (a == L"--overwrite=yes" || a == L"--overwrite=no")
            args.overwrite = a == L"--overwrite=yes";
        else if (a == L"--unattended")
            args.unattended = true;
        else if (a == L"--console")
            args.console = true;
        else {
            error = sfx::texts::usage(narrow(argv[0]));
            return false;
        }
    }
    return true;
}

namespace {

Handle openRead(const std::wstring& path) {
    return Handle(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
}

bool seek(HANDLE h, uint64_t to) {
    LARGE_INTEGER at;
    at.QuadPart = static_cast<LONGLONG>(to);
    return SetFilePointerEx(h, at, nullptr, FILE_BEGIN) != 0;
}

// An absolute path in the form that takes long names and is never reshaped
// (trailing dots, device names) on its way to the file system.
std::wstring fullPath(const std::wstring& path) {
    std::wstring p = path.empty() ? L"." : path;
    DWORD n = GetFullPathNameW(p.c_str(), 0, nullptr, nullptr);
    std::wstring full(n, L'\0');
    n = GetFullPathNameW(p.c_str(), n, full.data(), nullptr);
    full.resize(n);
    while (full.size() > 3 && (full.back() == L'\\' || full.back() == L'/')) full.pop_back();
    if (full.size() >= 3 && full[1] == L':' && full[2] == L'\\') return L"\\\\?\\" + full;
    if (full.rfind(L"\\\\", 0) == 0 && full.rfind(L"\\\\?\\", 0) != 0) return L"\\\\?\\UNC\\" + full.substr(2);
    return full;
}

bool isFolder(const std::wstring& p, bool& link) {
    DWORD a = GetFileAttributesW(p.c_str());
    link = a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_REPARSE_POINT);
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

// Where a file or folder really is, links resolved; empty when unknown.
std::wstring finalPath(const std::wstring& p) {
    Handle h(CreateFileW(p.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                         FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!h.ok()) return {};
    std::wstring out(MAX_PATH, L'\0');
    DWORD n = GetFinalPathNameByHandleW(h.get(), out.data(), static_cast<DWORD>(out.size()), FILE_NAME_NORMALIZED);
    if (n >= out.size()) {
        out.resize(n + 1);
        n = GetFinalPathNameByHandleW(h.get(), out.data(), static_cast<DWORD>(out.size()), FILE_NAME_NORMALIZED);
    }
    if (!n || n >= out.size()) return {};
    out.resize(n);
    return out;
}

// Wine does not mark a Unix symbolic link as a reparse point: a folder that
// really lies elsewhere than in its parent was reached through one.
bool liesInParent(const std::wstring& parent, const std::wstring& folder) {
    std::wstring outer = finalPath(parent), inner = finalPath(folder);
    if (outer.empty() || inner.empty()) return false;
    if (outer.back() != L'\\') outer += L'\\';
    std::wstring want = outer + folder.substr(folder.find_last_of(L'\\') + 1);
    return CompareStringOrdinal(inner.c_str(), static_cast<int>(inner.size()), want.c_str(), static_cast<int>(want.size()),
                                TRUE) == CSTR_EQUAL;
}

bool makeDirs(const std::wstring& full) {
    bool link;
    if (isFolder(full, link)) return true;
    size_t cut = full.find_last_of(L'\\');
    if (cut != std::wstring::npos && cut > 0 && !makeDirs(full.substr(0, cut))) return false;
    return CreateDirectoryW(full.c_str(), nullptr) || isFolder(full, link);
}


class Extractor {
public:
    Extractor(const Self& self, const Events& events, Outcome& out) : self_(self), events_(events), out_(out) {}

    void run(const std::wstring& dest) {
        dest_ = fullPath(dest);
        if (!makeDirs(dest_)) lzh::fail(UNLHA_ERR_WRITE, narrow(dest) + ": " + systemMessage(GetLastError()));
        Handle file = openRead(self_.path);
        if (!file.ok() || !seek(file.get(), self_.trailer.archiveOffset))
            lzh::fail(UNLHA_ERR_READ, narrow(self_.path) + ": " + systemMessage(GetLastError()));
        HandleSource whole(file.get());
        lzh::LimitedSource src(whole, self_.trailer.archiveSize);
        lzh::Entry e;
        while (lzh::readHeader(src, e)) {
            lzh::LimitedSource data(src, e.packed);
            entry(e, data);
            if (!e.isDir()) done_ += e.original;
            if (data.left() && !src.skip(data.left())) lzh::damaged("entry data cut short: " + e.path());
        }
    }

private:
    void record(int code, const std::string& msg) {
        out_.text += msg + "\n";
        if (!out_.rc) out_.rc = code;
    }

    void entry(const lzh::Entry& e, lzh::ByteSource& data) {
        const bool folders = self_.trailer.folders;
        const std::string name = e.path();
        if (e.isDir() && !folders) return;
        if (e.fault != lzh::NameFault::None || e.parts.empty()) {
            record(UNLHA_ERR_UNSAFE_NAME, name + ": refused, " + lzh::describe(e.fault));
            return;
        }
        std::vector<std::string> parts = folders ? e.parts : std::vector<std::string>{e.parts.back()};
        for (const std::string& p : parts)
            if (const char* why = sys::nameFault(p)) {
                record(UNLHA_ERR_UNSAFE_NAME, name + ": refused, " + why);
                return;
            }
        try {
            std::wstring dir = openFolders(parts, e.isDir() ? parts.size() : parts.size() - 1, name);
            if (!e.isDir()) writeFile(e, data, dir, widen(parts.back()), name);
        } catch (const lzh::Error& err) {
            if (err.code != UNLHA_ERR_UNSAFE_NAME && err.code != UNLHA_ERR_WRITE && err.code != UNLHA_ERR_CRC &&
                err.code != UNLHA_ERR_METHOD)
                throw;
            record(err.code, err.what());
        }
    }

    // Creates the folders below the destination, never passing a link or junction.
    std::wstring openFolders(const std::vector<std::string>& parts, size_t count, const std::string& name) {
        std::wstring cur = dest_;
        for (size_t i = 0; i < count; ++i) {
            const std::wstring parent = cur;
            cur += L'\\' + widen(parts[i]);
            bool link = false;
            if (!CreateDirectoryW(cur.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS)
                lzh::fail(UNLHA_ERR_WRITE, name + ": " + systemMessage(GetLastError()));
            bool folder = isFolder(cur, link);
            link = link || (folder && !liesInParent(parent, cur));
            if (link) lzh::fail(UNLHA_ERR_UNSAFE_NAME, name + ": refused, the path passes through a link");
            if (!folder) lzh::fail(UNLHA_ERR_WRITE, name + ": a file is in the way of its folder");
        }
        return cur;
    }

    void writeFile(const lzh::Entry& e, lzh::ByteSource& data, const std::wstring& dir, const std::wstring& leaf,
                   const std::string& name) {
        std::wstring tmp;
        Handle h;
        for (unsigned i = 0; i < 1000 && !h.ok(); ++i) {
            tmp = dir + L"\\.unlha-" + widen(decimal(GetCurrentProcessId()) + "-" + decimal(i)) + L".tmp";
            h.reset(CreateFileW(tmp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
            if (!h.ok() && GetLastError() != ERROR_FILE_EXISTS) break;
        }
        if (!h.ok()) lzh::fail(UNLHA_ERR_WRITE, name + ": " + systemMessage(GetLastError()));
        // Whatever stops this entry (a cancel, a damaged block) takes the
        // half-written file with it.
        struct Remove {
            Handle& h;
            std::wstring path;
            ~Remove() {
                if (path.empty()) return;
                h.close();
                DeleteFileW(path.c_str());
            }
        } remove{h, tmp};
        lzh::Progress progress = [&](uint64_t n) {
            if (events_.cancelled && events_.cancelled()) lzh::fail(UNLHA_ERR_CANCELLED, "cancelled");
            if (events_.progress) events_.progress(name, done_ + n, self_.bytes);
        };
        progress(0);
        HandleSink sink(h.get(), name);
        uint16_t crc = lzh::unpack(decoder_, e, data, sink, progress);
        sink.flush();
        if (crc != e.crc) lzh::fail(UNLHA_ERR_CRC, name + ": CRC error");
        FILETIME t = wintime::fileTime(e.mtime);
        SetFileTime(h.get(), nullptr, nullptr, &t);
        if (!h.close()) lzh::fail(UNLHA_ERR_WRITE, name + ": " + systemMessage(GetLastError()));
        if (events_.cancelled && events_.cancelled()) lzh::fail(UNLHA_ERR_CANCELLED, "cancelled");
        const std::wstring target = dir + L'\\' + leaf;
        if (!MoveFileExW(tmp.c_str(), target.c_str(), 0)) {
            DWORD err = GetLastError();
            if (err != ERROR_ALREADY_EXISTS && err != ERROR_FILE_EXISTS)
                lzh::fail(UNLHA_ERR_WRITE, name + ": " + systemMessage(err));
            bool link = false;
            if (isFolder(target, link)) lzh::fail(UNLHA_ERR_WRITE, name + ": a folder of that name is in the way");
            if (!events_.overwrite || !events_.overwrite(name)) {
                ++out_.kept;
                out_.text += name + ": exists, kept\n";
                return;
            }
            // Replaces a link itself rather than what it points to.
            if (!MoveFileExW(tmp.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING))
                lzh::fail(UNLHA_ERR_WRITE, name + ": " + systemMessage(GetLastError()));
        }
        remove.path.clear();
        out_.text += name + "\n";
    }

    const Self& self_;
    const Events& events_;
    Outcome& out_;
    std::wstring dest_;
    uint64_t done_ = 0;
    lzh::Decoder decoder_;  // its tables serve every entry
};

}  // namespace

bool openSelf(Self& self, std::string& error) {
    error = sfx::texts::kDamaged;
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (n == 0) return false;
        if (n < path.size()) {
            path.resize(n);
            break;
        }
        path.resize(path.size() * 2);
    }
    self.path = path;
    Handle h = openRead(path);
    LARGE_INTEGER size;
    uint8_t last[archive::kTrailerSize];
    DWORD got = 0;
    if (!h.ok() || !GetFileSizeEx(h.get(), &size) || size.QuadPart < static_cast<LONGLONG>(sizeof last) ||
        !seek(h.get(), static_cast<uint64_t>(size.QuadPart) - sizeof last) ||
        !ReadFile(h.get(), last, sizeof last, &got, nullptr) || got != sizeof last ||
        !archive::decodeTrailer(last, static_cast<uint64_t>(size.QuadPart), self.trailer))
        return false;
    // Counted for progress and the closing message; a damaged header is
    // left for the extraction to report.
    try {
        if (!seek(h.get(), self.trailer.archiveOffset)) return true;
        HandleSource whole(h.get());
        lzh::LimitedSource src(whole, self.trailer.archiveSize);
        lzh::Entry e;
        while (lzh::readHeader(src, e) && src.skip(e.packed))
            if (!e.isDir()) ++self.files, self.bytes += e.original;
    } catch (const lzh::Error&) {}
    error.clear();
    return true;
}

Outcome extract(const Self& self, const std::wstring& dest, const Events& events) {
    Outcome out;
    Extractor x(self, events, out);
    try {
        x.run(dest);
    } catch (const lzh::Error& e) {
        out.text += std::string(e.what()) + "\n";
        out.rc = e.code;
    } catch (const std::bad_alloc&) {
        out.text += "out of memory\n";
        out.rc = UNLHA_ERR_MEMORY;
    }
    return out;
}

}  // namespace winstub
