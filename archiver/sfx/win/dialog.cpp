#include "dialog.h"

namespace winstub {

DialogTemplate::DialogTemplate(const std::wstring& title, short width, short height) {
    DWORD style = DS_MODALFRAME | DS_CENTER | DS_SETFONT | WS_POPUP | WS_CAPTION | WS_SYSMENU;
    word(LOWORD(style));
    word(HIWORD(style));
    word(0);  // extended style
    word(0);
    word(0);  // items, counted as they are added
    word(0);
    word(0);
    word(static_cast<WORD>(width));
    word(static_cast<WORD>(height));
    word(0);  // no menu
    word(0);  // the standard dialog class
    text(title);
    word(9);
    text(L"MS UI Gothic");
}

void DialogTemplate::text(const std::wstring& s) {
    data_.insert(data_.end(), s.begin(), s.end());
    word(0);
}

void DialogTemplate::align() {
    if (data_.size() % 2) word(0);
}

void DialogTemplate::item(WORD id, DWORD style, short x, short y, short w, short h) {
    align();
    style |= WS_CHILD | WS_VISIBLE;
    word(LOWORD(style));
    word(HIWORD(style));
    word(0);
    word(0);
    word(static_cast<WORD>(x));
    word(static_cast<WORD>(y));
    word(static_cast<WORD>(w));
    word(static_cast<WORD>(h));
    word(id);
    ++data_[4];
}

void DialogTemplate::add(WORD id, WORD atom, const std::wstring& caption, DWORD style, short x, short y, short w,
                         short h) {
    item(id, style, x, y, w, h);
    word(0xFFFF);
    word(atom);
    text(caption);
    word(0);  // no creation data
}

void DialogTemplate::add(WORD id, const std::wstring& className, const std::wstring& caption, DWORD style, short x,
                         short y, short w, short h) {
    item(id, style, x, y, w, h);
    text(className);
    text(caption);
    word(0);
}

INT_PTR DialogTemplate::run(HWND owner, DLGPROC proc, LPARAM param) const {
    // The template must start on a DWORD boundary; a vector of WORDs may not.
    std::vector<DWORD> copy((data_.size() + 1) / 2);
    memcpy(copy.data(), data_.data(), data_.size() * sizeof(WORD));
    return DialogBoxIndirectParamW(GetModuleHandleW(nullptr), reinterpret_cast<const DLGTEMPLATE*>(copy.data()), owner,
                                   proc, param);
}

}  // namespace winstub
