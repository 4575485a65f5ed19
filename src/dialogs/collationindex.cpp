#include "collationindex.h"

namespace kinaru {

CollationIndex::CollationIndex(const LocaleComparison& comparison) : entries_(Less{&comparison}) {}

bool CollationIndex::contains(std::string_view text) const {
    return entries_.contains(LocaleComparison::decode(text));
}

bool CollationIndex::insert(std::string_view text) {
    return entries_.insert(LocaleComparison::decode(text)).second;
}

}  // namespace kinaru
