// Entry headers, below the command layer.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "crafted.h"
#include "lzh/error.h"
#include "test_util.h"

namespace {

// clang-format off
lzh::Entry sampleEntry() {
    lzh::Entry e;
    e.method = "-lh7-", e.packed = 1234, e.original = 5678, e.mtime = 1700000000, e.crc = 0xBEEF;
    e.hasMode = true, e.mode = 0100644;
    e.rawDir = "a\xFF" "b", e.rawName = "c.txt";
    return e;
}
// clang-format on

// Sizes of 4 GiB and more go to the wide field, which keeps the header's
// length whatever the sizes turn out to be. No header's length has a low
// byte of zero, which readers take for the end of the archive.
TEST(Header, WrittenFieldsReadBack) {
    lzh::Entry big = sampleEntry();
    big.packed = (uint64_t{5} << 30) + 3, big.original = (uint64_t{6} << 30) + 7;
    // (Every length up to past 512 bytes is the peers' test below.)
    for (auto [e, wide] : {std::pair{sampleEntry(), false}, {big, true}}) {
        auto h = lzh::writeHeader(e, wide);
        EXPECT_EQ(h[20], 2);
        EXPECT_EQ(h[0] | h[1] << 8, static_cast<int>(h.size()));
        // The extensions fill the header: no padding byte after them.
        size_t end = 26;
        for (size_t next = h[24] | h[25] << 8; next; next = h[end - 2] | h[end - 1] << 8) end += next;
        EXPECT_EQ(end, h.size());
        EXPECT_NE(h.size() & 0xFF, 0u);
        EXPECT_TRUE(!wide || h.size() == lzh::writeHeader(sampleEntry(), true).size());
        lzh::MemorySource src(h.data(), h.size());
        lzh::Entry r;
        ASSERT_TRUE(lzh::readHeader(src, r));
        EXPECT_EQ(std::tie(r.method, r.packed, r.original, r.mtime, r.crc, r.mode),
                  std::tie(e.method, e.packed, e.original, e.mtime, e.crc, e.mode));
        EXPECT_EQ(r.path(), "a/b/" + e.rawName);
        EXPECT_EQ(r.fault, lzh::NameFault::None);
    }
}

TEST(Header, DamagedHeadersAreRejected) {
    auto good = lzh::writeHeader(sampleEntry(), false);
    auto changed = [&](std::initializer_list<std::pair<size_t, uint8_t>> bytes) {
        auto h = good;
        for (auto [at, b] : bytes) h[at] = b;
        return h;
    };
    // A level-1 header whose extensions run past the packed size it gives.
    std::string old = craftedEntry(1, "dir", "x", "");
    old[7] = 2;
    unsigned sum = 0;
    for (size_t i = 2; i < size_t(old[0]) + 2; ++i) sum += uint8_t(old[i]);
    old[1] = char(sum);
    // The time changed: only the header CRC tells.
    const std::pair<const char*, std::vector<uint8_t>> cases[] = {
        {"header CRC", changed({{15, uint8_t(good[15] ^ 1)}})},
        {"total below the base", changed({{0, 10}, {1, 0}})},
        {"extension past the header", changed({{24, 0xFF}, {25, 0xFF}})},
        {"cut short", std::vector<uint8_t>(good.begin(), good.begin() + 20)},
        {"no end mark", {}},
        {"unknown level", changed({{20, 7}})},
        {"level-1 extensions beyond the data", std::vector<uint8_t>(old.begin(), old.end())},
    };
    for (auto& [name, bytes] : cases) {
        SCOPED_TRACE(name);
        lzh::MemorySource src(bytes.data(), bytes.size());
        lzh::Entry e;
        try {
            lzh::readHeader(src, e, true);
            ADD_FAILURE() << "accepted";
        } catch (const lzh::Error& err) {
            EXPECT_EQ(err.code, UNLHA_ERR_DAMAGED);
        }
    }
}

// Every header size from the smallest to past 512 bytes, one entry each in
// one archive, read by each peer: a padding byte after the extensions made
// 7-Zip read the entry one byte off and lose the next.
class HeaderSizes : public ::testing::TestWithParam<const char*> {};

TEST_P(HeaderSizes, EveryPeerReadsEverySize) {
    const std::string peer = GetParam();
    if (!haveProgram(peer.substr(0, peer.find(' '))))
        GTEST_SKIP() << peer << " is not installed; scripts/setup installs it";
    TempDir tmp;
    std::string arc;
    std::map<std::string, std::string> files;
    std::set<size_t> sizes;
    // Names of up to 200 bytes under folders of up to 4 parts of 100 bytes.
    for (size_t size = 40; size <= 640; ++size) {
        lzh::Entry e;
        e.hasMode = true, e.mode = 0100644, e.mtime = 1700000000;
        for (size_t parts = 0; parts < 5 && e.rawName.empty(); ++parts) {
            std::string dir;
            for (size_t i = 0; i < parts; ++i) dir += std::string(100, char('D' + i)) + (i + 1 < parts ? "\xFF" : "");
            size_t fixed = 39 + (parts ? dir.size() + 4 : 0);
            if (size > fixed && size - fixed <= 200) e.rawDir = dir, e.rawName = std::string(size - fixed, 'n');
        }
        ASSERT_FALSE(e.rawName.empty()) << size;
        std::string data = std::to_string(size);
        e.packed = e.original = data.size();
        e.crc = lzh::crc16(0, reinterpret_cast<const uint8_t*>(data.data()), data.size());
        auto h = lzh::writeHeader(e, false);
        sizes.insert(h.size());
        arc += std::string(h.begin(), h.end()) + data;
        std::string path = e.rawDir + (e.rawDir.empty() ? "" : "/") + e.rawName;
        std::replace(path.begin(), path.end(), '\xFF', '/');
        files[path] = data;
    }
    EXPECT_GT(*sizes.rbegin(), 512u);
    for (size_t s : sizes) EXPECT_NE(s & 0xFF, 0u) << s;
    writeFile(tmp.path() / "sizes.lzh", arc + std::string(1, '\0'));
    fs::create_directories(tmp.path() / "out");
    Ran r = runIn(tmp.path() / "out", "LC_ALL=C.UTF-8 " + peer + " ../sizes.lzh");
    EXPECT_EQ(r.status, 0) << r.output.substr(0, 2000);
    EXPECT_EQ(treeDiff(tree(tmp.path() / "out"), files), "");
}

INSTANTIATE_TEST_SUITE_P(Peers, HeaderSizes, ::testing::Values("lhasa xq", "bsdtar -xf", "7zz x -y", "jlha xq"),
                         [](const auto& info) { return std::string(info.param).substr(0, std::string(info.param).find(' ')); });

}  // namespace
