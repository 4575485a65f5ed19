// Loads unlha32.dll as a Windows caller does and runs it over the tree
// "src" of the current folder: a, l, t and x with each method, names in the
// system code page, archives from the Linux side, damaged input, and the
// progress window's cancel. Exit 0: all passed; 77: not a CP932 system.
#include <cstdio>
#include <cstring>
#include <string>
#include <thread>
#include <windows.h>

using UnlhaFn = int(WINAPI *)(void *, const char *, char *, unsigned long);
namespace {
UnlhaFn unlha;
int failures = 0;

std::string acp(const std::wstring &w) {
    std::string s(w.size() * 2 + 1, '\0');
    s.resize(WideCharToMultiByte(CP_ACP, 0, w.c_str(), -1, s.data(), static_cast<int>(s.size()), nullptr, nullptr) - 1);
    return s;
}
std::wstring wide(const char *utf8) {
    std::wstring w(std::strlen(utf8) + 1, L'\0');
    w.resize(MultiByteToWideChar(CP_UTF8, 0, utf8, -1, w.data(), static_cast<int>(w.size())) - 1);
    return w;
}
void expect(bool ok, const std::string &what) { failures += !ok && std::printf("FAILED: %s\n", what.c_str()); }
// Runs a command written in UTF-8, passed in the system code page as Japanese callers do.
int call(const char *utf8, std::string *out = nullptr, void *owner = nullptr) {
    static char buf[1 << 16];
    int rc = unlha(owner, acp(wide(utf8)).c_str(), buf, sizeof buf);
    if (out) *out = buf;
    return rc;
}
std::string slurp(const std::wstring &path) {
    HANDLE h = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return "(missing)";
    std::string s(GetFileSize(h, nullptr), '\0');
    DWORD n = 0;
    ReadFile(h, s.data(), static_cast<DWORD>(s.size()), &n, nullptr);
    CloseHandle(h);
    return s;
}
void spill(const std::wstring &path, const std::string &data) {
    HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD n = 0;
    WriteFile(h, data.data(), static_cast<DWORD>(data.size()), &n, nullptr);
    CloseHandle(h);
}
// Every name and byte of `a` is in `b`, and the other way round.
bool sameTree(const std::wstring &a, const std::wstring &b, bool both = true) {
    WIN32_FIND_DATAW f;
    HANDLE h = FindFirstFileW((a + L"\\*").c_str(), &f);
    bool same = h != INVALID_HANDLE_VALUE;
    for (bool more = same; more; more = FindNextFileW(h, &f)) {
        std::wstring n = f.cFileName;
        if (n == L"." || n == L"..") continue;
        if (f.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) same &= sameTree(a + L"\\" + n, b + L"\\" + n, both);
        else same &= slurp(a + L"\\" + n) == slurp(b + L"\\" + n);
    }
    if (h != INVALID_HANDLE_VALUE) FindClose(h);
    return same && (!both || sameTree(b, a, false));
}
// Presses 中止 once the progress window shows, after `ms`.
std::thread cancelLater(int ms) {
    return std::thread([ms] {
        HWND w = nullptr;
        for (int i = 0; i < 400 && !(w = FindWindowW(L"KinaruProgress", nullptr)); ++i) Sleep(25);
        Sleep(ms);
        if (w) PostMessageW(w, WM_COMMAND, IDCANCEL, 0);
    });
}
} // namespace

int main(int argc, char **argv) {
    HMODULE dll = LoadLibraryA("UNLHA32");
    auto entry = [dll](const char *name) { return dll ? reinterpret_cast<void *>(GetProcAddress(dll, name)) : nullptr; };
    unlha = reinterpret_cast<UnlhaFn>(entry("Unlha"));
    auto version = reinterpret_cast<int(WINAPI *)()>(entry("UnlhaGetVersion"));
    if (!unlha || !version || version() != 100) return std::puts("FAILED: UNLHA32 entry points"), 1;
    if (GetACP() != 932) return std::printf("code page %u, not 932\n", GetACP()), 77;
    std::string out;
    for (const char *m : {"2", "3", "4"}) {
        std::string arc = std::string("win") + m + ".lzh", dest = std::string("out") + m;
        expect(call(("a -x1 -r2 -jm" + std::string(m) + " " + arc + " src\\*.*").c_str(), &out) == 0, "a " + arc + out);
        expect(call(("l " + arc).c_str(), &out) == 0 && out.find(acp(wide("表示.txt"))) != std::string::npos, "l " + arc);
        expect(call(("t " + arc).c_str(), &out) == 0, "t " + arc + out);
        expect(call(("x " + arc + " " + dest + "\\").c_str(), &out) == 0, "x " + arc + out);
        expect(sameTree(L"src", wide(dest.c_str()) + L"\\src"), "tree of " + arc);
    }
    expect(call("a 日本語.lzh src\\日本語フォルダ\\表示.txt") == 0 && call("x 日本語.lzh jp\\") == 0 &&
               slurp(wide("jp\\src\\日本語フォルダ\\表示.txt")) == slurp(wide("src\\日本語フォルダ\\表示.txt")),
           "a CP932 archive and item name");
    for (const char *arc : {"linux.lzh", "jlha.lzh"})
        if (GetFileAttributesA(arc) != INVALID_FILE_ATTRIBUTES)
            expect(call(("x " + std::string(arc) + " from-" + arc + "\\").c_str(), &out) == 0 &&
                       sameTree(L"src", wide(("from-" + std::string(arc) + "\\src").c_str())),
                   std::string("x ") + arc + out);
    expect(call("a err.lzh no-such-file") == 0x8004, "missing item");
    expect(call("x odd.lzh", &out) == 0x8006, "names that are not plain names" + out);
    std::string good = slurp(L"win2.lzh"), bad = good;
    bad[bad.size() / 2] ^= 0x55;
    spill(L"bad.lzh", bad);
    spill(L"cut.lzh", good.substr(0, good.size() / 2));
    int badRc = call("t bad.lzh");
    expect(badRc == 0x8007 || badRc == 0x8008, "damaged data");
    expect(call("t cut.lzh") == 0x8007, "cut archive");

    // The progress window: cancelled, the archive stays as it was.
    std::string big(48 << 20, '\0');
    for (size_t i = 0, r = 1; i < big.size(); ++i) big[i] = static_cast<char>((r = r * 1103515245 + 12345) >> 16);
    spill(L"big.bin", big);
    HWND owner = CreateWindowExW(0, L"STATIC", L"Kinaru", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 480, 300,
                                 nullptr, nullptr, nullptr, nullptr);
    std::thread presser = cancelLater(argc > 1 && !std::strcmp(argv[1], "hold") ? 5000 : 200);
    expect(call("a -n0 win2.lzh big.bin", &out, owner) == 0x8009, "cancel " + out);
    presser.join();
    expect(slurp(L"win2.lzh") == good, "archive kept after cancel");
    std::printf("%d failed\n", failures);
    return failures ? 1 : 0;
}
