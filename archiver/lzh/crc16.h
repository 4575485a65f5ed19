#pragma once
#include <cstddef>
#include <cstdint>

namespace lzh {
// CRC-16 as LZH uses it: polynomial 0x8005 reflected (0xA001), start 0.
uint16_t crc16(uint16_t crc, const uint8_t* data, size_t n);
}  // namespace lzh

namespace lzh {
// The CRC of A followed by B from the CRCs of both and B's length.
uint16_t crc16Combine(uint16_t crcA, uint16_t crcB, uint64_t lengthB);
}  // namespace lzh
