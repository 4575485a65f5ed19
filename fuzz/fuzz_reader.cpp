// libFuzzer target: any bytes read as an archive must give entries or a
// clean error, never a crash, a hang or unbounded memory. Bytes that start
// as a program are searched for the archive they carry first.
#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "archive/trailer.h"

#include "lzh/codec.h"
#include "lzh/error.h"
#include "lzh/header.h"
#include "lzh/stream.h"

namespace {
// Where the archive starts in a program's bytes; the search must stay in
// proportion to them.
size_t embeddedOffset(const uint8_t* data, size_t size) {
    if (size < 4 || (std::memcmp(data, "MZ", 2) != 0 && std::memcmp(data, "\x7f" "ELF", 4) != 0)) return 0;
    int fd = memfd_create("program", 0);
    if (fd < 0 || write(fd, data, size) != static_cast<ssize_t>(size)) std::abort();
    uint64_t offset = 0, length = 0;
    archive::ScanWork work;
    bool found = archive::locateArchive(fd, offset, length, {}, &work);
    close(fd);
    if (work.read > size || work.parsed > 5 * size + lzh::kMaxHeaderBytes) std::abort();
    return found && offset < size ? static_cast<size_t>(offset) : size;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    size_t at = embeddedOffset(data, size);
    lzh::MemorySource src(data + at, size - at);
    try {
        lzh::Entry e;
        for (int n = 0; n < 64 && lzh::readHeader(src, e); ++n) {
            lzh::LimitedSource body(src, e.packed);
            if (const lzh::LzMethod* m = lzh::findMethod(e.method)) {
                // Sizes are the archive's claim; cap them to keep runs short.
                uint64_t want = e.original < (uint64_t{4} << 20) ? e.original : (uint64_t{4} << 20);
                lzh::NullSink sink;
                lzh::decode(*m, body, want, sink);
            }
            if (body.left() && !src.skip(body.left())) break;
        }
    } catch (const lzh::Error&) {}
    return 0;
}
