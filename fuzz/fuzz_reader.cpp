// libFuzzer target: any bytes read as an archive must give entries or a
// clean error, never a crash, a hang or unbounded memory.
#include <cstddef>
#include <cstdint>

#include "lzh/codec.h"
#include "lzh/error.h"
#include "lzh/header.h"
#include "lzh/stream.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    lzh::MemorySource src(data, size);
    try {
        lzh::Entry e;
        for (int n = 0; n < 64 && lzh::readHeader(src, e); ++n) {
            lzh::LimitedSource body(src, e.packed);
            if (const lzh::Method* m = lzh::findMethod(e.method)) {
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
