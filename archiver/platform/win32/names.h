#pragma once
// What Windows adds to the name rules: characters it treats as separators or
// stream markers, names it reads as devices, and trailing dots and blanks it
// drops (so that ".. " would mean ".."). One judgement for the library and
// the self-extractor stubs.
#include <string>

namespace sys {

// Null when the path component (UTF-8) is usable as it is on Windows, else
// why not.
const char* nameFault(const std::string& part);

}  // namespace sys
