#include "win32/controls.h"

#include "base/title.h"
#include "platform/win32/wide.h"

#include <commctrl.h>
#include <shellapi.h>

#include <algorithm>

namespace kinaru::win32 {

using platform::narrow;
using platform::widen;

namespace {

int CALLBACK noteFace(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found) {
    *reinterpret_cast<bool*>(found) = true;
    return 0;
}

bool hasFace(const wchar_t* face) {
    LOGFONTW wanted{};
    wanted.lfCharSet = DEFAULT_CHARSET;
    lstrcpynW(wanted.lfFaceName, face, LF_FACESIZE);
    bool found = false;
    HDC screen = GetDC(nullptr);
    EnumFontFamiliesExW(screen, &wanted, noteFace, reinterpret_cast<LPARAM>(&found), 0);
    ReleaseDC(nullptr, screen);
    return found;
}

}  // namespace

HFONT designedFont() {
    static HFONT font = [] {
        const wchar_t* faces[] = {L"ＭＳ Ｐゴシック", L"MS PGothic", L"IPAPGothic", L"Meiryo UI", L"Yu Gothic UI"};
        const wchar_t* chosen = faces[0];
        for (const wchar_t* face : faces)
            if (hasFace(face)) {
                chosen = face;
                break;
            }
        return CreateFontW(-12, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, SHIFTJIS_CHARSET, OUT_DEFAULT_PRECIS,
                           CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS, chosen);
    }();
    return font;
}

HWND control(HWND parent, const wchar_t* kind, const std::string& text, DWORD style, int left, int top, int width,
             int height, int id, DWORD exStyle) {
    HWND window = CreateWindowExW(exStyle, kind, widen(text).c_str(), WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | style, left, top, width,
                                  height, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                  GetModuleHandleW(nullptr), nullptr);
    SendMessageW(window, WM_SETFONT, reinterpret_cast<WPARAM>(designedFont()), FALSE);
    return window;
}

void fitToText(HWND label) {
    std::wstring text = widen(textOf(label));
    HDC dc = GetDC(label);
    HGDIOBJ before = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(label, WM_GETFONT, 0, 0)));
    SIZE size{};
    GetTextExtentPoint32W(dc, text.c_str(), int(text.size()), &size);
    SelectObject(dc, before);
    ReleaseDC(label, dc);
    RECT place{};
    GetWindowRect(label, &place);
    int width = std::max<int>(place.right - place.left, size.cx);
    SetWindowPos(label, HWND_BOTTOM, 0, 0, width, place.bottom - place.top, SWP_NOMOVE | SWP_NOACTIVATE);
}

void setRowHeight(HWND list, UINT message, int designed) {
    HDC dc = GetDC(list);
    HGDIOBJ before = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(list, WM_GETFONT, 0, 0)));
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    SelectObject(dc, before);
    ReleaseDC(list, dc);
    SendMessageW(list, message, 0, std::max<int>(designed, metrics.tmHeight + 2));
}

bool ticked(HWND box) { return SendMessageW(box, BM_GETCHECK, 0, 0) == BST_CHECKED; }
void tick(HWND box, bool on) { SendMessageW(box, BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0); }

std::string textOf(HWND window) {
    int length = GetWindowTextLengthW(window);
    std::wstring text(std::size_t(length) + 1, L'\0');
    length = GetWindowTextW(window, text.data(), length + 1);
    text.resize(std::size_t(length));
    return narrow(text);
}

void setText(HWND window, const std::string& text) { SetWindowTextW(window, widen(text).c_str()); }

HWND createTooltips(HWND owner) {
    HWND tips = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT,
                                CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, owner, nullptr, GetModuleHandleW(nullptr),
                                nullptr);
    SendMessageW(tips, WM_SETFONT, reinterpret_cast<WPARAM>(designedFont()), FALSE);
    return tips;
}

void addHint(HWND tooltips, HWND control, const std::string& hint) {
    std::wstring text = widen(hint);
    TOOLINFOW info{};
    info.cbSize = sizeof info;
    info.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    info.hwnd = GetParent(control);
    info.uId = reinterpret_cast<UINT_PTR>(control);
    info.lpszText = text.data();
    SendMessageW(tooltips, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info));
}

void messageBox(HWND owner, const std::string& text) {
    MessageBoxW(owner, widen(text).c_str(), widen(kApplicationTitle).c_str(), MB_OK);
}

void errorBox(HWND owner, const std::string& text) {
    MessageBoxW(owner, widen(text + ".").c_str(), widen(kApplicationTitle).c_str(), MB_OK | MB_ICONERROR);
}

bool askYesNo(HWND owner, const std::string& text, bool noByDefault) {
    UINT buttons = MB_YESNO | (noByDefault ? MB_DEFBUTTON2 : MB_DEFBUTTON1);
    return MessageBoxW(owner, widen(text).c_str(), L"警告", buttons) == IDYES;
}

HICON shellIcon(int index, bool large) {
    HICON icon = nullptr;
    ExtractIconExW(L"shell32.dll", -index, large ? &icon : nullptr, large ? nullptr : &icon, 1);
    return icon;
}

void setOuterHeight(HWND window, int height) {
    RECT outer{};
    GetWindowRect(window, &outer);
    SetWindowPos(window, nullptr, 0, 0, outer.right - outer.left, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace kinaru::win32
