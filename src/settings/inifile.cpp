#include "inifile.h"

#include "base/errors.h"
#include "settings/profile.h"

#include <cstdint>

namespace kinaru {

namespace {

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

}  // namespace

std::optional<std::int32_t> parseProfileInteger(std::string_view input) {
    std::string text(input);
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) text.replace(0, 2, "$");
    std::string_view s = text;
    while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
    if (s.empty()) return std::nullopt;

    if (s.front() == '$') {
        s.remove_prefix(1);
        if (s.empty()) return std::nullopt;
        std::uint64_t value = 0;
        for (char c : s) {
            int d = hexDigit(c);
            if (d < 0) return std::nullopt;
            value = value * 16 + std::uint64_t(d);
            if (value > 0xFFFFFFFFu) return std::nullopt;
        }
        return static_cast<std::int32_t>(static_cast<std::uint32_t>(value));
    }

    bool negative = false;
    if (s.front() == '+' || s.front() == '-') {
        negative = s.front() == '-';
        s.remove_prefix(1);
    }
    if (s.empty()) return std::nullopt;
    std::int64_t value = 0;
    for (char c : s) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + (c - '0');
        if (value > 2147483648LL) return std::nullopt;
    }
    if (negative) value = -value;
    if (value > INT32_MAX) return std::nullopt;
    return static_cast<std::int32_t>(value);
}

std::string TIniFile::ReadString(const std::string& section, const std::string& key,
                                 const std::string& fallback) const {
    return profile::readString(path_, section, key, fallback);
}

std::int32_t TIniFile::ReadInteger(const std::string& section, const std::string& key, std::int32_t fallback) const {
    return parseProfileInteger(ReadString(section, key, "")).value_or(fallback);
}

bool TIniFile::ReadBool(const std::string& section, const std::string& key, bool fallback) const {
    return ReadInteger(section, key, fallback ? 1 : 0) != 0;
}

void TIniFile::WriteString(const std::string& section, const std::string& key, const std::string& value) const {
    if (!profile::writeString(path_, section, key, value)) throw WriteError(path_);
}

void TIniFile::WriteInteger(const std::string& section, const std::string& key, std::int32_t value) const {
    WriteString(section, key, std::to_string(value));
}

void TIniFile::WriteBool(const std::string& section, const std::string& key, bool value) const {
    static constexpr const char* kFlagText[2] = {"0", "1"};
    WriteString(section, key, kFlagText[value ? 1 : 0]);
}

}  // namespace kinaru
