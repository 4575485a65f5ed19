#include "platform/setaside.h"

#include "base/paths.h"
#include "platform/win32/wide.h"

#include <windows.h>
#include <io.h>
#include <fcntl.h>

#include <vector>

namespace kinaru::platform {

namespace {

constexpr std::string_view kRecord = "aside-";

bool moveNoReplace(const std::string& from, const std::string& to) {
    return MoveFileW(widen(from).c_str(), widen(to).c_str());
}

bool taken(const std::string& path) { return GetFileAttributesW(widen(path).c_str()) != INVALID_FILE_ATTRIBUTES; }

// "NAME.lzh.kinaru-old" for ".NAME.lzh.kinaru-old", in the same folder.
std::string visibleName(const std::string& backup) {
    std::string name = namePart(backup);
    while (!name.empty() && name.front() == '.') name.erase(0, 1);
    return folderPart(backup) + name;
}

// The record, written whole and kept open without sharing while the run goes
// on: that open handle is what tells a later start the run is not over.
int writeRecord(const std::string& folder, const SetAside::Paths& paths, std::string& record) {
    static LONG serial = 0;
    std::string name = folder + std::string(kRecord) + std::to_string(GetCurrentProcessId()) + "-" +
                       std::to_string(GetTickCount64()) + "-" + std::to_string(InterlockedIncrement(&serial));
    HANDLE file = CreateFileW(widen(name).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return -1;
    std::string bytes = paths.original + '\0' + paths.backup + '\0';
    DWORD written = 0;
    if (!WriteFile(file, bytes.data(), DWORD(bytes.size()), &written, nullptr) || written != bytes.size() ||
        !FlushFileBuffers(file)) {
        CloseHandle(file);
        DeleteFileW(widen(name).c_str());
        return -1;
    }
    record = name;
    return _open_osfhandle(reinterpret_cast<intptr_t>(file), _O_RDWR);
}

}  // namespace

std::unique_ptr<SetAside> SetAside::move(const std::string& path, const std::string& backup,
                                         const std::string& recordFolder) {
    // A record must never name somebody else's file as a backup.
    if (taken(backup)) return nullptr;
    Paths paths{path, backup, {}};
    int lock = writeRecord(recordFolder, paths, paths.record);
    if (!moveNoReplace(path, backup)) {
        if (lock >= 0) {
            _close(lock);
            DeleteFileW(widen(paths.record).c_str());
        }
        return nullptr;
    }
    return std::unique_ptr<SetAside>(new SetAside(std::move(paths), lock));
}

SetAside::~SetAside() { restore(); }

void SetAside::forget() {
    if (lock_ >= 0) _close(lock_);
    if (!paths_.record.empty()) DeleteFileW(widen(paths_.record).c_str());
    settled_ = true;
}

void SetAside::commit() {
    if (settled_) return;
    DeleteFileW(widen(paths_.backup).c_str());
    forget();
}

void SetAside::restore() {
    if (settled_) return;
    if (moveNoReplace(paths_.backup, paths_.original) || moveNoReplace(paths_.backup, visibleName(paths_.backup))) {
        forget();
        return;
    }
    // Left to the next start, with its record.
    if (lock_ >= 0) _close(lock_);
    settled_ = true;
}

// Windows ends a program without signals a handler could answer; what a
// logoff or a kill leaves is settled from its record at the next start.
void settleOnStopSignals() {}

// A backup goes back to its name when that is free; otherwise it is made
// visible beside the file that took the name. Nothing is deleted here.
void settleLeftovers(const std::string& recordFolder) {
    WIN32_FIND_DATAW found{};
    HANDLE search = FindFirstFileW(widen(recordFolder + std::string(kRecord) + "*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return;
    std::vector<std::string> names;
    do names.push_back(narrow(found.cFileName));
    while (FindNextFileW(search, &found));
    FindClose(search);
    for (const std::string& name : names) {
        std::string record = recordFolder + name;
        // A record still open belongs to a run that goes on.
        HANDLE file = CreateFileW(widen(record).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        if (file == INVALID_HANDLE_VALUE) continue;
        std::string bytes(4096, '\0');
        DWORD got = 0;
        bool read = ReadFile(file, bytes.data(), DWORD(bytes.size()), &got, nullptr);
        CloseHandle(file);
        bytes.resize(read ? got : 0);
        std::size_t first = bytes.find('\0');
        if (first != std::string::npos && bytes.size() > first + 1 && bytes.back() == '\0') {
            std::string original = bytes.substr(0, first);
            std::string backup = bytes.substr(first + 1, bytes.size() - first - 2);
            if (taken(backup) && !moveNoReplace(backup, original) && !moveNoReplace(backup, visibleName(backup)))
                continue;  // kept with its record for another try
        }
        DeleteFileW(widen(record).c_str());
    }
}

}  // namespace kinaru::platform
