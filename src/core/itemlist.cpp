#include "itemlist.h"

#include "base/compare.h"
#include "base/paths.h"
#include "platform/entries.h"
#include "platform/files.h"

namespace kinaru {

std::string longFileName(const std::string& path) {
    std::optional<platform::FoundEntry> entry = platform::findEntry(path);
    if (!entry) return namePart(path);
    // Equality, not a bit test: a read-only or hidden folder is packed as a
    // name of its own, without the marker.
    if (entry->attributes == platform::kFolderAttribute) return entry->name + std::string(kFolderMarker);
    return entry->name;
}

std::string longFileName2(const std::string& path) {
    std::optional<platform::FoundEntry> entry = platform::findEntry(path);
    return entry ? entry->name : namePart(path);
}

std::string withoutFinalSeparator(std::string path) {
    // A drive root ("C:\") keeps its separator.
    auto isDriveRoot = [](const std::string& p) { return kSeparator == '\\' && p.size() == 3 && p[1] == ':'; };
    while (path.size() > 1 && path.back() == kSeparator && !isDriveRoot(path)) path.pop_back();
    return path;
}

std::string archiveCandidate(std::string_view outputFolder, const std::string& item) {
    // The root already ends in the separator.
    std::string folder(outputFolder);
    if (folder.empty() || !isSeparator(folder.back())) folder += kSeparator;
    std::string candidate = folder + changeExtension(longFileName(item), ".lzh");
    // A marked folder has turned into "name/*.lzh": name the archive after the
    // folder instead, keeping any extension of its own.
    if (asciiEqual(namePart(candidate), "*.lzh")) candidate = folder + longFileName2(item) + ".lzh";
    return candidate;
}

std::string absoluteItem(const std::string& item, const std::string& startFolder) {
    std::string path = item;
    if (!isAbsolutePath(path)) path = (startFolder.empty() ? std::string(1, kSeparator) : withSeparator(startFolder)) + path;
    path = withoutFinalSeparator(path);
    // "." and ".." are no names to pack or to name an archive after.
    std::string name = namePart(path);
    if (name == "." || name == "..")
        if (std::string real = platform::realPath(path); !real.empty()) path = real;
    return path;
}

std::string topFolderOf(const std::vector<std::string>& items) {
    std::string top;
    for (std::size_t i = 0; i < items.size(); ++i)
        if (std::string folder = folderPart(items[i]); i == 0 || folder.size() < top.size()) top = folder;
    for (const std::string& item : items)
        while (!item.starts_with(top)) top = folderPart(top.substr(0, top.size() - 1));
    return top;
}

std::string itemEntry(const std::string& topFolder, const std::string& item) {
    std::string folder = folderPart(item);
    if (!folder.starts_with(topFolder)) return longFileName(item);
    return folder.substr(topFolder.size()) + longFileName(item);
}

namespace {

bool sameFolder(const std::string& a, const std::string& b) {
    return platform::sameEntry(a.empty() ? "." : a, b.empty() ? "." : b);
}

int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

std::string percentDecoded(std::string_view text) {
    std::string result;
    result.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        int high, low;
        if (text[i] == '%' && i + 2 < text.size() && (high = hexValue(text[i + 1])) >= 0 &&
            (low = hexValue(text[i + 2])) >= 0) {
            result += char(high * 16 + low);
            i += 2;
        } else {
            result += text[i];
        }
    }
    return result;
}

// The path of a file URL on this machine, or nothing for any other URL.
std::optional<std::string> localPath(std::string_view uri) {
    if (uri.size() < 5 || !asciiEqual(uri.substr(0, 5), "file:")) return std::nullopt;
    std::string_view rest = uri.substr(5);
    if (rest.starts_with("//")) {
        rest.remove_prefix(2);
        std::size_t slash = rest.find('/');
        if (slash == std::string_view::npos) return std::nullopt;
        std::string_view host = rest.substr(0, slash);
        if (!host.empty() && !asciiEqual(host, "localhost")) return std::nullopt;
        rest.remove_prefix(slash);
    }
    if (!rest.starts_with('/')) return std::nullopt;
    return percentDecoded(rest);
}

}  // namespace

std::optional<std::string> dropEntry(const std::optional<std::string>& topFolder, const std::string& path) {
    if (!topFolder) return std::nullopt;
    const std::string& top = *topFolder;
    std::string folder = folderPart(path);
    std::string prefix = folder.substr(0, top.size());
    if (!asciiEqual(prefix, top)) return std::nullopt;
    // Names differing in case are different folders here; take such a path
    // only when both spellings lead to the same folder, or its relative name
    // would pack some other file.
    if (prefix != top && !sameFolder(prefix, top)) return std::nullopt;
    return (folder + longFileName(path)).substr(top.size());
}

std::vector<std::string> localPathsOfUriList(std::string_view uriList) {
    std::vector<std::string> paths;
    std::string_view text = uriList;
    while (!text.empty()) {
        std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        if (line.ends_with('\r')) line.remove_suffix(1);
        if (line.empty() || line.front() == '#') continue;
        if (std::optional<std::string> path = localPath(line)) paths.push_back(withoutFinalSeparator(std::move(*path)));
    }
    return paths;
}

}  // namespace kinaru
