#pragma once
// Entry headers: levels 0, 1 and 2 are read; level 2 is written.
#include <cstdint>
#include <string>
#include <vector>

#include "stream.h"

namespace lzh {

struct Entry {
    std::string method = "-lh0-";
    uint64_t packed = 0;   // bytes of packed data after the header
    uint64_t original = 0;
    int64_t mtime = 0;     // Unix time
    uint16_t crc = 0;
    int level = 2;
    uint8_t os = 'U';
    bool hasMode = false;
    uint32_t mode = 0;
    std::string rawDir;    // folder as stored, components separated by 0xFF
    std::string rawName;   // name as stored

    // Filled by readHeader from the raw names.
    std::vector<std::string> parts; // path components in the local encoding
    bool absolute = false;          // the stored path starts at a root
    bool dotDot = false;            // a ".." component
    std::vector<uint8_t> raw;       // every header byte as read

    bool isDir() const { return method == "-lhd-"; }
    std::string path() const;
};

constexpr uint64_t kLargeSize = uint64_t{1} << 32;

// Reads the next header. Returns false at the end mark; throws
// UNLHA_ERR_DAMAGED when the header is cut short or inconsistent.
bool readHeader(ByteSource &in, Entry &e);

// A level-2 header for e. With `large` the 64-bit size field is added, so
// the header keeps its length whatever the sizes turn out to be.
std::vector<uint8_t> writeHeader(const Entry &e, bool large);

// Splits the stored names into e.parts and sets absolute / dotDot.
void decodePath(Entry &e);

} // namespace lzh
