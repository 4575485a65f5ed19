// The lazy parse of -lh5-/-lh6-: at each position the longest match, taken
// unless the next position has a longer one.
#include <algorithm>

#include "byte_counts.h"
#include "encode_state.h"

namespace lzh {

namespace {
constexpr uint32_t kLook = kMaxMatch + kMinMatch + 1;  // lookahead kept while input remains
constexpr uint32_t kLazy = 48;                         // a match this long is taken without looking further
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
    uint32_t tooFar = dicbit >= 15 ? 8192 : 4096;  // a 3-byte match farther is not worth it
    if (uint32_t n = w.end - w.pos; w.eof && n && n <= kParseStep) {
        // A small entry: three literals cost about three times its entropy,
        // a 3-byte match about 6 bits plus the distance's extra bits. Text
        // gains by keeping its literals; binary data keeps the default.
        uint32_t threeLiterals = (3 * ByteCounts(w.buf.data() + w.pos, n).totalBits() + n / 2) / n;
        uint32_t distBits = std::clamp<uint32_t>(threeLiterals, 6 + 7, dicbit >= 15 ? 6 + 13 : 6 + 12) - 6;
        tooFar = 1u << distBits;
    }
    for (uint32_t p = 0; p < primed; ++p) mf_.insert(w, p);
    uint32_t matchLen = kMinMatch - 1, matchDist = 0;
    bool pending = false;
    for (;;) {
        if (w.end - w.pos < kLook)
            if (uint32_t moved = w.fill(kLook)) mf_.slide(moved);
        uint32_t look = w.end - w.pos;
        if (!look) break;
        uint32_t prevLen = matchLen, prevDist = matchDist;
        matchLen = kMinMatch - 1;
        if (look >= kMinMatch) {
            uint32_t head = mf_.insert(w, w.pos);
            if (prevLen < kLazy && mf_.reaches(w, head)) matchLen = mf_.longest(w, head, prevLen, look, matchDist);
            if (matchLen == kMinMatch && matchDist > tooFar) matchLen = kMinMatch - 1;
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
