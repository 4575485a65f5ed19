#include "platform/files.h"

#include "base/paths.h"
#include "platform/win32/wide.h"

#include <windows.h>

#include <vector>

namespace kinaru::platform {

namespace {

DWORD attributesOf(const std::string& path) { return GetFileAttributesW(widen(path).c_str()); }

}  // namespace

std::string executablePath() {
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        DWORD n = GetModuleFileNameW(nullptr, buffer.data(), DWORD(buffer.size()));
        if (n == 0) return {};
        if (n < buffer.size()) return narrow(std::wstring_view(buffer.data(), n));
        buffer.resize(buffer.size() * 2);
    }
}

std::string currentDirectory() {
    DWORD n = GetCurrentDirectoryW(0, nullptr);
    std::wstring buffer(n, L'\0');
    n = GetCurrentDirectoryW(n, buffer.data());
    buffer.resize(n);
    return narrow(buffer);
}

// err is the system's last error here.
FileResult failureOf(const std::string&, int err) {
    switch (err) {
        case ERROR_SUCCESS: return {};
        case ERROR_FILE_NOT_FOUND: return {FileFailure::MissingEntry, err};
        case ERROR_PATH_NOT_FOUND:
        case ERROR_INVALID_NAME:
        case ERROR_BAD_NETPATH:
        case ERROR_DIRECTORY: return {FileFailure::MissingFolder, err};
        case ERROR_TOO_MANY_OPEN_FILES: return {FileFailure::TooManyOpenFiles, err};
        case ERROR_ACCESS_DENIED:
        case ERROR_SHARING_VIOLATION: return {FileFailure::AccessDenied, err};
        default: return {FileFailure::Other, err};
    }
}

FileResult changeDirectory(const std::string& path) {
    if (SetCurrentDirectoryW(widen(path).c_str())) return {};
    return failureOf(path, int(GetLastError()));
}

bool ownerWritable(const std::string& path) {
    DWORD attributes = attributesOf(path);
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_READONLY);
}

std::string realPath(const std::string& path) {
    std::wstring wide = widen(path.empty() ? "." : path);
    DWORD n = GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
    if (n == 0) return {};
    std::wstring full(n, L'\0');
    n = GetFullPathNameW(wide.c_str(), n, full.data(), nullptr);
    full.resize(n);
    if (GetFileAttributesW(full.c_str()) == INVALID_FILE_ATTRIBUTES) return {};
    // A folder keeps no final separator, except a drive root.
    if (full.size() > 3 && full.back() == L'\\') full.pop_back();
    return narrow(full);
}

bool sameEntry(const std::string& a, const std::string& b) {
    auto identity = [](const std::string& path, BY_HANDLE_FILE_INFORMATION& info) {
        HANDLE file = CreateFileW(widen(path).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                  nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
        if (file == INVALID_HANDLE_VALUE) return false;
        bool ok = GetFileInformationByHandle(file, &info);
        CloseHandle(file);
        return ok;
    };
    BY_HANDLE_FILE_INFORMATION ia{}, ib{};
    if (!identity(a, ia) || !identity(b, ib)) return false;
    return ia.dwVolumeSerialNumber == ib.dwVolumeSerialNumber && ia.nFileIndexHigh == ib.nFileIndexHigh &&
           ia.nFileIndexLow == ib.nFileIndexLow;
}

bool isFolder(const std::string& path) {
    DWORD attributes = attributesOf(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool nameTaken(const std::string& path) { return attributesOf(path) != INVALID_FILE_ATTRIBUTES; }

bool canCreateIn(const std::string& folder) {
    // The read-only attribute of a folder does not stop new files on
    // Windows; only trying tells.
    if (!isFolder(folder)) return false;
    std::wstring probe = widen(withSeparator(folder)) + L"~kinaru-probe.tmp";
    HANDLE file = CreateFileW(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        CloseHandle(file);
        return true;
    }
    return GetLastError() == ERROR_FILE_EXISTS;
}

}  // namespace kinaru::platform
