#include "trailer.h"

#include <cstring>

namespace archive {

namespace {
// Last on purpose: a reader finds it at a fixed distance from the end.
constexpr char kMagic[9] = "KNRSFX01";
constexpr uint8_t kWindow = 1, kFolders = 2;

void put64(uint8_t* p, uint64_t v) {
    for (int i = 0; i < 8; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}
uint64_t get64(const uint8_t* p) {
    uint64_t v = 0;
    for (int i = 7; i >= 0; --i) v = v << 8 | p[i];
    return v;
}
}  // namespace

std::array<uint8_t, kTrailerSize> encodeTrailer(const Trailer& t) {
    std::array<uint8_t, kTrailerSize> b{};
    put64(&b[0], t.archiveOffset);
    put64(&b[8], t.archiveSize);
    b[16] = static_cast<uint8_t>((t.window ? kWindow : 0) | (t.folders ? kFolders : 0));
    b[17] = static_cast<uint8_t>(t.style);
    std::memcpy(&b[24], kMagic, 8);
    return b;
}

bool decodeTrailer(const uint8_t* b, uint64_t fileSize, Trailer& t) {
    if (fileSize < kTrailerSize || std::memcmp(&b[24], kMagic, 8) != 0) return false;
    t.archiveOffset = get64(&b[0]);
    t.archiveSize = get64(&b[8]);
    t.window = b[16] & kWindow;
    t.folders = b[16] & kFolders;
    t.style = b[17];
    // The archive must fill exactly the space between stub and trailer.
    uint64_t end = fileSize - kTrailerSize;
    return t.archiveOffset <= end && t.archiveSize == end - t.archiveOffset && t.archiveSize > 0;
}

}  // namespace archive
