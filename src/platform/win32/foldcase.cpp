#include "base/compare.h"

#include <windows.h>

namespace kinaru {

// Lower case by the user's locale; kana type and width are left alone.
std::u16string foldCase(std::u16string text) {
    if (text.empty()) return text;
    auto* wide = reinterpret_cast<wchar_t*>(text.data());
    std::u16string folded(text.size(), u'\0');
    int n = LCMapStringEx(LOCALE_NAME_USER_DEFAULT, LCMAP_LOWERCASE, wide, int(text.size()),
                          reinterpret_cast<wchar_t*>(folded.data()), int(folded.size()), nullptr, nullptr, 0);
    if (n <= 0) return text;
    folded.resize(std::size_t(n));
    return folded;
}

}  // namespace kinaru
