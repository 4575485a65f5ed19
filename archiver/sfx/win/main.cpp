// The Windows self-extractor stubs: extract the archive appended to them.
// The console stub has one face; the window stub asks in dialogs unless told
// --console.
#include <windows.h>

#include "extract.h"
#include "winio.h"

namespace {
void report(const std::string& message, bool window) {
    HANDLE err = GetStdHandle(STD_ERROR_HANDLE);
    if (!window || (err && err != INVALID_HANDLE_VALUE && GetFileType(err) != FILE_TYPE_UNKNOWN))
        winstub::say(err, message + "\n");
    else
        MessageBoxW(nullptr, winstub::widen(message).c_str(), L"自己解凍", MB_ICONERROR | MB_OK);
}

#if KINARU_WINDOW_FACE
// A window program started from a console has no handles of its own there.
void useParentConsole() {
    if (!AttachConsole(ATTACH_PARENT_PROCESS)) return;
    const DWORD which[] = {STD_INPUT_HANDLE, STD_OUTPUT_HANDLE, STD_ERROR_HANDLE};
    for (DWORD std : which) {
        HANDLE h = GetStdHandle(std);
        if (h && h != INVALID_HANDLE_VALUE && GetFileType(h) != FILE_TYPE_UNKNOWN) continue;
        SetStdHandle(std, CreateFileW(std == STD_INPUT_HANDLE ? L"CONIN$" : L"CONOUT$", GENERIC_READ | GENERIC_WRITE,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr));
    }
}
#endif
}  // namespace

int wmain(int argc, wchar_t** argv) {
    winstub::Args args;
    winstub::Self self;
    std::string error;
    if (!winstub::parseArgs(argc, argv, args, error)) {
        report(error, KINARU_WINDOW_FACE);
        return 2;
    }
    if (!winstub::openSelf(self, error)) {
        report(error, KINARU_WINDOW_FACE && !args.console);
        return 1;
    }
#if KINARU_WINDOW_FACE
    if (!args.console) return winstub::runWindow(self, args);
    useParentConsole();
#endif
    return winstub::runConsole(self, args);
}
