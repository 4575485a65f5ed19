// Stored names for the Windows stubs: read into UTF-8, the stub's own text,
// whatever the machine's code page.
#include "lzh/names.h"

#include <windows.h>

#include "winio.h"

namespace lzh {

namespace {
bool isAscii(const std::string& s) {
    for (unsigned char c : s)
        if (c >= 0x80) return false;
    return true;
}

bool decodes(UINT page, const std::string& s, std::wstring* out) {
    int n = MultiByteToWideChar(page, MB_ERR_INVALID_CHARS, s.data(), static_cast<int>(s.size()), nullptr, 0);
    if (n <= 0) return false;
    if (out) {
        out->assign(static_cast<size_t>(n), L'\0');
        MultiByteToWideChar(page, 0, s.data(), static_cast<int>(s.size()), out->data(), n);
    }
    return true;
}
}  // namespace

std::string fromArchiveName(const std::string& stored, CodePage page) {
    if (isAscii(stored) || page == CodePage::Utf8) return stored;
    std::wstring w;
    return decodes(static_cast<UINT>(page), stored, &w) ? winstub::narrow(w) : stored;
}

}  // namespace lzh
