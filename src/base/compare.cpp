#include "base/compare.h"

namespace kinaru {

namespace {
char foldAscii(char c) { return (c >= 'a' && c <= 'z') ? char(c - 'a' + 'A') : c; }

// Each byte that is not part of valid UTF-8 becomes a private-use character
// of its own (U+F780 to U+F7FF), so that names differing only in such bytes
// do not all turn into the same replacement character and count as equal.
std::u16string decodeInvalidBytesApart(std::string_view text) {
    std::u16string result;
    result.reserve(text.size());
    std::size_t i = 0;
    while (i < text.size()) {
        unsigned char lead = static_cast<unsigned char>(text[i]);
        std::size_t length = lead < 0x80                    ? 1
                             : lead >= 0xC2 && lead <= 0xDF ? 2
                             : lead >= 0xE0 && lead <= 0xEF ? 3
                             : lead >= 0xF0 && lead <= 0xF4 ? 4
                                                            : 0;
        char32_t code = length == 1 ? lead : lead & (0x7F >> length);
        bool valid = length > 0 && i + length <= text.size();
        for (std::size_t k = 1; valid && k < length; ++k) {
            unsigned char next = static_cast<unsigned char>(text[i + k]);
            valid = (next & 0xC0) == 0x80;
            code = (code << 6) | (next & 0x3F);
        }
        // Overlong forms, surrogates and code points past U+10FFFF are invalid too.
        if (valid && ((length == 3 && code < 0x800) || (code >= 0xD800 && code <= 0xDFFF) ||
                      (length == 4 && (code < 0x10000 || code > 0x10FFFF))))
            valid = false;
        if (!valid) {
            result += char16_t(0xF700 + lead);
            ++i;
            continue;
        }
        if (code >= 0x10000) {
            result += char16_t(0xD800 + ((code - 0x10000) >> 10));
            result += char16_t(0xDC00 + ((code - 0x10000) & 0x3FF));
        } else {
            result += char16_t(code);
        }
        i += length;
    }
    return result;
}

}  // namespace

bool asciiEqual(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (foldAscii(a[i]) != foldAscii(b[i])) return false;
    return true;
}

std::u16string LocaleComparison::key(std::string_view text) { return foldCase(decodeInvalidBytesApart(text)); }

}  // namespace kinaru
