#include "win32/warnunit.h"

#include "base/paths.h"
#include "core/compressrun.h"
#include "core/samename.h"
#include "platform/win32/wide.h"
#include "win32/controls.h"

#include <commdlg.h>
#include <shellapi.h>

#include <vector>

namespace kinaru::win32 {

namespace {

constexpr DWORD kStyle = WS_POPUP | WS_CAPTION;
constexpr DWORD kExStyle = WS_EX_DLGMODALFRAME;
enum Id { kCurrent = 201, kChange, kSpeedButton1, kButton1, kButton2, kButton3, kButton4 };

}  // namespace

TForm3::TForm3(App& app) : app_(app) {
    create(L"TForm3", false, "同じ名前のファイルを見つけました。", kStyle, kExStyle, app.settings.sameNameLeft,
           app.settings.sameNameTop, 401, 118);

    Image1 = control(window_, L"STATIC", "", SS_ICON, 4, 4, 32, 32);
    SendMessageW(Image1, STM_SETICON, reinterpret_cast<WPARAM>(shellIcon(5, true)), 0);
    Label3 = control(window_, L"STATIC", "出力ファイルと同じ名前のファイルがすでに", SS_LEFT, 40, 8, 250, 12);
    Label4 = control(window_, L"STATIC", "存在しています。処理を選択してください。", SS_LEFT, 40, 20, 250, 12);
    Label1 = control(window_, L"STATIC", "現在のﾌｧｲﾙ名", SS_LEFT, 12, 44, 120, 12);
    Current = control(window_, L"EDIT", "", ES_READONLY | ES_AUTOHSCROLL | WS_TABSTOP | WS_GROUP, 24, 56, 261, 20,
                      kCurrent, WS_EX_CLIENTEDGE);
    Label2 = control(window_, L"STATIC", "このﾌｧｲﾙ名に変更して続行", SS_LEFT, 16, 80, 160, 12);
    Change = control(window_, L"EDIT", "", ES_AUTOHSCROLL | WS_TABSTOP, 24, 92, 233, 20, kChange, WS_EX_CLIENTEDGE);
    SpeedButton1 = control(window_, L"BUTTON", "", BS_ICON | BS_FLAT, 264, 92, 21, 21, kSpeedButton1);
    SendMessageW(SpeedButton1, BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(shellIcon(4, false)));
    Button1 = control(window_, L"BUTTON", "圧縮中止", BS_PUSHBUTTON | WS_TABSTOP, 304, 8, 85, 21, kButton1);
    Button2 = control(window_, L"BUTTON", "上書き続行", BS_PUSHBUTTON | WS_TABSTOP, 304, 36, 85, 21, kButton2);
    Button3 = control(window_, L"BUTTON", "削除続行", BS_PUSHBUTTON | WS_TABSTOP, 304, 64, 85, 21, kButton3);
    Button4 = control(window_, L"BUTTON", "ﾌｧｲﾙ名変更", BS_PUSHBUTTON | WS_TABSTOP, 304, 92, 85, 21, kButton4);
    for (HWND label : {Label3, Label4, Label1, Label2}) fitToText(label);
    HWND tips = createTooltips(window_);
    addHint(tips, Button1, "圧縮を中断します");
    addHint(tips, Button2, "元からあるﾌｧｲﾙに(追加)上書きして続行します");
    addHint(tips, Button3, "元からあるﾌｧｲﾙを削除して続行します");
    addHint(tips, Button4, "ﾌｧｲﾙ名を変更して続行します");
}

SameNameAnswer TForm3::ShowModal(HWND owner) {
    result_.reset();
    SetWindowLongPtrW(window_, GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(owner));
    EnableWindow(owner, FALSE);
    ShowWindow(window_, SW_SHOWNORMAL);
    SetForegroundWindow(window_);
    // The first control that takes input, where Enter acts; not the
    // read-only path above it.
    SetFocus(Change);
    MSG message;
    while (!result_ && GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (IsDialogMessageW(window_, &message)) continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    EnableWindow(owner, TRUE);
    notePlace(app_.settings.sameNameLeft, app_.settings.sameNameTop);
    ShowWindow(window_, SW_HIDE);
    SetForegroundWindow(owner);
    return result_.value_or(SameNameAnswer::Abandon);
}

std::string TForm3::currentText() const { return textOf(Current); }
std::string TForm3::changeText() const { return textOf(Change); }
void TForm3::setCurrentText(const std::string& path) { setText(Current, path); }
void TForm3::setChangeText(const std::string& path) { setText(Change, path); }

void TForm3::Button4Click() {
    NameCheck check = checkNewName(changeText(), currentText());
    setChangeText(check.name);
    switch (check.verdict) {
        case NameVerdict::Refused: messageBox(window_, "ﾌｧｲﾙ名が正しくありません。"); break;
        case NameVerdict::FolderMissing:
            if (askYesNo(window_, "出力ディレクトリがありません。作成しますか？", false)) {
                if (createFolders(folderPart(check.name)))
                    answer(SameNameAnswer::Rename);
                else
                    messageBox(window_, folderMessage(folderPart(check.name)));
            } else {
                answer(SameNameAnswer::Abandon);
            }
            break;
        case NameVerdict::Exists: messageBox(window_, "同名ファイルが存在します。"); break;
        case NameVerdict::Accepted: answer(SameNameAnswer::Rename); break;
    }
}

void TForm3::SpeedButton1Click() {
    std::string extension = extensionPart(currentText());
    if (!extension.empty()) extension.erase(0, 1);
    std::wstring defaultExtension = platform::widen(extension);
    std::vector<wchar_t> name(32768, L'\0');
    std::wstring last = platform::widen(lastBrowsed_);
    last.copy(name.data(), name.size() - 1);
    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = window_;
    dialog.lpstrFile = name.data();
    dialog.nMaxFile = DWORD(name.size());
    dialog.lpstrDefExt = defaultExtension.empty() ? nullptr : defaultExtension.c_str();
    dialog.Flags = OFN_EXPLORER | OFN_NOCHANGEDIR | OFN_PATHMUSTEXIST;
    if (!GetSaveFileNameW(&dialog)) return;
    lastBrowsed_ = platform::narrow(name.data());
    setChangeText(lastBrowsed_);
}

LRESULT TForm3::onMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COMMAND && HIWORD(wParam) == BN_CLICKED) {
        switch (LOWORD(wParam)) {
            case kButton1: answer(SameNameAnswer::Abandon); return 0;
            case kButton2: answer(SameNameAnswer::Continue); return 0;
            case kButton3: answer(SameNameAnswer::DeleteAndContinue); return 0;
            case kButton4: Button4Click(); return 0;
            case kSpeedButton1: SpeedButton1Click(); return 0;
            case IDOK:
                // Enter in Change presses Button4; on a button, that button.
                if (GetFocus() == Change) Button4Click();
                return 0;
            default: break;
        }
    }
    // No close box: a close from the system abandons.
    if (message == WM_CLOSE) {
        answer(SameNameAnswer::Abandon);
        return 0;
    }
    return DefWindowProcW(window_, message, wParam, lParam);
}

}  // namespace kinaru::win32
