// The progress window of -n0 on Windows: the operation runs on a worker
// thread while the calling thread pumps messages for a window owned by the
// caller's window, which stays disabled meanwhile as under a modal dialog.
#include "progress_window.h"

#include <windows.h>
#include <commctrl.h>

#include "platform/sys.h"
#include "progress_state.h"

namespace progress {

namespace {

const wchar_t kClass[] = L"KinaruProgress";
constexpr UINT kFinished = WM_APP + 1;

struct Window {
    Shared& shared;
    HWND label = nullptr, bar = nullptr, button = nullptr;
    std::string shown;
    bool finished = false;
};

void refresh(Window& w) {
    Snapshot now = w.shared.read();
    if (now.name != w.shown) {
        w.shown = now.name;
        SetWindowTextW(w.label, sys::widen(now.name).c_str());
    }
    SendMessageW(w.bar, PBM_SETPOS, static_cast<WPARAM>(now.permille), 0);
}

LRESULT CALLBACK windowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    auto* w = reinterpret_cast<Window*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    switch (msg) {
        case WM_CREATE:
            SetWindowLongPtrW(hwnd, GWLP_USERDATA,
                              reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams));
            return 0;
        case WM_COMMAND:  // the button, Escape
        case WM_CLOSE:
            if (msg == WM_COMMAND && LOWORD(wp) != IDCANCEL) break;
            if (w && !w->shared.cancel) {
                // The window stays until the worker has stopped.
                w->shared.cancel = true;
                EnableWindow(w->button, FALSE);
                SetWindowTextW(w->button, L"中止しています…");
            }
            return 0;
        case WM_TIMER:
            if (w) refresh(*w);
            return 0;
        case kFinished:
            if (w) w->finished = true;
            return 0;
    }
    return DefWindowProcW(hwnd, msg, wp, lp);
}

HINSTANCE thisModule() {
    HMODULE m = nullptr;
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCWSTR>(&windowProc), &m);
    return m;
}

HWND createWindow(HWND owner, Window& w, char command) {
    HINSTANCE inst = thisModule();
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&icc);
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = windowProc;
    wc.hInstance = inst;
    wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = kClass;
    RegisterClassExW(&wc);  // fails harmlessly when already registered

    RECT r{0, 0, 400, 110};
    DWORD style = WS_POPUP | WS_CAPTION, ex = WS_EX_DLGMODALFRAME;
    AdjustWindowRectEx(&r, style, FALSE, ex);
    int width = r.right - r.left, height = r.bottom - r.top;
    RECT area;
    if (!owner || !GetWindowRect(owner, &area)) SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
    int x = area.left + (area.right - area.left - width) / 2, y = area.top + (area.bottom - area.top - height) / 2;
    HWND hwnd = CreateWindowExW(ex, kClass, sys::widen(titleFor(command)).c_str(), style, x, y, width, height, owner,
                                nullptr, inst, &w);
    if (!hwnd) return nullptr;

    NONCLIENTMETRICSW ncm{};
    ncm.cbSize = sizeof ncm;
    SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof ncm, &ncm, 0);
    HFONT font = CreateFontIndirectW(&ncm.lfMessageFont);
    w.label = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE | SS_PATHELLIPSIS | SS_NOPREFIX, 16, 14, 368, 20,
                              hwnd, nullptr, inst, nullptr);
    w.bar =
        CreateWindowExW(0, PROGRESS_CLASSW, L"", WS_CHILD | WS_VISIBLE, 16, 40, 368, 18, hwnd, nullptr, inst, nullptr);
    w.button = CreateWindowExW(0, L"BUTTON", L"中止", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, 150, 72,
                               100, 26, hwnd, reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDCANCEL)), inst, nullptr);
    for (HWND c : {w.label, w.button}) SendMessageW(c, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    SetPropW(hwnd, L"KinaruFont", font);
    SendMessageW(w.bar, PBM_SETRANGE32, 0, 1000);
    SetTimer(hwnd, 1, 50, nullptr);
    return hwnd;
}

}  // namespace

bool canShowWindows() { return true; }

int run(void* owner, const archive::Options& opt, std::string& text) {
    // A listing is over before a window could be read.
    if (opt.command == 'l') return command::run(opt, text);
    Shared shared;
    Window w{shared, nullptr, nullptr, nullptr, {}, false};
    HWND parent = IsWindow(static_cast<HWND>(owner)) ? static_cast<HWND>(owner) : nullptr;
    HWND hwnd = createWindow(parent, w, opt.command);
    if (!hwnd) return command::run(opt, text);

    bool ownerWasEnabled = parent && !EnableWindow(parent, FALSE);
    ShowWindow(hwnd, SW_SHOWNORMAL);
    UpdateWindow(hwnd);
    Worker worker(shared, opt, [hwnd] { PostMessageW(hwnd, kFinished, 0, 0); });
    // A quit asked meanwhile cancels the work and is passed on afterwards.
    bool quit = false;
    WPARAM quitCode = 0;
    MSG msg;
    while (!w.finished) {
        BOOL got = GetMessageW(&msg, nullptr, 0, 0);
        if (got <= 0) {
            quit = got == 0;
            quitCode = msg.wParam;
            shared.cancel = true;
            worker.join();
            break;
        }
        if (!IsDialogMessageW(hwnd, &msg)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
    int rc = worker.result(text);
    if (ownerWasEnabled) EnableWindow(parent, TRUE);
    KillTimer(hwnd, 1);
    HFONT font = static_cast<HFONT>(RemovePropW(hwnd, L"KinaruFont"));
    DestroyWindow(hwnd);
    if (font) DeleteObject(font);
    if (quit) PostQuitMessage(static_cast<int>(quitCode));
    return rc;
}

}  // namespace progress
