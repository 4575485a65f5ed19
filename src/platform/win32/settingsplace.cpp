#include "platform/settingsplace.h"

#include "base/paths.h"
#include "platform/files.h"
#include "platform/win32/wide.h"

#include <windows.h>

namespace kinaru::platform {

// Beside the executable, as the program has always kept it.
SettingsPlace settingsPlace(const std::string& executable) {
    return {changeExtension(executable, ".ini"), folderPart(executable)};
}

// The user's own application data: %LOCALAPPDATA%\Kinaru\, made when missing.
std::string stateFolder() {
    wchar_t buffer[32768];
    DWORD n = GetEnvironmentVariableW(L"LOCALAPPDATA", buffer, 32768);
    if (n == 0 || n >= 32768) return withSeparator(folderPart(platform::executablePath()));
    std::wstring folder = std::wstring(buffer, n) + L"\\Kinaru";
    CreateDirectoryW(folder.c_str(), nullptr);
    return narrow(folder) + "\\";
}

}  // namespace kinaru::platform
