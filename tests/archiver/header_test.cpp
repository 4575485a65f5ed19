// Entry headers and stored names, below the command layer.
#include <gtest/gtest.h>

#include "lzh/error.h"
#include "lzh/header.h"
#include "lzh/names.h"
#include "test_util.h"

namespace {

lzh::Entry sampleEntry() {
    lzh::Entry e;
    e.method = "-lh7-";
    e.packed = 1234;
    e.original = 5678;
    e.mtime = 1700000000;
    e.crc = 0xBEEF;
    e.hasMode = true;
    e.mode = 0100644;
    e.rawDir = "a\xFF" "b";
    e.rawName = "c.txt";
    return e;
}

lzh::Entry reread(const std::vector<uint8_t> &h) {
    std::vector<uint8_t> all = h;
    all.resize(all.size() + 1234, 0); // the data the header announces
    all.push_back(0);
    lzh::MemorySource src(all.data(), all.size());
    lzh::Entry e;
    EXPECT_TRUE(lzh::readHeader(src, e));
    return e;
}

TEST(Header, Level2RoundTrip) {
    lzh::Entry e = sampleEntry();
    auto h = lzh::writeHeader(e, false);
    EXPECT_EQ(h[20], 2);
    EXPECT_EQ(h[0] | h[1] << 8, static_cast<int>(h.size()));
    lzh::Entry r = reread(h);
    EXPECT_EQ(r.method, "-lh7-");
    EXPECT_EQ(r.packed, 1234u);
    EXPECT_EQ(r.original, 5678u);
    EXPECT_EQ(r.mtime, 1700000000);
    EXPECT_EQ(r.crc, 0xBEEF);
    EXPECT_EQ(r.mode, 0100644u);
    EXPECT_EQ(r.path(), "a/b/c.txt");
    EXPECT_EQ(r.fault, lzh::NameFault::None);
}

TEST(Header, SizesOf4GiBAndMoreUseTheWideField) {
    lzh::Entry e = sampleEntry();
    e.packed = (uint64_t{5} << 30) + 3;
    e.original = (uint64_t{6} << 30) + 7;
    auto h = lzh::writeHeader(e, true);
    EXPECT_EQ(h.size(), lzh::writeHeader(sampleEntry(), true).size()); // same length whatever the sizes
    std::vector<uint8_t> all = h;
    lzh::MemorySource src(all.data(), all.size());
    lzh::Entry r;
    ASSERT_TRUE(lzh::readHeader(src, r));
    EXPECT_EQ(r.packed, e.packed);
    EXPECT_EQ(r.original, e.original);
}

TEST(Header, SizeWithLowByteZeroIsPadded) {
    int padded = 0;
    for (int n = 1; n < 300; ++n) {
        lzh::Entry e = sampleEntry();
        e.rawName = std::string(static_cast<size_t>(n), 'n');
        auto h = lzh::writeHeader(e, false);
        EXPECT_NE(h.size() & 0xFF, 0u);
        if (h.back() == 0 && h[h.size() - 2] == 0 && h[h.size() - 3] == 0) ++padded;
        EXPECT_EQ(reread(h).rawName, e.rawName);
    }
    EXPECT_GE(padded, 1);
}

TEST(Header, DamagedHeadersAreRejected) {
    auto good = lzh::writeHeader(sampleEntry(), false);
    struct Case {
        const char *name;
        std::vector<uint8_t> bytes;
    };
    std::vector<Case> cases;
    auto flipped = good;
    flipped[30] ^= 1;
    cases.push_back({"header CRC", flipped});
    auto small = good;
    small[0] = 10, small[1] = 0;
    cases.push_back({"total below the base", small});
    auto endless = good;
    endless[24] = 0xFF, endless[25] = 0xFF; // first extension runs far past the header
    cases.push_back({"extension past the header", endless});
    cases.push_back({"cut short", std::vector<uint8_t>(good.begin(), good.begin() + 20)});
    cases.push_back({"no end mark", {}});
    auto level = good;
    level[20] = 7;
    cases.push_back({"unknown level", level});
    for (auto &c : cases) {
        SCOPED_TRACE(c.name);
        lzh::MemorySource src(c.bytes.data(), c.bytes.size());
        lzh::Entry e;
        try {
            lzh::readHeader(src, e, true);
            ADD_FAILURE() << "accepted";
        } catch (const lzh::Error &err) {
            EXPECT_EQ(err.code, UNLHA_ERR_DAMAGED);
        }
    }
}

// A level-0 or level-1 header as old archivers write them.
std::vector<uint8_t> oldHeader(int level, const std::string &name, std::vector<uint8_t> ext = {}) {
    std::vector<uint8_t> h = {0, 0};
    for (char c : std::string("-lh0-")) h.push_back(static_cast<uint8_t>(c));
    uint32_t packed = static_cast<uint32_t>(ext.size());
    for (int i = 0; i < 4; ++i) h.push_back(static_cast<uint8_t>(packed >> (8 * i)));
    for (int i = 0; i < 4; ++i) h.push_back(0);
    for (uint8_t b : {0x00, 0x00, 0x21, 0x5A}) h.push_back(b); // 2025-01-01 00:00
    h.push_back(0x20);
    h.push_back(static_cast<uint8_t>(level));
    h.push_back(static_cast<uint8_t>(name.size()));
    for (char c : name) h.push_back(static_cast<uint8_t>(c));
    h.push_back(0), h.push_back(0); // CRC
    if (level == 1) {
        h.push_back('M');
        h.push_back(static_cast<uint8_t>(ext.empty() ? 0 : ext.size()));
        h.push_back(0);
    }
    h[0] = static_cast<uint8_t>(h.size() - 2);
    unsigned sum = 0;
    for (size_t i = 2; i < h.size(); ++i) sum += h[i];
    h[1] = static_cast<uint8_t>(sum);
    h.insert(h.end(), ext.begin(), ext.end());
    h.push_back(0);
    return h;
}

TEST(Header, Level1ExtensionsLongerThanTheirDataAreDamaged) {
    std::vector<uint8_t> ext = {9, 0, 0x01, 'a', 'b', 'c', 'd', 0xFF, 0xFF};
    auto h = oldHeader(1, "x", ext);
    h[7] = 5; // packed size smaller than the extensions
    unsigned sum = 0;
    size_t base = size_t{h[0]} + 2;
    for (size_t i = 2; i < base; ++i) sum += h[i];
    h[1] = static_cast<uint8_t>(sum);
    lzh::MemorySource src(h.data(), h.size());
    lzh::Entry e;
    EXPECT_THROW(lzh::readHeader(src, e), lzh::Error);
}

TEST(Names, Cp932InArchivesLocalOutside) {
    EXPECT_EQ(lzh::toArchiveName("plain.txt"), "plain.txt");
    EXPECT_EQ(lzh::toArchiveName("日本語"), "\x93\xfa\x96\x7b\x8c\xea");
    EXPECT_EQ(lzh::fromArchiveName("\x93\xfa\x96\x7b\x8c\xea", lzh::CodePage::Cp932), "日本語");
    // Not representable in CP932: kept as UTF-8 both ways.
    const std::string other = "café-ÿ";
    EXPECT_EQ(lzh::toArchiveName(other), other);
    EXPECT_EQ(lzh::fromArchiveName(other, lzh::CodePage::Utf8), other);
}

} // namespace
