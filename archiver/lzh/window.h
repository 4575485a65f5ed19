#pragma once
// The encoder's input: the window behind the current position and the
// lookahead, refilled from the source and slid forward in large steps.
#include <cstdint>
#include <cstring>
#include <vector>

#include "crc16.h"
#include "format.h"
#include "stream.h"

namespace lzh {

constexpr uint32_t kParseStep = 4096;                      // positions per priced-parse step
constexpr uint32_t kLookMax = kParseStep + kMaxMatch + 8;  // lookahead the parsers keep
constexpr uint32_t kSlide = 1 << 18;  // bytes dropped per slide; rarer slides, fewer index rewrites
constexpr uint32_t kPad = 16;         // compares may read this far past the data

struct Window {
    uint32_t wsize = 0, maxDist = 0, cap = 0;
    std::vector<uint8_t> buf;
    uint32_t pos = 0, end = 0;
    bool eof = false;
    bool slid = false;  // since start(): the match finders' cheap reset no longer applies
    ByteSource* in = nullptr;
    uint16_t crc = 0;
    uint64_t read = 0;

    void setWindow(int dicbit) {
        uint32_t w = 1u << dicbit;
        if (w == wsize) return;
        wsize = w;
        maxDist = w;  // the position codes reach a whole window back
        cap = w + kSlide + 2 * kLookMax;
        buf.assign(cap + kMaxMatch + kPad, 0);
    }

    // Starts an entry whose data follows `history` (at most the window).
    void start(ByteSource& src, const uint8_t* history, uint32_t n) {
        if (n) std::memcpy(buf.data(), history, n);
        pos = end = n;
        eof = slid = false;
        in = &src;
        crc = 0;
        read = 0;
    }

    // Reads until `want` bytes lie ahead of pos or the input ends; returns
    // how far the contents moved back (0 when they did not).
    uint32_t fill(uint32_t want) {
        uint32_t moved = 0;
        while (!eof && end - pos < want) {
            if (end == cap) {
                std::memmove(buf.data(), buf.data() + kSlide, end - kSlide);
                end -= kSlide;
                pos -= kSlide;
                moved += kSlide;
                slid = true;
            }
            size_t got = in->read(buf.data() + end, cap - end);
            if (!got) {
                eof = true;
                std::memset(buf.data() + end, 0, kMaxMatch + kPad);  // the same bytes past the end whatever came before
                break;
            }
            crc = crc16(crc, buf.data() + end, got);
            read += got;
            end += static_cast<uint32_t>(got);
        }
        return moved;
    }
};

}  // namespace lzh
