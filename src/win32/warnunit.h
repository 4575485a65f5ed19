#pragma once
// The same-name dialog as a modal Win32 window: what to do when the archive
// to be written exists.
#include "base/choices.h"
#include "win32/app.h"
#include "win32/form.h"

#include <windows.h>

#include <optional>
#include <string>

namespace kinaru::win32 {

class TForm3 : public Form {
public:
    explicit TForm3(App& app);

    // Shows the dialog over owner until a button gives a result.
    SameNameAnswer ShowModal(HWND owner);

    void Button4Click();
    void SpeedButton1Click();

    std::string currentText() const;
    std::string changeText() const;
    void setCurrentText(const std::string& path);
    void setChangeText(const std::string& path);

    HWND Image1 = nullptr, Label3 = nullptr, Label4 = nullptr, Label1 = nullptr, Current = nullptr;
    HWND Label2 = nullptr, Change = nullptr, SpeedButton1 = nullptr;
    HWND Button1 = nullptr, Button2 = nullptr, Button3 = nullptr, Button4 = nullptr;

private:
    LRESULT onMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void answer(SameNameAnswer value) { result_ = value; }

    App& app_;
    std::optional<SameNameAnswer> result_;
    std::string lastBrowsed_;
};

}  // namespace kinaru::win32
