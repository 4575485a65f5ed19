#include "header.h"

#include <ctime>

#include "crc16.h"
#include "error.h"
#include "names.h"

namespace lzh {

namespace {
// Where the fields of the fixed part sit, counted from the header's first byte.
namespace at {
constexpr size_t kMethod = 2, kPacked = 7, kOriginal = 11, kTime = 15, kLevel = 20;
// Levels 0 and 1: the size byte and checksum, then after kLevel a
// length-prefixed name, its CRC and (level 1) the OS id.
constexpr size_t kSumOfRest = 1, kNameLength = 21, kName = 22;
// Level 2: a 16-bit total size, then these.
constexpr size_t kCrc2 = 21, kOs2 = 23, kFirstExt2 = 24, kBase2 = 26;
}  // namespace at

// Extended header types.
namespace ext {
constexpr uint8_t kHeaderCrc = 0x00, kFileName = 0x01, kFolderName = 0x02, kSizes64 = 0x42, kCodePage = 0x46,
                  kUnixMode = 0x50, kUnixTime = 0x54;
}  // namespace ext

// The Unix extension of a level-0 header: 'U', a minor version, then time,
// mode, uid and gid.
constexpr size_t kUnix0Time = 2, kUnix0Mode = 6, kUnix0Size = 12;

uint32_t get16(const uint8_t* p) { return p[0] | uint32_t{p[1]} << 8; }
uint32_t get32(const uint8_t* p) { return get16(p) | get16(p + 2) << 16; }
uint64_t get64(const uint8_t* p) { return get32(p) | uint64_t{get32(p + 4)} << 32; }
void put16(std::vector<uint8_t>& v, uint32_t x) {
    v.push_back(static_cast<uint8_t>(x));
    v.push_back(static_cast<uint8_t>(x >> 8));
}
void put32(std::vector<uint8_t>& v, uint32_t x) {
    put16(v, x & 0xFFFF);
    put16(v, x >> 16);
}
void put64(std::vector<uint8_t>& v, uint64_t x) {
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
void applyExt(Entry& e, uint8_t type, const uint8_t* d, size_t n, bool& sizes64) {
    switch (type) {
        case ext::kFileName: e.rawName.assign(reinterpret_cast<const char*>(d), n); break;
        case ext::kFolderName: e.rawDir.assign(reinterpret_cast<const char*>(d), n); break;
        case ext::kSizes64:
            if (n >= 16) {
                e.packed = get64(d);
                e.original = get64(d + 8);
                sizes64 = true;
            }
            break;
        case ext::kCodePage:
            if (n >= 4) e.codePage = static_cast<CodePage>(get32(d));
            break;
        case ext::kUnixMode:
            if (n >= 2) {
                e.mode = get16(d);
                e.hasMode = true;
            }
            break;
        case ext::kUnixTime:
            if (n >= 4) e.mtime = get32(d);
            break;
        default: break;
    }
}

// Reads the rest of the fixed part of a level-0/1 header into e.raw.
size_t readOldBase(ByteSource& in, Entry& e) {
    std::vector<uint8_t>& h = e.raw;
    size_t base = size_t{h[0]} + 2;
    if (base < at::kName + 2) damaged("header too short");
    h.resize(base);
    if (!in.readFull(h.data() + at::kName - 1, base - (at::kName - 1))) damaged("header cut short");
    unsigned sum = 0;
    for (size_t i = 2; i < base; ++i) sum += h[i];
    if ((sum & 0xFF) != h[at::kSumOfRest]) damaged("header checksum mismatch");
    e.mtime = fromDosTime(get32(h.data() + at::kTime));
    size_t nl = h[at::kNameLength];
    if (at::kName + nl + 2 > base) damaged("name runs past the header");
    e.rawName.assign(reinterpret_cast<const char*>(h.data() + at::kName), nl);
    e.crc = static_cast<uint16_t>(get16(h.data() + at::kName + nl));
    return base;
}

void readLevel0(ByteSource& in, Entry& e) {
    size_t base = readOldBase(in, e);
    const uint8_t* x = e.raw.data() + at::kName + e.rawName.size() + 2;
    size_t extLen = base - (at::kName + e.rawName.size() + 2);
    if (extLen >= kUnix0Size && x[0] == 'U') {
        e.os = 'U';
        e.mtime = get32(x + kUnix0Time);
        e.mode = get16(x + kUnix0Mode);
        e.hasMode = true;
    }
}

void readLevel1(ByteSource& in, Entry& e) {
    size_t base = readOldBase(in, e);
    std::vector<uint8_t>& h = e.raw;
    size_t osAt = at::kName + e.rawName.size() + 2;
    if (osAt + 3 > base) damaged("header too short");
    e.os = h[osAt];
    bool sizes64 = false;
    size_t next = get16(h.data() + base - 2);
    uint64_t extBytes = 0;
    while (next) {
        if (next < 3) damaged("bad extended header");
        extBytes += next;
        if (extBytes > e.packed || extBytes > kMaxExtBytes) damaged("extended headers too large");
        size_t start = h.size();
        h.resize(start + next);
        if (!in.readFull(h.data() + start, next)) damaged("header cut short");
        applyExt(e, h[start], h.data() + start + 1, next - 3, sizes64);
        next = get16(h.data() + start + next - 2);
    }
    // The extensions count in the packed size unless a 64-bit size says otherwise.
    if (!sizes64) e.packed -= extBytes;
}

void readLevel2(ByteSource& in, Entry& e) {
    std::vector<uint8_t>& h = e.raw;
    size_t total = get16(h.data());
    if (total < at::kBase2) damaged("header too short");
    h.resize(total);
    if (!in.readFull(h.data() + at::kName - 1, total - (at::kName - 1))) damaged("header cut short");
    e.mtime = get32(h.data() + at::kTime);
    e.crc = static_cast<uint16_t>(get16(h.data() + at::kCrc2));
    e.os = h[at::kOs2];
    bool sizes64 = false;
    size_t off = at::kBase2, next = get16(h.data() + at::kFirstExt2), crcAt = 0;
    while (next) {
        if (next < 3 || off + next > total) damaged("bad extended header");
        uint8_t type = h[off];
        if (type == ext::kHeaderCrc && next >= 5) crcAt = off + 1;
        applyExt(e, type, h.data() + off + 1, next - 3, sizes64);
        size_t following = get16(h.data() + off + next - 2);
        off += next;
        next = following;
    }
    if (crcAt) {
        uint16_t stored = static_cast<uint16_t>(get16(h.data() + crcAt));
        std::vector<uint8_t> copy = h;
        copy[crcAt] = copy[crcAt + 1] = 0;
        if (crc16(0, copy.data(), copy.size()) != stored) damaged("header CRC mismatch");
    }
}
}  // namespace

std::string Entry::path() const {
    std::string p;
    for (const auto& s : parts) {
        if (!p.empty()) p += '/';
        p += escapeControls(s);
    }
    return p;
}

void decodePath(Entry& e) {
    CodePage page = readingCodePage(e.codePage, e.os, e.rawDir + e.rawName);
    StoredPath sp = splitStoredPath(e.rawDir, e.rawName, e.level, page);
    e.fault = sp.fault;
    e.parts.clear();
    for (const auto& raw : sp.parts) {
        e.parts.push_back(fromArchiveName(raw, page));
        // What the conversion gives is judged again: it is what reaches the file system.
        if (e.fault == NameFault::None) e.fault = judgePart(e.parts.back());
        if (e.fault == NameFault::None && e.parts.back().find('/') != std::string::npos) e.fault = NameFault::EmptyPart;
    }
}

bool readHeader(ByteSource& in, Entry& e, bool first) {
    e = Entry{};
    e.raw.resize(at::kName - 1);
    uint8_t* h = e.raw.data();
    if (!in.readFull(h, 1)) {
        // The final 0 is often missing; the entries before it are whole.
        if (first) damaged("not an archive: nothing to read");
        return false;
    }
    if (h[0] == 0) return false;
    if (!in.readFull(h + 1, at::kLevel)) damaged("header cut short");
    e.level = h[at::kLevel];
    e.method.assign(reinterpret_cast<const char*>(h + at::kMethod), 5);
    e.packed = get32(h + at::kPacked);
    e.original = get32(h + at::kOriginal);
    switch (e.level) {
        case 0: readLevel0(in, e); break;
        case 1: readLevel1(in, e); break;
        case 2: readLevel2(in, e); break;
        default: damaged("unknown header level");
    }
    if (e.isDir() && (e.packed || e.original)) damaged("folder entry with data");
    decodePath(e);
    return true;
}

std::vector<uint8_t> writeHeader(const Entry& e, bool large) {
    std::vector<uint8_t> h;
    put16(h, 0);  // total size, set below
    for (int i = 0; i < 5; ++i)
        h.push_back(static_cast<uint8_t>(i < static_cast<int>(e.method.size()) ? e.method[i] : ' '));
    put32(h, static_cast<uint32_t>(e.packed));
    put32(h, static_cast<uint32_t>(e.original));
    put32(h, static_cast<uint32_t>(e.mtime < 0 ? 0 : e.mtime > kLastTime ? kLastTime : e.mtime));
    h.push_back(0x20);
    h.push_back(2);
    put16(h, e.crc);
    h.push_back('U');
    // Each extended header: its size (counted from the size field of the
    // previous one), type, data.
    auto add = [&](uint8_t type, const std::vector<uint8_t>& data) {
        size_t size = data.size() + 3;
        if (size > 0xFFFF) fail(UNLHA_ERR_WRITE, "name too long for the header");
        put16(h, static_cast<uint32_t>(size));
        h.push_back(type);
        h.insert(h.end(), data.begin(), data.end());
    };
    add(ext::kHeaderCrc, {0, 0});
    size_t crcAt = h.size() - 2;
    add(ext::kFileName, std::vector<uint8_t>(e.rawName.begin(), e.rawName.end()));
    if (!e.rawDir.empty()) {
        std::vector<uint8_t> d(e.rawDir.begin(), e.rawDir.end());
        if (d.back() != 0xFF) d.push_back(0xFF);
        add(ext::kFolderName, d);
    }
    if (e.codePage != CodePage::Unknown) {
        std::vector<uint8_t> d;
        put32(d, static_cast<uint32_t>(e.codePage));
        add(ext::kCodePage, d);
    }
    if (large) {
        std::vector<uint8_t> d;
        put64(d, e.packed);
        put64(d, e.original);
        add(ext::kSizes64, d);
    }
    if (e.hasMode) {
        std::vector<uint8_t> d;
        put16(d, e.mode & 0xFFFF);
        add(ext::kUnixMode, d);
    }
    // A size with a low byte of 0 would read as the end mark. The padding
    // byte others add there makes 7-Zip read the entry one byte off; the
    // time header (the base's time again) moves the size past it instead.
    if (((h.size() + 2) & 0xFF) == 0) {
        std::vector<uint8_t> d;
        put32(d, get32(h.data() + at::kTime));
        add(ext::kUnixTime, d);
    }
    put16(h, 0);
    if (h.size() > 0xFFFF) fail(UNLHA_ERR_WRITE, "header too long");
    h[0] = static_cast<uint8_t>(h.size());
    h[1] = static_cast<uint8_t>(h.size() >> 8);
    uint16_t c = crc16(0, h.data(), h.size());
    h[crcAt] = static_cast<uint8_t>(c);
    h[crcAt + 1] = static_cast<uint8_t>(c >> 8);
    return h;
}

}  // namespace lzh
