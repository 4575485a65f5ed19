// Text on Windows: UTF-8 inside, code pages at the edges.
#include "sys.h"

#include <cctype>
#include <cstring>
#include <windows.h>
#include <shellapi.h>

namespace sys {

namespace {

unsigned codePage(const std::string& name) {
    if (name == "UTF-8") return CP_UTF8;
    if (name == "CP932") return 932;
    return 0;
}

bool toWide(unsigned cp, const std::string& in, std::wstring& out, DWORD flags = MB_ERR_INVALID_CHARS) {
    out.clear();
    if (in.empty()) return true;
    int n = MultiByteToWideChar(cp, flags, in.data(), static_cast<int>(in.size()), nullptr, 0);
    if (n <= 0) return false;
    out.resize(static_cast<size_t>(n));
    return MultiByteToWideChar(cp, flags, in.data(), static_cast<int>(in.size()), out.data(), n) == n;
}

// `exact`: fail rather than put a look-alike or "?" for what the code page lacks.
bool fromWide(unsigned cp, const std::wstring& in, std::string& out, bool exact) {
    out.clear();
    if (in.empty()) return true;
    DWORD flags = cp == CP_UTF8 ? WC_ERR_INVALID_CHARS : exact ? WC_NO_BEST_FIT_CHARS : 0;
    BOOL lossy = FALSE;
    BOOL* lossyOut = cp == CP_UTF8 ? nullptr : &lossy;
    int n = WideCharToMultiByte(cp, flags, in.data(), static_cast<int>(in.size()), nullptr, 0, nullptr, lossyOut);
    if (n <= 0 || (exact && lossy)) return false;
    out.resize(static_cast<size_t>(n));
    WideCharToMultiByte(cp, flags, in.data(), static_cast<int>(in.size()), out.data(), n, nullptr, nullptr);
    return true;
}

std::string fromWideUtf32(const std::wstring& w) {
    std::string out;
    for (size_t i = 0; i < w.size(); ++i) {
        uint32_t c = w[i];
        if (c >= 0xD800 && c < 0xDC00 && i + 1 < w.size()) c = 0x10000 + ((c - 0xD800) << 10) + (w[++i] - 0xDC00);
        for (int k = 0; k < 4; ++k) out += static_cast<char>(c >> (8 * k));
    }
    return out;
}

}  // namespace

std::wstring widen(const std::string& s) {
    std::wstring w;
    if (!toWide(CP_UTF8, s, w)) {  // not UTF-8: the bytes as Latin-1, never lost silently to nothing
        w.clear();
        for (unsigned char c : s) w += static_cast<wchar_t>(c);
    }
    return w;
}

std::string narrow(const std::wstring& w) {
    std::string s;
    fromWide(CP_UTF8, w, s, false);
    return s;
}

std::string localCodeset() { return "UTF-8"; }

bool convert(const std::string& to, const std::string& from, const std::string& in, std::string& out) {
    unsigned fromCp = codePage(from);
    std::wstring w;
    if (!fromCp || !toWide(fromCp, in, w)) return false;
    if (to == "UTF-32LE") {
        out = fromWideUtf32(w);
        return true;
    }
    unsigned toCp = codePage(to);
    return toCp && fromWide(toCp, w, out, true);
}

std::string fromCallerText(const char* s) {
    std::wstring w;
    toWide(CP_ACP, s, w, 0);
    return narrow(w);
}

std::string toCallerText(const std::string& s) {
    std::string out;
    fromWide(CP_ACP, widen(s), out, false);
    return out;
}

std::vector<std::string> arguments(int argc, char** argv) {
    int n = 0;
    wchar_t** w = CommandLineToArgvW(GetCommandLineW(), &n);
    if (!w) return {argv + 1, argv + argc};
    std::vector<std::string> out;
    for (int i = 1; i < n; ++i) out.push_back(narrow(w[i]));
    LocalFree(w);
    return out;
}

std::string modulePath(const void* address) {
    HMODULE m = nullptr;
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       static_cast<LPCWSTR>(address), &m);
    std::wstring buf(32768, L'\0');
    DWORD n = GetModuleFileNameW(m, buf.data(), static_cast<DWORD>(buf.size()));
    buf.resize(n);
    std::string p = narrow(buf);
    toInternalPath(p);
    return p;
}

size_t rootLength(const std::string& p) {
    if (p.size() >= 2 && p[1] == ':' && std::isalpha(static_cast<unsigned char>(p[0]))) return 2;
    if (p.size() > 2 && p[0] == '/' && p[1] == '/') {  // "//server/share"
        size_t s = p.find('/', 2);
        s = s == std::string::npos ? s : p.find('/', s + 1);
        return s == std::string::npos ? p.size() : s;
    }
    return 0;
}

void toInternalPath(std::string& p) {
    for (char& c : p)
        if (c == '\\') c = '/';
}

namespace {
int fold(unsigned char c) { return c < 0x80 ? std::tolower(c) : c; }
}  // namespace

int fnmatch(const char* p, const char* n, int) {
    for (; *p; ++p, ++n) {
        if (*p == '*') {
            while (*p == '*') ++p;
            for (;; ++n) {
                if (!fnmatch(p, n, 0)) return 0;
                if (!*n) return 1;
            }
        }
        if (!*n) return 1;
        if (*p != '?' && fold(*p) != fold(*n)) return 1;
    }
    return *n ? 1 : 0;
}

std::tm* localtime_r(const time_t* t, std::tm* out) { return localtime_s(out, t) == 0 ? out : nullptr; }

int getpid() { return static_cast<int>(GetCurrentProcessId()); }

const char* strerror_r(int err, char*, size_t) { return std::strerror(err); }

}  // namespace sys
