// The archiver command lines are a wire format: every case compares bytes.
#include "dialogs/commandlines.h"

#include <gtest/gtest.h>

namespace kinaru {
namespace {

constexpr auto kNone = std::nullopt;

TEST(CommandLines, ArchiveCommandsByteForByte) {
    struct Case {
        CommandSwitches switches;
        std::vector<std::string> items;
        std::string expected;
    } cases[] = {
        {{true, true, "/tmp/", Method::LH5},
         {"report.doc", "images/*.*"},
         "a -n0 -x1 -w/tmp/ -jm2 -r2 -a2  \"/o/x.lzh\"  \"report.doc\" \"images/*.*\""},
        {{false, false, "/work", Method::LH6}, {"a"}, "a -n1 -x0 -w/work -jm3 -r2 -a2  \"/o/x.lzh\"  \"a\""},
        {{true, false, "", Method::LH7}, {"a"}, "a -n0 -x0 -w -jm4 -r2 -a2  \"/o/x.lzh\"  \"a\""},
        {{true, true, "/tmp/", kNone}, {}, "a -n0 -x1 -w/tmp/ -r2 -a2  \"/o/x.lzh\" "},
        // A work folder with blanks would split into several words.
        {{true, true, "/my\tdir/", Method::LH5}, {"a"}, "a -n0 -x1 -w\"/my\tdir/\" -jm2 -r2 -a2  \"/o/x.lzh\"  \"a\""},
        // Names are copied as they are: nothing escaped, doubled or decoded.
        {{true, true, "/t/", Method::LH5},
         {"a b", "q\"q", "報告\xff", "a"},
         "a -n0 -x1 -w/t/ -jm2 -r2 -a2  \"/o/x.lzh\"  \"a b\" \"q\"q\" \"報告\xff\" \"a\""},
    };
    for (const Case& c : cases) EXPECT_EQ(archiveCommand(c.switches, "/o/x.lzh", c.items), c.expected);
}

TEST(CommandLines, SelfExtractorCommandForEachMethodAndFace) {
    struct Case {
        std::optional<Method> method;
        bool window;
        const char* expected;
    } cases[] = {
        {Method::LH5, true, "s -n0 -x1 -w\"/my dir/\" -jm2  -a2 -gu1 -ji0 -gw2  \"/t/1.lzh\""},
        {Method::LH6, true, "s -n0 -x1 -w\"/my dir/\" -jm3  -a2 -gu1 -ji0 -gw2  \"/t/1.lzh\""},
        {Method::LH7, true, "s -n0 -x1 -w\"/my dir/\" -jm4  -a2 -gu1 -ji0 -gw4  \"/t/1.lzh\""},
        {Method::LH7, false, "s -n0 -x1 -w\"/my dir/\" -jm4  -a2 -gu1 -ji1  \"/t/1.lzh\""},
        {kNone, true, "s -n0 -x1 -w\"/my dir/\"  -a2 -gu1 -ji0 -gw2  \"/t/1.lzh\""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(selfExtractorCommand({true, true, "/my dir/", c.method}, c.window, "/t/1.lzh"), c.expected);
}

}  // namespace
}  // namespace kinaru
