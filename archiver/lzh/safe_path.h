#pragma once
// What a stored name is: the one place that splits an entry's stored folder
// and file name into path components and decides whether they may be used
// below a destination folder. Pure byte work, so every extractor (the
// library, the tools, the self-extractor stubs on any system) shares it.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace lzh {

// Windows code page numbers as the 0x46 extended header stores them; any
// other number is carried through as it is.
enum class CodePage : uint32_t { Unknown = 0, Cp932 = 932, Utf8 = 65001 };

// Why a stored name may not be used; None when it may.
enum class NameFault {
    None,
    NoName,     // nothing but separators
    Control,    // NUL or another byte below 0x20
    DotPart,    // a "." or ".." component
    EmptyPart,  // two separators in a row
    Absolute,   // starts at a root or a drive
};

struct StoredPath {
    std::vector<std::string> parts;  // components, still in the stored bytes
    NameFault fault = NameFault::None;
};

// Splits the folder field (components ending in 0xFF) and the file name of
// an entry written at header `level`. 0xFF and '/' separate everywhere;
// levels 0 and 1 also use '\\', which a double-byte code page's trail byte
// never is. One separator at the end (a folder entry) is allowed.
StoredPath splitStoredPath(std::string_view dir, std::string_view name, int level, CodePage page);

// The fault of one component on its own: ".", "..", control bytes.
NameFault judgePart(std::string_view part);

// A short English reason for a fault, for messages.
const char* describe(NameFault fault);

// The name with bytes below 0x20 (and 0x7F) shown as \xNN, so that listings
// show every byte and never end at a NUL.
std::string escapeControls(std::string_view s);

}  // namespace lzh
