#include "block_writer.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>

#include "huffman.h"

namespace lzh {

namespace {
// A chunk of fewer tokens (a small entry's, or a small entry's end) is cut
// where the cost guess says, at any multiple of kCutStep tokens, into at
// most four blocks: its tables weigh most, and a cut where its bytes
// change (a licence before the code) saves more than the grid below finds
// (20,000 tiny files 0.45% smaller with -lh5-, 0.4% with -lh7-).
constexpr size_t kSweepBelow = 8192;
constexpr size_t kCutStep = 8;
constexpr size_t kMinBlock = 32;  // tokens in a block cut off that way, at least
// A larger chunk is cut into segments, merged while that saves bits; so
// many segments, each at least so many tokens. The lazy parse leaves CPU to
// spare for a fine grid (0.1-0.4% smaller for 10% more time); the priced
// parse of -lh7- leaves little: 32 of 1,024 (binaries 0.3% smaller than 16
// of 2,048, for about 1% more time).
struct SplitGrid {
    size_t candidates, minTokens;
};
SplitGrid splitGrid(const LzMethod& m) { return m.dicbit >= 16 ? SplitGrid{32, 1024} : SplitGrid{64, 256}; }
constexpr double kTableBits = 60;        // a block's tables: the code-length code and counts,
constexpr double kBitsPerLength = 3;     // about this much per code length written,
constexpr double kBitsPerGap = 3;        // and per run of unused symbols between used ones

struct BitCounter {
    uint64_t bits = 0;
    void put(int n, uint32_t) { bits += static_cast<uint64_t>(n); }
};

// Everything needed to write one block's tables and codes.
struct Tables {
    uint8_t clen[NC]{}, plen[NPMAX]{}, tlen[NT]{};
    uint16_t ccode[NC]{}, pcode[NPMAX]{}, tcode[NT]{};
    int csingle = -1, psingle = -1, tsingle = -1;
    int cn = 0;  // literal/length lengths written (trailing zeros dropped)
};

// Returns the symbol when at most one is used (the table is then written in
// its single-code form), else -1 with lengths from `build` and codes made.
// With `minBits`, a lone used symbol gets a partner instead, so that every
// code costs at least one bit: lhasa stops early on codes of no bits at the end.
template <class Build>
int singleOrBuild(const uint32_t* freq, int n, uint8_t* len, uint16_t* code, bool minBits, Build build) {
    int used = 0, last = 0;
    for (int i = 0; i < n; ++i)
        if (freq[i]) ++used, last = i;
    if (used == 1 && minBits) {
        std::fill(len, len + n, 0);
        len[last] = len[last == 0 ? 1 : 0] = 1;
        makeCodes(len, n, code);
        return -1;
    }
    if (used <= 1) {
        std::fill(len, len + n, 0);
        return last;
    }
    build(len);
    makeCodes(len, n, code);
    return -1;
}

// The first of a[i..n) that is not 0, or n. Eight at a time: a small
// entry's table is mostly runs of unused symbols, walked three times a block.
int skipZeros(const uint8_t* a, int i, int n) {
    if constexpr (std::endian::native == std::endian::little)
        for (; i + 8 <= n; i += 8) {
            uint64_t w;
            std::memcpy(&w, a + i, 8);
            if (w) return i + std::countr_zero(w) / 8;
        }
    while (i < n && !a[i]) ++i;
    return i;
}

// Walks the literal/length lengths as the code-length code sees them.
template <class F>
void walkCLen(const uint8_t* clen, int n, F emit) {
    int i = 0;
    while (i < n) {
        int k = clen[i++];
        if (k) {
            emit(k + 2, 0, 0);
            continue;
        }
        const int from = i;
        i = skipZeros(clen, i, n);
        int run = 1 + (i - from);
        if (run <= 2) {
            for (int j = 0; j < run; ++j) emit(0, 0, 0);
        } else if (run <= 18) {
            emit(1, 4, run - 3);
        } else if (run == 19) {
            emit(0, 0, 0);
            emit(1, 4, 15);
        } else {
            emit(2, CBIT, run - 20);
        }
    }
}

template <class W>
void writePtLen(W& w, const uint8_t* len, int nn, int nbit, int special) {
    int n = nn;
    while (n > 0 && !len[n - 1]) --n;
    w.put(nbit, static_cast<uint32_t>(n));
    int i = 0;
    while (i < n) {
        int k = len[i++];
        if (k <= 6)
            w.put(3, static_cast<uint32_t>(k));
        else
            w.put(k - 3, ((1u << (k - 3)) - 1) << 1);  // 7 + (k - 7) ones, then a zero
        if (i == special) {
            int z = 0;
            while (i < n && i < 6 && !len[i]) ++i, ++z;
            w.put(2, static_cast<uint32_t>(z));
        }
    }
}

// Code lengths for a position table's code, chosen counting the table's own
// size: its count and the unused entries are fixed, only the lengths vary.
void ptLengths(const uint32_t* freq, int n, int nbit, uint8_t* len) {
    uint8_t pattern[NPMAX];
    int used = 0;
    for (int i = 0; i < n; ++i) used += pattern[i] = freq[i] ? 1 : 0;
    BitCounter fixed;
    writePtLen(fixed, pattern, n, nbit, -1);
    fixed.bits -= static_cast<uint64_t>(3 * used);
    tunedLengths(
        freq, n,
        [&](const int* count) {
            uint64_t bits = fixed.bits;
            for (int l = 1; l <= kMaxCodeLen; ++l) bits += static_cast<uint64_t>(count[l] * (l <= 6 ? 3 : l - 3));
            return bits;
        },
        len);
}

// The literal/length code is described by a code-length code: its table
// and its codes for every length and run of unused symbols.
void cLengths(const uint32_t* freq, int n, uint8_t* len) {
    uint8_t used[NC];
    for (int i = 0; i < n; ++i) used[i] = freq[i] ? 1 : 0;
    uint32_t runs[NT]{};
    walkCLen(used, n, [&](int sym, int, int) { ++runs[sym]; });
    runs[3] = 0;  // the used symbols' lengths, which vary
    tunedLengths(
        freq, n,
        [&](const int* count) {
            uint32_t tf[NT];
            std::copy(runs, runs + NT, tf);
            int l0 = 0;
            for (int l = 1; l <= kMaxCodeLen; ++l)
                tf[l + 2] += static_cast<uint32_t>(count[l]), l0 = count[l] ? l + 2 : l0;
            uint8_t tlen[NT];
            buildLengths(tf, NT, kMaxCodeLen, tlen);
            if (!tlen[l0]) return uint64_t{2 * TBIT};  // one symbol only: the single-code form
            BitCounter bc;
            writePtLen(bc, tlen, NT, TBIT, 3);
            for (int i = 0; i < NT; ++i) bc.bits += uint64_t{tf[i]} * tlen[i];
            return bc.bits;
        },
        len);
}

// Every code's lengths are chosen for the block's size with its tables.
void buildTables(const Freqs& f, int np, int pbit, Tables& t) {
    // Symbols past the last used one keep length 0; two at least leave room
    // for a lone symbol's partner.
    int cn = NC;
    while (cn > 2 && !f.c[cn - 1]) --cn;
    t.csingle = singleOrBuild(f.c, cn, t.clen, t.ccode, true, [&](uint8_t* len) { cLengths(f.c, cn, len); });
    t.psingle = singleOrBuild(f.p, np, t.plen, t.pcode, true, [&](uint8_t* len) { ptLengths(f.p, np, pbit, len); });
    if (t.csingle >= 0) return;
    t.cn = cn;  // no length is set past the last used symbol
    while (t.cn > 0 && !t.clen[t.cn - 1]) --t.cn;
    uint32_t tf[NT]{};
    walkCLen(t.clen, t.cn, [&](int sym, int, int) { ++tf[sym]; });
    t.tsingle =
        singleOrBuild(tf, NT, t.tlen, t.tcode, false, [&](uint8_t* len) { buildLengths(tf, NT, kMaxCodeLen, len); });
}

template <class W>
void writeTables(W& w, const Tables& t, int np, int pbit) {
    if (t.csingle >= 0) {
        w.put(TBIT, 0);
        w.put(TBIT, 0);
        w.put(CBIT, 0);
        w.put(CBIT, static_cast<uint32_t>(t.csingle));
    } else {
        if (t.tsingle >= 0) {
            w.put(TBIT, 0);
            w.put(TBIT, static_cast<uint32_t>(t.tsingle));
        } else {
            writePtLen(w, t.tlen, NT, TBIT, 3);
        }
        w.put(CBIT, static_cast<uint32_t>(t.cn));
        walkCLen(t.clen, t.cn, [&](int sym, int xbits, int xval) {
            w.put(t.tlen[sym], t.tcode[sym]);
            w.put(xbits, static_cast<uint32_t>(xval));
        });
    }
    if (t.psingle >= 0) {
        w.put(pbit, 0);
        w.put(pbit, static_cast<uint32_t>(t.psingle));
    } else {
        writePtLen(w, t.plen, np, pbit, -1);
    }
}

// log2(x) for x >= 1, within 0.002 bit: the float's exponent, and a
// quadratic for its mantissa.
float log2Approx(uint32_t x) {
    const uint32_t bits = std::bit_cast<uint32_t>(static_cast<float>(x));
    const float m = std::bit_cast<float>((bits & 0x7FFFFFu) | 0x3F800000u) - 1.0f;
    return static_cast<float>(static_cast<int>(bits >> 23) - 127) + m * (1.3465552f - 0.34655523f * m);
}

// f log2 f, looked up for the small counts most symbols of a block have:
// the split search needs it thousands of times per chunk, the sweep twice
// a token.
constexpr uint32_t kTabledCounts = 4097;
const std::array<float, kTabledCounts> kCountBits = [] {
    std::array<float, kTabledCounts> t{};
    for (uint32_t f = 1; f < kTabledCounts; ++f) t[f] = static_cast<float>(f) * log2Approx(f);
    return t;
}();
float entropyTerm(uint32_t f) { return f < kTabledCounts ? kCountBits[f] : static_cast<float>(f) * log2Approx(f); }
// What one more occurrence of a symbol seen f times adds to the sum.
float oneMore(uint32_t f) {
    return f + 1 < kTabledCounts ? kCountBits[f + 1] - kCountBits[f] : entropyTerm(f + 1) - entropyTerm(f);
}

// The guess at a code's bits: `total` symbols of `used` kinds, `sum` the sum
// of f log2 f over them, and a share of the tables for each kind and each
// run of unused ones between (`gaps`).
double codeBits(uint32_t total, float sum, uint32_t used, uint32_t gaps) {
    if (used < 2) return 0;
    return total * static_cast<double>(log2Approx(total)) - sum + used * kBitsPerLength + gaps * kBitsPerGap;
}

// Bits a block with the frequencies a (plus b) would take (not the
// position extra bits, which no split changes), from their entropy and a
// guess at the tables: the split search asks this hundreds of times per
// chunk, and building the codes there cost more than the rest of small
// blocks' writing. `groups` has bit g set where symbols 8g..8g+7 may occur.
uint64_t blockCost(const Freqs& a, const Freqs* b, uint64_t groups, int np) {
    static_assert(NC <= 64 * 8 && NPMAX <= 64 * 8, "a bit for every eight symbols");
    double bits = 16 + kTableBits;
    auto codes = [&](const uint32_t* fa, const uint32_t* fb, int n, uint64_t occupied) {
        uint32_t total = 0, used = 0, gaps = 0;
        int last = -1;
        float sum = 0;
        // Eight symbols at a time: a small block's are mostly unused, a
        // large one's mostly used, and within eight they are hard to predict.
        for (; occupied; occupied &= occupied - 1) {
            const int g = 8 * std::countr_zero(occupied);
            const int e = std::min(n, g + 8);
            for (int i = g; i < e; ++i) {
                uint32_t f = fa[i] + (fb ? fb[i] : 0);
                total += f, used += f != 0;
                if (f) gaps += i > last + 1, last = i;
                sum += entropyTerm(f);
            }
        }
        bits += codeBits(total, sum, used, gaps);
    };
    codes(a.c, b ? b->c : nullptr, NC, groups);
    codes(a.p, b ? b->p : nullptr, np, (uint64_t{1} << ((np + 7) / 8)) - 1);
    return static_cast<uint64_t>(bits);
}

// The tokens on one side of a cut as a sweep grows it, with the terms of
// blockCost kept up to date token by token.
class Side {
public:
    void add(uint32_t tok, int np) {
        c_.add(f_.c, NC, static_cast<int>(tok & 511));
        if (tok >= 256) p_.add(f_.p, np, static_cast<int>(posCode(tok)));
    }
    double bits() const { return 16 + kTableBits + c_.bits(f_.c) + p_.bits(f_.p); }

private:
    struct Code {
        uint32_t total = 0, used = 0, runs = 0;
        float sum = 0;
        // A run not at symbol 0 follows a gap.
        double bits(const uint32_t* f) const { return codeBits(total, sum, used, runs - (f[0] != 0)); }
        void add(uint32_t* f, int n, int i) {
            sum += oneMore(f[i]);
            ++total;
            if (f[i]++) return;
            // A new symbol beside neither neighbour is a run of its own;
            // beside both it joins two.
            ++used;
            runs += 1 - (i > 0 && f[i - 1]) - (i + 1 < n && f[i + 1]);
        }
    };
    Freqs f_;
    Code c_, p_;
};

}  // namespace

void BlockWriter::reset(const LzMethod& m) {
    m_ = &m;
    bw_.reset();
    tokens_.clear();
    covered_ = 0;
}

// Cuts the chunk into segments, then merges neighbours while that saves
// bits. Merged segments stay in place, linked to their next live one.
void BlockWriter::flush() {
    size_t n = tokens_.size();
    if (!n) return;
    const int np = m_->np;
    if (n < kSweepBelow) {
        writeSwept(n);
        tokens_.clear();
        return;
    }
    std::vector<Segment>& segs = segs_;
    segs.clear();
    const SplitGrid grid = splitGrid(*m_);
    size_t step = std::max(grid.minTokens, (n + grid.candidates - 1) / grid.candidates);
    for (size_t a = 0; a < n; a += step) {
        Segment& s = segs.emplace_back(Segment{a, std::min(n, a + step), {}, 0, 0});
        if (n > step)  // only the split search asks which symbols occur
            for (size_t i = s.a; i < s.b; ++i) s.f.count(tokens_[i]), s.used |= uint64_t{1} << ((tokens_[i] & 511) >> 3);
        else
            for (size_t i = s.a; i < s.b; ++i) s.f.count(tokens_[i]);
    }
    const size_t k = segs.size();
    std::vector<size_t>& next = next_;
    next.resize(k);
    for (size_t i = 0; i < k; ++i) next[i] = i + 1;
    // joined[i]: the cost of segs[i] and its next as one block; after a
    // merge only the two pairs beside it change.
    std::vector<uint64_t>& joined = joined_;
    joined.assign(k, 0);
    if (k > 1) {  // a lone segment is written as it is: no cost needed
        for (Segment& s : segs) s.cost = blockCost(s.f, nullptr, s.used, np);
        for (size_t i = 0; i + 1 < k; ++i)
            joined[i] = blockCost(segs[i].f, &segs[i + 1].f, segs[i].used | segs[i + 1].used, np);
    }
    for (;;) {
        int64_t bestGain = 0;
        size_t best = 0, before = 0;  // the best pair's first, and the live segment before it
        for (size_t i = 0, prev = 0; next[i] < k; prev = i, i = next[i]) {
            int64_t gain = static_cast<int64_t>(segs[i].cost + segs[next[i]].cost) - static_cast<int64_t>(joined[i]);
            if (gain > bestGain) bestGain = gain, best = i, before = prev;
        }
        if (bestGain <= 0) break;
        Segment& s = segs[best];
        const size_t gone = next[best];
        s.b = segs[gone].b;
        const Segment& o = segs[gone];
        for (uint64_t g = o.used; g; g &= g - 1)  // only where o has symbols
            for (int i = 8 * std::countr_zero(g), e = std::min(NC, i + 8); i < e; ++i) s.f.c[i] += o.f.c[i];
        for (int i = 0; i < np; ++i) s.f.p[i] += o.f.p[i];
        s.used |= o.used;
        s.cost = joined[best];
        next[best] = next[gone];
        if (best > 0) joined[before] = blockCost(segs[before].f, &s.f, segs[before].used | s.used, np);
        if (next[best] < k) joined[best] = blockCost(s.f, &segs[next[best]].f, s.used | segs[next[best]].used, np);
    }
    for (size_t i = 0; i < k; i = next[i]) writeBlock(segs[i]);
    tokens_.clear();
}

// The cost guess of tokens [a, i) (forward) or [i, b) (backward) for every
// cut point i strictly between a and b, into bits[i / kCutStep]; returns
// that of all of [a, b).
double BlockWriter::sweep(size_t a, size_t b, bool forward, std::vector<double>& bits) const {
    const int np = m_->np;
    Side side;
    if (forward) {
        for (size_t i = a; i < b;) {
            side.add(tokens_[i++], np);
            if (i % kCutStep == 0 && i < b) bits[i / kCutStep] = side.bits();
        }
    } else {
        for (size_t i = b; i > a;) {
            side.add(tokens_[--i], np);
            if (i % kCutStep == 0 && i > a) bits[i / kCutStep] = side.bits();
        }
    }
    return side.bits();
}

// The cut point in [a, b) that saves most against `whole`, the guess for
// [a, b) as one block; b when none saves.
size_t BlockWriter::cheapestCut(size_t a, size_t b, double whole) const {
    size_t cut = b;
    for (size_t i = (a + kMinBlock + kCutStep - 1) / kCutStep * kCutStep; i + kMinBlock <= b; i += kCutStep)
        if (const double bits = before_[i / kCutStep] + after_[i / kCutStep]; bits < whole) whole = bits, cut = i;
    return cut;
}

// A small chunk is cut at the cheapest point, and each part once more:
// two sweeps give every point's cost on both sides, and each part's outer
// side is already known, so a third sweep covers the parts' inner sides.
void BlockWriter::writeSwept(size_t n) {
    before_.resize(n / kCutStep + 1);
    after_.resize(n / kCutStep + 1);
    const double whole = sweep(0, n, true, before_);
    sweep(0, n, false, after_);
    const size_t cut = cheapestCut(0, n, whole);
    if (cut == n) return writeRange(0, n);
    const double left = before_[cut / kCutStep], right = after_[cut / kCutStep];
    sweep(0, cut, false, after_);
    sweep(cut, n, true, before_);
    const size_t leftCut = cheapestCut(0, cut, left), rightCut = cheapestCut(cut, n, right);
    writeRange(0, leftCut);
    if (leftCut < cut) writeRange(leftCut, cut);
    writeRange(cut, rightCut);
    if (rightCut < n) writeRange(rightCut, n);
}

void BlockWriter::writeRange(size_t a, size_t b) {
    Segment s{a, b, {}, 0, 0};
    for (size_t i = a; i < b; ++i) s.f.count(tokens_[i]);
    writeBlock(s);
}

void BlockWriter::writeBlock(const Segment& s) {
    Tables t;
    buildTables(s.f, m_->np, m_->pbit, t);
    bw_.put(16, static_cast<uint32_t>(s.b - s.a));
    writeTables(bw_, t, m_->np, m_->pbit);
    for (size_t i = s.a; i < s.b; ++i) {
        uint32_t tok = tokens_[i];
        uint32_t c = tok & 511;
        bw_.put(t.clen[c], t.ccode[c]);
        if (c >= 256) {
            uint32_t d = tok >> 9;
            int p = bitLength(d);
            int extra = p > 1 ? p - 1 : 0;  // the bits below d's highest, after its code
            bw_.put(t.plen[p] + extra, uint32_t{t.pcode[p]} << extra | (d & ((1u << extra) - 1)));
        }
    }
}

}  // namespace lzh
