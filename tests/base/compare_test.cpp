#include "base/compare.h"

#include <gtest/gtest.h>

namespace kinaru {
namespace {

TEST(Compare, AsciiComparisonFoldsOnlyLatinLetters) {
    struct Case {
        const char* a;
        const char* b;
        bool equal;
    } cases[] = {
        {"C:/Work/", "C:/WORK/", true},
        {"abc", "ABC", true},
        {"abc", "abcd", false},
        {"", "", true},
        {"ä", "Ä", false},      // only a-z fold
        {"[", "{", false},      // neighbours of the letter ranges do not fold
        {"ｱ", "ア", false},
        {"*.lzh", "*.LZH", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.a) + " vs " + c.b);
        EXPECT_EQ(asciiEqual(c.a, c.b), c.equal);
    }
}

TEST(Compare, LocaleComparisonIgnoresCase) {
    LocaleComparison compare;
    EXPECT_TRUE(compare.equal("Docs/n.txt", "docs/N.TXT"));
    EXPECT_TRUE(compare.equal("Ärger", "ärger"));
    EXPECT_FALSE(compare.equal("a.txt", "b.txt"));
    EXPECT_FALSE(compare.equal("x.lzh", "x.lzh.lzh"));
    EXPECT_TRUE(compare.equal("報告.lzh", "報告.LZH"));
}

}  // namespace
}  // namespace kinaru
