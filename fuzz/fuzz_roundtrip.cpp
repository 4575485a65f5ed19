// libFuzzer target: whatever the input, every method must give it back
// byte for byte and with the right CRC.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "lzh/codec.h"
#include "lzh/crc16.h"
#include "lzh/stream.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    for (int jm = 2; jm <= 4; ++jm) {
        lzh::MemorySource in(data, size);
        lzh::VectorSink packed;
        static lzh::Encoder encs[5];  // one per method, kept across inputs as a packer keeps it across entries
        lzh::EncodeResult r = encs[jm].encode(lzh::methodForLevel(jm), in, packed, false);
        if (r.in != size || r.crc != lzh::crc16(0, data, size)) abort();
        lzh::MemorySource back(packed.data.data(), packed.data.size());
        lzh::VectorSink out;
        if (lzh::decode(lzh::methodForLevel(jm), back, size, out) != r.crc) abort();
        if (out.data.size() != size || (size && std::memcmp(out.data.data(), data, size) != 0)) abort();
    }
    return 0;
}
