#pragma once
// Finds whether a list already holds an entry equal to a text under the
// locale comparison, without comparing against every entry: the entries'
// comparison keys are hashed, so the index agrees with the comparison by
// construction.
#include <string>
#include <string_view>
#include <unordered_set>

namespace kinaru {

class CollationIndex {
public:
    bool contains(std::string_view text) const;
    // Adds text unless an equal entry is there; true when it was added.
    bool insert(std::string_view text);
    std::size_t size() const { return std::size_t(keys_.size()); }

private:
    std::unordered_set<std::u16string> keys_;
};

}  // namespace kinaru
