#include "platform/posix/sys.h"

#include <climits>
#include <cstdlib>
#include <dlfcn.h>
#include <iconv.h>
#include <langinfo.h>
#include <link.h>
#include <sys/auxv.h>

namespace sys {

std::string localCodeset() {
    // Read per call: the locale belongs to the host program.
    const char* cs = nl_langinfo(CODESET);
    // In the plain C locale the bytes are still UTF-8 on this platform.
    if (!cs || !*cs || !std::strcmp(cs, "ANSI_X3.4-1968") || !std::strcmp(cs, "ASCII")) return "UTF-8";
    return cs;
}

bool convert(const std::string& to, const std::string& from, const std::string& in, std::string& out) {
    iconv_t cd = iconv_open(to.c_str(), from.c_str());
    if (cd == reinterpret_cast<iconv_t>(-1)) return false;
    out.assign(in.size() * 4 + 16, '\0');
    char* ip = const_cast<char*>(in.data());
    size_t il = in.size();
    char* op = out.data();
    size_t ol = out.size();
    bool ok = iconv(cd, &ip, &il, &op, &ol) != static_cast<size_t>(-1) && il == 0 &&
              iconv(cd, nullptr, nullptr, &op, &ol) != static_cast<size_t>(-1);
    iconv_close(cd);
    if (ok) out.resize(out.size() - ol);
    return ok;
}

std::string modulePath(const void* address) {
    Dl_info info;
    link_map* map = nullptr;
    char real[PATH_MAX];
    if (::dladdr1(address, &info, reinterpret_cast<void**>(&map), RTLD_DL_LINKMAP) && map && map->l_name &&
        map->l_name[0])
        return ::realpath(map->l_name, real) ? real : map->l_name;
    // Linked into a program rather than a library: the program's file, from
    // /proc where it is mounted, else the path it was started by (which the
    // kernel records whatever argv[0] says).
    if (::realpath("/proc/self/exe", real)) return real;
    auto* started = reinterpret_cast<const char*>(::getauxval(AT_EXECFN));
    if (started && ::realpath(started, real)) return real;
    return info.dli_fname ? info.dli_fname : "";
}

}  // namespace sys
