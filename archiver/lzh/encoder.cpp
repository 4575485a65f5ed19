#include <algorithm>
#include <cstring>
#include <vector>

#include "codec.h"
#include "crc16.h"
#include "huffman.h"

namespace lzh {

namespace {
constexpr int NC = 510, NT = 19, TBIT = 5, CBIT = 9, NPMAX = 17;
constexpr uint32_t kMinMatch = 3, kMaxMatch = 256;
constexpr uint32_t kLook = kMaxMatch + kMinMatch + 1; // lookahead kept while input remains
constexpr uint32_t kSeg = 4096;                        // positions per optimal-parse step
constexpr uint32_t kLookMax = kSeg + kMaxMatch + 8;
constexpr uint32_t kDenseLengths = 18; // every match length up to this is priced
constexpr uint32_t kRunTail = 8;       // positions searched again before a long match ends
constexpr uint32_t kSlide = 1 << 18; // bytes dropped per slide; rarer slides, fewer index rewrites
constexpr int kHashBits = 16;
constexpr int kHash3Bits = 14;
constexpr int kHash4Bits = 17;
constexpr size_t kChunkTokens = 65535; // the block's 16-bit code count
constexpr size_t kSegments = 16;       // split candidates per chunk

inline int bitLength(uint32_t v) { return v ? 32 - __builtin_clz(v) : 0; }

// Slots of the 3-byte and 4-byte tables of the priced parse for the bytes at s.
inline void hashes(const uint8_t *s, uint32_t &h3, uint32_t &h4) {
    uint32_t v3 = uint32_t{s[0]} << 16 | uint32_t{s[1]} << 8 | s[2];
    h3 = (v3 * 2654435761u) >> (32 - kHash3Bits);
    h4 = ((v3 << 8 | s[3]) * 2654435761u) >> (32 - kHash4Bits);
}

// Length of the common prefix of a and b from `len` on, at most `max`;
// reads up to 7 bytes past it (the window keeps padding there).
inline uint32_t matchLength(const uint8_t *a, const uint8_t *b, uint32_t len, uint32_t max) {
    while (len < max) {
        uint64_t x, y;
        std::memcpy(&x, a + len, 8);
        std::memcpy(&y, b + len, 8);
        if (x != y) return std::min(max, len + (static_cast<uint32_t>(__builtin_ctzll(x ^ y)) >> 3));
        len += 8;
    }
    return max;
}

// A token: literal byte (< 256), or length code | (distance - 1) << 9.
inline uint32_t posCode(uint32_t tok) { return static_cast<uint32_t>(bitLength(tok >> 9)); }

struct BitCounter {
    uint64_t bits = 0;
    void put(int n, uint32_t) { bits += static_cast<uint64_t>(n); }
};

struct Freqs {
    uint32_t c[NC]{};
    uint32_t p[NPMAX]{};
    void add(const Freqs &o) {
        for (int i = 0; i < NC; ++i) c[i] += o.c[i];
        for (int i = 0; i < NPMAX; ++i) p[i] += o.p[i];
    }
};

// Everything needed to write one block's tables and codes.
struct Tables {
    uint8_t clen[NC]{}, plen[NPMAX]{}, tlen[NT]{};
    uint16_t ccode[NC]{}, pcode[NPMAX]{}, tcode[NT]{};
    int csingle = -1, psingle = -1, tsingle = -1;
    int cn = 0; // literal/length lengths written (trailing zeros dropped)
};

// Returns the symbol when at most one is used (the table is then written in
// its single-code form), else -1 with lengths and codes built. With
// `minBits`, a lone used symbol gets a partner instead, so that every code
// costs at least one bit: lhasa stops early on codes of no bits at the end.
int singleOrBuild(const uint32_t *freq, int n, uint8_t *len, uint16_t *code, bool minBits = false) {
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
    buildLengths(freq, n, kMaxCodeLen, len);
    makeCodes(len, n, code);
    return -1;
}

// Walks the literal/length lengths as the code-length code sees them.
template <class F> void walkCLen(const uint8_t *clen, int n, F emit) {
    int i = 0;
    while (i < n) {
        int k = clen[i++];
        if (k) {
            emit(k + 2, 0, 0);
            continue;
        }
        int run = 1;
        while (i < n && !clen[i]) ++i, ++run;
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

template <class W> void writePtLen(W &w, const uint8_t *len, int nn, int nbit, int special) {
    int n = nn;
    while (n > 0 && !len[n - 1]) --n;
    w.put(nbit, static_cast<uint32_t>(n));
    int i = 0;
    while (i < n) {
        int k = len[i++];
        if (k <= 6)
            w.put(3, static_cast<uint32_t>(k));
        else
            w.put(k - 3, ((1u << (k - 3)) - 1) << 1); // 7 + (k - 7) ones, then a zero
        if (i == special) {
            int z = 0;
            while (i < n && i < 6 && !len[i]) ++i, ++z;
            w.put(2, static_cast<uint32_t>(z));
        }
    }
}

void buildTables(const Freqs &f, int np, Tables &t) {
    t.csingle = singleOrBuild(f.c, NC, t.clen, t.ccode, true);
    t.psingle = singleOrBuild(f.p, np, t.plen, t.pcode, true);
    if (t.csingle >= 0) return;
    t.cn = NC;
    while (t.cn > 0 && !t.clen[t.cn - 1]) --t.cn;
    uint32_t tf[NT]{};
    walkCLen(t.clen, t.cn, [&](int sym, int, int) { ++tf[sym]; });
    t.tsingle = singleOrBuild(tf, NT, t.tlen, t.tcode);
}

template <class W> void writeTables(W &w, const Tables &t, int np, int pbit) {
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

// Bits a block with these frequencies costs (tables and codes, not the
// position extra bits, which no split changes).
uint64_t blockCost(const Freqs &f, int np, int pbit) {
    Tables t;
    buildTables(f, np, t);
    BitCounter bc;
    writeTables(bc, t, np, pbit);
    uint64_t bits = bc.bits + 16;
    for (int i = 0; i < NC; ++i) bits += uint64_t{f.c[i]} * t.clen[i];
    for (int i = 0; i < np; ++i) bits += uint64_t{f.p[i]} * t.plen[i];
    return bits;
}

struct Params {
    uint32_t chain;    // hash-chain steps per search
    uint32_t lazy;     // do not look for a better match beyond this length
    uint32_t good;     // shorten the search once a match is this long (priced: skip inside it)
    uint32_t nice;     // stop searching at this length
    uint32_t tooFar;   // a 3-byte match farther than this is not worth it
    bool optimal;      // price-based parse instead of the lazy one
};

struct Match {
    uint32_t len, dist;
};

class Encoder {
public:
    Encoder(const Method &m, ByteSource &in, ByteSink &out, bool giveUp, const Progress &progress)
        : m_(m), in_(in), out_(out), giveUp_(giveUp), progress_(progress), bw_(bytes_) {
        wsize_ = 1u << m.dicbit;
        maxDist_ = wsize_ - 1;
        cap_ = wsize_ + kSlide + 2 * kLookMax;
        buf_.assign(cap_ + kMaxMatch + 16, 0); // compares may run past the data
        head_.assign(size_t{1} << kHashBits, 0);
        tokens_.reserve(kChunkTokens);
        // Measured on headers, binaries, fonts and licences: the lazy parse
        // keeps -lh5-/-lh6- at gzip -6 speed and below jlha's size; -lh7-
        // prices every searched position over short chains, which keeps it
        // at gzip -6 speed about 1% below jlha.
        if (m.dicbit >= 16) params_ = Params{14, 0, 12, 24, 0, true};
        else if (m.dicbit >= 15) params_ = Params{64, 48, 24, 256, 8192, false};
        else params_ = Params{128, 48, 24, 256, 4096, false};
        prev_.assign(wsize_, 0);
        if (params_.optimal) head3_.assign(size_t{1} << kHash3Bits, 0), head_.assign(size_t{1} << kHash4Bits, 0);
        cost_.resize(kSeg + kMaxMatch + 1);
        from_.resize(kSeg + kMaxMatch + 1);
        defaultPrices();
    }

    EncodeResult run() {
        try {
            if (params_.optimal) parseOptimal();
            else parse();
            flushChunk();
            bw_.finish();
            drain();
        } catch (const GiveUp &) {
            res_.gaveUp = true;
        }
        return res_;
    }

private:
    struct GiveUp {};

    void fill(uint32_t want = kLook) {
        while (!eof_ && end_ - pos_ < want) {
            if (end_ == cap_) slide();
            size_t got = in_.read(buf_.data() + end_, cap_ - end_);
            if (!got) {
                eof_ = true;
                break;
            }
            res_.crc = crc16(res_.crc, buf_.data() + end_, got);
            res_.in += got;
            end_ += static_cast<uint32_t>(got);
        }
    }

    void slide() {
        std::memmove(buf_.data(), buf_.data() + kSlide, end_ - kSlide);
        end_ -= kSlide;
        pos_ -= kSlide;
        for (auto &h : head_) h = h >= kSlide ? h - kSlide : 0;
        for (auto &h : head3_) h = h >= kSlide ? h - kSlide : 0;
        skipTo_ = skipTo_ >= kSlide ? skipTo_ - kSlide : 0;
        runEnd_ = runEnd_ >= kSlide ? runEnd_ - kSlide : 0;
        for (auto &p : prev_) p = p >= kSlide ? p - kSlide : 0;
    }

    uint32_t hashAt(uint32_t p) const {
        const uint8_t *s = buf_.data() + p;
        uint32_t v = uint32_t{s[0]} << 16 | uint32_t{s[1]} << 8 | s[2];
        return (v * 2654435761u) >> (32 - kHashBits);
    }

    // Inserts position p and returns the previous head of its chain.
    uint32_t insert(uint32_t p) {
        uint32_t h = hashAt(p);
        uint32_t old = head_[h];
        prev_[p & (wsize_ - 1)] = old;
        head_[h] = p;
        return old;
    }

    uint32_t longest(uint32_t cand, uint32_t best, uint32_t look, uint32_t &dist) const {
        const uint8_t *b = buf_.data();
        const uint8_t *scan = b + pos_;
        uint32_t maxLen = std::min(kMaxMatch, look);
        uint32_t nice = std::min(params_.nice, maxLen);
        uint32_t chain = best >= params_.good ? params_.chain >> 2 : params_.chain;
        uint32_t limit = pos_ > maxDist_ ? pos_ - maxDist_ : 0;
        if (best >= maxLen) return best;
        do {
            const uint8_t *mp = b + cand;
            if (mp[best] != scan[best] || mp[0] != scan[0] || mp[1] != scan[1]) continue;
            uint32_t len = matchLength(scan, mp, 0, maxLen);
            if (len > best) {
                best = len;
                dist = pos_ - cand;
                if (len >= nice) break;
            }
        } while (--chain && prevOf(cand) < cand && (cand = prevOf(cand)) > limit);
        return best;
    }

    uint32_t prevOf(uint32_t p) const { return prev_[p & (wsize_ - 1)]; }

    // Hash-chain match finder for the priced parse. Chains link positions
    // with equal 4-byte hashes, so few steps reach long matches; a 3-byte
    // table remembers only the newest position, the one 3-byte match worth
    // its distance code. Each longer match found is reported.
    uint32_t chainMatches(uint32_t cur, uint32_t avail, Match *out) {
        const uint8_t *b = buf_.data();
        const uint8_t *scan = b + cur;
        uint32_t h3, h4;
        hashes(scan, h3, h4);
        uint32_t cand3 = head3_[h3], cand = head_[h4];
        head3_[h3] = cur;
        head_[h4] = cur;
        prev_[cur & (wsize_ - 1)] = cand;
        if (!out) return 0;
        uint32_t limit = cur > maxDist_ ? cur - maxDist_ : 0;
        uint32_t best = kMinMatch - 1, n = 0, chain = params_.chain;
        uint32_t maxLen = std::min(avail, kMaxMatch);
        if (cand3 > limit && cand3 < cur) {
            uint32_t len = matchLength(scan, b + cand3, 0, maxLen);
            if (len >= kMinMatch) {
                best = len;
                out[n++] = {len, cur - cand3};
                if (len >= params_.nice) return n;
            }
        }
        // A candidate must agree on the 4 bytes ending at the current best
        // length before it is compared in full.
        uint32_t at = best >= 3 ? best - 3 : 0, want;
        std::memcpy(&want, scan + at, 4);
        const uint32_t mask = wsize_ - 1;
        while (cand > limit && chain--) {
            const uint8_t *mp = b + cand;
            uint32_t nx = prev_[cand & mask];
            // The next candidate's link and bytes load while this one is compared.
            __builtin_prefetch(&prev_[nx & mask]);
            __builtin_prefetch(b + nx + at);
            uint32_t got;
            std::memcpy(&got, mp + at, 4);
            if (got == want && cand != cand3) { // cand3 was measured already
                uint32_t len = matchLength(scan, mp, 0, maxLen);
                if (len > best) {
                    best = len;
                    out[n++] = {len, cur - cand};
                    if (len >= params_.nice || len == maxLen) break;
                    at = best - 3;
                    std::memcpy(&want, scan + at, 4);
                }
            }
            if (nx >= cand) break; // a slot reused by a newer position
            cand = nx;
        }
        return n;
    }

    // The table slots the next position will read.
    void prefetchHeads(uint32_t p) const {
        uint32_t h3, h4;
        hashes(buf_.data() + p, h3, h4);
        __builtin_prefetch(&head3_[h3]);
        __builtin_prefetch(&head_[h4]);
    }

    // Bit prices before any statistics exist.
    void defaultPrices() {
        for (int i = 0; i < 256; ++i) cPrice_[i] = 9;
        for (int i = 256; i < NC; ++i) cPrice_[i] = 7 + static_cast<uint32_t>(i - 256) / 64;
        for (int i = 0; i < NPMAX; ++i) pPrice_[i] = 5 + (i > 1 ? i - 1 : 0);
    }

    // Prices from the codes the recent tokens would get.
    void updatePrices() {
        uint8_t clen[NC], plen[NPMAX];
        buildLengths(running_.c, NC, kMaxCodeLen, clen);
        buildLengths(running_.p, m_.np, kMaxCodeLen, plen);
        for (int i = 0; i < NC; ++i) cPrice_[i] = clen[i] ? clen[i] : 14;
        for (int i = 0; i < m_.np; ++i) pPrice_[i] = (plen[i] ? plen[i] : 9) + (i > 1 ? i - 1 : 0);
        for (int i = 0; i < NC; ++i) running_.c[i] = (running_.c[i] + 1) / 2; // older tokens count less
        for (int i = 0; i < NPMAX; ++i) running_.p[i] = (running_.p[i] + 1) / 2;
        sinceUpdate_ = 0;
    }

    // Cheapest path through each segment, priced with the current code lengths.
    void parseOptimal() {
        Match matches[kMaxMatch];
        for (;;) {
            if (end_ - pos_ < kLookMax) fill(kLookMax);
            uint32_t seg = std::min(kSeg, end_ - pos_);
            if (!seg) break;
            cost_[0] = 0;
            std::fill(cost_.begin() + 1, cost_.end(), UINT32_MAX);
            // Matches may run past the segment end, which then moves to where
            // the last one stops, so no match is cut short at a boundary.
            uint32_t i = 0;
            while (i < seg) {
                uint32_t p = pos_ + i, c0 = cost_[i];
                prefetchHeads(p + 1);
                uint32_t lit = c0 + cPrice_[buf_[p]];
                if (lit < cost_[i + 1]) cost_[i + 1] = lit, from_[i + 1] = 1;
                uint32_t maxLen = std::min(kMaxMatch, end_ - p);
                if (maxLen >= kMinMatch) {
                    uint32_t n;
                    if (p < skipTo_) {
                        // Inside a long match only its own rest is priced; the
                        // search resumes near its end, where the cut is chosen.
                        chainMatches(p, 0, nullptr);
                        n = 0;
                        uint32_t len = std::min(runEnd_ - p, maxLen);
                        if (len >= kMinMatch) matches[n++] = {len, runDist_};
                    } else {
                        n = chainMatches(p, maxLen, matches);
                        if (n && matches[n - 1].len >= params_.good) {
                            runEnd_ = p + matches[n - 1].len;
                            runDist_ = matches[n - 1].dist;
                            skipTo_ = runEnd_ - kRunTail;
                        }
                    }
                    uint32_t l = kMinMatch;
                    for (uint32_t k = 0; k < n; ++k) {
                        uint32_t d = matches[k].dist - 1;
                        uint32_t dp = c0 + pPrice_[bitLength(d)];
                        uint32_t mlen = matches[k].len;
                        auto relax = [&](uint32_t to) {
                            for (; l <= to; ++l) {
                                uint32_t c = dp + cPrice_[256 + l - kMinMatch];
                                if (c < cost_[i + l]) {
                                    cost_[i + l] = c;
                                    from_[i + l] = l | d << 16;
                                }
                            }
                        };
                        relax(std::min(mlen, kDenseLengths));
                        // Long matches: the exact cut point matters only near the end.
                        if (l + 2 < mlen) l = mlen - 2;
                        relax(mlen);
                    }
                    if (n && matches[n - 1].len >= params_.nice) {
                        // A long match is taken as it is; its inside is only indexed.
                        uint32_t len = matches[n - 1].len;
                        for (uint32_t j = 1; j < len; ++j) chainMatches(p + j, 0, nullptr);
                        i += len;
                        continue;
                    }
                }
                ++i;
            }
            path_.clear();
            for (uint32_t j = i; j > 0;) {
                uint32_t l = from_[j] & 0xFFFF;
                path_.push_back(l == 1 ? buf_[pos_ + j - 1] : (l - kMinMatch + 256) | (from_[j] >> 16) << 9);
                j -= l;
            }
            for (auto it = path_.rbegin(); it != path_.rend(); ++it) {
                uint32_t t = *it;
                ++running_.c[t & 511];
                if (t >= 256) ++running_.p[posCode(t)];
                emit(t, t >= 256 ? (t & 511) - 256 + kMinMatch : 1);
            }
            sinceUpdate_ += static_cast<uint32_t>(path_.size());
            if (sinceUpdate_ >= 8192) updatePrices();
            pos_ += i;
        }
    }

    void emit(uint32_t tok, uint32_t len) {
        tokens_.push_back(tok);
        covered_ += len;
        if (tokens_.size() == kChunkTokens) flushChunk();
    }

    void parse() {
        fill();
        uint32_t matchLen = kMinMatch - 1, matchDist = 0;
        bool pending = false;
        for (;;) {
            if (end_ - pos_ < kLook) fill();
            uint32_t look = end_ - pos_;
            if (!look) break;
            uint32_t cand = look >= kMinMatch ? insert(pos_) : 0;
            uint32_t prevLen = matchLen, prevDist = matchDist;
            matchLen = kMinMatch - 1;
            if (cand && prevLen < params_.lazy && pos_ - cand <= maxDist_) {
                matchLen = longest(cand, prevLen, look, matchDist);
                if (matchLen == kMinMatch && matchDist > params_.tooFar) matchLen = kMinMatch - 1;
            }
            if (prevLen >= kMinMatch && matchLen <= prevLen) {
                emit((prevLen - kMinMatch + 256) | (prevDist - 1) << 9, prevLen);
                uint32_t stop = pos_ - 1 + prevLen;
                while (++pos_ < stop)
                    if (end_ - pos_ >= kMinMatch) insert(pos_);
                pending = false;
                matchLen = kMinMatch - 1;
            } else if (pending) {
                emit(buf_[pos_ - 1], 1);
                ++pos_;
            } else {
                pending = true;
                ++pos_;
            }
        }
        if (pending) emit(buf_[pos_ - 1], 1);
    }

    struct Segment {
        size_t a, b;
        Freqs f;
        uint64_t cost;
    };

    void countInto(size_t a, size_t b, Freqs &f) const {
        for (size_t i = a; i < b; ++i) {
            uint32_t t = tokens_[i];
            ++f.c[t & 511];
            if (t >= 256) ++f.p[posCode(t)];
        }
    }

    // Cuts the chunk into segments, then merges neighbours while that saves bits.
    void flushChunk() {
        size_t n = tokens_.size();
        if (!n) return;
        std::vector<Segment> segs;
        size_t step = std::max<size_t>(2048, (n + kSegments - 1) / kSegments);
        for (size_t a = 0; a < n; a += step) {
            Segment s{a, std::min(n, a + step), {}, 0};
            countInto(s.a, s.b, s.f);
            s.cost = blockCost(s.f, m_.np, m_.pbit);
            segs.push_back(s);
        }
        // pairCost[i]: the cost of segs[i] and segs[i + 1] as one block;
        // after a merge only the two pairs beside it change.
        auto pairCost = [&](size_t i) {
            Freqs f = segs[i].f;
            f.add(segs[i + 1].f);
            return blockCost(f, m_.np, m_.pbit);
        };
        std::vector<uint64_t> joined(segs.size() > 1 ? segs.size() - 1 : 0);
        for (size_t i = 0; i < joined.size(); ++i) joined[i] = pairCost(i);
        while (segs.size() > 1) {
            int64_t bestGain = 0;
            size_t best = 0;
            for (size_t i = 0; i + 1 < segs.size(); ++i) {
                int64_t gain = static_cast<int64_t>(segs[i].cost + segs[i + 1].cost) - static_cast<int64_t>(joined[i]);
                if (gain > bestGain) bestGain = gain, best = i;
            }
            if (bestGain <= 0) break;
            segs[best].b = segs[best + 1].b;
            segs[best].f.add(segs[best + 1].f);
            segs[best].cost = joined[best];
            segs.erase(segs.begin() + static_cast<ptrdiff_t>(best) + 1);
            joined.erase(joined.begin() + static_cast<ptrdiff_t>(best));
            if (best > 0) joined[best - 1] = pairCost(best - 1);
            if (best + 1 < segs.size()) joined[best] = pairCost(best);
        }
        for (const Segment &s : segs) writeBlock(s);
        tokens_.clear();
        drain();
        if (giveUp_ && res_.out > covered_ + 1024) throw GiveUp{};
        if (progress_) progress_(res_.in);
    }

    void writeBlock(const Segment &s) {
        Tables t;
        buildTables(s.f, m_.np, t);
        bw_.put(16, static_cast<uint32_t>(s.b - s.a));
        writeTables(bw_, t, m_.np, m_.pbit);
        for (size_t i = s.a; i < s.b; ++i) {
            uint32_t tok = tokens_[i];
            uint32_t c = tok & 511;
            bw_.put(t.clen[c], t.ccode[c]);
            if (c >= 256) {
                uint32_t d = tok >> 9;
                int p = bitLength(d);
                bw_.put(t.plen[p], t.pcode[p]);
                if (p > 1) bw_.put(p - 1, d - (1u << (p - 1)));
            }
        }
    }

    void drain() {
        if (bytes_.empty()) return;
        out_.write(bytes_.data(), bytes_.size());
        res_.out += bytes_.size();
        bytes_.clear();
    }

    const Method &m_;
    ByteSource &in_;
    ByteSink &out_;
    bool giveUp_;
    const Progress &progress_;
    std::vector<uint8_t> bytes_;
    BitWriter bw_;
    Params params_{};
    uint32_t wsize_ = 0, maxDist_ = 0, cap_ = 0;
    std::vector<uint8_t> buf_;
    std::vector<uint32_t> head_, head3_, prev_;
    uint32_t pos_ = 0, end_ = 0;
    bool eof_ = false;
    std::vector<uint32_t> tokens_;
    uint64_t covered_ = 0;
    std::vector<uint32_t> cost_, path_;
    std::vector<uint32_t> from_; // how each position is reached: length | (distance - 1) << 16
    uint32_t cPrice_[NC]{}, pPrice_[NPMAX]{};
    Freqs running_;
    uint32_t sinceUpdate_ = 0;
    uint32_t skipTo_ = 0, runEnd_ = 0, runDist_ = 0; // the long match being followed
    EncodeResult res_;
};
} // namespace

EncodeResult encode(const Method &m, ByteSource &in, ByteSink &out, bool giveUp, const Progress &progress) {
    return Encoder(m, in, out, giveUp, progress).run();
}

} // namespace lzh
