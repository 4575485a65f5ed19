#include "huffman.h"

#include <algorithm>
#include <numeric>

namespace lzh {

namespace {
constexpr int kMaxSyms = 1024;  // fixed arrays: the encoder builds codes hundreds of times per block

// The used symbols of `freq`, least frequent first, ties by symbol; returns how many.
size_t sortUsed(const uint32_t* freq, int n, int* syms) {
    uint64_t key[kMaxSyms];  // frequency and symbol in one key
    size_t m = 0;
    uint32_t most = 0;
    for (int i = 0; i < std::min(n, kMaxSyms); ++i)
        if (freq[i]) key[m++] = uint64_t{freq[i]} << 10 | static_cast<uint64_t>(i), most = std::max(most, freq[i]);
    // Small blocks have small counts: placed by count, in symbol order.
    constexpr uint32_t kCounted = 256;
    if (m > 16 && most < kCounted) {
        uint32_t at[kCounted + 1]{};
        for (size_t i = 0; i < m; ++i) ++at[(key[i] >> 10) + 1];
        for (uint32_t f = 1; f <= kCounted; ++f) at[f] += at[f - 1];
        for (size_t i = 0; i < m; ++i) syms[at[key[i] >> 10]++] = static_cast<int>(key[i] & 1023);
        return m;
    }
    std::sort(key, key + m);
    for (size_t i = 0; i < m; ++i) syms[i] = static_cast<int>(key[i] & 1023);
    return m;
}

// Huffman code lengths of m >= 2 weights in ascending order, counted per
// length; lengths past kMaxCodeLen are counted there.
void huffmanCounts(const uint64_t* sortedWeight, size_t m, int* count) {
    // Two queues: leaves in order, internal nodes appended in order.
    uint64_t weight[2 * kMaxSyms];
    int parent[2 * kMaxSyms];
    std::copy(sortedWeight, sortedWeight + m, weight);
    size_t leaf = 0, node = m, next = m;
    auto take = [&]() {
        if (leaf < m && (node >= next || weight[leaf] <= weight[node])) return leaf++;
        return node++;
    };
    while (next < 2 * m - 1) {
        size_t a = take(), b = take();
        weight[next] = weight[a] + weight[b];
        parent[a] = parent[b] = static_cast<int>(next);
        ++next;
    }
    int depth[2 * kMaxSyms];
    depth[2 * m - 2] = 0;
    std::fill(count, count + kMaxCodeLen + 1, 0);
    for (size_t i = 2 * m - 2; i-- > 0;) depth[i] = depth[static_cast<size_t>(parent[i])] + 1;
    for (size_t i = 0; i < m; ++i) ++count[std::min(depth[i], kMaxCodeLen)];
}

// Moves every code longer than `limit` to it, then lengthens the longest
// shorter codes until the code is complete again.
void limitCounts(int* count, int limit) {
    for (int l = limit + 1; l <= kMaxCodeLen; ++l) count[limit] += count[l], count[l] = 0;
    uint64_t total = 0;
    for (int l = 1; l <= limit; ++l) total += static_cast<uint64_t>(count[l]) << (limit - l);
    while (total > (uint64_t{1} << limit)) {
        --count[limit];
        for (int l = limit - 1; l > 0; --l)
            if (count[l]) {
                --count[l];
                count[l + 1] += 2;
                break;
            }
        --total;
    }
}

// Most frequent symbols get the shortest codes.
void assignLengths(const int* syms, size_t m, const int* count, uint8_t* len) {
    size_t i = m;
    for (int l = 1; l <= kMaxCodeLen; ++l)
        for (int k = 0; k < count[l]; ++k) len[syms[--i]] = static_cast<uint8_t>(l);
}
}  // namespace

void buildLengths(const uint32_t* freq, int n, int limit, uint8_t* len) {
    std::fill(len, len + n, 0);
    int syms[kMaxSyms];
    size_t m = sortUsed(freq, n, syms);
    if (m < 2) return;
    uint64_t weight[kMaxSyms];
    for (size_t i = 0; i < m; ++i) weight[i] = freq[syms[i]];
    int count[kMaxCodeLen + 1];
    huffmanCounts(weight, m, count);
    limitCounts(count, std::min(limit, kMaxCodeLen));
    assignLengths(syms, m, count, len);
}

void tunedLengths(const uint32_t* freq, int n, const std::function<uint64_t(const int*)>& tableBits, uint8_t* len) {
    std::fill(len, len + n, 0);
    int syms[kMaxSyms];
    size_t m = sortUsed(freq, n, syms);
    if (m < 2) return;
    // top[k]: the k most frequent symbols' total, the bits one more bit of
    // length costs them.
    uint64_t top[kMaxSyms + 1], weight[kMaxSyms];
    top[0] = 0;
    for (size_t k = 0; k < m; ++k) top[k + 1] = top[k] + freq[syms[m - 1 - k]];
    int shortest = 1;
    while ((size_t{1} << shortest) < m) ++shortest;
    int huff[kMaxCodeLen + 1], best[kMaxCodeLen + 1];
    for (size_t i = 0; i < m; ++i) weight[i] = freq[syms[i]];
    huffmanCounts(weight, m, huff);
    int longest = kMaxCodeLen;
    while (!huff[longest]) --longest;
    // Lower limits flatten the code: frequent symbols get longer codes, rare
    // ones shorter, and the table describes fewer distinct lengths.
    uint64_t bestBits = UINT64_MAX;
    for (int limit = longest; limit >= shortest; --limit) {
        int count[kMaxCodeLen + 1];
        std::copy(huff, huff + kMaxCodeLen + 1, count);
        limitCounts(count, limit);
        uint64_t bits = tableBits(count);
        size_t k = 0;
        for (int l = 1; l <= limit; ++l) {
            bits += static_cast<uint64_t>(l) * (top[k + static_cast<size_t>(count[l])] - top[k]);
            k += static_cast<size_t>(count[l]);
        }
        if (bits < bestBits) bestBits = bits, std::copy(count, count + kMaxCodeLen + 1, best);
    }
    assignLengths(syms, m, best, len);
}

void makeCodes(const uint8_t* len, int n, uint16_t* code) {
    uint16_t count[kMaxCodeLen + 1]{};
    for (int i = 0; i < n; ++i) ++count[len[i]];
    count[0] = 0;
    uint32_t next[kMaxCodeLen + 2]{};
    for (int l = 1; l <= kMaxCodeLen; ++l) next[l + 1] = (next[l] + count[l]) << 1;
    for (int i = 0; i < n; ++i) code[i] = len[i] ? static_cast<uint16_t>(next[len[i]]++) : 0;
}

void HuffDecoder::build(const uint8_t* len, int n) {
    single_ = false;
    std::fill(std::begin(count_), std::end(count_), 0);
    for (int i = 0; i < n; ++i) {
        if (len[i] > kMaxCodeLen) damaged("code longer than 16 bits");
        ++count_[len[i]];
    }
    count_[0] = 0;
    uint32_t total = 0;
    for (int l = 1; l <= kMaxCodeLen; ++l) total += static_cast<uint32_t>(count_[l]) << (kMaxCodeLen - l);
    if (total != (1u << kMaxCodeLen)) damaged("bad Huffman table");
    // first_[l]: first canonical code of length l; index_[l]: its place in sorted_.
    uint32_t code = 0;
    uint16_t idx = 0;
    for (int l = 1; l <= kMaxCodeLen; ++l) {
        first_[l] = code;
        index_[l] = idx;
        code = (code + count_[l]) << 1;
        idx = static_cast<uint16_t>(idx + count_[l]);
    }
    uint16_t fill[kMaxCodeLen + 1];
    std::copy(std::begin(index_), std::end(index_), fill);
    for (int i = 0; i < n; ++i)
        if (len[i]) sorted_[fill[len[i]]++] = static_cast<uint16_t>(i);
    // A small code gets a small table: a complete code then fills all of it,
    // and tiny entries do not pay for clearing the whole table per block.
    int longest = kMaxCodeLen;
    while (!count_[longest]) --longest;
    bits_ = std::min(max_, longest);
    if (longest > bits_) std::fill(table_.begin(), table_.begin() + (ptrdiff_t{1} << bits_), 0);
    for (int l = 1; l <= bits_; ++l)
        for (uint16_t k = 0; k < count_[l]; ++k) {
            uint32_t c = first_[l] + k;
            uint16_t sym = sorted_[index_[l] + k];
            uint32_t start = c << (bits_ - l), span = 1u << (bits_ - l);
            uint16_t e = static_cast<uint16_t>(sym << 5 | l);
            std::fill(table_.begin() + start, table_.begin() + start + span, e);
        }
}

int HuffDecoder::decodeLong(BitReader& br) {
    for (int l = bits_ + 1; l <= kMaxCodeLen; ++l) {
        uint32_t c = br.peek(l);
        if (c - first_[l] < count_[l]) {
            br.drop(l);
            return sorted_[index_[l] + (c - first_[l])];
        }
    }
    damaged("bad code");  // unreachable with a complete table
}

}  // namespace lzh
