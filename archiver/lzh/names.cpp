#include "names.h"

#include <cstring>
#include <iconv.h>
#include <langinfo.h>

namespace lzh {

namespace {
// The codeset names are read per call: the locale belongs to the host program.
std::string localCodeset() {
    const char *cs = nl_langinfo(CODESET);
    // In the plain C locale the bytes are still UTF-8 on this platform.
    if (!cs || !*cs || !std::strcmp(cs, "ANSI_X3.4-1968") || !std::strcmp(cs, "ASCII")) return "UTF-8";
    return cs;
}

bool convert(const std::string &to, const std::string &from, const std::string &in, std::string &out) {
    iconv_t cd = iconv_open(to.c_str(), from.c_str());
    if (cd == reinterpret_cast<iconv_t>(-1)) return false;
    out.assign(in.size() * 4 + 16, '\0');
    char *ip = const_cast<char *>(in.data());
    size_t il = in.size();
    char *op = out.data();
    size_t ol = out.size();
    bool ok = iconv(cd, &ip, &il, &op, &ol) != static_cast<size_t>(-1) && il == 0 &&
              iconv(cd, nullptr, nullptr, &op, &ol) != static_cast<size_t>(-1);
    iconv_close(cd);
    if (ok) out.resize(out.size() - ol);
    return ok;
}

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
