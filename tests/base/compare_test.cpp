#include "base/compare.h"
#include "core/collationindex.h"

#include <QLocale>
#include <clocale>
#include <locale.h>
#include <cstdlib>
#include <gtest/gtest.h>

namespace kinaru {
namespace {

// Run under every locale the tests are registered for (C.UTF-8, ja_JP.UTF-8):
// the answer never depends on it. The ASCII comparison folds Latin letters only.
TEST(LocaleComparison, IgnoresCaseOnlyAndTheIndexAgrees) {
    if (const char* wanted = std::getenv("LC_ALL"); wanted && *wanted) {
        if (locale_t installed = newlocale(LC_ALL_MASK, wanted, locale_t(0)))
            freelocale(installed);
        else
            GTEST_SKIP() << wanted << " is not installed; scripts/setup makes it";
        ASSERT_STREQ(std::setlocale(LC_CTYPE, nullptr), wanted) << "locale not installed";
        // Qt reads the same variable: "C.UTF-8" is the C locale, "ja_JP.UTF-8" ja_JP.
        ASSERT_EQ(QLocale::system().name(), QLocale(QString::fromLatin1(wanted).section('.', 0, 0)).name());
    }
    struct Case {
        std::string a, b;
        bool equal, asciiEqual;
    } cases[] = {
        {"Docs/n.txt", "docs/N.TXT", true, true},
        {"Ärger", "ärger", true, false},
        {"報告.lzh", "報告.LZH", true, true},
        {"Ａ.txt", "ａ.txt", true, false},   // full-width letters have case too
        {"ア.txt", "あ.txt", false, false},  // kana type
        {"ｱ.txt", "ア.txt", false, false},   // width
        {"ａ.txt", "a.txt", false, false},
        {"é.txt", "e.txt", false, false},  // accents
        {"x.lzh", "x.lzh.lzh", false, false},
        {"[", "{", false, false},
        {"", "", true, true},
        // Names need not be valid UTF-8; they may differ only in invalid bytes.
        {"bad\xff.txt", "bad\xfe.txt", false, false},
        {"BAD\xff.txt", "bad\xff.TXT", true, true},
        {"\xef\xbf\xbd", "\xff", false, false},  // a real replacement character is not a stray byte
        {"\xc0\xaf", "/", false, false},         // overlong form
        {"\xed\xa0\x80", "\xed\xa0\x81", false, false},
        {"\xe5\xa0", "\xe5\xa1", false, false},
        {"R\xc3\xa9sum\xc3\xa9\x80", "r\xc3\xa9SUM\xc3\xa9\x80", true, true},
    };
    LocaleComparison comparison;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.a + " vs " + c.b);
        EXPECT_EQ(comparison.equal(c.a, c.b), c.equal);
        EXPECT_EQ(asciiEqual(c.a, c.b), c.asciiEqual);
        CollationIndex index;
        index.insert(c.a);
        EXPECT_EQ(index.contains(c.b), c.equal);
        EXPECT_EQ(index.insert(c.b), !c.equal);
    }
}

}  // namespace
}  // namespace kinaru
