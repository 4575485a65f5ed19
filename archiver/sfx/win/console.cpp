// The console face: extracts into the current folder (or --dest), printing
// names; asks before replacing a file when a person is at the console.
#include <windows.h>

#include "extract.h"
#include "unlha32.h"
#include "winio.h"
#include "sfx/texts.h"

namespace winstub {

namespace {
// Set by Ctrl-C, Ctrl-Break or the console closing; the extraction polls it
// and removes the file it was writing.
volatile LONG interrupted = 0;
HANDLE cleanedUp = nullptr;

BOOL WINAPI onControl(DWORD type) {
    InterlockedExchange(&interrupted, 1);
    // Closing the console ends the process once this returns: give the
    // extraction the time to remove its file first.
    if (type != CTRL_C_EVENT && type != CTRL_BREAK_EVENT && cleanedUp) WaitForSingleObject(cleanedUp, 4000);
    return TRUE;
}

std::string readLine(HANDLE in) {
    wchar_t buf[64];
    DWORD n = 0;
    if (!ReadConsoleW(in, buf, 63, &n, nullptr)) return {};
    return narrow(std::wstring(buf, n));
}
}  // namespace

int runConsole(const Self& self, const Args& args) {
    cleanedUp = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    SetConsoleCtrlHandler(onControl, TRUE);
    HANDLE in = GetStdHandle(STD_INPUT_HANDLE), out = GetStdHandle(STD_OUTPUT_HANDLE),
           err = GetStdHandle(STD_ERROR_HANDLE);
    DWORD mode;
    const bool terminal = GetConsoleMode(in, &mode) != 0;
    uint64_t refused = 0;
    Events events;
    events.overwrite = [&](const std::string& name) {
        if (args.overwrite) return *args.overwrite;
        if (!terminal) {
            say(err, name + ": 既にあります。確認できる端末がないため上書きしません。\n");
            ++refused;
            return false;
        }
        say(err, name + " は既にあります。上書きしますか? [y/N] ");
        std::string line = readLine(in);
        return !line.empty() && (line[0] == 'y' || line[0] == 'Y');
    };
    std::string shown;
    events.progress = [&](const std::string& name, uint64_t, uint64_t) {
        if (name == shown) return;
        shown = name;
        say(out, name + "\n");
    };
    events.cancelled = [] { return interrupted != 0; };
    Outcome o = extract(self, args.dest, events);
    SetEvent(cleanedUp);
    if (o.rc == UNLHA_ERR_CANCELLED) {
        say(err, std::string(sfx::texts::kCancelled) + "\n");
        return 1;
    }
    if (o.rc) {
        say(err, o.text + sfx::texts::failed(o.rc) + "\n");
        return 1;
    }
    if (refused) {
        say(err, sfx::texts::refusedExisting(refused) + "\n");
        return 1;
    }
    return 0;
}

}  // namespace winstub
