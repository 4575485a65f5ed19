// Loads unlha32.dll as a Windows caller does and runs it over the tree
// "src" of the current folder: a, l, t and x with each method, names in the
// system code page, archives from the Linux side, unsafe names, and the
// progress window's cancel. Exit 0: all passed; 77: not a CP932 system.
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <thread>
#include <windows.h>

using UnlhaFn = int(WINAPI*)(void*, const char*, char*, unsigned long);
namespace {
UnlhaFn unlha;
int failures = 0;

std::string acp(const std::wstring& w) {
    std::string s(w.size() * 2 + 1, '\0');
    s.resize(WideCharToMultiByte(CP_ACP, 0, w.c_str(), -1, s.data(), static_cast<int>(s.size()), nullptr, nullptr) - 1);
    return s;
}
std::wstring wide(const char* utf8) {
    std::wstring w(std::strlen(utf8) + 1, L'\0');
    w.resize(MultiByteToWideChar(CP_UTF8, 0, utf8, -1, w.data(), static_cast<int>(w.size())) - 1);
    return w;
}
void expect(bool ok, const std::string& what) { failures += !ok && std::printf("FAILED: %s\n", what.c_str()); }
// Runs a command written in UTF-8, passed in the system code page as Japanese callers do.
int call(const char* utf8, std::string* out = nullptr, void* owner = nullptr) {
    static char buf[1 << 16];
    int rc = unlha(owner, acp(wide(utf8)).c_str(), buf, sizeof buf);
    if (out) *out = buf;
    return rc;
}
std::string slurp(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return in ? std::string(std::istreambuf_iterator<char>(in), {}) : "(missing)";
}
// The same names and bytes below both folders.
bool sameTree(const std::filesystem::path& a, const std::filesystem::path& b) {
    auto files = [](const std::filesystem::path& root) {
        std::map<std::wstring, std::string> out;
        std::error_code ec;
        for (auto it = std::filesystem::recursive_directory_iterator(root, ec); !ec && it != decltype(it)();
             it.increment(ec))
            out[it->path().lexically_relative(root).wstring()] = it->is_directory() ? "/" : slurp(it->path());
        return out;
    };
    return !files(a).empty() && files(a) == files(b);
}
}  // namespace

int main() {
    HMODULE dll = LoadLibraryA("UNLHA32");
    auto entry = [dll](const char* name) { return dll ? reinterpret_cast<void*>(GetProcAddress(dll, name)) : nullptr; };
    unlha = reinterpret_cast<UnlhaFn>(entry("Unlha"));
    auto version = reinterpret_cast<int(WINAPI*)()>(entry("UnlhaGetVersion"));
    if (!unlha || !version || version() != 100) return std::puts("FAILED: UNLHA32 entry points"), 1;
    if (GetACP() != 932) return std::printf("code page %u, not 932\n", GetACP()), 77;
    std::string out;
    for (const char* m : {"2", "3", "4"}) {
        std::string arc = std::string("win") + m + ".lzh", dest = std::string("out") + m;
        expect(call(("a -x1 -r2 -jm" + std::string(m) + " " + arc + " src\\*.*").c_str(), &out) == 0, "a " + arc + out);
        expect(call(("l " + arc).c_str(), &out) == 0 && out.find(acp(wide("表示.txt"))) != std::string::npos,
               "l " + arc);
        expect(call(("t " + arc).c_str(), &out) == 0, "t " + arc + out);
        expect(call(("x " + arc + " " + dest + "\\").c_str(), &out) == 0, "x " + arc + out);
        expect(sameTree(L"src", dest + "\\src"), "tree of " + arc);
    }
    expect(call("a 日本語.lzh src\\日本語フォルダ\\表示.txt") == 0 && call("x 日本語.lzh jp\\") == 0 &&
               slurp(wide("jp\\src\\日本語フォルダ\\表示.txt")) == slurp(wide("src\\日本語フォルダ\\表示.txt")),
           "a CP932 archive and item name");
    expect(call("x linux.lzh from-linux\\", &out) == 0 && sameTree(L"src", L"from-linux\\src"), "x linux.lzh" + out);
    expect(call("a err.lzh no-such-file") == 0x8004, "missing item");
    expect(call("x odd.lzh", &out) == 0x800A, "names that are not plain names" + out);
    expect(call("x through.lzh wdest\\", &out) == 0x800A, "a Unix link in the destination" + out);
    const std::string good = slurp(L"win2.lzh");

    // The progress window: cancelled, the archive stays as it was. Letters
    // in no order: it shrinks, so all of it is packed (what does not shrink
    // is soon stored, too soon to cancel).
    std::string big(48 << 20, '\0');
    for (size_t i = 0, r = 1; i < big.size(); ++i) big[i] = static_cast<char>('a' + ((r = r * 1103515245 + 12345) >> 16) % 20);
    std::ofstream("big.bin", std::ios::binary) << big;
    HWND owner = CreateWindowExW(0, L"STATIC", L"Kinaru", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 480, 300, nullptr,
                                 nullptr, nullptr, nullptr);
    // Every command letter reaches its work with the progress window as without it.
    for (std::string n : {"-n1 ", "-n0 "}) {
        const std::string arc = "every" + n.substr(1, 2), lzh = arc + ".lzh", is = " (" + n + ")";
        expect(call(("a -x1 " + n + lzh + " src\\a.txt").c_str(), &out, owner) == 0, "a" + is + out);
        expect(call(("l " + n + lzh).c_str(), &out, owner) == 0 && out.find("a.txt") != std::string::npos, "l" + is);
        expect(call(("t " + n + lzh).c_str(), &out, owner) == 0, "t" + is + out);
        for (const char* x : {"x ", "e "}) {
            const std::string dest = arc + x[0];
            expect(call((x + n + lzh + " " + dest + "\\").c_str(), &out, owner) == 0 &&
                       slurp(dest + (x[0] == 'x' ? "\\src\\a.txt" : "\\a.txt")) == slurp(L"src\\a.txt"),
                   x + is + out);
        }
        expect(call(("s " + n + lzh).c_str(), &out, owner) == 0 && slurp(arc + ".exe").starts_with("MZ"), "s" + is + out);
    }
    std::thread presser([] {  // presses 中止 once the window shows
        HWND w = nullptr;
        for (int i = 0; i < 400 && !(w = FindWindowW(L"KinaruProgress", nullptr)); ++i) Sleep(25);
        Sleep(200);
        if (w) PostMessageW(w, WM_COMMAND, IDCANCEL, 0);
    });
    expect(call("a -n0 win2.lzh big.bin", &out, owner) == 0x8009, "cancel " + out);
    presser.join();
    expect(slurp(L"win2.lzh") == good, "archive kept after cancel");
    std::printf("%d failed\n", failures);
    return failures ? 1 : 0;
}
