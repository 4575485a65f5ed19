// How stored name bytes are read: one rule for the library and the Windows
// stubs, so that both restore a name the same way.
#include "lzh/names.h"

namespace lzh {

namespace {
// Well-formed UTF-8 as the Unicode standard defines it: no overlong forms,
// no surrogates, nothing above U+10FFFF.
bool wellFormedUtf8(const std::string& s) {
    for (size_t i = 0; i < s.size();) {
        const auto c = static_cast<uint8_t>(s[i]);
        if (c < 0x80) {
            ++i;
            continue;
        }
        const size_t more = c >= 0xC2 && c <= 0xDF ? 1 : c >= 0xE0 && c <= 0xEF ? 2 : c >= 0xF0 && c <= 0xF4 ? 3 : 0;
        if (!more || i + more >= s.size()) return false;
        // The second byte's range is narrower after some leads.
        const auto d = static_cast<uint8_t>(s[i + 1]);
        const uint8_t low = c == 0xE0 ? 0xA0 : c == 0xF0 ? 0x90 : 0x80;
        const uint8_t high = c == 0xED ? 0x9F : c == 0xF4 ? 0x8F : 0xBF;
        if (d < low || d > high) return false;
        for (size_t k = 2; k <= more; ++k)
            if ((static_cast<uint8_t>(s[i + k]) & 0xC0) != 0x80) return false;
        i += more + 1;
    }
    return true;
}
}  // namespace

CodePage readingCodePage(CodePage declared, uint8_t os, const std::string& stored) {
    if (declared != CodePage::Unknown) return declared;
    bool ascii = true;
    for (unsigned char c : stored) ascii = ascii && c < 0x80;
    if (os == 'U' && !ascii && wellFormedUtf8(stored)) return CodePage::Utf8;
    return CodePage::Cp932;
}

}  // namespace lzh
