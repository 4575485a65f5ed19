#pragma once
// The accessor of the settings file: every call opens, reads or writes and
// closes the file; there is no cache.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kinaru {

// The integer rules of the settings file: "0x"/"0X" prefixes and "$" for
// hexadecimal (a 32-bit pattern), otherwise signed decimal in 32 bits, with
// leading spaces skipped and nothing allowed after the digits.
std::optional<std::int32_t> parseProfileInteger(std::string_view text);

class TIniFile {
public:
    explicit TIniFile(std::string path) : path_(std::move(path)) {}

    std::string ReadString(const std::string& section, const std::string& key, const std::string& fallback) const;
    std::int32_t ReadInteger(const std::string& section, const std::string& key, std::int32_t fallback) const;
    bool ReadBool(const std::string& section, const std::string& key, bool fallback) const;

    // Each throws WriteError when the file cannot be written.
    void WriteString(const std::string& section, const std::string& key, const std::string& value) const;
    void WriteInteger(const std::string& section, const std::string& key, std::int32_t value) const;
    void WriteBool(const std::string& section, const std::string& key, bool value) const;

private:
    std::string path_;
};

}  // namespace kinaru
