#include "base/paths.h"

namespace kinaru {

namespace {

struct Marks {
    std::size_t afterSeparator = 0;            // start of the name part
    std::size_t dot = std::string_view::npos;  // last dot of the name part
};

Marks scan(std::string_view path) {
    Marks marks;
    forEachCharacter(path, [&](std::size_t at, std::size_t len) {
        if (len != 1) return;
        if (isSeparator(path[at])) {
            marks.afterSeparator = at + 1;
            marks.dot = std::string_view::npos;
        } else if (path[at] == '.') {
            marks.dot = at;
        }
    });
    return marks;
}

}  // namespace

bool isAbsolutePath(std::string_view path) {
#ifdef _WIN32
    if (path.size() >= 3 && path[1] == ':' && path[2] == '\\') return true;
    return path.starts_with("\\\\");
#else
    return path.starts_with('/');
#endif
}

std::string withSeparator(std::string folder) {
    if (!folder.empty() && !isSeparator(folder.back())) folder += kSeparator;
    return folder;
}

std::string folderPart(std::string_view path) { return std::string(path.substr(0, scan(path).afterSeparator)); }

std::string namePart(std::string_view path) { return std::string(path.substr(scan(path).afterSeparator)); }

std::string extensionPart(std::string_view path) {
    Marks marks = scan(path);
    return marks.dot == std::string_view::npos ? std::string() : std::string(path.substr(marks.dot));
}

std::string changeExtension(std::string_view path, std::string_view extension) {
    Marks marks = scan(path);
    std::string result(path.substr(0, marks.dot == std::string_view::npos ? path.size() : marks.dot));
    result += extension;
    return result;
}

}  // namespace kinaru
