#include "winio.h"

#include <cstdlib>

#include "lzh/error.h"

namespace winstub {

std::wstring widen(const std::string& s) {
    if (s.empty()) return {};
    int n = MultiByteToWideChar(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), nullptr, 0);
    std::wstring w(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), w.data(), n);
    return w;
}

std::string narrow(const std::wstring& w) {
    if (w.empty()) return {};
    int n = WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), nullptr, 0, nullptr, nullptr);
    std::string s(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), s.data(), n, nullptr, nullptr);
    return s;
}

bool Handle::close() {
    bool ok = true;
    if (this->ok()) ok = CloseHandle(h_) != 0;
    h_ = INVALID_HANDLE_VALUE;
    return ok;
}

size_t HandleSource::read(uint8_t* dst, size_t n) {
    DWORD want = n > (1u << 30) ? (1u << 30) : static_cast<DWORD>(n), got = 0;
    if (!ReadFile(h_, dst, want, &got, nullptr)) lzh::fail(UNLHA_ERR_READ, systemMessage(GetLastError()));
    return got;
}

void HandleSink::write(const uint8_t* src, size_t n) {
    buf_.append(reinterpret_cast<const char*>(src), n);
    if (buf_.size() >= (1u << 16)) flush();
}

void HandleSink::flush() {
    size_t done = 0;
    while (done < buf_.size()) {
        DWORD put = 0;
        if (!WriteFile(h_, buf_.data() + done, static_cast<DWORD>(buf_.size() - done), &put, nullptr) || !put)
            lzh::fail(UNLHA_ERR_WRITE, what_ + ": " + systemMessage(GetLastError()));
        done += put;
    }
    buf_.clear();
}

void say(HANDLE to, const std::string& utf8) {
    DWORD mode, n;
    if (GetConsoleMode(to, &mode)) {
        std::wstring w = widen(utf8);
        WriteConsoleW(to, w.data(), static_cast<DWORD>(w.size()), &n, nullptr);
    } else {
        WriteFile(to, utf8.data(), static_cast<DWORD>(utf8.size()), &n, nullptr);
    }
}

std::string decimal(uint64_t n) {
    std::string s;
    do s.insert(s.begin(), static_cast<char>('0' + n % 10));
    while (n /= 10);
    return s;
}

std::string systemMessage(DWORD code) {
    wchar_t* text = nullptr;
    FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                   code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::wstring w = text ? text : L"";
    if (text) LocalFree(text);
    while (!w.empty() && (w.back() == L'\n' || w.back() == L'\r' || w.back() == L' ')) w.pop_back();
    if (w.empty()) return "error " + decimal(code);
    return narrow(w);
}

}  // namespace winstub

// An uncaught exception ends the stub quietly; the default handler would
// bring the symbol demangler along.
namespace __gnu_cxx {
void __verbose_terminate_handler() { std::abort(); }
}  // namespace __gnu_cxx
