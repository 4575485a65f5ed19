#pragma once
// The rules by which the compression dialog names what it packs: entries
// relative to the top folder, the top folder itself, archive-name candidates
// and the test that admits dropped paths.
#include "base/paths.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kinaru {

// Marks a folder entry: the archiver packs everything below it.
#ifdef _WIN32
inline constexpr std::string_view kFolderMarker = "\\*.*";
#else
inline constexpr std::string_view kFolderMarker = "/*.*";
#endif

// The long name of the path's last component, with the folder marker when
// the entry is a plain folder (attribute word exactly 16). A path that names
// nothing found gives its name part as spelt.
std::string longFileName(const std::string& path);
// The long name alone.
std::string longFileName2(const std::string& path);

// A path without the final "/" that a shell's name completion leaves behind
// ("photos/" names the folder photos); otherwise its last component would be
// empty. The root stays "/".
std::string withoutFinalSeparator(std::string path);

// The archive name proposed for a command-line item in the output folder.
std::string archiveCandidate(std::string_view outputFolder, const std::string& item);

// A command-line item as a path from the root, resolved against the folder
// the program started in: the current folder changes before it is looked up.
std::string absoluteItem(const std::string& item, const std::string& startFolder);

// The folder the items are named relative to: the shortest folder part, the
// first of equally short ones; when an item lies outside it, the folder that
// holds them all, so that no entry names another file.
std::string topFolderOf(const std::vector<std::string>& items);

// An item's entry: its path below the top folder, ending in its long name.
std::string itemEntry(const std::string& topFolder, const std::string& item);

// The entry a dropped path becomes, relative to the top folder, or nothing
// when the path does not lie below it.
std::optional<std::string> dropEntry(const std::optional<std::string>& topFolder, const std::string& path);

// The local paths of a text/uri-list, byte for byte, in their order, each
// without a final separator.
std::vector<std::string> localPathsOfUriList(std::string_view uriList);

}  // namespace kinaru
