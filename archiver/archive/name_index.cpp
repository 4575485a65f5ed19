#include "name_index.h"

namespace archive {

namespace {
uint32_t hashOf(std::string_view s) {
    uint64_t h = std::hash<std::string_view>{}(s);
    return static_cast<uint32_t>(h ^ (h >> 32));
}
}  // namespace

size_t NameIndex::slot(std::string_view name, uint32_t hash) const {
    const size_t mask = slots_.size() - 1;
    for (size_t at = (hash * size_t{0x9E3779B1}) & mask;; at = (at + 1) & mask) {
        uint64_t s = slots_[at];
        if (!s) return at;
        if (static_cast<uint32_t>(s >> 32) == hash && nameOf_(static_cast<uint32_t>(s) - 1) == name) return at;
    }
}

uint32_t NameIndex::find(std::string_view name) const {
    if (slots_.empty()) return kNone;
    uint64_t s = slots_[slot(name, hashOf(name))];
    return s ? static_cast<uint32_t>(s) - 1 : kNone;
}

uint32_t NameIndex::insert(std::string_view name, uint32_t i) {
    if (2 * (used_ + 1) > slots_.size()) {  // at most half full
        std::vector<uint64_t> old(slots_.empty() ? 64 : 2 * slots_.size());
        old.swap(slots_);
        const size_t mask = slots_.size() - 1;
        for (uint64_t s : old) {
            if (!s) continue;
            size_t at = (static_cast<uint32_t>(s >> 32) * size_t{0x9E3779B1}) & mask;
            while (slots_[at]) at = (at + 1) & mask;
            slots_[at] = s;
        }
    }
    const uint32_t hash = hashOf(name);
    uint64_t& s = slots_[slot(name, hash)];
    if (s) return static_cast<uint32_t>(s) - 1;
    s = uint64_t{hash} << 32 | (uint64_t{i} + 1);
    ++used_;
    return i;
}

}  // namespace archive
