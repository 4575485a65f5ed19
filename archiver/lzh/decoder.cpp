#include <algorithm>
#include <cstring>
#include <vector>

#include "codec.h"
#include "crc16.h"
#include "huffman.h"

namespace lzh {

namespace {
constexpr size_t kHistory = 1 << 16;  // covers the largest distance of any method
constexpr size_t kChunk = 1 << 16;

void readPtLen(BitReader& br, HuffDecoder& dec, int nn, int nbit, int special) {
    int n = static_cast<int>(br.get(nbit));
    if (n == 0) {
        int c = static_cast<int>(br.get(nbit));
        if (c >= nn) damaged("bad single code");
        dec.setSingle(static_cast<uint16_t>(c));
        return;
    }
    if (n > nn) damaged("table too large");
    uint8_t len[NT > 17 ? NT : 17]{};
    int i = 0;
    while (i < n) {
        int c = static_cast<int>(br.get(3));
        if (c == 7)
            while (br.get(1))
                if (++c > 16) damaged("code length too long");
        len[i++] = static_cast<uint8_t>(c);
        if (i == special) {
            int run = static_cast<int>(br.get(2));
            while (run-- > 0 && i < nn) len[i++] = 0;
        }
    }
    dec.build(len, nn);
}

void readCLen(BitReader& br, HuffDecoder& t, HuffDecoder& c) {
    int n = static_cast<int>(br.get(CBIT));
    if (n == 0) {
        int s = static_cast<int>(br.get(CBIT));
        if (s >= NC) damaged("bad single code");
        c.setSingle(static_cast<uint16_t>(s));
        return;
    }
    if (n > NC) damaged("table too large");
    uint8_t len[NC]{};
    int i = 0;
    while (i < n) {
        int k = t.decode(br);
        if (k <= 2) {
            int run = k == 0 ? 1 : k == 1 ? static_cast<int>(br.get(4)) + 3 : static_cast<int>(br.get(CBIT)) + 20;
            if (i + run > n) damaged("zero run past table");
            i += run;
        } else {
            len[i++] = static_cast<uint8_t>(k - 2);
        }
    }
    c.build(len, NC);
}
}  // namespace

struct Decoder::Impl {
    HuffDecoder cdec{12}, pdec{8}, tdec{8};
    std::vector<uint8_t> buf = std::vector<uint8_t>(kHistory + kChunk + 512);
};

Decoder::Decoder() : impl_(std::make_unique<Impl>()) {}
Decoder::~Decoder() = default;

uint16_t decode(const LzMethod& m, ByteSource& packed, uint64_t original, ByteSink& out, const Progress& progress) {
    return Decoder().decode(m, packed, original, out, progress);
}

uint16_t Decoder::decode(const LzMethod& m, ByteSource& packed, uint64_t original, ByteSink& out,
                         const Progress& progress) {
    BitReader br(packed);
    HuffDecoder &cdec = impl_->cdec, &pdec = impl_->pdec, &tdec = impl_->tdec;
    uint8_t* b = impl_->buf.data();
    size_t pos = 0, flushed = 0;
    uint64_t produced = 0, remaining = original;
    uint32_t blockLeft = 0;
    uint16_t crc = 0;
    auto flush = [&] {
        crc = crc16(crc, b + flushed, pos - flushed);
        out.write(b + flushed, pos - flushed);
        flushed = pos;
    };
    while (remaining) {
        if (!blockLeft) {
            blockLeft = br.get(16);
            if (!blockLeft) damaged("empty block");
            readPtLen(br, tdec, NT, TBIT, 3);
            readCLen(br, tdec, cdec);
            readPtLen(br, pdec, m.np, m.pbit, -1);
        }
        --blockLeft;
        int c = cdec.decode(br);
        if (c < 256) {
            b[pos++] = static_cast<uint8_t>(c);
            --remaining;
            ++produced;
        } else {
            uint32_t len = static_cast<uint32_t>(c - 253);
            uint32_t d = static_cast<uint32_t>(pdec.decode(br));
            if (d > 1) d = (1u << (d - 1)) + br.get(static_cast<int>(d) - 1);
            uint64_t dist = uint64_t{d} + 1;
            if (len > remaining) damaged("match runs past the end");
            if (dist > produced) damaged("match before the start");
            uint8_t* dst = b + pos;
            const uint8_t* src = dst - dist;
            if (dist >= len) {
                std::memcpy(dst, src, len);
            } else {
                for (uint32_t k = 0; k < len; ++k) dst[k] = src[k];
            }
            pos += len;
            remaining -= len;
            produced += len;
        }
        if (pos >= kHistory + kChunk) {
            flush();
            std::memmove(b, b + pos - kHistory, kHistory);
            pos = flushed = kHistory;
            if (progress) progress(produced);
        }
    }
    flush();
    if (br.overran()) damaged("packed data ends early");
    return crc;
}

}  // namespace lzh
