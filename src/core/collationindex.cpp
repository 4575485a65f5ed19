#include "collationindex.h"

#include "base/compare.h"

namespace kinaru {

bool CollationIndex::contains(std::string_view text) const { return keys_.contains(LocaleComparison::key(text)); }

bool CollationIndex::insert(std::string_view text) {
    return keys_.insert(LocaleComparison::key(text)).second;
}

}  // namespace kinaru
