#include "names.h"

#include <cctype>
#include <cstring>

namespace sys {

const char* nameFault(const std::string& part) {
    if (part.empty() || part == "." || part == "..") return "not a name";
    for (unsigned char c : part)
        if (c < 0x20 || std::strchr("<>:\"/\\|?*", c)) return "a character Windows does not allow in names";
    if (part.back() == '.' || part.back() == ' ') return "ends in a dot or a blank";
    // Devices answer to their name with any extension and trailing blanks.
    std::string stem = part.substr(0, part.find('.'));
    while (!stem.empty() && stem.back() == ' ') stem.pop_back();
    for (char& c : stem) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    static const char* const devices[] = {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"};
    for (const char* d : devices)
        if (stem == d) return "a device name";
    if (stem.size() >= 4 && (stem.compare(0, 3, "COM") == 0 || stem.compare(0, 3, "LPT") == 0)) {
        std::string n = stem.substr(3);
        if ((n.size() == 1 && n[0] >= '0' && n[0] <= '9') || n == "\xC2\xB9" || n == "\xC2\xB2" || n == "\xC2\xB3")
            return "a device name";
    }
    return nullptr;
}

}  // namespace sys
