#pragma once
// The program's command line split into words the classic way.
#include <string>
#include <string_view>
#include <vector>

namespace kinaru::win32 {

// The words after the program's own name: split at characters at or below
// the blank, a stretch in double quotes held together with its quotes
// removed, pairs of quotes where a word begins skipped; the list ends at the
// first empty word.
std::vector<std::wstring> commandLineWords(std::wstring_view line);

}  // namespace kinaru::win32
