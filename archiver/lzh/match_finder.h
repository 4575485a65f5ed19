#pragma once
// Hash-chain match finders over the encoder's window. Each keeps its tables
// between entries and clears only the slots the last entry touched.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

#include "window.h"

namespace lzh {

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

struct Match {
    uint32_t len, dist;
};

// Clears the slots `hash` gives for the positions of the last entry, or the
// whole table when that entry slid its window or was large.
template <class Hash> void clearTouched(std::vector<uint32_t> &table, const Window &w, Hash hash) {
    if (w.slid || w.end > table.size() / 4) {
        std::fill(table.begin(), table.end(), 0);
        return;
    }
    for (uint32_t p = 0; p < w.end; ++p) table[hash(w.buf.data() + p)] = 0;
}

// 3-byte hash chains searched longest-first: the lazy parse of -lh5-/-lh6-.
class ChainFinder {
public:
    static constexpr int kHashBits = 16;
    uint32_t chain = 0, good = 0, nice = 0; // steps per search; fewer once this long; enough at this length

    static uint32_t hash(const uint8_t *s) {
        uint32_t v = uint32_t{s[0]} << 16 | uint32_t{s[1]} << 8 | s[2];
        return (v * 2654435761u) >> (32 - kHashBits);
    }

    // Before w.start(): forgets the last entry.
    void reset(const Window &w) {
        if (head_.empty()) head_.assign(size_t{1} << kHashBits, 0);
        if (prev_.size() != w.wsize) prev_.assign(w.wsize, 0);
        clearTouched(head_, w, hash);
    }

    void slide(uint32_t by) {
        for (auto &h : head_) h = slideDown(h, by);
        for (auto &p : prev_) p = slideDown(p, by);
    }

    // Inserts position p and returns the previous head of its chain.
    uint32_t insert(const Window &w, uint32_t p) {
        uint32_t h = hash(w.buf.data() + p);
        uint32_t old = head_[h];
        prev_[p & (w.wsize - 1)] = old;
        head_[h] = p;
        return old;
    }

    // The longest match at w.pos longer than `best`, starting from `cand`.
    uint32_t longest(const Window &w, uint32_t cand, uint32_t best, uint32_t look, uint32_t &dist) const {
        const uint8_t *b = w.buf.data();
        const uint8_t *scan = b + w.pos;
        uint32_t maxLen = std::min(kMaxMatch, look);
        uint32_t enough = std::min(nice, maxLen);
        uint32_t steps = best >= good ? chain >> 2 : chain;
        uint32_t limit = w.pos > w.maxDist ? w.pos - w.maxDist : 0;
        const uint32_t mask = w.wsize - 1;
        if (best >= maxLen) return best;
        do {
            const uint8_t *mp = b + cand;
            if (mp[best] != scan[best] || mp[0] != scan[0] || mp[1] != scan[1]) continue;
            uint32_t len = matchLength(scan, mp, 0, maxLen);
            if (len > best) {
                best = len;
                dist = w.pos - cand;
                if (len >= enough) break;
            }
        } while (--steps && prev_[cand & mask] < cand && (cand = prev_[cand & mask]) > limit);
        return best;
    }

private:
    std::vector<uint32_t> head_, prev_;
};

// For the priced parse: chains link positions with equal 4-byte hashes, so
// few steps reach long matches; a 3-byte table remembers only the newest
// position, the one 3-byte match worth its distance code. Every longer match
// found is reported.
class PricedFinder {
public:
    static constexpr int kHash3Bits = 14, kHash4Bits = 17;
    uint32_t chain = 0, nice = 0;

    static uint32_t hash3(const uint8_t *s) {
        uint32_t v3 = uint32_t{s[0]} << 16 | uint32_t{s[1]} << 8 | s[2];
        return (v3 * 2654435761u) >> (32 - kHash3Bits);
    }
    static uint32_t hash4(const uint8_t *s) {
        uint32_t v3 = uint32_t{s[0]} << 16 | uint32_t{s[1]} << 8 | s[2];
        return ((v3 << 8 | s[3]) * 2654435761u) >> (32 - kHash4Bits);
    }

    void reset(const Window &w) {
        if (head3_.empty()) head3_.assign(size_t{1} << kHash3Bits, 0), head4_.assign(size_t{1} << kHash4Bits, 0);
        if (prev_.size() != w.wsize) prev_.assign(w.wsize, 0);
        clearTouched(head3_, w, hash3);
        clearTouched(head4_, w, hash4);
    }

    void slide(uint32_t by) {
        for (auto &h : head4_) h = slideDown(h, by);
        for (auto &h : head3_) h = slideDown(h, by);
        for (auto &p : prev_) p = slideDown(p, by);
    }

    // The table slots position p will read.
    void prefetch(const Window &w, uint32_t p) const {
        __builtin_prefetch(&head3_[hash3(w.buf.data() + p)]);
        __builtin_prefetch(&head4_[hash4(w.buf.data() + p)]);
    }

    // Indexes position cur; with `out`, also lists its matches (longer each,
    // at most `avail` bytes) and returns how many.
    uint32_t find(const Window &w, uint32_t cur, uint32_t avail, Match *out) {
        const uint8_t *b = w.buf.data();
        const uint8_t *scan = b + cur;
        uint32_t h3 = hash3(scan), h4 = hash4(scan);
        uint32_t cand3 = head3_[h3], cand = head4_[h4];
        const uint32_t mask = w.wsize - 1;
        head3_[h3] = cur;
        head4_[h4] = cur;
        prev_[cur & mask] = cand;
        if (!out) return 0;
        uint32_t limit = cur > w.maxDist ? cur - w.maxDist : 0;
        uint32_t best = kMinMatch - 1, n = 0, steps = chain;
        uint32_t maxLen = std::min(avail, kMaxMatch);
        if (cand3 > limit && cand3 < cur) {
            uint32_t len = matchLength(scan, b + cand3, 0, maxLen);
            if (len >= kMinMatch) {
                best = len;
                out[n++] = {len, cur - cand3};
                if (len >= nice) return n;
            }
        }
        // A candidate must agree on the 4 bytes ending at the current best
        // length before it is compared in full.
        uint32_t at = best >= 3 ? best - 3 : 0, want;
        std::memcpy(&want, scan + at, 4);
        while (cand > limit && steps--) {
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
                    if (len >= nice || len == maxLen) break;
                    at = best - 3;
                    std::memcpy(&want, scan + at, 4);
                }
            }
            if (nx >= cand) break; // a slot reused by a newer position
            cand = nx;
        }
        return n;
    }

private:
    std::vector<uint32_t> head3_, head4_, prev_;
};

} // namespace lzh
