#pragma once
// Bit I/O, most significant bit first.
#include <cstdint>
#include <vector>

#include "error.h"
#include "stream.h"

namespace lzh {

class BitWriter {
public:
    explicit BitWriter(std::vector<uint8_t>& out) : out_(out) {}
    void put(int n, uint32_t v) {  // n <= 32
        if (!n) return;
        total_ += static_cast<unsigned>(n);
        acc_ = (acc_ << n) | (v & (n == 32 ? 0xFFFFFFFFu : ((1u << n) - 1)));
        nbits_ += n;
        // Whole 32-bit words: a quarter of the vector appends.
        if (nbits_ >= 32) {
            nbits_ -= 32;
            uint32_t w = static_cast<uint32_t>(acc_ >> nbits_);
            uint8_t b[4] = {static_cast<uint8_t>(w >> 24), static_cast<uint8_t>(w >> 16), static_cast<uint8_t>(w >> 8),
                            static_cast<uint8_t>(w)};
            out_.insert(out_.end(), b, b + 4);
        }
    }
    // Appends a stream of `bits` bits held most significant first in `src`.
    void append(const uint8_t* src, uint64_t bits) {
        for (; bits >= 32; bits -= 32, src += 4)
            put(32, uint32_t{src[0]} << 24 | uint32_t{src[1]} << 16 | uint32_t{src[2]} << 8 | src[3]);
        for (; bits >= 8; bits -= 8) put(8, *src++);
        if (bits) put(static_cast<int>(bits), static_cast<uint32_t>(*src >> (8 - bits)));
    }
    uint64_t bits() const { return total_; }  // put so far, padding excluded
    void reset() {
        acc_ = 0;
        nbits_ = 0;
        total_ = 0;
    }
    // Writes the pending bits, padding the last byte with zero bits.
    void finish() {
        while (nbits_ >= 8) {
            nbits_ -= 8;
            out_.push_back(static_cast<uint8_t>(acc_ >> nbits_));
        }
        if (nbits_) {
            out_.push_back(static_cast<uint8_t>(acc_ << (8 - nbits_)));
            nbits_ = 0;
        }
    }

private:
    std::vector<uint8_t>& out_;
    uint64_t acc_ = 0;
    int nbits_ = 0;
    uint64_t total_ = 0;
};

// Reads a packed stream of known length. Past its end it supplies zero bits;
// consuming more than a few of those means the data is damaged.
class BitReader {
public:
    explicit BitReader(ByteSource& in) : in_(in) {}
    void need(int n) {
        if (nbits_ < n) refill();
    }
    uint32_t peek(int n) const { return n ? static_cast<uint32_t>(acc_ >> (64 - n)) : 0; }
    void drop(int n) {
        acc_ <<= n;
        nbits_ -= n;
    }
    uint32_t get(int n) {
        need(n);
        uint32_t v = peek(n);
        drop(n);
        return v;
    }
    // True when bits beyond the real data were consumed.
    bool overran() const { return static_cast<int64_t>(fake_) * 8 > nbits_; }

private:
    void refill() {
        while (nbits_ <= 56) {
            if (pos_ == len_) {
                len_ = in_.read(buf_, sizeof buf_);
                pos_ = 0;
                if (!len_) {
                    if (++fake_ > 16) damaged("packed data ends early");
                    acc_ |= uint64_t{0} << (56 - nbits_);
                    nbits_ += 8;
                    continue;
                }
            }
            acc_ |= static_cast<uint64_t>(buf_[pos_++]) << (56 - nbits_);
            nbits_ += 8;
        }
    }
    ByteSource& in_;
    uint8_t buf_[1 << 15];
    size_t pos_ = 0, len_ = 0;
    uint64_t acc_ = 0;
    int nbits_ = 0;
    uint32_t fake_ = 0;
};

}  // namespace lzh
