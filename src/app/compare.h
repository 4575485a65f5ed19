#pragma once
// The two string comparisons. They are not interchangeable: the ASCII one
// decides path prefixes and names, the locale one finds duplicates in lists.
#include <QByteArray>
#include <QCollator>
#include <string_view>

namespace kinaru {

// Byte by byte, folding only a-z to A-Z; equal only at equal length.
bool asciiEqual(std::string_view a, std::string_view b);

// Case-insensitive comparison under the user's locale.
class LocaleComparison {
public:
    LocaleComparison();
    bool equal(std::string_view a, std::string_view b) const;

private:
    QCollator collator_;
};

}  // namespace kinaru
