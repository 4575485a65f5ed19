#pragma once
// Entry headers: levels 0, 1 and 2 are read; level 2 is written.
#include <cstdint>
#include <string>
#include <vector>

#include "format.h"
#include "safe_path.h"
#include "stream.h"

namespace lzh {

struct Entry {
    std::string method = kStoredId;
    uint64_t packed = 0;  // bytes of packed data after the header
    uint64_t original = 0;
    int64_t mtime = 0;  // Unix time
    uint16_t crc = 0;
    int level = 2;
    uint8_t os = 'U';
    bool hasMode = false;
    uint32_t mode = 0;
    CodePage codePage = CodePage::Unknown;  // as declared by the header, or to declare
    std::string rawDir;                     // folder as stored, components separated by 0xFF
    std::string rawName;                    // name as stored

    // Filled by readHeader from the raw names.
    std::vector<std::string> parts;     // path components in the local encoding
    NameFault fault = NameFault::None;  // why the name may not be extracted
    std::vector<uint8_t> raw;           // every header byte as read

    bool isDir() const { return method == kFolderId; }
    // The path for messages and matching: '/' between parts, control bytes escaped.
    std::string path() const;
};

constexpr uint64_t kLargeSize = uint64_t{1} << 32;
// A level-1 extension chain longer than this is not a header.
constexpr uint64_t kMaxExtBytes = 1u << 20;
// No header that reads spans more bytes than this (a level-0/1 base and
// its extensions; a level-2 header is at most 64 KiB).
constexpr uint64_t kMaxHeaderBytes = 257 + kMaxExtBytes;
// The span of a 32-bit Unix time field: 1970-01-01 to 2106-02-07.
constexpr int64_t kLastTime = 0xFFFFFFFF;

// Reads the next header. Returns false at the end mark, and at the end of
// the input unless `first` (an archive needs at least one header or the
// mark). Throws UNLHA_ERR_DAMAGED when a header is cut short or inconsistent.
bool readHeader(ByteSource& in, Entry& e, bool first = false);

// A level-2 header for e. With `large` the 64-bit size field is added, so
// the header keeps its length whatever the sizes turn out to be. A time
// outside the 32-bit field is stored as its nearest end.
std::vector<uint8_t> writeHeader(const Entry& e, bool large);

// Splits the stored names into e.parts and sets e.fault.
void decodePath(Entry& e);

}  // namespace lzh
