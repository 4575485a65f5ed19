#pragma once
// The two string comparisons. They are not interchangeable: the ASCII one
// decides path prefixes and names, the locale one finds duplicates in lists.
#include <string>
#include <string_view>

namespace kinaru {

// Byte by byte, folding only a-z to A-Z; equal only at equal length.
bool asciiEqual(std::string_view a, std::string_view b);

// Equality that ignores case and nothing else: kana type, width and accents
// keep names apart in every locale, so that no dropped file is taken for
// another. Collators cannot be told to ignore case alone (a Japanese one
// also equates ア, ｱ and あ), so this folds case itself.
class LocaleComparison {
public:
    bool equal(std::string_view a, std::string_view b) const { return key(a) == key(b); }
    // Equal keys exactly for equal texts.
    static std::u16string key(std::string_view text);
};

// The text with its case folded, as the system's own text rules fold it;
// each face defines it over its toolkit or system (foldcase.cpp).
std::u16string foldCase(std::u16string text);

}  // namespace kinaru
