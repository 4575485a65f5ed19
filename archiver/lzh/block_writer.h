#pragma once
// Collects the parse's tokens and writes them as blocks, each with its own
// Huffman tables, cutting a chunk where separate tables save bits.
#include <bit>
#include <cstdint>
#include <vector>

#include "bitio.h"
#include "format.h"

namespace lzh {

// A token: literal byte (< 256), or length code | (distance - 1) << 9.
inline uint32_t matchToken(uint32_t len, uint32_t dist) { return (len - kMinMatch + 256) | (dist - 1) << 9; }
inline int bitLength(uint32_t v) { return static_cast<int>(std::bit_width(v)); }
inline uint32_t posCode(uint32_t tok) { return static_cast<uint32_t>(bitLength(tok >> 9)); }

struct Freqs {
    uint32_t c[NC]{};
    uint32_t p[NPMAX]{};
    void count(uint32_t tok) {
        ++c[tok & 511];
        if (tok >= 256) ++p[posCode(tok)];
    }
};

class BlockWriter {
public:
    static constexpr size_t kChunkTokens = 65535;  // the block's 16-bit code count

    BlockWriter() { tokens_.reserve(kChunkTokens); }
    void reset(const LzMethod& m);
    // Adds a token covering `len` input bytes; true when the chunk is full.
    bool add(uint32_t tok, uint32_t len) {
        tokens_.push_back(tok);
        covered_ += len;
        return tokens_.size() == kChunkTokens;
    }
    // Writes the tokens so far as one or more blocks.
    void flush();
    // Pads the last byte with zero bits.
    void finish() { bw_.finish(); }
    std::vector<uint8_t>& bytes() { return bw_.bytes(); }  // written, for the caller to drain
    uint64_t covered() const { return covered_; }
    const LzMethod& method() const { return *m_; }
    uint64_t bits() const { return bw_.bits(); }

private:
    struct Segment {
        size_t a, b;
        Freqs f;
        uint64_t cost;
        uint64_t used;  // bit g: a literal/length symbol among 8g..8g+7 occurs
    };
    double sweep(size_t a, size_t b, bool forward, std::vector<double>& bits) const;
    size_t cheapestCut(size_t a, size_t b, double whole) const;
    void writeSwept(size_t n);
    void writeRange(size_t a, size_t b);
    void writeBlock(const Segment& s);

    const LzMethod* m_ = nullptr;
    BitWriter bw_;
    std::vector<uint32_t> tokens_;
    uint64_t covered_ = 0;
    // The split search's, kept: small entries flush often.
    std::vector<Segment> segs_;
    std::vector<size_t> next_;
    std::vector<uint64_t> joined_;
    std::vector<double> before_, after_;  // a small chunk's cost guesses on each side of every cut point
};

}  // namespace lzh
