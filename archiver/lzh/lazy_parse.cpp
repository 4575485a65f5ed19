// The lazy parse of -lh5-/-lh6-: at each position the longest match, taken
// unless the next position has a longer one.
#include <algorithm>
#include <bit>

#include "byte_counts.h"
#include "encode_state.h"

namespace lzh {

namespace {
constexpr uint32_t kLook = kMaxMatch + kMinMatch + 1;  // lookahead kept while input remains
constexpr uint32_t kLazy = 48;                         // a match this long is taken without looking further
constexpr uint32_t kRelook = 16384;                    // positions between two looks at the bytes ahead
constexpr int kShortMatchBits = 6;                     // a 3-byte match's codes, about, before the distance's bits
constexpr uint32_t kNoisyBits = 7;                     // bits a byte from which the bytes ahead look random

// About what a literal of each byte value costs where the parse stands,
// from the byte counts of the input ahead. A 3-byte match is taken only
// where its three literals would cost more: text keeps its literals where
// binary data takes far matches (text 0.5% and source trees 0.3% smaller
// than with one distance limit for all; binaries the same). Where the bytes
// look random, matches are rare and their codes long: there the old limit
// stays, so that such data grows no more than it did before it is stored.
class LiteralBits {
public:
    void look(const uint8_t* p, uint32_t n) {
        ByteCounts bc(p, n);
        const auto unseen = static_cast<uint8_t>(std::bit_width(n) + 1);
        for (int b = 0; b < 256; ++b) bits_[b] = bc.h[b] ? static_cast<uint8_t>(bc.bits(b) - 1) : unseen;
        noisy_ = bc.totalBits() >= kNoisyBits * n;
    }
    // Whether a 3-byte match `dist` back from p costs more than its literals.
    bool worseThanLiterals(const uint8_t* p, uint32_t dist, uint32_t noisyLimit) const {
        if (noisy_) return dist > noisyLimit;
        return bits_[p[0]] + bits_[p[1]] + bits_[p[2]] < kShortMatchBits + bitLength(dist - 1);
    }

private:
    uint8_t bits_[256];
    bool noisy_ = false;
};
}  // namespace

void LazyParser::run(EncodeState& st, int dicbit) {
    // Measured on headers, binaries, fonts and licences: these keep -lh5-/-lh6-
    // at gzip -6 speed and below jlha's size; -lh6- too walks 128 steps (it
    // was 64): 0.2-0.3% smaller on text and binaries, at 0.9 of gzip's CPU.
    mf_.chain = 128;
    mf_.good = 24;
    mf_.nice = kMaxMatch;
    Window& w = st.win;
    uint32_t primed = w.pos;
    // Read up to a step ahead at first, to know whether the entry ends there.
    if (uint32_t moved = w.fill(kLookMax)) mf_.slide(moved);
    const uint32_t noisyLimit = dicbit >= 15 ? 8192 : 4096;
    LiteralBits literals;
    uint64_t nextLook = 0;  // in the entry's bytes
    for (uint32_t p = 0; p < primed; ++p) mf_.insert(w, p);
    uint32_t matchLen = kMinMatch - 1, matchDist = 0;
    bool pending = false;
    for (;;) {
        if (w.end - w.pos < kLook)
            if (uint32_t moved = w.fill(kLook)) mf_.slide(moved);
        uint32_t look = w.end - w.pos;
        if (!look) break;
        if (uint64_t here = w.read - look; here >= nextLook) {
            literals.look(w.buf.data() + w.pos, std::min(look, kParseStep));
            nextLook = here + kRelook;
        }
        uint32_t prevLen = matchLen, prevDist = matchDist;
        matchLen = kMinMatch - 1;
        if (look >= kMinMatch) {
            uint32_t head = mf_.insert(w, w.pos);
            if (prevLen < kLazy && mf_.reaches(w, head)) matchLen = mf_.longest(w, head, prevLen, look, matchDist);
            if (matchLen == kMinMatch && literals.worseThanLiterals(w.buf.data() + w.pos, matchDist, noisyLimit))
                matchLen = kMinMatch - 1;
        }
        if (prevLen >= kMinMatch && matchLen <= prevLen) {
            st.emit(matchToken(prevLen, prevDist), prevLen);
            uint32_t stop = w.pos - 1 + prevLen;
            while (++w.pos < stop)
                if (w.end - w.pos >= kMinMatch) mf_.insert(w, w.pos);
            pending = false;
            matchLen = kMinMatch - 1;
        } else if (pending) {
            st.emit(w.buf[w.pos - 1], 1);
            ++w.pos;
        } else {
            pending = true;
            ++w.pos;
        }
    }
    if (pending) st.emit(w.buf[w.pos - 1], 1);
}

}  // namespace lzh
