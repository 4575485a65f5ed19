// Stored names for the Windows stubs: read as UTF-8, the stub's own text,
// whatever the machine's code page.
#include "lzh/names.h"

#include <windows.h>

#include "winio.h"

namespace lzh {

namespace {
bool isAscii(const std::string &s) {
    for (unsigned char c : s)
        if (c >= 0x80) return false;
    return true;
}

bool decodes(UINT page, const std::string &s, std::wstring *out) {
    int n = MultiByteToWideChar(page, MB_ERR_INVALID_CHARS, s.data(), static_cast<int>(s.size()), nullptr, 0);
    if (n <= 0) return false;
    if (out) {
        out->assign(static_cast<size_t>(n), L'\0');
        MultiByteToWideChar(page, 0, s.data(), static_cast<int>(s.size()), out->data(), n);
    }
    return true;
}
} // namespace

std::string toArchiveName(const std::string &local) { return local; }

std::string fromArchiveName(const std::string &stored) {
    if (isAscii(stored)) return stored;
    // A name CP932 cannot hold was written as UTF-8.
    if (decodes(CP_UTF8, stored, nullptr) && !decodes(932, stored, nullptr)) return stored;
    std::wstring w;
    if (!decodes(932, stored, &w)) {
        // Broken bytes still become some name; the name checks judge it.
        int n = MultiByteToWideChar(932, 0, stored.data(), static_cast<int>(stored.size()), nullptr, 0);
        w.assign(static_cast<size_t>(n > 0 ? n : 0), L'\0');
        MultiByteToWideChar(932, 0, stored.data(), static_cast<int>(stored.size()), w.data(), n);
    }
    return winstub::narrow(w);
}

} // namespace lzh
