#include "core/samename.h"

#include "base/paths.h"
#include "platform/entries.h"

namespace kinaru {

// Bytes at or below the space character, as the name check trims them.
std::string trimControls(const std::string& text) {
    std::size_t begin = 0, end = text.size();
    while (begin < end && static_cast<unsigned char>(text[begin]) <= ' ') ++begin;
    while (end > begin && static_cast<unsigned char>(text[end - 1]) <= ' ') --end;
    return text.substr(begin, end - begin);
}

bool acceptableArchiveName(const std::string& name) {
    if (name.empty() || name[0] == '.') return false;
    // Single-byte characters only: a byte inside a multibyte character is
    // never taken for one of the refused signs.
    bool refused = false;
    bool sawColon = false;
    bool previousSlash = false;
    std::size_t index = 0;
    forEachCharacter(name, [&](std::size_t at, std::size_t len) {
        bool slash = false;
        if (len == 1) {
            char c = name[at];
            switch (c) {
                case '"':
                case ';':
                case ',':
                case '*':
                case '?':
                case '<':
                case '>':
                case '|': refused = true; break;
                case ':':
                    if (!sawColon && index != 1) refused = true;
                    sawColon = true;
                    break;
#ifdef _WIN32
                case '/': refused = true; break;
#endif
                case kSeparator:
                    if (previousSlash) refused = true;  // two separators in a row
                    slash = true;
                    break;
                default: break;
            }
        }
        previousSlash = slash;
        ++index;
    });
    return !refused;
}

NameCheck checkNewName(const std::string& typed, const std::string& existing) {
    std::string name = trimControls(typed);
    if (!acceptableArchiveName(name)) return {name, NameVerdict::Refused};
    name = changeExtension(name, extensionPart(existing));
    // A bare name is meant for the folder of the archive it replaces.
    if (folderPart(name).empty()) name = folderPart(existing) + name;

    std::string folder = folderPart(name);
    if (!folder.empty()) folder.pop_back();
    auto folderEntry = platform::findEntry(folder);
    if (!folderEntry || (folderEntry->attributes & platform::kHiddenAttribute)) return {name, NameVerdict::FolderMissing};
    if (platform::searchCode(name).failure == FileFailure::MissingEntry) return {name, NameVerdict::Accepted};
    return {name, NameVerdict::Exists};
}

}  // namespace kinaru
