// Finding an archive inside a program: one read of the file, work in
// proportion to it, cancellation polled, whatever the program's bytes hold.
#include <gtest/gtest.h>

#include <fcntl.h>

#include "archive/archive.h"
#include "archive/fsutil.h"
#include "archive/trailer.h"
#include "lzh/error.h"
#include "test_util.h"

namespace {

// After "MZ", `n` bytes of one of the shapes that made the search
// quadratic: method names every 5 bytes that read as level-2 headers, and
// level-1 headers whose extension chains run on through all that follow.
std::string program(size_t n, bool chains) {
    std::string s = "MZ";
    if (!chains) {
        while (s.size() < n) s += "-lh\x02-";
        return s;
    }
    // A 28-byte level-1 base claiming 4 GiB of data, its first extension
    // 32 bytes long: 4 bytes here, then the next header's base.
    using namespace std::string_literals;
    const std::string base = "-lh0-\xFF\xFF\xFF\xFF\0\0\0\0\0\0\x21\x5A \x01\x01"s + "a\0\0U\x20\0"s;
    unsigned sum = 0;
    for (char c : base) sum += uint8_t(c);
    const std::string unit = std::string{char(base.size()), char(sum)} + base + "\x3Fxyz";
    while (s.size() < n) s += unit;
    return s;
}

TEST(Embedded, SearchReadsOnceAndWorksInProportion) {
    TempDir tmp;
    for (bool chains : {false, true}) {
        SCOPED_TRACE(chains ? "level-1 chains" : "level-2 names");
        const std::string bytes = program(size_t{3} << 20, chains);
        writeFile(tmp.path() / "p.exe", bytes);
        archive::Fd fd(open((tmp.path() / "p.exe").c_str(), O_RDONLY));
        uint64_t offset = 0, size = 0, polls = 0;
        archive::ScanWork work;
        EXPECT_FALSE(archive::locateArchive(fd.get(), offset, size, [&] { return ++polls, false; }, &work));
        EXPECT_GT(work.candidates, 0u);
        EXPECT_LE(work.read, bytes.size());
        EXPECT_LE(work.parsed, 5 * bytes.size());
        EXPECT_GE(polls, (work.read + work.parsed) >> 21);  // about every MiB
    }
}

// Cancelled (a signal to the tool, 中止 in the window) while it searches.
TEST(Embedded, CancelStopsTheSearch) {
    TempDir tmp;
    writeFile(tmp.path() / "p.exe", program(size_t{1} << 18, true));
    std::string text;
    archive::Options o{.command = 'l', .archive = (tmp.path() / "p.exe").string()};
    o.cancelled = [] { return true; };
    EXPECT_EQ(archive::run(o, text), UNLHA_ERR_CANCELLED) << text;
}

}  // namespace
