// A stand-in unlha32.dll that records every command it is given, one line
// each, in commands.txt beside itself, and answers 0, so that a test can
// compare kinaru.exe's command lines byte for byte.
#include "unlha32.h"

#include <windows.h>

#include <cstdio>
#include <string>

namespace {

int record(const char* command, const char* entry) {
    HMODULE self = nullptr;
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCWSTR>(&record), &self);
    wchar_t path[MAX_PATH];
    DWORD n = GetModuleFileNameW(self, path, MAX_PATH);
    std::wstring file(path, n);
    file = file.substr(0, file.find_last_of(L'\\') + 1) + L"commands.txt";
    if (FILE* out = _wfopen(file.c_str(), L"ab")) {
        std::fprintf(out, "%s: %s\n", entry, command);
        std::fclose(out);
    }
    return 0;
}

}  // namespace

extern "C" UNLHA_API int UNLHA_CALL UnlhaGetVersion(void) { return 115; }
extern "C" UNLHA_API int UNLHA_CALL Unlha(void*, const char* command, char*, unsigned long) {
    return record(command, "Unlha");
}
extern "C" UNLHA_API int UNLHA_CALL UnlhaUtf8(void*, const char* command, char*, unsigned long) {
    return record(command, "UnlhaUtf8");
}
