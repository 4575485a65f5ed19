#pragma once
// The program's texts are UTF-8; the system's are UTF-16. Every name crosses
// here whole, so that no character is lost to the code page.
#include <string>
#include <string_view>

namespace kinaru::platform {

std::wstring widen(std::string_view text);
std::string narrow(std::wstring_view text);

}  // namespace kinaru::platform
