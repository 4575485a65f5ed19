#include "safe_path.h"

namespace lzh {

namespace {
bool leadByte(uint8_t c, CodePage page) {
    switch (page) {
        case CodePage::Utf8: return false;
        case CodePage::Unknown:
        case CodePage::Cp932: return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
        default: return c >= 0x81 && c <= 0xFE;  // the other double-byte pages
    }
}

// Only these can follow a lead byte, so '/' and '.' always count as themselves.
bool trailByte(uint8_t c) { return c >= 0x40 && c != 0x7F && c != 0xFF; }

}  // namespace

NameFault judgePart(std::string_view part) {
    if (part == "." || part == "..") return NameFault::DotPart;
    for (unsigned char c : part)
        if (c < 0x20) return NameFault::Control;
    return NameFault::None;
}

namespace {
std::vector<std::string> split(const std::string& all, bool backslash, CodePage page) {
    std::vector<std::string> pieces(1);
    for (size_t i = 0; i < all.size(); ++i) {
        auto c = static_cast<uint8_t>(all[i]);
        if (c == 0xFF || c == '/' || (backslash && c == '\\')) {
            pieces.emplace_back();
            continue;
        }
        pieces.back() += static_cast<char>(c);
        if (leadByte(c, page) && i + 1 < all.size() && trailByte(static_cast<uint8_t>(all[i + 1])))
            pieces.back() += all[++i];
    }
    if (pieces.size() > 1 && pieces.back().empty()) pieces.pop_back();  // a folder's closing separator
    return pieces;
}

StoredPath judge(std::vector<std::string> pieces) {
    StoredPath out;
    if (pieces.size() == 1 && pieces[0].empty()) {
        out.fault = NameFault::NoName;
        return out;
    }
    auto setFault = [&](NameFault f) {
        if (out.fault == NameFault::None) out.fault = f;
    };
    // "C:" first would be a drive where drives exist.
    const std::string& first = pieces[0];
    if (first.empty() ||
        (first.size() >= 2 && first[1] == ':' && ((first[0] | 0x20) >= 'a' && (first[0] | 0x20) <= 'z')))
        setFault(NameFault::Absolute);
    for (size_t i = 0; i < pieces.size(); ++i) {
        if (pieces[i].empty()) {
            if (i) setFault(NameFault::EmptyPart);
            continue;
        }
        setFault(judgePart(pieces[i]));
        out.parts.push_back(std::move(pieces[i]));
    }
    return out;
}
}  // namespace

StoredPath splitStoredPath(std::string_view dir, std::string_view name, int level, CodePage page) {
    std::string all(dir);
    if (!all.empty() && !name.empty() && static_cast<uint8_t>(all.back()) != 0xFF) all += '\xFF';
    all += name;
    StoredPath out = judge(split(all, level < 2, page));
    // In level 2 a '\\' belongs to the name, but where it separates (Windows)
    // "..\\x" would climb: such a name is refused everywhere.
    if (level >= 2 && out.fault == NameFault::None) out.fault = judge(split(all, true, page)).fault;
    return out;
}

const char* describe(NameFault fault) {
    switch (fault) {
        case NameFault::None: return "safe";
        case NameFault::NoName: return "the entry has no name";
        case NameFault::Control: return "the name holds a NUL or control byte";
        case NameFault::DotPart: return "the name has a \".\" or \"..\" part";
        case NameFault::EmptyPart: return "the name has an empty part";
        case NameFault::Absolute: return "the name is absolute";
    }
    return "unsafe";
}

std::string escapeControls(std::string_view s) {
    static const char hex[] = "0123456789abcdef";
    std::string out;
    for (unsigned char c : s) {
        if (c < 0x20 || c == 0x7F) {
            out += "\\x";
            out += hex[c >> 4];
            out += hex[c & 15];
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

}  // namespace lzh
