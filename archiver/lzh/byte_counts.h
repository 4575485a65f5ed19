#pragma once
// How often each byte occurs in a stretch of input: a guess at what its
// literals will cost before any code exists.
#include <bit>
#include <cstdint>

namespace lzh {

struct ByteCounts {
    uint32_t n, h[256]{};

    ByteCounts(const uint8_t* p, uint32_t len) : n(len) {
        for (uint32_t i = 0; i < len; ++i) ++h[p[i]];
    }
    // About 1 + log2(n / h[b]): the length of byte b's code, if it is used
    // (sqrt(2) ~ 181 / 128 rounds the logarithm).
    uint32_t bits(int b) const { return static_cast<uint32_t>(std::bit_width(n * 181 / 128 / h[b])); }
    // About n times the bytes' entropy.
    uint32_t totalBits() const {
        uint32_t t = 0;
        for (int b = 0; b < 256; ++b)
            if (h[b]) t += h[b] * (bits(b) - 1);
        return t;
    }
};

}  // namespace lzh
