// The window face: asks for the destination (with a folder browser), shows
// progress with 中止, asks before replacing a file and ends with a message.
#include <windows.h>

#include <commctrl.h>
#include <shlobj.h>

#include <optional>

#include "dialog.h"
#include "extract.h"
#include "unlha32.h"
#include "winio.h"
#include "archive/archive.h"
#include "sfx/texts.h"

namespace winstub {

namespace {

const wchar_t* const kTitle = L"自己解凍";
enum : WORD { kDestEdit = 100, kBrowse, kProgressText, kProgressBar, kStop, kQuestion, kYes, kYesAll, kNo, kNoAll };
enum : UINT { kProgressMessage = WM_APP + 1, kAskMessage, kDoneMessage };

template <typename T>
T* state(HWND dlg, UINT msg, LPARAM lp) {
    if (msg == WM_INITDIALOG) SetWindowLongPtrW(dlg, DWLP_USER, lp);
    return reinterpret_cast<T*>(GetWindowLongPtrW(dlg, DWLP_USER));
}

std::wstring itemText(HWND dlg, int id) {
    HWND item = GetDlgItem(dlg, id);
    std::wstring s(static_cast<size_t>(GetWindowTextLengthW(item)) + 1, L'\0');
    s.resize(static_cast<size_t>(GetWindowTextW(item, s.data(), static_cast<int>(s.size()))));
    return s;
}

// --- destination ---

struct Destination {
    std::wstring folder;  // the proposal in, the answer out
    std::wstring program;
    uint64_t files = 0;
    bool showCount = false;
    bool unattended = false;
};

int CALLBACK browseStart(HWND box, UINT msg, LPARAM, LPARAM start) {
    if (msg == BFFM_INITIALIZED) SendMessageW(box, BFFM_SETSELECTIONW, TRUE, start);
    return 0;
}

void browse(HWND dlg) {
    std::wstring start = itemText(dlg, kDestEdit);
    BROWSEINFOW bi{};
    bi.hwndOwner = dlg;
    bi.lpszTitle = L"解凍先";
    bi.ulFlags = BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE;
    bi.lpfn = browseStart;
    bi.lParam = reinterpret_cast<LPARAM>(start.c_str());
    PIDLIST_ABSOLUTE chosen = SHBrowseForFolderW(&bi);
    if (!chosen) return;
    wchar_t path[MAX_PATH];
    if (SHGetPathFromIDListW(chosen, path)) SetDlgItemTextW(dlg, kDestEdit, path);
    CoTaskMemFree(chosen);
}

INT_PTR CALLBACK destinationProc(HWND dlg, UINT msg, WPARAM wp, LPARAM lp) {
    auto* d = state<Destination>(dlg, msg, lp);
    if (msg == WM_INITDIALOG) {
        SetDlgItemTextW(dlg, kDestEdit, d->folder.c_str());
        // Answered by a click once it is up, so the real dialog runs in tests.
        if (d->unattended) PostMessageW(dlg, WM_COMMAND, IDOK, 0);
        return TRUE;
    }
    if (msg != WM_COMMAND) return FALSE;
    switch (LOWORD(wp)) {
        case kBrowse: browse(dlg); return TRUE;
        case IDOK:
            d->folder = itemText(dlg, kDestEdit);
            EndDialog(dlg, IDOK);
            return TRUE;
        case IDCANCEL: EndDialog(dlg, IDCANCEL); return TRUE;
    }
    return FALSE;
}

bool askDestination(Destination& d) {
    const short width = 280, rows = d.showCount ? 12 : 0;
    DialogTemplate t(kTitle, width, static_cast<short>(74 + rows));
    t.add(0, kStatic, L"「" + d.program + L"」を解凍します。解凍先のフォルダを指定してください。", SS_LEFT, 7, 7,
          width - 14, 20);
    if (d.showCount) t.add(0, kStatic, L"ファイル数: " + widen(decimal(d.files)), SS_LEFT, 7, 28, width - 14, 10);
    t.add(kDestEdit, kEdit, L"", WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL, 7, static_cast<short>(30 + rows), width - 64,
          13);
    t.add(kBrowse, kButton, L"参照...", WS_TABSTOP | BS_PUSHBUTTON, width - 54, static_cast<short>(29 + rows), 47, 15);
    t.add(IDOK, kButton, L"解凍", WS_TABSTOP | BS_DEFPUSHBUTTON, width - 112, static_cast<short>(52 + rows), 50, 15);
    t.add(IDCANCEL, kButton, L"キャンセル", WS_TABSTOP | BS_PUSHBUTTON, width - 57, static_cast<short>(52 + rows), 50,
          15);
    return t.run(nullptr, destinationProc, reinterpret_cast<LPARAM>(&d)) == IDOK;
}

// --- the overwrite question ---

struct Question {
    std::wstring text;
    WORD scripted = 0;  // the button --unattended clicks
};

INT_PTR CALLBACK questionProc(HWND dlg, UINT msg, WPARAM wp, LPARAM lp) {
    auto* q = state<Question>(dlg, msg, lp);
    if (msg == WM_INITDIALOG) {
        SetDlgItemTextW(dlg, kQuestion, q->text.c_str());
        if (q->scripted) PostMessageW(dlg, WM_COMMAND, q->scripted, 0);
        SetFocus(GetDlgItem(dlg, kNo));
        return FALSE;
    }
    if (msg != WM_COMMAND) return FALSE;
    WORD id = LOWORD(wp);
    if (id == IDCANCEL) id = kNo;
    if (id >= kYes && id <= kNoAll) {
        EndDialog(dlg, id);
        return TRUE;
    }
    return FALSE;
}

WORD askQuestion(HWND owner, Question& q) {
    DialogTemplate t(kTitle, 252, 58);
    t.add(kQuestion, kStatic, L"", SS_LEFT, 7, 7, 238, 20);
    const wchar_t* labels[] = {L"上書き", L"すべて上書き", L"残す", L"すべて残す"};
    for (WORD i = 0; i < 4; ++i)
        t.add(static_cast<WORD>(kYes + i), kButton, labels[i],
              WS_TABSTOP | (kYes + i == kNo ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON), static_cast<short>(7 + i * 61), 36, 56,
              15);
    return static_cast<WORD>(t.run(owner, questionProc, reinterpret_cast<LPARAM>(&q)));
}

// --- progress, with the extraction on a worker thread ---

struct Run {
    Run(const Self& s, const Args& a, std::wstring d) : self(s), args(a), dest(std::move(d)) {}
    const Self& self;
    const Args& args;
    std::wstring dest;
    HWND dlg = nullptr;
    HANDLE worker = nullptr;
    volatile LONG stop = 0;
    CRITICAL_SECTION lock{};
    std::string name;  // the latest progress, handed over under the lock
    uint64_t done = 0;
    bool posted = false;
    std::optional<bool> forAll;  // "すべて上書き" / "すべて残す"
    Outcome out;
};

DWORD WINAPI work(void* p) {
    Run& r = *static_cast<Run*>(p);
    Events events;
    events.cancelled = [&] { return r.stop != 0; };
    events.progress = [&](const std::string& name, uint64_t done, uint64_t) {
        EnterCriticalSection(&r.lock);
        r.name = name;
        r.done = done;
        bool post = !r.posted;
        r.posted = true;
        LeaveCriticalSection(&r.lock);
        if (post) PostMessageW(r.dlg, kProgressMessage, 0, 0);
    };
    // The question is put on the window's thread; this one waits for it.
    events.overwrite = [&](const std::string& name) {
        return SendMessageW(r.dlg, kAskMessage, 0, reinterpret_cast<LPARAM>(&name)) != 0;
    };
    r.out = extract(r.self, r.dest, events);
    PostMessageW(r.dlg, kDoneMessage, 0, 0);
    return 0;
}

bool ask(Run& r, HWND owner, const std::string& name) {
    if (r.forAll) return *r.forAll;
    if (r.args.overwrite && !r.args.unattended) return *r.args.overwrite;
    Question q;
    q.text = L"「" + widen(name) + L"」は既にあります。上書きしますか?";
    if (r.args.unattended) q.scripted = r.args.overwrite.value_or(false) ? kYes : kNo;
    WORD b = askQuestion(owner, q);
    if (b == kYesAll || b == kNoAll) r.forAll = b == kYesAll;
    return b == kYes || b == kYesAll;
}

INT_PTR CALLBACK progressProc(HWND dlg, UINT msg, WPARAM wp, LPARAM lp) {
    auto* r = state<Run>(dlg, msg, lp);
    switch (msg) {
        case WM_INITDIALOG:
            r->dlg = dlg;
            SendDlgItemMessageW(dlg, kProgressBar, PBM_SETRANGE32, 0, 1000);
            r->worker = CreateThread(nullptr, 0, work, r, 0, nullptr);
            if (!r->worker) {
                r->out.rc = UNLHA_ERR_INTERNAL;
                EndDialog(dlg, 0);
            }
            return TRUE;
        case kProgressMessage: {
            EnterCriticalSection(&r->lock);
            std::string name = r->name;
            uint64_t done = r->done;
            r->posted = false;
            LeaveCriticalSection(&r->lock);
            SetDlgItemTextW(dlg, kProgressText, widen(name).c_str());
            uint64_t total = r->self.bytes;
            SendDlgItemMessageW(dlg, kProgressBar, PBM_SETPOS, static_cast<WPARAM>(archive::permille(done, total)), 0);
            return TRUE;
        }
        case kAskMessage:
            SetWindowLongPtrW(dlg, DWLP_MSGRESULT, ask(*r, dlg, *reinterpret_cast<const std::string*>(lp)));
            return TRUE;
        case kDoneMessage:
            WaitForSingleObject(r->worker, INFINITE);
            CloseHandle(r->worker);
            EndDialog(dlg, 0);
            return TRUE;
        case WM_COMMAND:
            if (LOWORD(wp) != kStop && LOWORD(wp) != IDCANCEL) return FALSE;
            InterlockedExchange(&r->stop, 1);
            SetDlgItemTextW(dlg, kStop, L"中止しています…");
            EnableWindow(GetDlgItem(dlg, kStop), FALSE);
            return TRUE;
    }
    return FALSE;
}

void showProgress(Run& r) {
    InitializeCriticalSection(&r.lock);
    DialogTemplate t(L"解凍中", 240, 62);
    t.add(kProgressText, kStatic, L"", SS_LEFT | SS_PATHELLIPSIS, 7, 7, 226, 10);
    t.add(kProgressBar, PROGRESS_CLASSW, L"", 0, 7, 20, 226, 10);
    t.add(kStop, kButton, L"中止", WS_TABSTOP | BS_PUSHBUTTON, 88, 40, 64, 15);
    t.run(nullptr, progressProc, reinterpret_cast<LPARAM>(&r));
    DeleteCriticalSection(&r.lock);
}

// --- the closing message ---

BOOL CALLBACK acceptBox(HWND w, LPARAM) {
    wchar_t cls[16];
    if (GetClassNameW(w, cls, 16) && lstrcmpW(cls, L"#32770") == 0) PostMessageW(w, WM_COMMAND, IDOK, 0);
    return TRUE;
}

void CALLBACK acceptBoxes(HWND, UINT, UINT_PTR, DWORD) { EnumThreadWindows(GetCurrentThreadId(), acceptBox, 0); }

std::wstring lastLines(const std::string& text, size_t count) {
    std::vector<std::string> lines;
    size_t at = 0;
    while (at < text.size()) {
        size_t end = text.find('\n', at);
        if (end == std::string::npos) end = text.size();
        if (end > at) lines.push_back(text.substr(at, end - at));
        at = end + 1;
    }
    std::string out;
    for (size_t i = lines.size() > count ? lines.size() - count : 0; i < lines.size(); ++i)
        out += (out.empty() ? "" : "\n") + lines[i];
    return widen(out);
}

}  // namespace

int runWindow(const Self& self, const Args& args) {
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    INITCOMMONCONTROLSEX cc{sizeof cc, ICC_PROGRESS_CLASS | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&cc);
    const bool printing = args.unattended;
    HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);

    Destination d;
    const size_t slash = self.path.find_last_of(L"\\/");
    d.program = self.path.substr(slash + 1);
    d.folder = args.dest.empty() ? self.path.substr(0, slash) : args.dest;
    d.files = self.files;
    d.showCount = self.trailer.style == 4;
    d.unattended = args.unattended;
    const std::wstring home = self.path.substr(0, slash);
    if (!askDestination(d)) {
        if (printing) say(out, "キャンセルしました。\n");
        return 1;
    }
    while (!d.folder.empty() && (d.folder.back() == L' ' || d.folder.front() == L' '))
        d.folder.erase(d.folder.back() == L' ' ? d.folder.size() - 1 : 0, 1);
    if (d.folder.empty()) d.folder = home;

    Run r(self, args, d.folder);
    showProgress(r);

    std::wstring message;
    if (r.out.rc == 0) {
        message = widen(sfx::texts::extracted(self.files - r.out.kept, narrow(d.folder)));
        if (r.out.kept) message += L"\n" + widen(sfx::texts::keptExisting(r.out.kept));
    } else if (r.out.rc == UNLHA_ERR_CANCELLED) {
        message = widen(sfx::texts::kCancelledNothingLeft);
    } else {
        message = widen(sfx::texts::failed(r.out.rc)) + L"\n\n" + lastLines(r.out.text, 12);
    }
    if (printing) {
        say(out, narrow(message) + "\n");
        SetTimer(nullptr, 0, 100, acceptBoxes);
    }
    MessageBoxW(nullptr, message.c_str(), kTitle, MB_OK | (r.out.rc ? MB_ICONWARNING : MB_ICONINFORMATION));
    return r.out.rc ? 1 : 0;
}

}  // namespace winstub
