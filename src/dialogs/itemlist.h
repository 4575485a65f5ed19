#pragma once
// The rules by which the compression dialog names what it packs: entries
// relative to the top folder, the top folder itself, archive-name candidates
// and the test that admits dropped paths.
#include <QByteArray>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kinaru {

// Marks a folder entry: the archiver packs everything below it.
inline constexpr std::string_view kFolderMarker = "/*.*";

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

// The top folder after an item: unset until the first item, then the
// shortest folder part seen, the first of equally short ones.
void takeShorterFolder(std::optional<std::string>& topFolder, const std::string& item);

// The entry a dropped path becomes, relative to the top folder, or nothing
// when the path does not lie below it.
std::optional<std::string> dropEntry(const std::optional<std::string>& topFolder, const std::string& path);

// The local paths of a text/uri-list, byte for byte, in their order, each
// without a final separator.
std::vector<std::string> localPathsOfUriList(const QByteArray& uriList);

}  // namespace kinaru
