#pragma once
// What the parsers share: the window they read and the blocks their tokens go to.
#include "block_writer.h"
#include "codec.h"
#include "match_finder.h"
#include "window.h"

namespace lzh {

struct GiveUp {};  // thrown when the output is clearly larger than the input

struct EncodeState {
    Window win;
    BlockWriter blocks;
    ByteSink* out = nullptr;
    bool giveUp = false;
    const Progress* progress = nullptr;
    EncodeResult res;

    void emit(uint32_t tok, uint32_t len) {
        if (blocks.add(tok, len)) flushChunk();
    }
    void flushChunk();
    void drain();
};

// The two parses; each keeps its tables between entries.
class LazyParser {
public:
    void resetFor(const Window& w) { mf_.reset(w); }  // before the window starts the entry
    void run(EncodeState& st, int dicbit);

private:
    ChainFinder mf_;
};

class PricedParser {
public:
    void resetFor(const Window& w) { mf_.reset(w); }
    void run(EncodeState& st);

private:
    struct Prices;
    enum class Pass { Search, Record, Replay };
    template <Pass kPass>
    uint32_t parseStep(const Window& w, const Prices& price, uint32_t seg);
    void lazyPrices(const Window& w, Prices& price, uint32_t reach, uint32_t threeLiterals, int np);
    TreeFinder mf_;
    std::vector<uint32_t> cost_, from_, path_;
    std::vector<uint32_t> at_, counts_;  // the positions a Record step searched, how many matches each
    std::vector<Match> found_;           // and those matches, in order
    std::vector<Match> longest_;         // the longest a lazy parse would take at each position
};

}  // namespace lzh
