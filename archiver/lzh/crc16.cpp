#include "crc16.h"

#include <array>

namespace lzh {
namespace {
// Slicing by 8: eight tables so the loop consumes a 64-bit word per step.
constexpr std::array<std::array<uint16_t, 256>, 8> makeTables() {
    std::array<std::array<uint16_t, 256>, 8> t{};
    for (unsigned i = 0; i < 256; ++i) {
        uint16_t c = static_cast<uint16_t>(i);
        for (int k = 0; k < 8; ++k)
            c = (c & 1) ? static_cast<uint16_t>((c >> 1) ^ 0xA001) : static_cast<uint16_t>(c >> 1);
        t[0][i] = c;
    }
    for (unsigned i = 0; i < 256; ++i)
        for (int s = 1; s < 8; ++s) t[s][i] = static_cast<uint16_t>((t[s - 1][i] >> 8) ^ t[0][t[s - 1][i] & 0xFF]);
    return t;
}
constexpr auto kTables = makeTables();
}  // namespace

uint16_t crc16(uint16_t crc, const uint8_t* p, size_t n) {
    while (n >= 8) {
        crc = static_cast<uint16_t>(kTables[7][(p[0] ^ crc) & 0xFF] ^ kTables[6][(p[1] ^ (crc >> 8)) & 0xFF] ^
                                    kTables[5][p[2]] ^ kTables[4][p[3]] ^ kTables[3][p[4]] ^ kTables[2][p[5]] ^
                                    kTables[1][p[6]] ^ kTables[0][p[7]]);
        p += 8;
        n -= 8;
    }
    while (n--) crc = static_cast<uint16_t>((crc >> 8) ^ kTables[0][(crc ^ *p++) & 0xFF]);
    return crc;
}

namespace {
// The CRC state is linear in GF(2): a 16x16 matrix (one column per state
// bit) maps it across zero bytes.
using Matrix = std::array<uint16_t, 16>;

uint16_t apply(const Matrix& m, uint16_t v) {
    uint16_t r = 0;
    for (int i = 0; v; ++i, v >>= 1)
        if (v & 1) r ^= m[static_cast<size_t>(i)];
    return r;
}

Matrix product(const Matrix& a, const Matrix& b) {  // a after b
    Matrix r{};
    for (size_t i = 0; i < 16; ++i) r[i] = apply(a, b[i]);
    return r;
}
}  // namespace

uint16_t crc16Combine(uint16_t crcA, uint16_t crcB, uint64_t lengthB) {
    if (!crcA) return crcB;  // the map is linear: zero stays zero (every first piece)
    Matrix step{};           // one zero byte
    for (size_t i = 0; i < 16; ++i) {
        uint8_t zero = 0;
        step[i] = crc16(static_cast<uint16_t>(1u << i), &zero, 1);
    }
    for (; lengthB; lengthB >>= 1, step = product(step, step))
        if (lengthB & 1) crcA = apply(step, crcA);
    return crcA ^ crcB;
}

}  // namespace lzh
