#pragma once
// Static Huffman codes as the -lh5-/-lh6-/-lh7- blocks use them: canonical
// codes (shorter codes first, then by symbol), at most 16 bits long.
#include <cstdint>
#include <functional>
#include <vector>

#include "bitio.h"

namespace lzh {

constexpr int kMaxCodeLen = 16;

// Code lengths for `freq`, none longer than `limit`. Symbols of frequency 0
// get length 0. With fewer than two used symbols every length stays 0 and
// the caller writes the single-symbol form.
void buildLengths(const uint32_t* freq, int n, int limit, uint8_t* len);

// Code lengths for `freq` that make the block smallest counting the table
// that describes them: in a small block the tables are a good part of it.
// `tableBits(count)` is that table's size for a code of count[l] codes of
// length l, the most frequent symbols getting the shortest.
void tunedLengths(const uint32_t* freq, int n, const std::function<uint64_t(const int*)>& tableBits, uint8_t* len);

// Canonical codes for the lengths.
void makeCodes(const uint8_t* len, int n, uint16_t* code);

// Table-driven decoder; build() throws on an over- or under-full table.
class HuffDecoder {
public:
    explicit HuffDecoder(int tableBits) : max_(tableBits), bits_(tableBits), table_(size_t{1} << tableBits) {}
    void build(const uint8_t* len, int n);
    void setSingle(uint16_t symbol) {
        single_ = true;
        sym_ = symbol;
    }
    int decode(BitReader& br) {
        if (single_) return sym_;
        br.need(kMaxCodeLen);
        uint16_t e = table_[br.peek(bits_)];
        if (e & 31) {
            br.drop(e & 31);
            return e >> 5;
        }
        return decodeLong(br);
    }

private:
    int decodeLong(BitReader& br);
    int max_;                      // the most bits the table may index
    int bits_;                     // bits it indexes for the current code: no more than its longest
    std::vector<uint16_t> table_;  // symbol << 5 | length, 0 = longer than bits_
    bool single_ = false;
    uint16_t sym_ = 0;
    uint16_t count_[kMaxCodeLen + 1]{};
    uint32_t first_[kMaxCodeLen + 2]{};
    uint16_t index_[kMaxCodeLen + 1]{};
    uint16_t sorted_[1024];
};

}  // namespace lzh
