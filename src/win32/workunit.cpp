#include "win32/workunit.h"

#include "base/errors.h"
#include "base/paths.h"
#include "core/compressrun.h"
#include "platform/files.h"
#include "platform/win32/wide.h"
#include "win32/controls.h"
#include "win32/warnunit.h"

#include <commctrl.h>
#include <shellapi.h>

#include <ctime>

namespace kinaru::win32 {

namespace {

constexpr int kCollapsedHeight = 53;
constexpr int kExpandedHeight = 272;
constexpr int kClientWidth = 464, kClientHeight = 247;
constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU;
constexpr DWORD kExStyle = WS_EX_DLGMODALFRAME | WS_EX_ACCEPTFILES;

enum Id { kCompress = 101, kExpand, kLzhfiles, kTopDir, kFiles, kSpeedButton1, kSelfExt, kWinSFX };

// The run's view of the dialogs and the library.
class DialogsOfTheRun : public RunDialogs {
public:
    DialogsOfTheRun(TForm2& form2, TForm3& form3, const App& app) : form2_(form2), form3_(form3), app_(app) {}

    std::string archiveName() override { return form2_.archivePath(); }
    void setArchiveName(const std::string& name) override { form2_.setArchivePath(name); }
    SameNameAnswer askSameName(const std::string& existing, std::string& newName) override {
        form3_.setCurrentText(existing);
        SameNameAnswer answer = form3_.ShowModal(form2_.handle());
        newName = form3_.changeText();
        return answer;
    }
    void message(const std::string& text) override { messageBox(form2_.handle(), text); }
    std::string archiveCommand(const std::string& workFolder, const std::string& archivePath) override {
        return kinaru::archiveCommand(form2_.commandSwitches(workFolder), archivePath, form2_.fileEntries());
    }
    std::string selfExtractorCommand(const std::string& workFolder, const std::string& temporaryArchive) override {
        return kinaru::selfExtractorCommand(form2_.commandSwitches(workFolder), form2_.winSfxTicked(), temporaryArchive);
    }
    int runArchiver(const std::string& command) override {
        std::string unused;
        HCURSOR previous = SetCursor(LoadCursorW(nullptr, IDC_WAIT));
        int result = app_.unlha.Run(form2_.handle(), command, unused, 0);
        SetCursor(previous);
        return result;
    }
    void openFolder(const std::string& folder) override {
        ShellExecuteW(nullptr, L"open", L"explorer.exe", platform::widen(folder).c_str(), nullptr, SW_SHOWNORMAL);
    }

private:
    TForm2& form2_;
    TForm3& form3_;
    const App& app_;
};

std::string temporaryFolder() {
    wchar_t buffer[MAX_PATH + 1];
    DWORD n = GetTempPathW(MAX_PATH + 1, buffer);
    return n ? platform::narrow(std::wstring_view(buffer, n)) : std::string();
}


}  // namespace

TForm2::TForm2(App& app) : app_(app) {
    create(L"TForm2", true, "Kinaru - ﾌｧｲﾙ圧縮", kStyle, kExStyle, app.settings.compressionLeft,
           app.settings.compressionTop, kClientWidth, kClientHeight);
    headingBrush_ = GetSysColorBrush(COLOR_ACTIVECAPTION);

    // In tab order: the top strip, TopDir, files, the option area.
    Panel1 = control(window_, L"STATIC", "", SS_LEFT, 0, 0, 464, 28);
    Label1 = control(window_, L"STATIC", "出力", SS_LEFT, 4, 8, 24, 12);
    Compress = control(window_, L"BUTTON", "圧縮", BS_PUSHBUTTON | WS_TABSTOP | WS_GROUP, 372, 4, 57, 21, kCompress);
    lzhfiles = control(window_, L"COMBOBOX", "lzhfiles", CBS_DROPDOWN | CBS_AUTOHSCROLL | WS_VSCROLL | WS_TABSTOP, 32,
                       4, 325, 200, kLzhfiles);
    setRowHeight(lzhfiles, CB_SETITEMHEIGHT, 12);
    Expand = control(window_, L"BUTTON", "▼", BS_AUTOCHECKBOX | BS_PUSHLIKE, 436, 4, 21, 21, kExpand);
    Bevel1 = control(window_, L"STATIC", "", SS_ETCHEDVERT, 364, 4, 2, 20);
    Bevel2 = control(window_, L"STATIC", "", SS_ETCHEDVERT, 361, 4, 2, 20);
    Label5 = control(window_, L"STATIC", "TOP", SS_LEFT, 4, 230, 22, 12);
    TopDir = control(window_, L"EDIT", std::string(255, ' '), ES_READONLY | ES_AUTOHSCROLL | WS_TABSTOP, 28, 227, 197,
                     20, kTopDir, WS_EX_CLIENTEDGE);
    files = control(window_, L"LISTBOX", "", LBS_NOINTEGRALHEIGHT | LBS_NOTIFY | WS_VSCROLL | WS_HSCROLL | WS_TABSTOP,
                    0, 28, 249, 197, kFiles, WS_EX_CLIENTEDGE);
    setRowHeight(files, LB_SETITEMHEIGHT, 12);
    SpeedButton1 = control(window_, L"BUTTON", "", BS_ICON | BS_FLAT, 228, 228, 21, 19, kSpeedButton1);
    SendMessageW(SpeedButton1, BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(shellIcon(5, false)));
    Panel2 = control(window_, L"STATIC", "", SS_ETCHEDFRAME, 252, 27, 213, 220);
    Panel3 = control(window_, L"STATIC", "ｵﾌﾟｼｮﾝ", SS_LEFT | SS_CENTERIMAGE | SS_SUNKEN, 254, 29, 209, 17);
    SelfExt = control(window_, L"BUTTON", "自動解凍書庫化", BS_AUTOCHECKBOX | WS_TABSTOP, 260, 55, 109, 17, kSelfExt);
    WinSFX = control(window_, L"BUTTON", "WinSFX", BS_AUTOCHECKBOX | WS_TABSTOP | WS_DISABLED, 272, 75, 73, 17, kWinSFX);
    HWND tips = createTooltips(window_);
    addHint(tips, Expand, "このﾎﾞﾀﾝを押すと、細かい設定等ができます。");
    for (HWND label : {Label1, Label5}) fitToText(label);
    // The strip and the frames are drawn behind the controls they hold.
    for (HWND back : {Panel2, Panel1}) SetWindowPos(back, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}

void TForm2::FormCreate() {
    DragAcceptFiles(window_, TRUE);
    setOuterHeight(window_, kCollapsedHeight);
}

void TForm2::FormShow() {
    if (app_.settings.method) {
        std::string caption = textOf(window_) + " - " + methodName(*app_.settings.method);
        setText(window_, caption);
    }
    list_.fill(app_.arguments, app_.settings.outputFolder);
    for (const std::string& entry : list_.entries())
        SendMessageW(files, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(platform::widen(entry).c_str()));
    for (const std::string& candidate : list_.candidates())
        SendMessageW(lzhfiles, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(platform::widen(candidate).c_str()));
    if (list_.topFolder()) setText(TopDir, *list_.topFolder());
    if (!list_.candidates().empty()) SendMessageW(lzhfiles, CB_SETCURSEL, 0, 0);
    ShowWindow(window_, SW_SHOWNORMAL);
    SetForegroundWindow(window_);
    SetFocus(lzhfiles);
}

void TForm2::FormHide() {
    notePlace(app_.settings.compressionLeft, app_.settings.compressionTop);
    // A store that fails still ends the program once its error is shown.
    try {
        app_.WriteIni();
    } catch (const std::exception& error) {
        errorBox(window_, error.what());
    }
    PostQuitMessage(0);
}

void TForm2::WMDropFiles(HDROP drop) {
    SetForegroundWindow(window_);
    UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < count; ++i) {
        UINT length = DragQueryFileW(drop, i, nullptr, 0);
        std::wstring path(length + 1, L'\0');
        length = DragQueryFileW(drop, i, path.data(), length + 1);
        path.resize(length);
        if (std::optional<std::string> entry = list_.drop(platform::narrow(path)))
            SendMessageW(files, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(platform::widen(*entry).c_str()));
    }
    DragFinish(drop);
}

void TForm2::ExpandClick() { setOuterHeight(window_, ticked(Expand) ? kExpandedHeight : kCollapsedHeight); }

void TForm2::SelfExtClick() {
    if (ticked(SelfExt)) {
        EnableWindow(WinSFX, TRUE);
        if (app_.settings.method == Method::LH7) tick(WinSFX, true);
    } else {
        EnableWindow(WinSFX, FALSE);
    }
}

void TForm2::WinSFXClick() {
    // The LH7 self-extractor exists only as the window type.
    if (app_.settings.method == Method::LH7) tick(WinSFX, true);
}

void TForm2::SpeedButton1Click() {
    if (!list_.topFolder()) return;
    std::string folder = *list_.topFolder();
    if (!isAbsolutePath(folder)) folder = withSeparator(platform::currentDirectory()) + folder;
    ShellExecuteW(nullptr, L"open", L"explorer.exe", platform::widen(folder).c_str(), nullptr, SW_SHOWNORMAL);
}

void TForm2::CompressClick() {
    RunRequest request;
    const Settings& settings = app_.settings;
    request.workFolder = settings.defaultWorkFolder ? temporaryFolder() : settings.workFolder;
    request.outputFolder = settings.outputFolder;
    request.policy = settings.sameName;
    request.openArchiveFolder = settings.openOutputFolder;
    request.selfExtractor = ticked(SelfExt);
    request.items = list_.entries();
    request.topFolder = list_.topFolder().value_or(std::string());
    std::time_t now = std::time(nullptr);
    if (std::tm* local = std::localtime(&now)) request.now = *local;

    DialogsOfTheRun dialogs(*this, *form3_, app_);
    if (runCompression(request, dialogs) != RunEnd::Stopped) {
        closing_ = true;
        ShowWindow(window_, SW_HIDE);
        FormHide();
    }
}

std::string TForm2::archivePath() const { return textOf(lzhfiles); }
void TForm2::setArchivePath(const std::string& path) { setText(lzhfiles, path); }

CommandSwitches TForm2::commandSwitches(const std::string& workFolder) const {
    const Settings& settings = app_.settings;
    return {settings.showProgress, settings.folderNames, workFolder, settings.method};
}

bool TForm2::winSfxTicked() const { return ticked(WinSFX); }

void TForm2::command(int id, int code) {
    // Every control here speaks by clicks; Enter comes as a click on IDOK.
    if (code != BN_CLICKED) return;
    switch (id) {
        case kCompress: CompressClick(); break;
        case kExpand: ExpandClick(); break;
        case kSelfExt: SelfExtClick(); break;
        case kWinSFX: WinSFXClick(); break;
        case kSpeedButton1: SpeedButton1Click(); break;
        case IDOK: {
            // Enter: in the archive-name box it presses Compress; elsewhere
            // it starts nothing.
            HWND focus = GetFocus();
            if (focus == lzhfiles || GetParent(focus) == lzhfiles) CompressClick();
            break;
        }
        default: break;
    }
}

LRESULT TForm2::onMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND: command(LOWORD(wParam), HIWORD(wParam)); return 0;
        case WM_DROPFILES: WMDropFiles(reinterpret_cast<HDROP>(wParam)); return 0;
        case WM_CTLCOLORSTATIC:
            if (reinterpret_cast<HWND>(lParam) == Panel3) {
                HDC dc = reinterpret_cast<HDC>(wParam);
                SetTextColor(dc, RGB(255, 255, 255));
                SetBkColor(dc, GetSysColor(COLOR_ACTIVECAPTION));
                return reinterpret_cast<LRESULT>(headingBrush_);
            }
            break;
        case WM_CLOSE:
            if (!closing_) {
                closing_ = true;
                ShowWindow(window_, SW_HIDE);
                FormHide();
            }
            return 0;
        default: break;
    }
    return DefWindowProcW(window_, message, wParam, lParam);
}

}  // namespace kinaru::win32
