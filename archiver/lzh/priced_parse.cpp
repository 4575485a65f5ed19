// The priced parse of -lh7-: the cheapest path through each step of the
// input, every searched position priced with the code lengths the recent
// tokens would get.
#include <algorithm>
#include <cstring>

#include "byte_counts.h"
#include "encode_state.h"
#include "huffman.h"

namespace lzh {

namespace {
// Four lengths of a match are priced at once: the per-length compare is a
// branch the predictor mostly loses. Where SSE is missing (32-bit Windows)
// GCC splits the lanes and warns that vectors change the calling
// convention; these helpers never leave this file.
#pragma GCC diagnostic ignored "-Wpsabi"
using Lanes = int32_t __attribute__((vector_size(16)));
inline Lanes load(const uint32_t* p) {
    Lanes v;
    std::memcpy(&v, p, sizeof v);
    return v;
}
inline void store(uint32_t* p, Lanes v) { std::memcpy(p, &v, sizeof v); }
constexpr uint32_t kLanes = 4;
constexpr uint8_t kUnreachedByte = 0x7F;  // costs compare as signed lanes, and are set by memset

constexpr uint32_t kDepth = 8;           // tree nodes visited per search
constexpr uint32_t kInsDepth = 3;        // per position only indexed (inside a match taken)
constexpr uint32_t kTreeNice = 32;       // the tree keeps one of two positions that agree this far
constexpr uint32_t kNice = 14;           // a match this long is taken as it is,
constexpr uint32_t kConfirm = 2;         // unless one of the positions after it reaches further;
constexpr uint32_t kReopen = 2;          // its last positions are searched: a match there may reach further
constexpr uint32_t kSparse = 4;          // inside it, one position in this many goes into the tree
constexpr uint32_t kDenseLengths = 18;   // every match length up to this is priced
constexpr uint32_t kFirstReprice = 16;   // tokens before the first prices of an entry's own: repriced only
                                         // after a step, its first steps thus each get new prices
constexpr uint32_t kRepriceTokens = 8192;
constexpr uint32_t kUnusedRange = 5;     // bits guessed for a distance range's code when recent tokens left it unused
// Lookahead kept: the tree compares up to kTreeNice + 8 bytes past the
// positions it indexes, and those run a long match past the step.
constexpr uint32_t kAhead = kLookMax + kTreeNice + kPad;
static_assert(kTreeNice <= kMaxMatch, "the window zeroes kMaxMatch + kPad bytes past the end");
}  // namespace

struct PricedParser::Prices {
    uint32_t c[NC + kLanes], p[NPMAX];  // lanes read past the longest length
    Freqs recent;
    uint32_t since = 0;
    uint32_t every = kFirstReprice;  // doubles up to kRepriceTokens: small files soon get their own prices

    // Before any statistics exist.
    Prices() {
        for (int i = 0; i < 256; ++i) c[i] = 9;
        for (int i = 256; i < NC; ++i) c[i] = 7 + static_cast<uint32_t>(i - 256) / 64;
        std::fill(c + NC, c + NC + kLanes, 0);
        for (int i = 0; i < NPMAX; ++i) p[i] = 5 + (i > 1 ? i - 1 : 0);
    }

    // Literals as their own counts would code them, one bit more: they
    // share that code with the match lengths.
    void literalsFrom(const ByteCounts& bc) {
        for (int b = 0; b < 256; ++b) c[b] = bc.h[b] ? std::clamp<uint32_t>(bc.bits(b), 1, 16) + 1 : 14;
    }

    // About the codes the recent tokens would get, without building them:
    // cheap enough for each small entry.
    void estimate(int np) {
        uint32_t tc = 0, tp = 0;
        for (uint32_t f : recent.c) tc += f;
        for (int i = 0; i < np; ++i) tp += recent.p[i];
        auto bits = [](uint32_t total, uint32_t f) {
            return std::clamp<uint32_t>(static_cast<uint32_t>(std::bit_width(total * 181 / 128 / f)), 1, 16);
        };
        for (int i = 0; i < NC; ++i) c[i] = recent.c[i] ? bits(tc, recent.c[i]) : 14;
        for (int i = 0; i < np; ++i) p[i] = (recent.p[i] ? bits(tp, recent.p[i]) : 9) + (i > 1 ? i - 1 : 0);
    }

    // From the codes the recent tokens would get.
    void update(int np) {
        uint8_t clen[NC], plen[NPMAX];
        buildLengths(recent.c, NC, kMaxCodeLen, clen);
        buildLengths(recent.p, np, kMaxCodeLen, plen);
        for (int i = 0; i < NC; ++i) c[i] = clen[i] ? clen[i] : 14;
        // A distance range the recent tokens left unused is guessed near a
        // used one's length: at 9 bits it kept out matches that paid.
        for (int i = 0; i < np; ++i) p[i] = (plen[i] ? plen[i] : kUnusedRange) + (i > 1 ? i - 1 : 0);
        for (auto& f : recent.c) f = (f + 1) / 2;  // older tokens count less
        for (auto& f : recent.p) f = (f + 1) / 2;
        since = 0;
        every = std::min(2 * every, kRepriceTokens);
    }
};

// The cheapest path through the `seg` positions from w.pos, into path_
// (last token first); returns how far it reaches. Record only searches and
// keeps the matches; Replay takes them instead of searching.
template <PricedParser::Pass kPass>
uint32_t PricedParser::parseStep(const Window& w, const Prices& price, uint32_t seg) {
    Match found[kMaxMatch];
    if constexpr (kPass == Pass::Record) at_.clear(), counts_.clear(), found_.clear();
    size_t replayed = 0, at = 0;
    cost_[0] = 0;
    // Only what this step can reach: a small entry is one short step.
    if constexpr (kPass != Pass::Record)
        std::memset(cost_.data() + 1, kUnreachedByte, (seg + kMaxMatch + kLanes - 1) * sizeof cost_[0]);
    // Matches may run past the step's end, which then moves to where the
    // last one stops, so no match is cut short at a boundary.
    uint32_t i = 0;
    uint32_t takeFrom = 0, takeEnd = 0, confirm = 0;  // a long match waiting to be taken
    while (i < seg) {
        uint32_t p = w.pos + i, c0 = cost_[i];
        if constexpr (kPass != Pass::Replay) mf_.prefetch(w, p + 1);
        if constexpr (kPass != Pass::Record) {
            uint32_t lit = c0 + price.c[w.buf[p]];
            if (lit < cost_[i + 1]) cost_[i + 1] = lit, from_[i + 1] = 1;
        }
        uint32_t maxLen = std::min(kMaxMatch, w.end - p);
        if (maxLen >= kMinMatch) {
            uint32_t n;
            const Match* matches = found;
            if constexpr (kPass == Pass::Replay) {
                n = counts_[replayed++];
                matches = found_.data() + at;
                at += n;
            } else {
                n = mf_.find(w, p, maxLen, found);
                if constexpr (kPass == Pass::Record)
                    at_.push_back(i), counts_.push_back(n), found_.insert(found_.end(), found, found + n);
            }
            uint32_t l = kMinMatch;
            uint32_t *cost = cost_.data() + i, *from = from_.data() + i;  // unaliased, kept in registers
            const uint32_t* lenPrice = price.c + 256 - kMinMatch;
            for (uint32_t k = 0; k < (kPass == Pass::Record ? 0 : n); ++k) {
                uint32_t d = matches[k].dist - 1;
                Lanes dp = Lanes{} + static_cast<int32_t>(c0 + price.p[bitLength(d)]);
                Lanes tag = Lanes{} + static_cast<int32_t>(d << 16);
                uint32_t mlen = matches[k].len;
                auto relax = [&](uint32_t to) {  // lengths l..to
                    for (; l <= to; l += kLanes) {
                        Lanes len = Lanes{0, 1, 2, 3} + static_cast<int32_t>(l);
                        Lanes c = load(lenPrice + l) + dp;
                        Lanes old = load(cost + l);
                        Lanes better = (c < old) & (len <= static_cast<int32_t>(to));
                        store(cost + l, (c & better) | (old & ~better));
                        store(from + l, ((len | tag) & better) | (load(from + l) & ~better));
                    }
                    l = to + 1;
                };
                if (l <= kDenseLengths) relax(std::min(mlen, kDenseLengths));
                // Long matches: the exact cut point matters only near the end
                // (and the positions searched past a taken one need their costs).
                if (l + kReopen < mlen) l = mlen - kReopen;
                relax(mlen);
            }
            // A long match is taken as it is once the next kConfirm
            // positions hold none reaching past it; its inside is then
            // only indexed: in the tree near its ends and every kSparse-th
            // position between (the middle mostly repeats what the tree
            // holds), in the short-match heads everywhere (else the short
            // matches after it find only older, dearer positions).
            uint32_t reach = n ? i + matches[n - 1].len : 0;
            if (reach > takeEnd) takeEnd = 0;
            if (!takeEnd && n && matches[n - 1].len >= kNice) takeFrom = i, takeEnd = reach, confirm = kConfirm;
            if (takeEnd && !confirm--) {
                // Its last kReopen positions are left to the search, which
                // also indexes them.
                const uint32_t unindexed = i + 1 - takeFrom;
                const uint32_t len = std::max(takeEnd - takeFrom - kReopen, unindexed);
                // Walked in three runs: a test per position was a branch
                // the predictor lost.
                if constexpr (kPass != Pass::Replay) {
                    const uint32_t start = w.pos + takeFrom;
                    const uint32_t tail = len > kSparse ? len - kSparse : 0;
                    for (uint32_t j = unindexed; j < std::min(kSparse, len); ++j) mf_.insert(w, start + j);
                    for (uint32_t j = std::max(unindexed, kSparse); j < tail; ++j)
                        if (j % kSparse)
                            mf_.insertHeads(w, start + j);
                        else
                            mf_.insert(w, start + j);
                    for (uint32_t j = std::max({unindexed, kSparse, tail}); j < len; ++j) mf_.insert(w, start + j);
                }
                i = takeFrom + len;
                takeEnd = 0;
                continue;
            }
        }
        ++i;
    }
    path_.clear();
    if constexpr (kPass == Pass::Record) return i;
    for (uint32_t j = i; j > 0;) {
        uint32_t l = from_[j] & 0xFFFF;
        path_.push_back(l == 1 ? w.buf[w.pos + j - 1] : (l - kMinMatch + 256) | (from_[j] >> 16) << 9);
        j -= l;
    }
    return i;
}

// Prices from the tokens a lazy parse of the recorded matches would give
// over `reach` positions, as -lh5- takes them: a 3-byte match only when
// near, a match only when the next position has none longer.
void PricedParser::lazyPrices(const Window& w, Prices& price, uint32_t reach, uint32_t threeLiterals, int np) {
    const uint32_t tooFar = 1u << (std::clamp<uint32_t>(threeLiterals, 13, 22) - 6);
    // One slot past the end: the last position looks at the next one.
    longest_.assign(reach + 1, Match{0, 0});
    for (size_t k = 0, at = 0; k < at_.size(); at += counts_[k++]) {
        if (!counts_[k]) continue;
        const Match m = found_[at + counts_[k] - 1];
        if (m.len > kMinMatch || m.dist <= tooFar) longest_[at_[k]] = m;
    }
    price.recent = {};
    for (uint32_t q = 0; q < reach;) {
        const Match m = longest_[q];
        if (m.len && longest_[q + 1].len <= m.len) {
            price.recent.count(matchToken(m.len, m.dist));
            q += m.len;
        } else {
            price.recent.count(w.buf[w.pos + q++]);
        }
    }
    price.estimate(np);
}

void PricedParser::run(EncodeState& st) {
    Window& w = st.win;
    mf_.depth = kDepth;
    mf_.insDepth = kInsDepth;
    mf_.nice = kTreeNice;
    cost_.resize(kParseStep + kMaxMatch + kLanes);
    from_.resize(kParseStep + kMaxMatch + kLanes);
    const int np = st.blocks.method().np;
    Prices price;
    uint32_t primed = w.pos;
    bool first = true, again = false;
    uint32_t threeLiterals = 0;
    for (;;) {
        if (w.end - w.pos < kAhead) {
            if (uint32_t moved = w.fill(kAhead)) mf_.slide(moved);
            mf_.forgetHashes();
        }
        if (first) {
            for (uint32_t p = 0; p < primed; ++p) mf_.insert(w, p);
            first = false;
            again = w.eof && w.end > w.pos && w.end - w.pos <= kParseStep;
            if (again) {
                ByteCounts bc(w.buf.data() + w.pos, w.end - w.pos);
                threeLiterals = (3 * bc.totalBits() + bc.n / 2) / bc.n;
            } else if (w.end > w.pos) {
                // A larger entry's first step comes before any prices of
                // its own: its bytes give the literals theirs.
                price.literalsFrom(ByteCounts(w.buf.data() + w.pos, std::min(kParseStep, w.end - w.pos)));
            }
        }
        uint32_t seg = std::min(kParseStep, w.end - w.pos);
        if (!seg) break;
        uint32_t i;
        if (again) {
            // An entry of one step never meets real codes while it is
            // parsed: its matches are found first, priced by a lazy parse
            // over them, and only then is the cheapest path chosen.
            again = false;
            lazyPrices(w, price, parseStep<Pass::Record>(w, price, seg), threeLiterals, np);
            i = parseStep<Pass::Replay>(w, price, seg);
        } else {
            i = parseStep<Pass::Search>(w, price, seg);
        }
        w.pos += i;
        for (auto it = path_.rbegin(); it != path_.rend(); ++it) {
            uint32_t t = *it;
            price.recent.count(t);
            st.emit(t, t >= 256 ? (t & 511) - 256 + kMinMatch : 1);
        }
        price.since += static_cast<uint32_t>(path_.size());
        if (price.since >= price.every && (w.pos < w.end || !w.eof)) price.update(np);  // not after the last step
    }
}

}  // namespace lzh
