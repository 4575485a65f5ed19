#include "platform/filecontent.h"

#include "platform/win32/wide.h"

#include <windows.h>

namespace kinaru::platform {

std::optional<std::string> readRegularFile(const std::string& file) {
    HANDLE handle = CreateFileW(widen(file).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return std::nullopt;
    std::optional<std::string> content;
    BY_HANDLE_FILE_INFORMATION info{};
    if (GetFileInformationByHandle(handle, &info) && !(info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
        content.emplace();
        char buffer[65536];
        DWORD n = 0;
        BOOL ok;
        while ((ok = ReadFile(handle, buffer, sizeof buffer, &n, nullptr)) && n > 0) content->append(buffer, n);
        if (!ok) content.reset();
    }
    CloseHandle(handle);
    return content;
}

bool replaceFileContent(const std::string& target, const std::string& content) {
    std::wstring wide = widen(target);
    DWORD attributes = GetFileAttributesW(wide.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES &&
        (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)))
        return false;
    std::wstring temporary = wide + L".new";
    for (int n = 1; GetFileAttributesW(temporary.c_str()) != INVALID_FILE_ATTRIBUTES; ++n)
        temporary = wide + L".new" + std::to_wstring(n);
    HANDLE handle = CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    bool ok = content.empty() || (WriteFile(handle, content.data(), DWORD(content.size()), &written, nullptr) &&
                                  written == content.size());
    ok = FlushFileBuffers(handle) && ok;
    ok = CloseHandle(handle) && ok;
    if (ok) ok = MoveFileExW(temporary.c_str(), wide.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
    if (!ok) DeleteFileW(temporary.c_str());
    return ok;
}

std::string followLinks(const std::string& file) { return file; }

}  // namespace kinaru::platform
