#include "win32/mainunit.h"

#include "base/errors.h"
#include "base/paths.h"
#include "core/compressrun.h"
#include "core/webpages.h"
#include "platform/files.h"
#include "platform/win32/wide.h"
#include "win32/controls.h"

#include <commctrl.h>
#include <commdlg.h>
#include <shellapi.h>

#include <algorithm>
#include <cstdio>

namespace kinaru::win32 {

using platform::narrow;
using platform::widen;

namespace {

constexpr DWORD kStyle = WS_POPUP | WS_CAPTION;
constexpr DWORD kExStyle = WS_EX_DLGMODALFRAME;
enum Id {
    kPages = 301, kDrive, kDir, kViewInfo, kButton4, kWrite, kAdd, kUserSelect, kDirectory, kOpenDist, kCompressVer,
    kUseDefault, kWorkDirectory, kButton1, kPanel2, kPanel6, kPanel5, kButton2, kButton3
};
const COLORREF kPanelColour = RGB(71, 79, 218);


// The drive letter of a path, upper case, or 0 for none.
char driveOf(const std::string& path) {
    if (path.size() >= 2 && path[1] == ':') return char(std::toupper(static_cast<unsigned char>(path[0])));
    return 0;
}

// The colour the tab control paints its pages with (white under a visual
// style, the button face without one), taken from a drawing of it.
COLORREF pageColour(HWND tabs, const RECT& page) {
    RECT box{};
    GetClientRect(tabs, &box);
    HDC screen = GetDC(tabs);
    HDC drawing = CreateCompatibleDC(screen);
    HBITMAP canvas = CreateCompatibleBitmap(screen, box.right, box.bottom);
    HGDIOBJ before = SelectObject(drawing, canvas);
    FillRect(drawing, &box, GetSysColorBrush(COLOR_BTNFACE));
    SendMessageW(tabs, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(drawing), PRF_CLIENT | PRF_ERASEBKGND);
    // A point inside the page, away from its border; the page rectangle is
    // in the dialog's coordinates, as the tab control's place.
    RECT place{};
    GetWindowRect(tabs, &place);
    MapWindowPoints(nullptr, GetParent(tabs), reinterpret_cast<POINT*>(&place), 2);
    COLORREF colour = GetPixel(drawing, page.left - place.left + 4, page.bottom - place.top - 4);
    SelectObject(drawing, before);
    DeleteObject(canvas);
    DeleteDC(drawing);
    ReleaseDC(tabs, screen);
    return colour == CLR_INVALID ? GetSysColor(COLOR_BTNFACE) : colour;
}

// Shows the program's bitmap resource number in a picture control.
HWND picture(HWND control, int resource) {
    HANDLE bitmap = LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(resource), IMAGE_BITMAP, 0, 0, 0);
    if (bitmap) SendMessageW(control, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bitmap));
    return control;
}

}  // namespace

TForm1::TForm1(App& app) : app_(app) {
    create(L"TForm1", false, "Kinaru Ver2.5", kStyle, kExStyle, app.settings.mainLeft, app.settings.mainTop, 288, 290);
    panelBrush_ = CreateSolidBrush(kPanelColour);
    LOGFONTW bold{};
    GetObjectW(designedFont(), sizeof bold, &bold);
    bold.lfWeight = FW_BOLD;
    boldFont_ = CreateFontIndirectW(&bold);

    PageControl1 = control(window_, WC_TABCONTROLW, "", WS_TABSTOP | WS_GROUP, 4, 4, 281, 261, kPages);
    for (const char* title : {"出力", "圧縮ｵﾌﾟｼｮﾝ", "ｼｽﾃﾑ", "ﾊﾞｰｼﾞｮﾝ情報"}) {
        std::wstring text = widen(title);
        TCITEMW item{};
        item.mask = TCIF_TEXT;
        item.pszText = text.data();
        SendMessageW(PageControl1, TCM_INSERTITEMW, SendMessageW(PageControl1, TCM_GETITEMCOUNT, 0, 0),
                     reinterpret_cast<LPARAM>(&item));
    }
    // Pages are places inside the tab control; their controls are the
    // dialog's own, shown with their page.
    RECT area{4, 4, 4 + 281, 4 + 261};
    SendMessageW(PageControl1, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&area));
    const int x = area.left, y = area.top;
    auto at = [&](const wchar_t* kind, const std::string& text, DWORD style, int left, int top, int width, int height,
                  int id = 0, DWORD exStyle = 0) {
        HWND made = control(window_, kind, text, style, x + left, y + top, width, height, id, exStyle);
        pages_.back().push_back(made);
        return made;
    };

    pages_.emplace_back();  // 出力
    Drive_Dst = at(L"COMBOBOX", "", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, 12, 12, 249, 200, kDrive);
    // Drawn here: each row with an open folder (the way down to the current
    // folder) or a closed one (the folders inside it).
    Dir_Dst = at(L"LISTBOX", "",
                 LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | LBS_OWNERDRAWFIXED | LBS_HASSTRINGS | WS_VSCROLL | WS_TABSTOP, 12,
                 40, 249, 185, kDir, WS_EX_CLIENTEDGE);
    openFolder_ = shellIcon(5, false);
    closedFolder_ = shellIcon(4, false);
    setRowHeight(Dir_Dst, LB_SETITEMHEIGHT, 16);

    pages_.emplace_back();  // 圧縮ｵﾌﾟｼｮﾝ, in its tab order
    ViewInfo = at(L"BUTTON", "圧縮中に状況を表示する", BS_AUTOCHECKBOX | WS_TABSTOP, 12, 12, 157, 17, kViewInfo);
    GroupBox1 = at(L"BUTTON", "同名ファイル存在時の動作", BS_GROUPBOX, 8, 44, 257, 73);
    rWrite = at(L"BUTTON", "消して作成", BS_AUTORADIOBUTTON | WS_TABSTOP | WS_GROUP, 8 + 12, 44 + 20, 81, 17, kWrite);
    rAdd = at(L"BUTTON", "そのまま上書き", BS_AUTORADIOBUTTON, 8 + 128, 44 + 20, 113, 17, kAdd);
    rUserSelect = at(L"BUTTON", "ﾀﾞｲｱﾛｸﾞ表示、ﾕｰｻﾞが選択", BS_AUTORADIOBUTTON, 8 + 12, 44 + 44, 161, 17, kUserSelect);
    oDirectory = at(L"BUTTON", "ﾃﾞｨﾚｸﾄﾘ情報も格納する", BS_AUTOCHECKBOX | WS_TABSTOP | WS_GROUP, 12, 124, 145, 17,
                    kDirectory);
    oOpenDist = at(L"BUTTON", "圧縮後、出力ﾌｫﾙﾀﾞを開く", BS_AUTOCHECKBOX | WS_TABSTOP, 12, 144, 153, 17, kOpenDist);
    Label1 = at(L"STATIC", "圧縮形式", SS_LEFT, 12, 168, 56, 12);
    CompressVer = at(L"COMBOBOX", "", CBS_DROPDOWNLIST | WS_TABSTOP, 72, 164, 193, 120, kCompressVer);
    for (const char* item : {"LH5(LHA2.13以降)", "LH6(LHA2.67以降)", "LH7(TEST)"})
        SendMessageW(CompressVer, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(widen(item).c_str()));
    Label2 = at(L"STATIC", "作業ﾌｫﾙﾀﾞ", SS_LEFT, 8, 192, 60, 12);
    WorkDirectory = at(L"EDIT", "", ES_AUTOHSCROLL | WS_TABSTOP | WS_DISABLED, 20, 208, 189, 20, kWorkDirectory,
                       WS_EX_CLIENTEDGE);
    Button1 = at(L"BUTTON", "参照", BS_PUSHBUTTON | WS_TABSTOP | WS_DISABLED, 216, 208, 53, 21, kButton1);
    UseDefault = at(L"BUTTON", "標準の場所を使う", BS_AUTOCHECKBOX | WS_TABSTOP, 72, 190, 113, 17, kUseDefault);
    GroupBox2 = at(L"BUTTON", "初期化", BS_GROUPBOX, 200, 0, 65, 45);
    Button4 = at(L"BUTTON", "初期化", BS_PUSHBUTTON | WS_TABSTOP, 200 + 8, 16, 49, 21, kButton4);

    pages_.emplace_back();  // ｼｽﾃﾑ
    Label6 = at(L"STATIC", "出力ﾄﾞﾗｲﾌﾞの空き状況", SS_LEFT, 8, 8, 150, 12);
    Label5 = at(L"STATIC", "USE:", SS_LEFT, 8, 26, 26, 12);
    DistDrive = at(PROGRESS_CLASSW, "", PBS_SMOOTH, 36, 24, 213, 17);
    DistStr = at(L"STATIC", "0 ﾊﾞｲﾄの空き", SS_RIGHT, 8, 44, 241, 12);
    Bevel1 = at(L"STATIC", "", SS_ETCHEDHORZ, 8, 60, 257, 2);
    Label10 = at(L"STATIC", "UNLHA32.DLLのﾊﾞｰｼﾞｮﾝ", SS_LEFT, 12, 72, 130, 12);
    UnlhaVer = at(L"EDIT", "", ES_READONLY | WS_TABSTOP, 144, 68, 101, 20, 0, WS_EX_CLIENTEDGE);
    Bevel2 = at(L"STATIC", "", SS_ETCHEDHORZ, 8, 95, 257, 2);
    Panel4 = at(L"STATIC", "", SS_GRAYFRAME, 12, 104, 201, 101);  // a thin line round the picture
    Image2 = picture(at(L"STATIC", "", SS_BITMAP, 13, 105, 199, 99), 3);

    pages_.emplace_back();  // ﾊﾞｰｼﾞｮﾝ情報
    Panel1 = at(L"STATIC", "", SS_GRAYFRAME, 4, 4, 201, 201);
    Image1 = picture(at(L"STATIC", "", SS_BITMAP, 5, 5, 199, 199), 2);
    Panel2 = at(L"STATIC", "Web", SS_CENTER | SS_CENTERIMAGE | SS_NOTIFY | SS_SUNKEN, 212, 5, 57, 21, kPanel2);
    Panel6 = at(L"STATIC", "最新情報", SS_CENTER | SS_CENTERIMAGE | SS_NOTIFY | SS_SUNKEN, 212, 36, 57, 21, kPanel6);
    Panel5 = at(L"STATIC", "HELP", SS_CENTER | SS_CENTERIMAGE | SS_NOTIFY | SS_SUNKEN, 212, 184, 57, 21, kPanel5);
    for (HWND panel : {Panel2, Panel6, Panel5}) SendMessageW(panel, WM_SETFONT, reinterpret_cast<WPARAM>(boldFont_), 0);
    Version = at(L"STATIC", "This Version is 2.5 Complete.[25C版]", SS_LEFT, 76, 220, 200, 12);
    HWND tips = createTooltips(window_);
    addHint(tips, Panel2, "Mobrekのﾒｲﾝﾍﾟｰｼﾞを開きます。");
    addHint(tips, Panel6, "このｿﾌﾄの最新情報を開きます。");

    Button2 = control(window_, L"BUTTON", "保存", BS_PUSHBUTTON | WS_TABSTOP, 136, 268, 69, 21, kButton2);
    Button3 = control(window_, L"BUTTON", "中止", BS_PUSHBUTTON | WS_TABSTOP, 212, 268, 69, 21, kButton3);
    for (HWND label : {Label1, Label2, Label5, Label6, Label10, Version}) fitToText(label);
    // Fonts standing in for the designed one may run wider; the line moves
    // left rather than lose its end at the page's edge.
    RECT line{};
    GetWindowRect(Version, &line);
    if (x + 76 + (line.right - line.left) > area.right)
        SetWindowPos(Version, nullptr, std::max<int>(area.left, area.right - (line.right - line.left)), y + 220, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    // Frames are drawn behind the controls they hold, the tab control
    // behind everything; the 初期化 frame over the one below it, whose
    // caption band would hide its lower edge.
    for (HWND back : {GroupBox2, GroupBox1, Panel4, Panel1, PageControl1})
        SetWindowPos(back, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    pageBrush_ = CreateSolidBrush(pageColour(PageControl1, area));
    pageArea_ = area;

    // FormCreate: the first method, the start drive.
    SendMessageW(CompressVer, CB_SETCURSEL, 0, 0);
    tick(ViewInfo, true);
    tick(rUserSelect, true);
    tick(oDirectory, true);
    tick(UseDefault, true);
    folder_ = platform::currentDirectory();
    startDrive_ = driveOf(folder_);
    DWORD drives = GetLogicalDrives();
    for (char letter = 'A'; letter <= 'Z'; ++letter) {
        if (!(drives & (1u << (letter - 'A')))) continue;
        std::string root = std::string(1, letter) + ":\\";
        UINT type = GetDriveTypeW(widen(root).c_str());
        if (type != DRIVE_FIXED && type != DRIVE_REMOVABLE && type != DRIVE_REMOTE && type != DRIVE_CDROM &&
            type != DRIVE_RAMDISK)
            continue;
        wchar_t label[MAX_PATH + 1] = L"";
        GetVolumeInformationW(widen(root).c_str(), label, MAX_PATH + 1, nullptr, nullptr, nullptr, nullptr, 0);
        std::string text = std::string(1, char(letter + 'a' - 'A')) + ": " + narrow(label);
        int row = int(SendMessageW(Drive_Dst, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(widen(text).c_str())));
        SendMessageW(Drive_Dst, CB_SETITEMDATA, row, letter);
    }
    listFolder();
    SendMessageW(PageControl1, TCM_SETCURSEL, 1, 0);
    showPage(1);
}

void TForm1::showPage(int page) {
    for (std::size_t i = 0; i < pages_.size(); ++i)
        for (HWND control : pages_[i]) ShowWindow(control, int(i) == page ? SW_SHOW : SW_HIDE);
    RedrawWindow(window_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void TForm1::listFolder() {
    SendMessageW(Dir_Dst, LB_RESETCONTENT, 0, 0);
    rows_.clear();
    // The chain of parents from the root, then the folders inside.
    std::vector<std::string> chain;
    for (std::string at = folder_;;) {
        chain.insert(chain.begin(), at);
        if (at.size() <= 3) break;  // a drive root
        std::string parent = folderPart(at);
        if (parent.size() > 3) parent.pop_back();
        if (parent.empty() || parent == at) break;
        at = parent;
    }
    for (std::size_t depth = 0; depth < chain.size(); ++depth) {
        std::string name = depth == 0 ? chain[0] : namePart(chain[depth]);
        std::string text = std::string(depth * 2, ' ') + name;
        SendMessageW(Dir_Dst, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(widen(text).c_str()));
        SendMessageW(Dir_Dst, LB_SETITEMDATA, rows_.size(), 1);  // an open folder
        rows_.push_back(chain[depth]);
    }
    SendMessageW(Dir_Dst, LB_SETCURSEL, rows_.size() - 1, 0);
    WIN32_FIND_DATAW found{};
    HANDLE search = FindFirstFileW(widen(withSeparator(folder_) + "*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return;
    std::string indent(chain.size() * 2, ' ');
    do {
        std::string name = narrow(found.cFileName);
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || name == "." || name == "..") continue;
        SendMessageW(Dir_Dst, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(widen(indent + name).c_str()));
        rows_.push_back(withSeparator(folder_) + name);
    } while (FindNextFileW(search, &found));
    FindClose(search);
}

void TForm1::drawFolderRow(const DRAWITEMSTRUCT& row) {
    if (row.itemID == UINT(-1)) return;
    HDC dc = row.hDC;
    RECT box = row.rcItem;
    bool selected = row.itemState & ODS_SELECTED;
    FillRect(dc, &box, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
    HICON icon = row.itemData ? openFolder_ : closedFolder_;
    DrawIconEx(dc, box.left + 1, box.top + (box.bottom - box.top - 16) / 2, icon, 16, 16, 0, nullptr, DI_NORMAL);
    std::wstring text(std::size_t(SendMessageW(Dir_Dst, LB_GETTEXTLEN, row.itemID, 0)) + 1, L'\0');
    text.resize(std::size_t(SendMessageW(Dir_Dst, LB_GETTEXT, row.itemID, reinterpret_cast<LPARAM>(text.data()))));
    HGDIOBJ before = SelectObject(dc, designedFont());
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
    RECT words{box.left + 20, box.top, box.right, box.bottom};
    DrawTextW(dc, text.c_str(), int(text.size()), &words, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    SelectObject(dc, before);
    if (row.itemState & ODS_FOCUS) DrawFocusRect(dc, &box);
}

void TForm1::enterFolder(const std::string& folder) {
    if (FileResult failed = platform::changeDirectory(folder)) throw InOutError(failed);
    app_.settings.outputFolder = platform::currentDirectory();
    app_.unreachableOutput.reset();
    showFolder();
}

void TForm1::showFolder() {
    folder_ = platform::currentDirectory();
    listFolder();
    char drive = driveOf(folder_);
    int rows = int(SendMessageW(Drive_Dst, CB_GETCOUNT, 0, 0));
    for (int row = 0; row < rows; ++row)
        if (char(SendMessageW(Drive_Dst, CB_GETITEMDATA, row, 0)) == drive) SendMessageW(Drive_Dst, CB_SETCURSEL, row, 0);
}

void TForm1::Dir_DstOpen(int row) {
    if (row >= 0 && std::size_t(row) < rows_.size()) enterFolder(rows_[std::size_t(row)]);
    refreshDrive();
}

long long TForm1::refreshDrive() {
    ULARGE_INTEGER available{}, total{}, free{};
    std::string root = folder_.substr(0, 3);
    long long totalBytes = -1, freeBytes = -1;
    if (GetDiskFreeSpaceExW(widen(root).c_str(), &available, &total, &free)) {
        totalBytes = (long long)total.QuadPart;
        freeBytes = (long long)free.QuadPart;
    }
    // The used share in whole mebibytes; sizes are 64-bit, so large drives
    // show their true state.
    long long maximum = totalBytes / 1048576, used = maximum - freeBytes / 1048576;
    int range = maximum > 0 ? 1000 : 0;
    SendMessageW(DistDrive, PBM_SETRANGE32, 0, range);
    SendMessageW(DistDrive, PBM_SETPOS, maximum > 0 ? int(used * 1000 / maximum) : 0, 0);
    setText(DistStr, std::to_string(freeBytes < 0 ? 0 : freeBytes / 1024) + "k ﾊﾞｲﾄの空き");
    return freeBytes;
}

void TForm1::Drive_DstChange() {
    int row = int(SendMessageW(Drive_Dst, CB_GETCURSEL, 0, 0));
    if (row < 0) return;
    char letter = char(SendMessageW(Drive_Dst, CB_GETITEMDATA, row, 0));
    if (letter != driveOf(folder_)) {
        // The drive's own current folder, as the system keeps one per drive.
        wchar_t buffer[MAX_PATH + 1];
        std::wstring relative = widen(std::string(1, letter) + ":");
        DWORD n = GetFullPathNameW(relative.c_str(), MAX_PATH + 1, buffer, nullptr);
        enterFolder(n ? narrow(std::wstring_view(buffer, n)) : std::string(1, letter) + ":\\");
    }
    // A drive without free space is no place for archives.
    if (refreshDrive() == 0 && startDrive_ && letter != startDrive_) {
        enterFolder(std::string(1, startDrive_) + ":");
        refreshDrive();
    }
}

void TForm1::FormShow() {
    refreshDrive();
    unsigned version = unsigned(app_.unlha.UnlhaGetVersion()) & 0xFFFF;
    if (version == 0) {
        messageBox(nullptr, missingLibraryMessage());
        PostQuitMessage(0);
        return;
    }
    char text[32];
    std::snprintf(text, sizeof text, "Version %3.2f", version / 100.0);
    setText(UnlhaVer, text);
    ShowWindow(window_, SW_SHOWNORMAL);
    SetForegroundWindow(window_);
    SetFocus(PageControl1);
}

void TForm1::UseDefaultClick() {
    bool own = !ticked(UseDefault);
    EnableWindow(WorkDirectory, own);
    EnableWindow(Button1, own);
}

void TForm1::Button1Click() {
    wchar_t name[32768] = L"WORK";
    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = window_;
    dialog.lpstrFile = name;
    dialog.nMaxFile = 32768;
    dialog.Flags = OFN_EXPLORER | OFN_NOCHANGEDIR;
    if (GetOpenFileNameW(&dialog)) setText(WorkDirectory, folderPart(narrow(name)));
}

void TForm1::Button2Click() {
    WriteIni();
    PostQuitMessage(0);
}

void TForm1::Button3Click() { PostQuitMessage(0); }

void TForm1::Button4Click() {
    if (!askYesNo(window_, "設定を初期化します。よろしいですか？", true)) return;
    DeleteFileW(widen(app_.settingsPath).c_str());
    app_.settings.sameName = SameNamePolicy::Ask;
    try {
        app_.ReadIni();
    } catch (const KinaruError&) {
        ReadIni();
        throw;
    }
    ReadIni();
    WriteIni();
    messageBox(window_, "設定を初期化しました。");
}

void TForm1::Panel2Click() {
    ShellExecuteW(GetDesktopWindow(), L"open", widen(makerHomePage()).c_str(), nullptr, nullptr, SW_SHOW);
}

void TForm1::Panel6Click() {
    ShellExecuteW(GetDesktopWindow(), L"open", widen(latestInformationPage()).c_str(), nullptr, nullptr, SW_SHOW);
}

// WinHelp is gone from current Windows: the help is a web page beside the
// program, opened in the default browser.
void TForm1::Panel5Click() {
    std::string help = folderPart(app_.executablePath) + "Kinaru.html";
    ShellExecuteW(GetDesktopWindow(), L"open", widen(help).c_str(), nullptr, nullptr, SW_SHOW);
}

void TForm1::ReadIni() {
    const Settings& s = app_.settings;
    SetWindowPos(window_, nullptr, s.mainLeft, s.mainTop, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    setText(WorkDirectory, s.workFolder);
    tick(rWrite, s.sameName == SameNamePolicy::Replace);
    tick(rAdd, s.sameName == SameNamePolicy::Add);
    tick(rUserSelect, s.sameName == SameNamePolicy::Ask);
    SendMessageW(CompressVer, CB_SETCURSEL, s.method ? WPARAM(*s.method) : WPARAM(-1), 0);
    tick(ViewInfo, s.showProgress);
    tick(oDirectory, s.folderNames);
    tick(oOpenDist, s.openOutputFolder);
    tick(UseDefault, s.defaultWorkFolder);
    UseDefaultClick();
    // A stored folder that could not be entered stays stored until another
    // is chosen; the list shows where the program is.
    showFolder();
}

void TForm1::WriteIni() {
    Settings& s = app_.settings;
    notePlace(s.mainLeft, s.mainTop);
    s.workFolder = textOf(WorkDirectory);
    // GetRadio: the last ticked of the three wins.
    s.sameName = ticked(rUserSelect) ? SameNamePolicy::Ask : ticked(rAdd) ? SameNamePolicy::Add : SameNamePolicy::Replace;
    s.method = methodFrom(int(SendMessageW(CompressVer, CB_GETCURSEL, 0, 0)));
    s.showProgress = ticked(ViewInfo);
    s.folderNames = ticked(oDirectory);
    s.openOutputFolder = ticked(oOpenDist);
    s.defaultWorkFolder = ticked(UseDefault);
    app_.WriteIni();
}

void TForm1::command(int id, int code) {
    switch (id) {
        case kDrive:
            if (code == CBN_SELCHANGE || code == CBN_KILLFOCUS) Drive_DstChange();
            break;
        case kDir:
            if (code == LBN_DBLCLK) Dir_DstOpen(int(SendMessageW(Dir_Dst, LB_GETCURSEL, 0, 0)));
            break;
        case kUseDefault: UseDefaultClick(); break;
        case kButton1: Button1Click(); break;
        case kButton2: Button2Click(); break;
        case kButton3: Button3Click(); break;
        case kButton4: Button4Click(); break;
        case kPanel2: if (code == STN_CLICKED) Panel2Click(); break;
        case kPanel6: if (code == STN_CLICKED) Panel6Click(); break;
        case kPanel5: if (code == STN_CLICKED) Panel5Click(); break;
        case IDOK: {
            // Enter presses the focused button; in the folder list it opens the folder.
            HWND focus = GetFocus();
            if (focus == Dir_Dst) Dir_DstOpen(int(SendMessageW(Dir_Dst, LB_GETCURSEL, 0, 0)));
            else if (focus == Button2) Button2Click();
            else if (focus == Button3) Button3Click();
            break;
        }
        default: break;
    }
}

LRESULT TForm1::onMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND: command(LOWORD(wParam), HIWORD(wParam)); return 0;
        case WM_NOTIFY: {
            auto* note = reinterpret_cast<NMHDR*>(lParam);
            if (note->hwndFrom == PageControl1 && note->code == TCN_SELCHANGE)
                showPage(int(SendMessageW(PageControl1, TCM_GETCURSEL, 0, 0)));
            return 0;
        }
        case WM_CTLCOLORSTATIC: {
            HWND from = reinterpret_cast<HWND>(lParam);
            HDC dc = reinterpret_cast<HDC>(wParam);
            if (from == Panel2 || from == Panel6 || from == Panel5) {
                SetTextColor(dc, RGB(255, 255, 255));
                SetBkColor(dc, kPanelColour);
                return reinterpret_cast<LRESULT>(panelBrush_);
            }
            // Labels, ticks and frames on a page take the page's colour;
            // read-only boxes keep their own.
            wchar_t kind[8] = L"";
            GetClassNameW(from, kind, 8);
            if (lstrcmpiW(kind, L"EDIT") != 0 && GetParent(from) == window_ && from != Button2 && from != Button3) {
                LOGBRUSH page{};
                GetObjectW(pageBrush_, sizeof page, &page);
                SetBkColor(dc, page.lbColor);
                return reinterpret_cast<LRESULT>(pageBrush_);
            }
            break;
        }
        case WM_DRAWITEM: {
            auto* row = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
            if (row->hwndItem != Dir_Dst) break;
            drawFolderRow(*row);
            return TRUE;
        }
        case WM_ERASEBKGND: {
            // Frames on a page leave their inside to what lies behind:
            // the page's colour there, as around them.
            HDC dc = reinterpret_cast<HDC>(wParam);
            RECT all{};
            GetClientRect(window_, &all);
            FillRect(dc, &all, GetSysColorBrush(COLOR_BTNFACE));
            FillRect(dc, &pageArea_, pageBrush_);
            return 1;
        }
        case WM_CLOSE: return 0;  // only its two buttons end it
        default: break;
    }
    return DefWindowProcW(window_, message, wParam, lParam);
}

}  // namespace kinaru::win32
