// The Linux self-extractor (s -linux) run as a user runs it: made by the
// library from a real archive, started in a fresh folder, judged by the
// files it leaves.
#include <gtest/gtest.h>

#include "archive/trailer.h"
#include "crafted.h"
#include "support.h"

namespace {

using namespace sfxtest;

class Stub : public ::testing::Test {
protected:
    void SetUp() override { makeTree(src()); }
    fs::path src() const { return tmp_.path() / "src"; }
    TempDir tmp_;
};

// Both faces, with and without folders, where --dest says; the window type
// without a display (none, or one that is gone) as the console. A file
// already there is replaced only on a yes, from a person on a terminal or
// the window's question; the console without a terminal refuses and fails.
// clang-format off
TEST_F(Stub, RestoresTheTreeAndAsksBeforeReplacing) {
    const std::string exe = "./12090507", window = kWindow + exe + " --unattended",
                      typed = "| script -qec 'env -u DISPLAY ./12090507' /dev/null";
    std::vector<FaceCase> cases = {
        {"console", "-linux -gu1 -ji1", kConsole + exe, "", "資料/メモ.txt", false, 1, "説明 書.txt"},
        {"window", "-linux -gu1 -ji0 -gw4", window + " --overwrite=yes '--dest=行き先/深い 所'", "行き先/深い 所",
         "資料/メモ.txt", true, 0, "7 個のファイルを"},
        {"console flat", "-linux -ji1", kConsole + exe + " --overwrite=yes", "", "メモ.txt", true, 0, "ルート.txt"},
        {"window flat", "-linux -ji0 -gw2", window + " --overwrite=no", "", "メモ.txt", false, 0, "1 個のファイルは既にあった"},
        {"no display", "-linux -gu1 -ji0 -gw2", kConsole + exe + " --dest=d", "d", "", false, 0, "資料/メモ.txt"},
        {"display gone", "-linux -gu1 -ji0 -gw2", kConsole + "DISPLAY=:4711 " + exe + " --dest=d", "d", "", false, 0,
         "資料/メモ.txt"},
        {"terminal yes", "-linux -gu1 -ji1", "printf 'y\\n' " + typed, "", "資料/メモ.txt", true, 0, "上書きしますか"},
        {"terminal no", "-linux -gu1 -ji1", "printf 'n\\n' " + typed, "", "資料/メモ.txt", false, 0, "上書きしますか"},
        {"terminal enter", "-linux -gu1 -ji1", "printf '\\n' " + typed, "", "資料/メモ.txt", false, 0, "[y/N]"},
    };
    const bool terminal = haveProgram("script");  // util-linux: a terminal to answer on
    if (!terminal) std::erase_if(cases, [](const FaceCase& c) { return c.command.find("| script") != std::string::npos; });
    expectFaces(tmp_.path() / "自己解凍", src(), kTreeItems, cases);
    if (!terminal) GTEST_SKIP() << "script is not installed: the terminal cases were left out";
}
// clang-format on

// Damaged or cut self-extractors, and one whose archive holds a name that
// leads out: a reported failure, nothing outside the destination and
// nothing wrong inside it.
// clang-format off
TEST_F(Stub, BadSelfExtractorFailsAndStaysInItsDestination) {
    const std::string good = readFile(makeSelfExtractor(tmp_.path() / "made", src(), kTreeItems, 4, "-linux -ji1 -gu1")),
                      stub = readFile(SFX_STUB);
    archive::Trailer t;
    ASSERT_TRUE(archive::decodeTrailer(reinterpret_cast<const uint8_t *>(good.data()) + good.size() - 32,
                                       good.size(), t));
    auto flip = [&](uint64_t at) { return good.substr(0, at) + char(good[at] ^ 0x5A) + good.substr(at + 1); };
    auto withArchive = [&](const std::string &lzh, uint64_t size) { // and a trailer that fits
        archive::Trailer c = t;
        c.archiveSize = size;
        auto b = archive::encodeTrailer(c);
        return stub + lzh + std::string(b.begin(), b.end());
    };
    const uint64_t a = t.archiveOffset, n = t.archiveSize;
    const std::string lzh = good.substr(a, n),
                      evil = craftedEntry(2, "..", "ルート.txt", "EVIL") + craftedEntry(2, "", "ルート.txt", "一番上のファイル\n");
    const std::string cases[] = {good.substr(0, a + n / 2), withArchive(lzh.substr(0, n / 2), n / 2),
                                 withArchive(lzh.substr(0, n - 2), n - 2), flip(a + 3), flip(a + n / 4),
                                 flip(a + n - 200), flip(good.size() - 31), withArchive(evil + '\0', evil.size() + 1)};
    int i = 0;
    for (const std::string& face : {kConsole + "./自己解凍", kWindow + "./自己解凍 --unattended"})
        for (const std::string &bytes : cases) {
            SCOPED_TRACE(i);
            fs::path box = tmp_.path() / ("box" + std::to_string(i++));
            writeFile(box / "自己解凍", bytes);
            fs::create_directories(box / "dest");
            fs::permissions(box / "自己解凍", fs::perms::owner_all);
            Ran r = runIn(box, face + " --dest=dest");
            EXPECT_NE(r.status, 0) << r.output;
            for (auto &e : fs::directory_iterator(box))
                EXPECT_TRUE(e.path().filename() == "dest" || e.path().filename() == "自己解凍") << e.path();
            auto want = tree(src());
            for (auto &[name, data] : tree(box / "dest")) EXPECT_EQ(want[name], data) << name;
        }
}
// clang-format on

}  // namespace
