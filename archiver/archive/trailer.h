#pragma once
// Where an archive lies inside a larger file (a self-extractor): the few
// bytes our writer puts after it, or else the first header after a program.
#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>

namespace archive {

constexpr std::size_t kTrailerSize = 32;

struct Trailer {
    uint64_t archiveOffset = 0;  // first byte of the archive (the stub's size)
    uint64_t archiveSize = 0;
    bool window = false;   // -ji0: ask for a folder in a window
    int style = 0;         // -gw2 / -gw4
    bool folders = false;  // -gu1: restore stored folders
};

std::array<uint8_t, kTrailerSize> encodeTrailer(const Trailer& t);

// Reads a file's last kTrailerSize bytes. False when they are no trailer or
// it does not fit the file's size (a cut or padded self-extractor).
bool decodeTrailer(const uint8_t* last, uint64_t fileSize, Trailer& t);

// The same on an open file.
bool readTrailer(int fd, Trailer& t);

// What a search for an archive inside a program cost.
struct ScanWork {
    uint64_t read = 0;        // bytes read from the file
    uint64_t candidates = 0;  // places a header was tried at
    uint64_t parsed = 0;      // header bytes parsed there
};

// Where the archive in an open file starts and how long it is (0: up to its
// end mark): our trailer when there is one, else, for a program with an
// archive after it, the first place a valid header is read from in its
// first 16 MiB. False for a program without an archive, or one whose bytes
// would cost the search many times their number; a plain archive gives
// offset 0. Reads the file once; polls `cancelled` every MiB of work and
// throws UNLHA_ERR_CANCELLED when it says so.
bool locateArchive(int fd, uint64_t& offset, uint64_t& size, const std::function<bool()>& cancelled = {},
                   ScanWork* work = nullptr);

}  // namespace archive
