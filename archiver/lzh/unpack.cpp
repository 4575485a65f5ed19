#include "unpack.h"

#include <vector>

#include "codec.h"
#include "crc16.h"
#include "error.h"

namespace lzh {

uint16_t unpack(Decoder& dec, const Entry& e, ByteSource& data, ByteSink& out, const Progress& progress) {
    if (isStored(e.method)) {
        if (e.packed != e.original) damaged("stored entry with two sizes: " + e.path());
        std::vector<uint8_t> buf(1 << 16);
        uint16_t crc = 0;
        uint64_t left = e.original;
        while (left) {
            size_t want = left < buf.size() ? static_cast<size_t>(left) : buf.size();
            size_t n = data.read(buf.data(), want);
            if (!n) damaged("entry data cut short: " + e.path());
            crc = crc16(crc, buf.data(), n);
            out.write(buf.data(), n);
            left -= n;
            if (progress) progress(e.original - left);
        }
        return crc;
    }
    const LzMethod* m = findMethod(e.method);
    if (!m) fail(UNLHA_ERR_METHOD, "unsupported method " + e.method + ": " + e.path());
    return dec.decode(*m, data, e.original, out, progress);
}

}  // namespace lzh
