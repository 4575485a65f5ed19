#pragma once
// The -lh4-..-lh7- codecs: LZ77 over a sliding window, coded in blocks with
// static Huffman tables.
#include <cstdint>
#include <functional>
#include <memory>

#include "format.h"
#include "stream.h"

namespace lzh {

// Called between blocks with the input bytes consumed so far; may throw to cancel.
using Progress = std::function<void(uint64_t)>;

// Output past the input by this much shows that data does not shrink.
constexpr uint64_t kGiveUpBytes = 1024;

struct EncodeResult {
    uint64_t in = 0;      // bytes read
    uint64_t out = 0;     // bytes written (the last one padded with zero bits)
    uint64_t bits = 0;    // bits written before that padding
    uint16_t crc = 0;     // CRC-16 of the bytes read
    bool gaveUp = false;  // stopped early: the data does not shrink
};

// Packs byte streams. One encoder keeps its tables from entry to entry, so
// packing many small files costs what their bytes cost, not a set-up each.
class Encoder {
public:
    Encoder();
    ~Encoder();
    Encoder(const Encoder&) = delete;
    Encoder& operator=(const Encoder&) = delete;

    // Packs `in` into `out`. With giveUp set it stops as soon as the output is
    // clearly larger than the input, so the caller can store the file instead.
    // `history` (at most the window) is the data just before `in`: matches may
    // reach into it, and the output continues a stream that already holds it.
    EncodeResult encode(const LzMethod& m, ByteSource& in, ByteSink& out, bool giveUp, const Progress& progress = {},
                        const uint8_t* history = nullptr, size_t historySize = 0);

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

// Unpacks byte streams; keeps its window and tables from entry to entry.
class Decoder {
public:
    Decoder();
    ~Decoder();
    Decoder(const Decoder&) = delete;
    Decoder& operator=(const Decoder&) = delete;

    // Unpacks exactly `original` bytes; returns their CRC-16. Throws
    // UNLHA_ERR_DAMAGED on any inconsistency in the packed data.
    uint16_t decode(const LzMethod& m, ByteSource& packed, uint64_t original, ByteSink& out,
                    const Progress& progress = {});

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

// One-off forms of the above.
EncodeResult encode(const LzMethod& m, ByteSource& in, ByteSink& out, bool giveUp, const Progress& progress = {});
uint16_t decode(const LzMethod& m, ByteSource& packed, uint64_t original, ByteSink& out, const Progress& progress = {});

}  // namespace lzh
