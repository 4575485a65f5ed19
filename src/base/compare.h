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
    // The order under the same rules: 0 exactly when equal() holds for the
    // texts decoded from.
    int compare(const QString& a, const QString& b) const;
    static QString decode(std::string_view text);

private:
    QCollator collator_;
};

}  // namespace kinaru
