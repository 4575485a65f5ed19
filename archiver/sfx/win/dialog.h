#pragma once
// Dialog templates built in memory, so that the stub needs no resource file.
#include <windows.h>

#include <string>
#include <vector>

namespace winstub {

class DialogTemplate {
public:
    // Size in dialog units; the font is the Japanese UI font of Windows.
    DialogTemplate(const std::wstring& title, short width, short height);

    // A control of a predefined class (0x80 button, 0x81 edit, 0x82 static)
    // or of a class named by `className`.
    void add(WORD id, WORD atom, const std::wstring& text, DWORD style, short x, short y, short w, short h);
    void add(WORD id, const std::wstring& className, const std::wstring& text, DWORD style, short x, short y, short w,
             short h);

    // Runs it as a modal dialog.
    INT_PTR run(HWND owner, DLGPROC proc, LPARAM param) const;

private:
    void word(WORD w) { data_.push_back(w); }
    void text(const std::wstring& s);
    void align();
    void item(WORD id, DWORD style, short x, short y, short w, short h);

    std::vector<WORD> data_;
};

constexpr WORD kButton = 0x80, kEdit = 0x81, kStatic = 0x82;

}  // namespace winstub
