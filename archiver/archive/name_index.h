#pragma once
// Finds items by their stored name without keeping a copy of each name: an
// open-addressed table of item numbers, each beside its name's hash. Names
// are asked of the caller only where two hashes agree.
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace archive {

class NameIndex {
public:
    static constexpr uint32_t kNone = UINT32_MAX;
    explicit NameIndex(std::function<std::string(uint32_t)> nameOf) : nameOf_(std::move(nameOf)) {}
    // The item of that name, or kNone.
    uint32_t find(std::string_view name) const;
    // Adds item `i` under `name` unless an item of that name is there;
    // returns the number of the one that is, or `i`.
    uint32_t insert(std::string_view name, uint32_t i);

private:
    // The slot holding `name`, or the empty one where it would go.
    size_t slot(std::string_view name, uint32_t hash) const;

    std::vector<uint64_t> slots_;  // hash << 32 | (item + 1); 0 is empty
    size_t used_ = 0;
    std::function<std::string(uint32_t)> nameOf_;
};

}  // namespace archive
