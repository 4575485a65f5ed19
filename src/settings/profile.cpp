#include "profile.h"

#include "platform/filecontent.h"

#include <optional>
#include <vector>

namespace kinaru::profile {

namespace {

struct Line {
    std::string text;    // without its line ending
    bool ended = false;  // the file had a line ending after it
};

struct Document {
    std::vector<Line> lines;
    std::string eol = "\n";
    bool bom = false;  // a UTF-8 byte order mark before the first line
};

constexpr std::string_view kBom = "\xEF\xBB\xBF";

Document parse(const std::string& content) {
    Document doc;
    doc.bom = content.starts_with(kBom);
    std::size_t start = doc.bom ? kBom.size() : 0;
    bool firstEnding = true;
    while (start < content.size()) {
        std::size_t nl = content.find('\n', start);
        Line line;
        if (nl == std::string::npos) {
            line.text = content.substr(start);
            start = content.size();
        } else {
            line.text = content.substr(start, nl - start);
            line.ended = true;
            start = nl + 1;
        }
        bool crlf = !line.text.empty() && line.text.back() == '\r';
        if (crlf) line.text.pop_back();
        if (line.ended && firstEnding) {
            doc.eol = crlf ? "\r\n" : "\n";
            firstEnding = false;
        } else if (crlf && !line.ended) {
            line.text.push_back('\r');  // a lone CR at the very end is content
        }
        doc.lines.push_back(std::move(line));
    }
    return doc;
}

std::string_view trim(std::string_view s) {
    auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r'; };
    while (!s.empty() && blank(s.front())) s.remove_prefix(1);
    while (!s.empty() && blank(s.back())) s.remove_suffix(1);
    return s;
}

bool sameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        auto fold = [](char c) { return (c >= 'a' && c <= 'z') ? char(c - 32) : c; };
        if (fold(a[i]) != fold(b[i])) return false;
    }
    return true;
}

// The section name of a "[name]" line.
std::optional<std::string_view> sectionName(std::string_view line) {
    line = trim(line);
    if (line.empty() || line.front() != '[') return std::nullopt;
    std::size_t close = line.find(']');
    if (close == std::string_view::npos) return std::nullopt;
    return trim(line.substr(1, close - 1));
}

struct KeyValue {
    std::string_view key, value;
};

// In double or in single quotes, as the profile functions read them.
bool quoted(std::string_view value) {
    return value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front();
}

std::optional<KeyValue> keyValue(std::string_view line) {
    std::size_t eq = line.find('=');
    if (eq == std::string_view::npos) return std::nullopt;
    // Quotes around a value keep its blanks; they are not part of it.
    std::string_view value = trim(line.substr(eq + 1));
    if (quoted(value)) value = value.substr(1, value.size() - 2);
    return KeyValue{trim(line.substr(0, eq)), value};
}

// A value that reading would change (blanks at its ends, quotes around it)
// is stored in quotes.
std::string storedForm(const std::string& value) {
    if (trim(value).size() == value.size() && !quoted(value)) return value;
    return '"' + value + '"';
}

// Index of the header line of the first section with this name.
std::optional<std::size_t> findSection(const Document& doc, const std::string& section) {
    for (std::size_t i = 0; i < doc.lines.size(); ++i) {
        auto name = sectionName(doc.lines[i].text);
        if (name && sameName(*name, section)) return i;
    }
    return std::nullopt;
}

// One past the last line of the section whose header is at index header.
std::size_t sectionEnd(const Document& doc, std::size_t header) {
    std::size_t i = header + 1;
    while (i < doc.lines.size() && !sectionName(doc.lines[i].text)) ++i;
    return i;
}

std::optional<std::size_t> findKey(const Document& doc, std::size_t header, const std::string& key) {
    std::size_t end = sectionEnd(doc, header);
    for (std::size_t i = header + 1; i < end; ++i) {
        auto kv = keyValue(doc.lines[i].text);
        if (kv && sameName(kv->key, key)) return i;
    }
    return std::nullopt;
}

std::string render(const Document& doc) {
    std::string out(doc.bom ? kBom : "");
    for (const Line& line : doc.lines) {
        out += line.text;
        if (line.ended) out += doc.eol;
    }
    return out;
}

void insertLine(Document& doc, std::size_t at, std::string text) {
    // The line before the new one must end, or the two would run together.
    if (at > 0 && !doc.lines[at - 1].ended) doc.lines[at - 1].ended = true;
    doc.lines.insert(doc.lines.begin() + std::ptrdiff_t(at), Line{std::move(text), true});
}

bool isBlank(const Line& line) { return trim(line.text).empty(); }

}  // namespace

std::string readString(const std::string& file, const std::string& section, const std::string& key,
                       const std::string& fallback) {
    auto content = platform::readRegularFile(file);
    if (!content) return fallback.substr(0, kMaxValueBytes);
    Document doc = parse(*content);
    auto header = findSection(doc, section);
    if (!header) return fallback.substr(0, kMaxValueBytes);
    auto at = findKey(doc, *header, key);
    if (!at) return fallback.substr(0, kMaxValueBytes);
    return std::string(keyValue(doc.lines[*at].text)->value.substr(0, kMaxValueBytes));
}

bool writeString(const std::string& file, const std::string& section, const std::string& key,
                 const std::string& value) {
    // A line break would split the line and corrupt the keys after it.
    if (value.find_first_of("\r\n") != std::string::npos) return false;
    std::string target = platform::followLinks(file);
    Document doc;
    if (auto content = platform::readRegularFile(target)) doc = parse(*content);

    std::string line = key + "=" + storedForm(value);
    if (auto header = findSection(doc, section)) {
        if (auto at = findKey(doc, *header, key)) {
            doc.lines[*at].text = line;
        } else {
            // After the section's last non-blank line, so that a blank line
            // separating it from the next section stays where it is.
            std::size_t end = sectionEnd(doc, *header);
            while (end > *header + 1 && isBlank(doc.lines[end - 1])) --end;
            insertLine(doc, end, line);
        }
    } else {
        if (!doc.lines.empty() && !isBlank(doc.lines.back())) insertLine(doc, doc.lines.size(), "");
        insertLine(doc, doc.lines.size(), "[" + section + "]");
        insertLine(doc, doc.lines.size(), line);
    }
    return platform::replaceFileContent(target, render(doc));
}

}  // namespace kinaru::profile
