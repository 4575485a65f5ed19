#include "core/compressionlist.h"

#include "core/itemlist.h"

namespace kinaru {

void CompressionList::fill(const std::vector<std::string>& arguments, const std::string& outputFolder) {
    std::vector<std::string> items;
    for (const std::string& argument : arguments) items.push_back(withoutFinalSeparator(argument));
    if (!items.empty()) topFolder_ = topFolderOf(items);
    for (const std::string& item : items) {
        std::string entry = itemEntry(*topFolder_, item);
        entryIndex_.insert(entry);
        entries_.push_back(entry);
        std::string candidate = archiveCandidate(outputFolder, item);
        if (candidateIndex_.insert(candidate)) candidates_.push_back(candidate);
    }
}

std::optional<std::string> CompressionList::drop(const std::string& path) {
    std::optional<std::string> entry = dropEntry(topFolder_, path);
    if (!entry || !entryIndex_.insert(*entry)) return std::nullopt;
    entries_.push_back(*entry);
    return entry;
}

}  // namespace kinaru
