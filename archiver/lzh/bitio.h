#pragma once
// Bit I/O, most significant bit first.
#include <cstdint>
#include <cstring>
#include <vector>

#include "error.h"
#include "stream.h"

namespace lzh {

class BitWriter {
public:
    void put(int n, uint32_t v) {  // n <= 32
        total_ += static_cast<unsigned>(n);
        acc_ = (acc_ << n) | (v & ((uint64_t{1} << n) - 1));
        nbits_ += n;
        if (nbits_ >= 32) {
            nbits_ -= 32;
            const uint32_t w = static_cast<uint32_t>(acc_ >> nbits_);
            const uint8_t b[4] = {static_cast<uint8_t>(w >> 24), static_cast<uint8_t>(w >> 16),
                                  static_cast<uint8_t>(w >> 8), static_cast<uint8_t>(w)};
            std::memcpy(stage_ + staged_, b, 4);
            staged_ += 4;
            // Whole runs of words: appending to the vector cost more than coding.
            if (staged_ == sizeof stage_) unstage();
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
    // The whole bytes written so far; the caller may take them out.
    std::vector<uint8_t>& bytes() {
        unstage();
        return out_;
    }
    void reset() {
        out_.clear();
        staged_ = 0;
        acc_ = 0;
        nbits_ = 0;
        total_ = 0;
    }
    // Writes the pending bits, padding the last byte with zero bits.
    void finish() {
        unstage();
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
    void unstage() {
        out_.insert(out_.end(), stage_, stage_ + staged_);
        staged_ = 0;
    }

    std::vector<uint8_t> out_;
    uint8_t stage_[256];
    size_t staged_ = 0;
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
