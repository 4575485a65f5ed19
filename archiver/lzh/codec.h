#pragma once
// The -lh4-..-lh7- codecs: LZ77 over a sliding window, coded in blocks with
// static Huffman tables.
#include <cstdint>
#include <functional>
#include <string>

#include "stream.h"

namespace lzh {

struct Method {
    const char *id; // "-lh5-"
    int dicbit;     // window is 1 << dicbit bytes
    int np;         // number of position codes
    int pbit;       // bits of the position-table count
};

// The LZ methods by id ("-lh5-"), or nullptr.
const Method *findMethod(const std::string &id);
const Method &methodForLevel(int jm); // 2 -> lh5, 3 -> lh6, 4 -> lh7

// Called between blocks with the input bytes consumed so far; may throw to cancel.
using Progress = std::function<void(uint64_t)>;

struct EncodeResult {
    uint64_t in = 0;      // bytes read
    uint64_t out = 0;     // bytes written
    uint16_t crc = 0;     // CRC-16 of the bytes read
    bool gaveUp = false;  // stopped early: the data does not shrink
};

// Packs `in` into `out`. With giveUp set it stops as soon as the output is
// clearly larger than the input, so the caller can store the file instead.
EncodeResult encode(const Method &m, ByteSource &in, ByteSink &out, bool giveUp, const Progress &progress = {});

// Unpacks exactly `original` bytes; returns their CRC-16. Throws
// UNLHA_ERR_DAMAGED on any inconsistency in the packed data.
uint16_t decode(const Method &m, ByteSource &packed, uint64_t original, ByteSink &out,
                const Progress &progress = {});

} // namespace lzh
