#include "header.h"

#include <ctime>

#include "crc16.h"
#include "error.h"
#include "names.h"

namespace lzh {

namespace {
uint32_t get16(const uint8_t *p) { return p[0] | uint32_t{p[1]} << 8; }
uint32_t get32(const uint8_t *p) { return get16(p) | get16(p + 2) << 16; }
uint64_t get64(const uint8_t *p) { return get32(p) | uint64_t{get32(p + 4)} << 32; }
void put16(std::vector<uint8_t> &v, uint32_t x) {
    v.push_back(static_cast<uint8_t>(x));
    v.push_back(static_cast<uint8_t>(x >> 8));
}
void put32(std::vector<uint8_t> &v, uint32_t x) {
    put16(v, x & 0xFFFF);
    put16(v, x >> 16);
}
void put64(std::vector<uint8_t> &v, uint64_t x) {
    put32(v, static_cast<uint32_t>(x));
    put32(v, static_cast<uint32_t>(x >> 32));
}

int64_t fromDosTime(uint32_t t) {
    std::tm tm{};
    tm.tm_sec = static_cast<int>((t & 31) * 2);
    tm.tm_min = static_cast<int>((t >> 5) & 63);
    tm.tm_hour = static_cast<int>((t >> 11) & 31);
    tm.tm_mday = static_cast<int>((t >> 16) & 31);
    tm.tm_mon = static_cast<int>(((t >> 21) & 15)) - 1;
    tm.tm_year = static_cast<int>((t >> 25) & 127) + 80;
    tm.tm_isdst = -1;
    time_t r = mktime(&tm);
    return r == static_cast<time_t>(-1) ? 0 : static_cast<int64_t>(r);
}

// Applies one extended header (type, data) to e.
void applyExt(Entry &e, uint8_t type, const uint8_t *d, size_t n, bool &sizes64) {
    switch (type) {
    case 0x01: e.rawName.assign(reinterpret_cast<const char *>(d), n); break;
    case 0x02: e.rawDir.assign(reinterpret_cast<const char *>(d), n); break;
    case 0x42:
        if (n >= 16) {
            e.packed = get64(d);
            e.original = get64(d + 8);
            sizes64 = true;
        }
        break;
    case 0x50:
        if (n >= 2) {
            e.mode = get16(d);
            e.hasMode = true;
        }
        break;
    case 0x54:
        if (n >= 4) e.mtime = get32(d);
        break;
    default: break;
    }
}

void splitInto(const std::string &s, bool backslash, std::vector<std::string> &out) {
    std::string cur;
    auto push = [&] {
        if (!cur.empty()) out.push_back(cur);
        cur.clear();
    };
    for (char c : s) {
        if (c == '/' || (backslash && c == '\\')) push();
        else cur += c;
    }
    push();
}
} // namespace

std::string Entry::path() const {
    std::string p;
    for (const auto &s : parts) {
        if (!p.empty()) p += '/';
        p += s;
    }
    return p;
}

void decodePath(Entry &e) {
    e.parts.clear();
    e.absolute = e.dotDot = false;
    std::string all = e.rawDir;
    if (!all.empty() && !e.rawName.empty() && static_cast<uint8_t>(all.back()) != 0xFF) all += '\xFF';
    all += e.rawName;
    // Old headers name folders with '\\' (or 0xFF); level 2 uses 0xFF only.
    bool backslash = e.level < 2;
    unsigned char first = all.empty() ? 0 : static_cast<unsigned char>(all[0]);
    if (first == 0xFF || first == '/' || (backslash && first == '\\')) e.absolute = true;
    std::string comp;
    std::vector<std::string> pieces;
    for (char c : all) {
        if (static_cast<uint8_t>(c) == 0xFF) {
            pieces.push_back(comp);
            comp.clear();
        } else {
            comp += c;
        }
    }
    pieces.push_back(comp);
    for (const auto &p : pieces) {
        if (p.empty()) continue;
        std::vector<std::string> sub;
        splitInto(fromArchiveName(p), backslash, sub);
        for (auto &s : sub) {
            if (s == ".") continue;
            if (s == "..") e.dotDot = true;
            e.parts.push_back(s);
        }
    }
}

bool readHeader(ByteSource &in, Entry &e) {
    e = Entry{};
    uint8_t h0[21];
    if (!in.readFull(h0, 1)) damaged("archive ends without its end mark");
    if (h0[0] == 0) return false;
    if (!in.readFull(h0 + 1, 20)) damaged("header cut short");
    e.level = h0[20];
    e.method.assign(reinterpret_cast<const char *>(h0 + 2), 5);
    e.packed = get32(h0 + 7);
    e.original = get32(h0 + 11);
    bool sizes64 = false;
    std::vector<uint8_t> &h = e.raw;
    if (e.level == 2) {
        size_t total = get16(h0);
        if (total < 26) damaged("header too short");
        h.assign(h0, h0 + 21);
        h.resize(total);
        if (!in.readFull(h.data() + 21, total - 21)) damaged("header cut short");
        e.mtime = get32(h.data() + 15);
        e.crc = static_cast<uint16_t>(get16(h.data() + 21));
        e.os = h[23];
        size_t off = 24, next = get16(h.data() + 24);
        off = 26;
        size_t crcAt = 0;
        while (next) {
            if (next < 3 || off + next > total) damaged("bad extended header");
            uint8_t type = h[off];
            if (type == 0x00 && next >= 5) crcAt = off + 1;
            applyExt(e, type, h.data() + off + 1, next - 3, sizes64);
            size_t nn = get16(h.data() + off + next - 2);
            off += next;
            next = nn;
        }
        if (crcAt) {
            uint16_t stored = static_cast<uint16_t>(get16(h.data() + crcAt));
            std::vector<uint8_t> copy = h;
            copy[crcAt] = copy[crcAt + 1] = 0;
            if (crc16(0, copy.data(), copy.size()) != stored) damaged("header CRC mismatch");
        }
    } else if (e.level == 0 || e.level == 1) {
        size_t base = size_t{h0[0]} + 2;
        if (base < 24) damaged("header too short");
        h.assign(h0, h0 + 21);
        h.resize(base);
        if (!in.readFull(h.data() + 21, base - 21)) damaged("header cut short");
        unsigned sum = 0;
        for (size_t i = 2; i < base; ++i) sum += h[i];
        if ((sum & 0xFF) != h[1]) damaged("header checksum mismatch");
        e.mtime = fromDosTime(get32(h.data() + 15));
        size_t nl = h[21];
        if (22 + nl + 2 > base) damaged("name runs past the header");
        e.rawName.assign(reinterpret_cast<const char *>(h.data() + 22), nl);
        e.crc = static_cast<uint16_t>(get16(h.data() + 22 + nl));
        size_t rest = 24 + nl;
        if (e.level == 1) {
            if (rest + 3 > base) damaged("header too short");
            e.os = h[rest];
            size_t next = get16(h.data() + base - 2);
            uint64_t extBytes = 0;
            while (next) {
                if (next < 3) damaged("bad extended header");
                extBytes += next;
                if (extBytes > e.packed || extBytes > (1u << 20)) damaged("extended headers too large");
                size_t at = h.size();
                h.resize(at + next);
                if (!in.readFull(h.data() + at, next)) damaged("header cut short");
                applyExt(e, h[at], h.data() + at + 1, next - 3, sizes64);
                next = get16(h.data() + at + next - 2);
            }
            if (!sizes64) e.packed -= extBytes;
        } else if (rest + 7 <= base && h[rest] == 'U') {
            e.os = 'U';
            e.mtime = get32(h.data() + rest + 1);
            e.mode = get16(h.data() + rest + 5);
            e.hasMode = true;
        }
    } else {
        damaged("unknown header level");
    }
    if (e.isDir() && (e.packed || e.original)) damaged("folder entry with data");
    decodePath(e);
    return true;
}

std::vector<uint8_t> writeHeader(const Entry &e, bool large) {
    std::vector<uint8_t> h;
    put16(h, 0); // total size, set below
    for (int i = 0; i < 5; ++i) h.push_back(static_cast<uint8_t>(i < static_cast<int>(e.method.size()) ? e.method[i] : ' '));
    put32(h, static_cast<uint32_t>(e.packed));
    put32(h, static_cast<uint32_t>(e.original));
    put32(h, static_cast<uint32_t>(e.mtime));
    h.push_back(0x20);
    h.push_back(2);
    put16(h, e.crc);
    h.push_back('U');
    // Each extended header: its size (counted from the size field of the
    // previous one), type, data.
    auto ext = [&](uint8_t type, const std::vector<uint8_t> &data) {
        size_t size = data.size() + 3;
        if (size > 0xFFFF) fail(UNLHA_ERR_WRITE, "name too long for the header");
        put16(h, static_cast<uint32_t>(size));
        h.push_back(type);
        h.insert(h.end(), data.begin(), data.end());
    };
    ext(0x00, {0, 0});
    size_t crcAt = h.size() - 2;
    ext(0x01, std::vector<uint8_t>(e.rawName.begin(), e.rawName.end()));
    if (!e.rawDir.empty()) {
        std::vector<uint8_t> d(e.rawDir.begin(), e.rawDir.end());
        if (d.back() != 0xFF) d.push_back(0xFF);
        ext(0x02, d);
    }
    if (large) {
        std::vector<uint8_t> d;
        put64(d, e.packed);
        put64(d, e.original);
        ext(0x42, d);
    }
    if (e.hasMode) {
        std::vector<uint8_t> d;
        put16(d, e.mode & 0xFFFF);
        ext(0x50, d);
    }
    put16(h, 0);
    // A low byte of 0 would read as the end mark.
    if ((h.size() & 0xFF) == 0) h.push_back(0);
    if (h.size() > 0xFFFF) fail(UNLHA_ERR_WRITE, "header too long");
    h[0] = static_cast<uint8_t>(h.size());
    h[1] = static_cast<uint8_t>(h.size() >> 8);
    uint16_t c = crc16(0, h.data(), h.size());
    h[crcAt] = static_cast<uint8_t>(c);
    h[crcAt + 1] = static_cast<uint8_t>(c >> 8);
    return h;
}

} // namespace lzh
