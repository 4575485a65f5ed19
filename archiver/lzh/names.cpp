#include "names.h"

#include "platform/sys.h"

namespace lzh {

namespace {
using sys::convert;
using sys::localCodeset;

bool isAscii(const std::string& s) {
    for (unsigned char c : s)
        if (c >= 0x80) return false;
    return true;
}

std::string iconvName(CodePage page) {
    switch (page) {
        case CodePage::Utf8: return "UTF-8";
        case CodePage::Unknown:
        case CodePage::Cp932: return "CP932";
        default: return "CP" + std::to_string(static_cast<uint32_t>(page));
    }
}
}  // namespace

CodePage archiveCodePage(const std::vector<std::string>& localParts) {
    CodePage page = CodePage::Unknown;
    std::string cs = localCodeset(), out, back;
    for (const auto& p : localParts) {
        if (isAscii(p)) continue;
        // CP932 also takes look-alikes (U+301C as U+FF5E) that would come
        // back as another name: only what returns as itself is CP932.
        if (!convert("CP932", cs, p, out) || !convert(cs, "CP932", out, back) || back != p) return CodePage::Utf8;
        page = CodePage::Cp932;
    }
    return page;
}

bool isLocalText(const std::string& local) {
    std::string out;
    return isAscii(local) || convert("UTF-8", localCodeset(), local, out);
}

std::string toArchiveName(const std::string& local, CodePage page) {
    if (isAscii(local)) return local;
    if (page == CodePage::Unknown) page = archiveCodePage({local});
    std::string cs = localCodeset(), out;
    if (page == CodePage::Utf8 && cs == "UTF-8") return local;
    return convert(iconvName(page), cs, local, out) ? out : local;
}

std::string fromArchiveName(const std::string& stored, CodePage page) {
    if (isAscii(stored)) return stored;
    std::string cs = localCodeset(), from = iconvName(page), out;
    if (from == cs) return stored;
    return convert(cs, from, stored, out) ? out : stored;
}

}  // namespace lzh
