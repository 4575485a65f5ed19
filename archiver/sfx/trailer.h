#pragma once
// The few bytes after the archive in a self-extractor: where the archive
// lies and which face the stub shows.
#include <array>
#include <cstddef>
#include <cstdint>

namespace sfx {

constexpr std::size_t kTrailerSize = 32;

struct Trailer {
    uint64_t archiveOffset = 0; // first byte of the archive (the stub's size)
    uint64_t archiveSize = 0;
    bool window = false;  // -ji0: ask for a folder in a window
    int style = 0;        // -gw2 / -gw4
    bool folders = false; // -gu1: restore stored folders
};

std::array<uint8_t, kTrailerSize> encodeTrailer(const Trailer &t);

// Reads the trailer at the end of the open file. False when there is none or
// it does not fit the file's size (a cut or padded self-extractor).
bool readTrailer(int fd, Trailer &t);

} // namespace sfx
