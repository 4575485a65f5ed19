#include "collationindex.h"

#include "base/compare.h"

namespace kinaru {

bool CollationIndex::contains(std::string_view text) const { return keys_.contains(LocaleComparison::key(text)); }

bool CollationIndex::insert(std::string_view text) {
    QString key = LocaleComparison::key(text);
    if (keys_.contains(key)) return false;
    keys_.insert(key);
    return true;
}

}  // namespace kinaru
