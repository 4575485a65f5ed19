// Finding the archive inside a self-extractor, on an open file.
#include <algorithm>
#include <cerrno>
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

// A candidate's bytes, straight from the scan's buffer, counted.
class BufferSource : public lzh::ByteSource {
public:
    BufferSource(const uint8_t* p, size_t n) : p_(p), n_(n) {}
    size_t read(uint8_t* dst, size_t n) override {
        n = std::min(n, n_ - used);
        std::memcpy(dst, p_ + used, n);
        used += n;
        return n;
    }
    size_t used = 0;

private:
    const uint8_t* p_;
    size_t n_;
};

// A header that reads without fault and whose data lies inside the file;
// `avail` bytes follow `p` in the file, or at least the longest header.
bool headerAt(const uint8_t* p, size_t avail, uint64_t following, ScanWork& work) {
    BufferSource src(p, avail);
    bool ok = false;
    try {
        lzh::Entry e;
        ok = lzh::readHeader(src, e) && src.used + e.packed <= following;
    } catch (const lzh::Error&) {
    }
    ++work.candidates;
    work.parsed += src.used;
    return ok;
}

// Programs' own bytes can hold a method name; only a whole valid header counts.
constexpr uint64_t kScanLimit = uint64_t{16} << 20;
// Candidates are taken from steps of this many bytes, each read once with
// the longest header's worth after it; cancellation is polled as often.
constexpr size_t kStep = size_t{1} << 20;
// Header bytes parsed per byte scanned before the search gives up: a
// program holds a method name now and then; a file of little else, whose
// headers each run far into the next ones, is not an archive's carrier.
constexpr uint64_t kParsedPerByte = 4;
}  // namespace

bool readTrailer(int fd, Trailer& t) {
    uint64_t size = sizeOf(fd);
    uint8_t b[kTrailerSize];
    if (size < kTrailerSize ||
        sys::pread(fd, b, sizeof b, static_cast<int64_t>(size - kTrailerSize)) != static_cast<ssize_t>(sizeof b))
        return false;
    return decodeTrailer(b, size, t);
}

bool locateArchive(int fd, uint64_t& offset, uint64_t& size, const std::function<bool()>& cancelled,
                   ScanWork* counted) {
    offset = size = 0;
    ScanWork own;
    ScanWork& work = counted ? *counted : own;
    work = {};
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
    auto poll = [&] {
        if (cancelled && cancelled()) lzh::fail(UNLHA_ERR_CANCELLED, "cancelled");
    };
    const uint64_t end = std::min(fileSize, kScanLimit);
    const uint64_t budget = kParsedPerByte * end + lzh::kMaxHeaderBytes;
    std::vector<uint8_t> buf(static_cast<size_t>(std::min<uint64_t>(kStep + lzh::kMaxHeaderBytes, fileSize)));
    size_t have = 0;  // bytes in buf, from file offset `base`
    for (uint64_t base = 0; base + 21 <= end; base += kStep) {
        poll();
        if (base) {
            have = have > kStep ? have - kStep : 0;
            std::memmove(buf.data(), buf.data() + kStep, have);
        }
        while (have < buf.size()) {
            ssize_t got = sys::pread(fd, buf.data() + have, buf.size() - have, static_cast<int64_t>(base + have));
            if (got < 0 && errno == EINTR) {
                poll();
                continue;
            }
            if (got <= 0) break;
            have += static_cast<size_t>(got);
            work.read += static_cast<uint64_t>(got);
        }
        const size_t stop = static_cast<size_t>(std::min<uint64_t>(kStep, end - base));
        uint64_t nextPoll = work.parsed + kStep;
        for (size_t i = 0; i < stop && i + 21 <= have; ++i) {
            if (!looksLikeHeader(&buf[i])) continue;
            if (headerAt(&buf[i], have - i, fileSize - base - i, work)) {
                offset = base + i;
                return true;
            }
            if (work.parsed > budget) return false;
            if (work.parsed >= nextPoll) poll(), nextPoll = work.parsed + kStep;
        }
    }
    return false;
}

}  // namespace archive
