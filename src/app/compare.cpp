#include "compare.h"

#include <QLocale>
#include <QString>

namespace kinaru {

namespace {
char foldAscii(char c) { return (c >= 'a' && c <= 'z') ? char(c - 'a' + 'A') : c; }

QString fromLocal(std::string_view text) {
    return QString::fromLocal8Bit(text.data(), qsizetype(text.size()));
}
}  // namespace

bool asciiEqual(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (foldAscii(a[i]) != foldAscii(b[i])) return false;
    return true;
}

LocaleComparison::LocaleComparison() : collator_(QLocale::system()) {
    collator_.setCaseSensitivity(Qt::CaseInsensitive);
}

bool LocaleComparison::equal(std::string_view a, std::string_view b) const {
    return compare(fromLocal(a), fromLocal(b)) == 0;
}

int LocaleComparison::compare(const QString& a, const QString& b) const { return collator_.compare(a, b); }

QString LocaleComparison::decode(std::string_view text) { return fromLocal(text); }

}  // namespace kinaru
