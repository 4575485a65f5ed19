#pragma once
// What the compression dialog lists, whichever face shows it: the entries to
// pack, the archive-name candidates and the top folder the entries are
// named relative to.
#include "core/collationindex.h"

#include <optional>
#include <string>
#include <vector>

namespace kinaru {

class CompressionList {
public:
    // From the command-line items, paths from the root, in their order.
    // Command-line entries may repeat; equal candidates are listed once.
    void fill(const std::vector<std::string>& items, const std::string& outputFolder);

    // The entry a dropped path adds, or nothing when it lies outside the top
    // folder or an equal entry is listed.
    std::optional<std::string> drop(const std::string& path);

    const std::vector<std::string>& entries() const { return entries_; }
    const std::vector<std::string>& candidates() const { return candidates_; }
    // Unset until filled.
    const std::optional<std::string>& topFolder() const { return topFolder_; }

private:
    std::vector<std::string> entries_, candidates_;
    CollationIndex entryIndex_, candidateIndex_;
    std::optional<std::string> topFolder_;
};

}  // namespace kinaru
