#include "names.h"

#include "../platform/sys.h"

namespace lzh {

namespace {
using sys::convert;
using sys::localCodeset;

bool isAscii(const std::string &s) {
    for (unsigned char c : s)
        if (c >= 0x80) return false;
    return true;
}

bool isUtf8(const std::string &s) {
    std::string tmp;
    return convert("UTF-32LE", "UTF-8", s, tmp);
}
} // namespace

std::string toArchiveName(const std::string &local) {
    if (isAscii(local)) return local;
    std::string cs = localCodeset(), out;
    if (convert("CP932", cs, local, out)) return out;
    if (cs == "UTF-8" || !convert("UTF-8", cs, local, out)) return local;
    return out;
}

std::string fromArchiveName(const std::string &stored) {
    if (isAscii(stored)) return stored;
    std::string cs = localCodeset(), out, probe;
    if (isUtf8(stored) && !convert("CP932", "UTF-8", stored, probe))
        return cs == "UTF-8" || !convert(cs, "UTF-8", stored, out) ? stored : out;
    if (convert(cs, "CP932", stored, out)) return out;
    return stored;
}

} // namespace lzh
