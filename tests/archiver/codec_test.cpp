// The codec, tested below the command layer.
#include <gtest/gtest.h>

#include "archive/archive.h"
#include "lzh/bitio.h"
#include "lzh/codec.h"
#include "lzh/crc16.h"
#include "lzh/huffman.h"
#include "test_util.h"

namespace {

// One encoder and decoder through every case and method, as an archive of
// many entries uses them: nothing of an entry may leak into the next.
lzh::Encoder reused;
lzh::Decoder reusedDecoder;

std::vector<uint8_t> pack(const lzh::Method &m, const std::string &data) {
    lzh::MemorySource in(reinterpret_cast<const uint8_t *>(data.data()), data.size());
    lzh::VectorSink out, again;
    lzh::EncodeResult r = lzh::encode(m, in, out, false);
    EXPECT_EQ(r.in, data.size());
    EXPECT_EQ(r.out, out.data.size());
    EXPECT_EQ(r.crc, lzh::crc16(0, reinterpret_cast<const uint8_t *>(data.data()), data.size()));
    lzh::MemorySource in2(reinterpret_cast<const uint8_t *>(data.data()), data.size());
    reused.encode(m, in2, again, false);
    EXPECT_TRUE(again.data == out.data) << "a reused encoder differs from a fresh one";
    return out.data;
}

std::string unpack(const lzh::Method &m, const std::vector<uint8_t> &packed, uint64_t size, uint16_t *crc = nullptr) {
    lzh::MemorySource in(packed.data(), packed.size());
    lzh::VectorSink out;
    uint16_t c = reusedDecoder.decode(m, in, size, out);
    if (crc) *crc = c;
    return {out.data.begin(), out.data.end()};
}

TEST(Crc16, KnownValues) {
    const std::string check = "123456789";
    EXPECT_EQ(lzh::crc16(0, reinterpret_cast<const uint8_t *>(check.data()), check.size()), 0xBB3D);
    EXPECT_EQ(lzh::crc16(0, nullptr, 0), 0);
    // Piecewise equals whole, across the 8-byte fast path.
    std::string d = randomBytes(1001, 1);
    auto p = reinterpret_cast<const uint8_t *>(d.data());
    EXPECT_EQ(lzh::crc16(lzh::crc16(0, p, 13), p + 13, 988), lzh::crc16(0, p, 1001));
    for (size_t cut : {0, 1, 13, 1000, 1001}) // joined from the CRCs of the two parts
        EXPECT_EQ(lzh::crc16Combine(lzh::crc16(0, p, cut), lzh::crc16(0, p + cut, 1001 - cut), 1001 - cut),
                  lzh::crc16(0, p, 1001));
}

TEST(Huffman, LengthsAreLimitedAndComplete) {
    // Fibonacci frequencies force depths beyond 16 without the limit.
    std::vector<uint32_t> freq(40);
    uint32_t a = 1, b = 1;
    for (auto &f : freq) f = a, a = b, b = (a + b) % 1000000000u;
    std::vector<uint8_t> len(freq.size());
    lzh::buildLengths(freq.data(), static_cast<int>(freq.size()), 16, len.data());
    uint64_t kraft = 0;
    for (uint8_t l : len) {
        EXPECT_GE(l, 1);
        EXPECT_LE(l, 16);
        kraft += uint64_t{1} << (16 - l);
    }
    EXPECT_EQ(kraft, uint64_t{1} << 16);
    // And the decoder accepts exactly such a table.
    lzh::HuffDecoder dec(8);
    EXPECT_NO_THROW(dec.build(len.data(), static_cast<int>(len.size())));
}

struct RoundTripCase {
    const char *name;
    std::string (*make)(size_t window);
};

const RoundTripCase kRoundTrips[] = {
    {"empty", [](size_t) { return std::string(); }},
    {"one byte", [](size_t) { return std::string("x"); }},
    {"long run", [](size_t) { return std::string(300000, 'a'); }},
    {"random", [](size_t) { return randomBytes(70000, 7); }},
    {"text", [](size_t) { return textBytes(400000, 3); }},
    {"window - 1", [](size_t w) { return textBytes(w - 1, 4); }},
    {"window", [](size_t w) { return textBytes(w, 5); }},
    {"window + 1", [](size_t w) { return textBytes(w + 1, 6); }},
    {"period of the window", [](size_t w) {
         std::string unit = randomBytes(w, 8);
         return unit + unit + unit.substr(0, 1000);
     }},
    // The input ends a few bytes short of the encoder's buffer end, after one slide.
    {"buffer edge", [](size_t w) { return textBytes(w + 2 * (1 << 18) + 2 * (4096 + 256 + 8) - 5, 12); }},
    {"mixed", [](size_t) { return textBytes(50000, 9) + randomBytes(30000, 10) + std::string(5000, '\0'); }},
    // Copies with a byte changed every 10 to 30 bytes: many medium-length
    // matches, across parse segments and buffer slides.
    {"edited copies", [](size_t) {
         std::string unit = randomBytes(20000, 13), s;
         uint32_t seed = 14;
         while (s.size() < 700000) {
             std::string copy = unit;
             for (size_t i = 0; i < copy.size(); i += 10 + (seed = seed * 1103515245u + 12345u) % 21) copy[i] ^= 1;
             s += copy;
         }
         return s;
     }},
};

class CodecRoundTrip : public ::testing::TestWithParam<int> {};

TEST_P(CodecRoundTrip, EveryCaseComesBackByteForByte) {
    const lzh::Method &m = lzh::methodForLevel(GetParam());
    size_t window = size_t{1} << m.dicbit;
    for (const auto &c : kRoundTrips) {
        SCOPED_TRACE(std::string(m.id) + " " + c.name);
        std::string data = c.make(window);
        auto packed = pack(m, data);
        uint16_t crc = 0;
        EXPECT_EQ(unpack(m, packed, data.size(), &crc), data);
        EXPECT_EQ(crc, lzh::crc16(0, reinterpret_cast<const uint8_t *>(data.data()), data.size()));
    }
}

// Large files are packed in pieces on several threads: the archive is the
// same bytes with one thread or many, and other readers join the pieces.
TEST_P(CodecRoundTrip, PiecesOnThreadsGiveOneArchive) {
    TempDir tmp;
    fs::path src = tmp.path() / "src";
    fs::create_directories(src);
    std::string unit = textBytes(300000, 40), big;
    while (big.size() < 2600000) big += unit; // matches reach back across every piece boundary
    writeFile(src / "big.txt", big);
    writeFile(src / "noise.bin", randomBytes(1200000, 41)); // stored after its first piece
    for (int i = 0; i < 12; ++i) writeFile(src / ("small" + std::to_string(i)), textBytes(100 + 300 * i, 42 + i));
    std::string first;
    for (unsigned threads : {1u, 3u}) {
        archive::Options o;
        o.command = 'a';
        o.method = static_cast<archive::Method>(GetParam());
        o.recurse = true;
        o.threads = threads;
        o.archive = (tmp.path() / ("t" + std::to_string(threads) + ".lzh")).string();
        o.items = {"src"};
        std::string text;
        ASSERT_EQ(inDir(tmp.path(), [&] { return archive::run(o, text); }), 0) << text;
        if (first.empty()) first = readFile(o.archive);
        else EXPECT_TRUE(readFile(o.archive) == first) << threads << " threads";
    }
    int readers = 0;
    for (const char *reader : {"lhasa x", "bsdtar -xf"}) {
        if (!haveProgram(std::string(reader).substr(0, std::string(reader).find(' ')))) continue;
        ++readers;
        fs::path out = tmp.path() / "out";
        fs::remove_all(out);
        fs::create_directories(out);
        EXPECT_EQ(shell(out, std::string(reader) + " ../t1.lzh"), 0) << reader;
        EXPECT_EQ(treeDiff(tree(out / "src"), tree(src)), "") << reader;
    }
    if (!readers) GTEST_SKIP() << "neither lhasa nor bsdtar is installed";
}

TEST_P(CodecRoundTrip, DamagedStreamsFailCleanly) {
    const lzh::Method &m = lzh::methodForLevel(GetParam());
    std::string data = textBytes(60000, 11) + randomBytes(2000, 12);
    auto packed = pack(m, data);
    uint16_t good = lzh::crc16(0, reinterpret_cast<const uint8_t *>(data.data()), data.size());
    // Cut short anywhere: an error, never a crash or a wrong success.
    for (size_t cut = 0; cut < packed.size(); cut += 1 + cut / 3) {
        std::vector<uint8_t> part(packed.begin(), packed.begin() + static_cast<long>(cut));
        uint16_t crc = 0;
        try {
            std::string out = unpack(m, part, data.size(), &crc);
            EXPECT_NE(crc, good) << "cut at " << cut;
        } catch (const lzh::Error &e) {
            EXPECT_EQ(e.code, UNLHA_ERR_DAMAGED);
        }
    }
    // Flipped bits: an error or a CRC mismatch (a flip in padding bits may
    // leave the data intact).
    std::mt19937 rng(13);
    for (int i = 0; i < 200; ++i) {
        auto bad = packed;
        bad[rng() % bad.size()] ^= static_cast<uint8_t>(1u << (rng() % 8));
        try {
            uint16_t crc = 0;
            if (unpack(m, bad, data.size(), &crc) != data) EXPECT_NE(crc, good);
        } catch (const lzh::Error &e) {
            EXPECT_EQ(e.code, UNLHA_ERR_DAMAGED);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Methods, CodecRoundTrip, ::testing::Values(2, 3, 4),
                         [](const auto &info) { return "jm" + std::to_string(info.param); });

TEST(Codec, IncompressibleInputIsGivenUp) {
    std::string data = randomBytes(3 << 20, 21);
    lzh::MemorySource in(reinterpret_cast<const uint8_t *>(data.data()), data.size());
    lzh::NullSink out;
    auto r = lzh::encode(lzh::methodForLevel(4), in, out, true);
    EXPECT_TRUE(r.gaveUp);
    EXPECT_LT(r.in, data.size()); // stopped early
}

// Hand-made packed streams that a decoder must reject.
struct BadStream {
    const char *name;
    void (*write)(lzh::BitWriter &);
};

const BadStream kBadStreams[] = {
    {"zero-length block", [](lzh::BitWriter &w) { w.put(16, 0); }},
    {"incomplete code-length table",
     [](lzh::BitWriter &w) {
         w.put(16, 1);
         w.put(5, 1); // one length...
         w.put(3, 1); // ...of 1 bit: half a code
     }},
    {"code-length table too large", [](lzh::BitWriter &w) { w.put(16, 1), w.put(5, 25); }},
    {"single code out of range", [](lzh::BitWriter &w) { w.put(16, 1), w.put(5, 0), w.put(5, 30); }},
    {"literal table too large",
     [](lzh::BitWriter &w) {
         w.put(16, 1);
         w.put(5, 0), w.put(5, 3); // every length coded as 1
         w.put(9, 511);
     }},
    {"zero run past the table",
     [](lzh::BitWriter &w) {
         w.put(16, 1);
         w.put(5, 0), w.put(5, 2); // every entry is a long zero run
         w.put(9, 10);
         w.put(9, 100);
     }},
    {"over-long code length", [](lzh::BitWriter &w) { w.put(16, 1), w.put(5, 3), w.put(3, 7), w.put(16, 0xFFFF); }},
    {"match before the start",
     [](lzh::BitWriter &w) {
         w.put(16, 1);
         w.put(5, 0), w.put(5, 0);
         w.put(9, 0), w.put(9, 300); // the only code: a match
         w.put(4, 0), w.put(4, 3);   // the only position code: distance 5..8
         w.put(2, 0);
     }},
};

TEST(Codec, HandMadeBadStreamsAreDamaged) {
    for (const auto &c : kBadStreams) {
        SCOPED_TRACE(c.name);
        std::vector<uint8_t> buf;
        lzh::BitWriter w(buf);
        c.write(w);
        w.put(32, 0);
        w.finish();
        try {
            unpack(lzh::methodForLevel(2), buf, 1000);
            ADD_FAILURE() << "accepted";
        } catch (const lzh::Error &e) {
            EXPECT_EQ(e.code, UNLHA_ERR_DAMAGED);
        }
    }
}

TEST(Codec, HugeClaimedSizeStopsAtTheDataEnd) {
    auto packed = pack(lzh::methodForLevel(4), textBytes(5000, 2));
    EXPECT_THROW(unpack(lzh::methodForLevel(4), packed, uint64_t{1} << 40), lzh::Error);
}

} // namespace
