#pragma once
// Reading and writing one key of an INI file at a time, with the behaviour
// users of Windows profile files expect: section and key names match without
// regard to case, a store replaces a key where it stands, adds a missing key at
// the end of its section and a missing section at the end of the file, and
// leaves every other line exactly as it was.
#include <string>

namespace kinaru::profile {

// Values longer than this are cut; the format has always had this limit.
inline constexpr std::size_t kMaxValueBytes = 1023;

// The stored value, or fallback when the file, section or key is missing.
std::string readString(const std::string& file, const std::string& section, const std::string& key,
                       const std::string& fallback);

// False when the file cannot be written. The file is replaced atomically.
bool writeString(const std::string& file, const std::string& section, const std::string& key, const std::string& value);

}  // namespace kinaru::profile
