#pragma once
// What the three dialogs share as windows: the class registered once, the
// window made to its designed client size, and the window procedure that
// hands every message to the dialog object.
#include <windows.h>

#include <string>

namespace kinaru::win32 {

class Form {
public:
    virtual ~Form() = default;
    Form(const Form&) = delete;
    Form& operator=(const Form&) = delete;

    HWND handle() const { return window_; }

protected:
    Form() = default;
    // Makes the window of class className, registered on first use with
    // the button face behind it and the program's icon when withIcon.
    void create(const wchar_t* className, bool withIcon, const std::string& caption, DWORD style, DWORD exStyle,
                int left, int top, int clientWidth, int clientHeight);
    // The window's outer top-left corner, as the settings store it.
    void notePlace(int& left, int& top) const;
    // Every message of the window once it is made; DefWindowProc for the rest.
    virtual LRESULT onMessage(UINT message, WPARAM wParam, LPARAM lParam) = 0;

    HWND window_ = nullptr;

private:
    static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
};

}  // namespace kinaru::win32
