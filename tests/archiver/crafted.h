#pragma once
// Archives built byte by byte, with names no writer of ours would store.
#include <cstdint>
#include <string>

#include "lzh/crc16.h"
#include "lzh/header.h"

// One stored (-lh0-) entry at header level 0, 1 or 2. Level 2 keeps `dir` and
// `name` in the folder and file-name extended headers, level 1 keeps `name`
// in the base header and `dir` in a folder extended header, level 0 stores
// dir + name in its one name field. `unix0` is the Unix extension a level-0
// header may carry ('U', minor version, time, mode, uid, gid).
inline std::string craftedEntry(int level, const std::string& dir, const std::string& name, const std::string& data,
                                const std::string& unix0 = {}) {
    uint16_t crc = lzh::crc16(0, reinterpret_cast<const uint8_t*>(data.data()), data.size());
    if (level == 2) {
        lzh::Entry e;
        e.rawDir = dir, e.rawName = name, e.mtime = 1700000000, e.crc = crc, e.packed = e.original = data.size();
        auto h = lzh::writeHeader(e, false);
        return std::string(h.begin(), h.end()) + data;
    }
    std::string field = level == 0 ? dir + name : name;
    std::string ext = level == 1 && !dir.empty() ? std::string(1, '\x02') + dir + std::string(2, '\0') : "";
    auto le32 = [](uint32_t v) { return std::string{char(v), char(v >> 8), char(v >> 16), char(v >> 24)}; };
    std::string h = std::string(2, '\0') + "-lh0-" + le32(uint32_t(data.size() + ext.size())) +
                    le32(uint32_t(data.size())) + le32(0x5A210000) + " " + char(level) + char(field.size()) + field +
                    char(crc) + char(crc >> 8) + unix0;
    if (level == 1) h += std::string("U") + char(ext.size()) + '\0';
    h[0] = char(h.size() - 2);
    unsigned sum = 0;
    for (size_t i = 2; i < h.size(); ++i) sum += uint8_t(h[i]);
    h[1] = char(sum);
    return h + ext + data;
}
