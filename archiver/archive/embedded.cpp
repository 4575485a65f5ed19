// Finding the archive inside a self-extractor, on an open file.
#include <cstring>
#include <vector>

#include "lzh/error.h"
#include "lzh/header.h"
#include "lzh/stream.h"
#include "trailer.h"
#include "platform/sys.h"

namespace archive {

namespace {
uint64_t sizeOf(int fd) {
    sys::Stat st;
    return sys::fstat(fd, &st) == 0 && st.st_size > 0 ? static_cast<uint64_t>(st.st_size) : 0;
}

bool looksLikeHeader(const uint8_t* p) {
    return p[2] == '-' && p[3] == 'l' && (p[4] == 'h' || p[4] == 'z') && p[6] == '-' && p[20] <= 2;
}

// A header that reads without fault and whose data lies inside the file.
bool headerAt(int fd, uint64_t at, uint64_t fileSize) {
    if (sys::lseek(fd, static_cast<int64_t>(at), SEEK_SET) < 0) return false;
    try {
        lzh::FdSource src(fd, UNLHA_ERR_READ, "");
        lzh::Entry e;
        return lzh::readHeader(src, e) && src.position() + e.packed <= fileSize - at;
    } catch (const lzh::Error&) {
        return false;
    }
}

// Programs' own bytes can hold a method name; only a whole valid header counts.
constexpr uint64_t kScanLimit = uint64_t{16} << 20;
}  // namespace

bool readTrailer(int fd, Trailer& t) {
    uint64_t size = sizeOf(fd);
    uint8_t b[kTrailerSize];
    if (size < kTrailerSize ||
        sys::pread(fd, b, sizeof b, static_cast<int64_t>(size - kTrailerSize)) != static_cast<ssize_t>(sizeof b))
        return false;
    return decodeTrailer(b, size, t);
}

bool locateArchive(int fd, uint64_t& offset, uint64_t& size) {
    offset = size = 0;
    uint64_t fileSize = sizeOf(fd);
    uint8_t head[4] = {};
    if (sys::pread(fd, head, sizeof head, 0) != static_cast<ssize_t>(sizeof head)) return true;
    bool program = (head[0] == 'M' && head[1] == 'Z') || std::memcmp(head,
                                                                     "\x7f"
                                                                     "ELF",
                                                                     4) == 0;
    if (!program) return true;
    Trailer t;
    if (readTrailer(fd, t)) {
        offset = t.archiveOffset;
        size = t.archiveSize;
        return true;
    }
    std::vector<uint8_t> buf(1 << 16);
    const uint64_t end = fileSize < kScanLimit ? fileSize : kScanLimit;
    for (uint64_t base = 0; base + 21 <= end;) {
        ssize_t got = sys::pread(fd, buf.data(), buf.size(), static_cast<int64_t>(base));
        if (got < 21) break;
        size_t n = static_cast<size_t>(got);
        for (size_t i = 0; i + 21 <= n; ++i)
            if (looksLikeHeader(&buf[i]) && headerAt(fd, base + i, fileSize)) {
                offset = base + i;
                return true;
            }
        base += n - 20;  // a header may straddle two reads
    }
    return false;
}

}  // namespace archive
