#include "win32/form.h"

#include "platform/win32/wide.h"
#include "win32/controls.h"

#include <exception>

namespace kinaru::win32 {

void Form::create(const wchar_t* className, bool withIcon, const std::string& caption, DWORD style, DWORD exStyle,
                  int left, int top, int clientWidth, int clientHeight) {
    WNDCLASSEXW kind{};
    kind.cbSize = sizeof kind;
    kind.lpfnWndProc = procedure;
    kind.hInstance = GetModuleHandleW(nullptr);
    kind.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    kind.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    if (withIcon) kind.hIcon = LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(1));
    kind.lpszClassName = className;
    RegisterClassExW(&kind);  // a second registration of the same class fails harmlessly
    RECT outer{0, 0, clientWidth, clientHeight};
    AdjustWindowRectEx(&outer, style, FALSE, exStyle);
    CreateWindowExW(exStyle, className, platform::widen(caption).c_str(), style, left, top, outer.right - outer.left,
                    outer.bottom - outer.top, nullptr, nullptr, GetModuleHandleW(nullptr), this);
}

void Form::notePlace(int& left, int& top) const {
    RECT outer{};
    GetWindowRect(window_, &outer);
    left = outer.left;
    top = outer.top;
}

LRESULT CALLBACK Form::procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* form = static_cast<Form*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        form->window_ = window;
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(form));
    }
    auto* form = reinterpret_cast<Form*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!form) return DefWindowProcW(window, message, wParam, lParam);
    // An error that escapes a handler goes to the error box; the dialog stays.
    try {
        return form->onMessage(message, wParam, lParam);
    } catch (const std::exception& error) {
        errorBox(window, error.what());
        return 0;
    }
}

}  // namespace kinaru::win32
