#pragma once
// Finds whether a list already holds an entry equal to a text under the
// locale comparison, without comparing against every entry.
//
// The entries are kept ordered by that comparison itself, so a lookup costs
// a logarithmic number of comparisons and agrees with it by construction.
// A hashed collation key would need key bytes that match the comparison in
// every locale; Qt offers none (in the C locale its sort keys even tell "a"
// from "A" while its comparison does not), and a hand-made fold cannot be
// shown to agree with the collator's rules.
#include "base/compare.h"

#include <QString>
#include <set>
#include <string_view>

namespace kinaru {

class CollationIndex {
public:
    explicit CollationIndex(const LocaleComparison& comparison);

    bool contains(std::string_view text) const;
    // Adds text unless an equal entry is there; true when it was added.
    bool insert(std::string_view text);
    std::size_t size() const { return entries_.size(); }

private:
    struct Less {
        const LocaleComparison* comparison;
        bool operator()(const QString& a, const QString& b) const { return comparison->compare(a, b) < 0; }
    };
    std::set<QString, Less> entries_;
};

}  // namespace kinaru
