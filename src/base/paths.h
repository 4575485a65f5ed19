#pragma once
// Path helpers on byte strings in the locale's multibyte encoding. Each scan
// steps over a multibyte character whole, so that no byte inside one is ever
// taken for a separator or a dot.
#include <string>
#include <string_view>
#include <cwchar>

namespace kinaru {

// The separator the program writes, and what counts as one when reading: on
// Windows "\" and the ":" after a drive letter, elsewhere "/" alone.
#ifdef _WIN32
inline constexpr char kSeparator = '\\';
inline constexpr bool isSeparator(char c) { return c == '\\' || c == ':'; }
#else
inline constexpr char kSeparator = '/';
inline constexpr bool isSeparator(char c) { return c == '/'; }
#endif

// A path that names the same place from any current folder: "/x" here,
// "C:\x" or "\\server\share" on Windows.
bool isAbsolutePath(std::string_view path);

// folder followed by the separator unless it is empty or already ends in one
// (a root such as "/" or "C:\").
std::string withSeparator(std::string folder);

// Everything up to and including the last "/" (empty when there is none).
std::string folderPart(std::string_view path);
// Everything after the last "/".
std::string namePart(std::string_view path);
// From the last "." after the last "/", dot included (empty when none).
std::string extensionPart(std::string_view path);
// The path without its extension, followed by the new one.
std::string changeExtension(std::string_view path, std::string_view extension);

// Byte offsets at which each character of text begins, under the process locale.
// An invalid byte counts as one character.
template <typename Visit>
void forEachCharacter(std::string_view text, Visit visit) {
    std::mbstate_t state{};
    std::size_t i = 0;
    while (i < text.size()) {
        std::size_t len = std::mbrlen(text.data() + i, text.size() - i, &state);
        if (len == 0 || len == static_cast<std::size_t>(-1) || len == static_cast<std::size_t>(-2)) {
            len = 1;
            state = std::mbstate_t{};
        }
        visit(i, len);
        i += len;
    }
}

}  // namespace kinaru
