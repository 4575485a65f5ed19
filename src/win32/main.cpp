// kinaru.exe: the Win32 face over the shared logic. Creates the dialogs in
// their order, loads the settings, and shows the compression dialog when
// paths are given.
#include "base/errors.h"
#include "base/paths.h"
#include "core/itemlist.h"
#include "platform/files.h"
#include "platform/setaside.h"
#include "platform/settingsplace.h"
#include "platform/win32/wide.h"
#include "unlha/unlha.h"
#include "win32/app.h"
#include "win32/arguments.h"
#include "win32/controls.h"
#include "win32/mainunit.h"
#include "win32/warnunit.h"
#include "win32/workunit.h"

#include <windows.h>
#include <commctrl.h>

using namespace kinaru;

namespace {

// A saved position off every attached screen is moved onto the nearest one.
void place(HWND window, int left, int top) {
    RECT outer{};
    GetWindowRect(window, &outer);
    RECT wanted{left, top, left + (outer.right - outer.left), top + (outer.bottom - outer.top)};
    MONITORINFO screen{};
    screen.cbSize = sizeof screen;
    if (GetMonitorInfoW(MonitorFromRect(&wanted, MONITOR_DEFAULTTONEAREST), &screen)) {
        const RECT& work = screen.rcWork;
        if (wanted.right > work.right) left -= wanted.right - work.right;
        if (wanted.bottom > work.bottom) top -= wanted.bottom - work.bottom;
        if (left < work.left) left = work.left;
        if (top < work.top) top = work.top;
    }
    SetWindowPos(window, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);

    const std::string executable = platform::executablePath();
    // Archives that a run ended by logoff or a kill left set aside go back.
    platform::settleLeftovers(platform::stateFolder());
    Unlha unlha(Unlha::defaultCandidates(executable));

    // Items name files from where the program was started, before the
    // settings load moves the current folder.
    const std::string startFolder = platform::currentDirectory();
    std::vector<std::string> items;
    for (const std::wstring& word : win32::commandLineWords(GetCommandLineW()))
        items.push_back(absoluteItem(platform::narrow(word), startFolder));

    platform::SettingsPlace settingsPlace = platform::settingsPlace(executable);
    win32::App app{unlha, executable, items, settingsPlace.file, settingsPlace.defaultOutputFolder};

    win32::TForm1 form1(app);
    win32::TForm2 form2(app);
    form2.FormCreate();
    win32::TForm3 form3(app);
    form2.setSameNameDialog(form3);
    // Creating the same-name dialog loads the settings and places the dialogs.
    try {
        app.ReadIni();
    } catch (const std::exception& error) {
        win32::errorBox(nullptr, error.what());
    }
    try {
        form1.ReadIni();
    } catch (const std::exception& error) {
        win32::errorBox(nullptr, error.what());
    }
    place(form2.handle(), app.settings.compressionLeft, app.settings.compressionTop);
    place(form3.handle(), app.settings.sameNameLeft, app.settings.sameNameTop);

    place(form1.handle(), app.settings.mainLeft, app.settings.mainTop);

    HWND shown = items.empty() ? form1.handle() : form2.handle();
    if (items.empty())
        form1.FormShow();
    else
        form2.FormShow();
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (IsDialogMessageW(shown, &message)) continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return 0;
}
