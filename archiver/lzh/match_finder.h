#pragma once
// Match finders over the encoder's window. Each keeps its tables
// between entries: a small entry must not pay for clearing them whole.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

#include "window.h"

namespace lzh {

// Length of the common prefix of a and b from `len` on, at most `max`;
// reads up to 7 bytes past it (the window keeps padding there).
inline uint32_t matchLength(const uint8_t* a, const uint8_t* b, uint32_t len, uint32_t max) {
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

// What the finders' heads add to a position. Each entry starts it a window
// or more above the last one's end and a slide raises it by what slid, so
// what older entries left lies out of every window's reach: the heads are
// never cleared between entries (a small entry must not pay for that).
class HeadBase {
public:
    uint32_t value = 0;

    // Before an entry; false when the heads are to be cleared: at first,
    // near the top, and after a slide or another method's entries, where
    // w.end no longer bounds what they hold.
    bool nextEntry(const Window& w) {
        if (!value || w.slid || value > kRebase) {
            value = kFar;
            return false;
        }
        value += w.end + kFar;
        return true;
    }

    // After the window slid `by` bytes; near the top the heads move down.
    template <class... Tables>
    void slide(uint32_t by, Tables&... heads) {
        value += by;
        if (value <= kRebase) return;
        for (auto* table : {&heads...})
            for (auto& h : *table) h = h >= value ? h - value + kFar : 0;
        value = kFar;
    }

private:
    static constexpr uint32_t kRebase = 1u << 31;  // value + any position stays below 2^32
    // Beyond every window: an empty head (0) lies this far back of position 0.
    static constexpr uint32_t kFar = 2u << (NPMAX - 1);
};

// 3-byte hash chains searched longest-first: the lazy parse of -lh5-/-lh6-.
// Links hold positions: a chain is entered only from a head in reach, and
// the positions it links were all inserted since, so an older entry's
// links are never followed.
class ChainFinder {
public:
    static constexpr int kHashBits = 16;
    uint32_t chain = 0, good = 0, nice = 0;  // steps per search; fewer once this long; enough at this length

    static uint32_t hash(const uint8_t* s) {
        uint32_t v = uint32_t{s[0]} << 16 | uint32_t{s[1]} << 8 | s[2];
        return (v * 2654435761u) >> (32 - kHashBits);
    }

    // Before w.start(): forgets the last entry.
    void reset(const Window& w) {
        if (!base_.nextEntry(w) || head_.empty() || prev_.size() != w.wsize) {
            head_.assign(size_t{1} << kHashBits, 0);
            prev_.assign(w.wsize, 0);
        }
    }

    void slide(uint32_t by) {
        for (auto& p : prev_) p -= by;  // one slid out lies past every window after it
        base_.slide(by, head_);
    }

    // Inserts position p; returns the newest position before it with its
    // hash. One out of reach (reaches() says) may lie anywhere.
    uint32_t insert(const Window& w, uint32_t p) {
        uint32_t h = hash(w.buf.data() + p);
        uint32_t old = head_[h] - base_.value;
        prev_[p & (w.wsize - 1)] = old;
        head_[h] = p + base_.value;
        return old;
    }

    // Whether cand lies 1 to maxDist bytes before w.pos: empty heads and an
    // older entry's positions lie farther back than any window.
    bool reaches(const Window& w, uint32_t cand) const { return w.pos - cand - 1 < w.maxDist; }

    // The longest match at w.pos longer than `best`, starting from `cand`,
    // which reaches().
    uint32_t longest(const Window& w, uint32_t cand, uint32_t best, uint32_t look, uint32_t& dist) const {
        const uint8_t* b = w.buf.data();
        const uint8_t* scan = b + w.pos;
        uint32_t maxLen = std::min(kMaxMatch, look);
        uint32_t enough = std::min(nice, maxLen);
        uint32_t steps = best >= good ? chain >> 2 : chain;
        const uint32_t farthest = w.pos > w.maxDist ? w.pos - w.maxDist : 0;
        const uint32_t mask = w.wsize - 1;
        if (best >= maxLen) return best;
        do {
            const uint8_t* mp = b + cand;
            if (mp[best] != scan[best] || mp[0] != scan[0] || mp[1] != scan[1]) continue;
            uint32_t len = matchLength(scan, mp, 0, maxLen);
            if (len > best) {
                best = len;
                dist = w.pos - cand;
                if (len >= enough) break;
            }
            // A link not older than its node: the slot was reused by a newer position.
        } while (--steps && prev_[cand & mask] < cand && (cand = prev_[cand & mask]) >= farthest);
        return best;
    }

private:
    HeadBase base_;
    std::vector<uint32_t> head_, prev_;
};

// For the priced parse: a binary tree per 6-byte hash over the window,
// sorted by the bytes that follow each position, so one walk from the newest
// position meets the longest match at every length and re-sorts the tree
// around the current one. Tables of 3 and 4 bytes remember only the newest
// position: a match that short is worth its distance code only when near,
// and keeping such matches out of the tree keeps its walks short. Every
// longer match found is reported.
class TreeFinder {
public:
    static constexpr int kHash3Bits = 14, kHash4Bits = 16, kTreeBits = 16, kTreeBytes = 6;
    uint32_t depth = 0;     // nodes visited per walk that lists matches
    uint32_t insDepth = 0;  // per walk that only indexes: the tree is cut below it
    uint32_t nice = 0;      // a match this long replaces its node: the walk ends there

    // Heads hold a position plus base_: every node a walk reaches from a
    // head in reach was linked since.
    void reset(const Window& w) {
        if (!base_.nextEntry(w) || head3_.empty()) {
            head3_.assign(size_t{1} << kHash3Bits, 0);
            head4_.assign(size_t{1} << kHash4Bits, 0);
            headTree_.assign(size_t{1} << kTreeBits, 0);
        }
        // Two windows of nodes: the position a full window back keeps its
        // own while the current one is linked.
        if (son_.size() != 4 * size_t{w.wsize}) son_.assign(4 * size_t{w.wsize}, kNone);
        forgetHashes();
    }

    // Links are relative and heads absolute: only the base moves.
    void slide(uint32_t by) {
        base_.slide(by, head3_, head4_, headTree_);
        forgetHashes();
    }

    // After the window changed: the prefetched hashes may be of other bytes.
    void forgetHashes() {
        for (Hashes& h : ahead_) h.at = kNoPosition;
    }

    // Fetches position p's heads; the walks at p - 1 and p then reuse the
    // hashes (the parse fetches a position ahead).
    void prefetch(const Window& w, uint32_t p) {
        ahead_[0] = ahead_[1];
        const Hashes& h = ahead_[1] = hashes(w.buf.data() + p, p);
        __builtin_prefetch(&head3_[h.h3]);
        __builtin_prefetch(&head4_[h.h4]);
        __builtin_prefetch(&headTree_[h.tree]);
    }

    // Inserts position cur and lists its matches (longer each, at most
    // `avail` bytes); returns how many. Compares read up to `nice` + 8 bytes
    // past cur, whatever `avail` says.
    uint32_t find(const Window& w, uint32_t cur, uint32_t avail, Match* out) { return walk<true>(w, cur, avail, out); }
    // Only inserts position cur.
    void insert(const Window& w, uint32_t cur) { walk<false>(w, cur, 0, nullptr); }
    // Only the newest-position heads of short matches: cheap, and what
    // keeps the short matches after a long one near.
    void insertHeads(const Window& w, uint32_t cur) {
        const Hashes h = hashes(w.buf.data() + cur, cur);
        head3_[h.h3] = head4_[h.h4] = cur + base_.value;
    }

private:
    template <bool kList>
    uint32_t walk(const Window& w, uint32_t cur, uint32_t avail, Match* out) {
        const uint8_t* b = w.buf.data();
        const uint8_t* scan = b + cur;
        const uint32_t mask = 2 * w.wsize - 1;
        const Hashes h = ahead_[0].at == cur ? ahead_[0] : ahead_[1].at == cur ? ahead_[1] : hashes(scan, cur);
        const uint32_t stored = cur + base_.value;
        uint32_t cand = headTree_[h.tree] - base_.value;
        headTree_[h.tree] = stored;
        // cand is usable when cur - cand - 1 < span: a head older than base_,
        // a position slid out and kNone all lie farther back.
        const uint32_t span = w.maxDist;
        uint32_t best = kMinMatch - 1, n = 0;
        uint32_t maxLen = std::min(avail, kMaxMatch);
        uint32_t tried = cur;  // the 4-byte head is often the 3-byte one
        auto newest = [&](std::vector<uint32_t>& heads, uint32_t at) {
            if constexpr (kList) {
                uint32_t near = heads[at] - base_.value;
                if (cur - near - 1 < span && near != tried) {
                    uint32_t len = matchLength(scan, b + near, 0, maxLen);
                    if (len > best) best = len, out[n++] = {len, cur - near};
                    tried = near;
                }
            }
            heads[at] = stored;
        };
        newest(head3_, h.h3);
        newest(head4_, h.h4);
        // lo/hi: where the next node found below/above cur is linked (in the
        // node at loAt/hiAt); every node between them shares at least
        // min(lenLo, lenHi) bytes with cur. A link holds how far back its
        // child lies, less one: children are older than their parents, and
        // one a whole window behind its parent is out of every later
        // position's reach, so 16 bits hold it; kNone lies beyond the window.
        uint16_t *lo = &son_[2 * (cur & mask)], *hi = lo + 1;
        uint32_t loAt = cur, hiAt = cur;
        uint32_t lenLo = 0, lenHi = 0;
        for (uint32_t steps = kList ? depth : insDepth;; --steps) {
            if (cur - cand - 1 >= span || !steps) {
                *lo = *hi = kNone;
                break;
            }
            const uint8_t* mp = b + cand;
            uint16_t* node = &son_[2 * (cand & mask)];
            uint32_t len = matchLength(scan, mp, std::min(lenLo, lenHi), nice);
            if constexpr (kList) {
                if (len > best) {
                    uint32_t got = len >= nice ? matchLength(scan, mp, len, maxLen) : std::min(len, maxLen);
                    if (got > best) best = got, out[n++] = {got, cur - cand};
                }
            }
            if (len >= nice) {  // cur takes the node's place
                *lo = relink(node[0], cand, loAt);
                *hi = relink(node[1], cand, hiAt);
                break;
            }
            if (mp[len] < scan[len]) {
                *lo = link(loAt - cand);
                lo = node + 1;
                loAt = cand;
                lenLo = len;
                cand = child(node[1], cand);
            } else {
                *hi = link(hiAt - cand);
                hi = node;
                hiAt = cand;
                lenHi = len;
                cand = child(node[0], cand);
            }
        }
        return n;
    }

    static constexpr uint16_t kNone = 0xFFFF;
    static uint32_t child(uint16_t link, uint32_t at) { return at - 1 - link; }
    // The link to a child `back` bytes behind; a child that falls out of
    // reach is dropped.
    static uint16_t link(uint32_t back) { return static_cast<uint16_t>(std::min<uint32_t>(back - 1, kNone)); }
    // The link of node `at` to child `link` back, moved to the node at `to`.
    static uint16_t relink(uint16_t link, uint32_t at, uint32_t to) {
        return static_cast<uint16_t>(std::min<uint32_t>(to - at + link, kNone));
    }

    struct Hashes {
        uint32_t at, h3, h4, tree;
    };
    // One load serves all three, read little-endian as matchLength reads;
    // 8 bytes: the window keeps padding past the data.
    static Hashes hashes(const uint8_t* s, uint32_t at) {
        uint64_t v;
        std::memcpy(&v, s, sizeof v);
        const uint32_t v4 = static_cast<uint32_t>(v);
        const uint64_t v6 = v << (64 - 8 * kTreeBytes);
        return {at, ((v4 & 0xFFFFFF) * 2654435761u) >> (32 - kHash3Bits), (v4 * 2654435761u) >> (32 - kHash4Bits),
                static_cast<uint32_t>((v6 * 0x9E3779B97F4A7C15ull) >> (64 - kTreeBits))};
    }

    HeadBase base_;
    std::vector<uint32_t> head3_, head4_, headTree_;
    static constexpr uint32_t kNoPosition = UINT32_MAX;
    Hashes ahead_[2]{{kNoPosition, 0, 0, 0}, {kNoPosition, 0, 0, 0}};  // what prefetch() hashed last
    std::vector<uint16_t> son_;
};

}  // namespace lzh
