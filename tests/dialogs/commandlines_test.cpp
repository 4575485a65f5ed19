// The archiver command lines are a wire format: every case compares bytes.
#include "dialogs/commandlines.h"

#include <gtest/gtest.h>

#include <cstring>

namespace kinaru {
namespace {

const std::vector<std::string> kExampleItems = {"report.doc", "images\\*.*"};

TEST(ArchiveCommand, FirstWorkedExampleByteForByte) {
    ArchiveCommand command({true, true, "C:\\TEMP\\", 0}, "D:\\OUT\\report.lzh", kExampleItems);
    const std::string expected =
        "a -n0 -x1 -wC:\\TEMP\\ -jm2 -r2 -a2  \"D:\\OUT\\report.lzh\"  \"report.doc\" \"images\\*.*\"";
    EXPECT_EQ(command.text(), expected);
    EXPECT_EQ(command.text().size(), 81u);
    EXPECT_EQ(archiveCommandHead({true, true, "C:\\TEMP\\", 0}, "D:\\OUT\\report.lzh"), expected.substr(0, 55));
    EXPECT_EQ(command.bufferSize(), 286u);
    EXPECT_EQ(std::strlen(command.data()) + 1, 82u) << "82 bytes used, terminator included";
}

TEST(ArchiveCommand, SecondWorkedExampleNamesTheTemporaryArchive) {
    ArchiveCommand command({true, true, "C:\\TEMP\\", 2}, "C:\\TEMP\\12090507.lzh", kExampleItems);
    EXPECT_EQ(command.text(),
              "a -n0 -x1 -wC:\\TEMP\\ -jm4 -r2 -a2  \"C:\\TEMP\\12090507.lzh\"  \"report.doc\" \"images\\*.*\"");
}

TEST(SelfExtractorCommand, WorkedExamples) {
    EXPECT_EQ(selfExtractorCommand({true, true, "C:\\TEMP\\", 2}, true, "C:\\TEMP\\12090507.lzh"),
              "s -n0 -x1 -wC:\\TEMP\\ -jm4  -a2 -gu1 -ji0 -gw4  \"C:\\TEMP\\12090507.lzh\"");
    EXPECT_EQ(selfExtractorCommand({false, false, "C:\\TEMP\\", 1}, false, "C:\\TEMP\\12090507.lzh"),
              "s -n1 -x0 -wC:\\TEMP\\ -jm3  -a2 -gu1 -ji1  \"C:\\TEMP\\12090507.lzh\"");
}

TEST(SelfExtractorCommand, SwitchesForEveryMethodAndWindowType) {
    struct Case {
        int method;
        bool windowType;
        const char* expected;
    } cases[] = {
        {0, true, "s -n0 -x1 -w/tmp/ -jm2  -a2 -gu1 -ji0 -gw2  \"/tmp/t.lzh\""},
        {1, true, "s -n0 -x1 -w/tmp/ -jm3  -a2 -gu1 -ji0 -gw2  \"/tmp/t.lzh\""},
        {2, true, "s -n0 -x1 -w/tmp/ -jm4  -a2 -gu1 -ji0 -gw4  \"/tmp/t.lzh\""},
        {2, false, "s -n0 -x1 -w/tmp/ -jm4  -a2 -gu1 -ji1  \"/tmp/t.lzh\""},
        {-1, true, "s -n0 -x1 -w/tmp/  -a2 -gu1 -ji0 -gw2  \"/tmp/t.lzh\""},
        {-1, false, "s -n0 -x1 -w/tmp/  -a2 -gu1 -ji1  \"/tmp/t.lzh\""},
        {7, false, "s -n0 -x1 -w/tmp/  -a2 -gu1 -ji1  \"/tmp/t.lzh\""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.expected);
        EXPECT_EQ(selfExtractorCommand({true, true, "/tmp/", c.method}, c.windowType, "/tmp/t.lzh"), c.expected);
    }
}

TEST(ArchiveCommand, EdgeCases) {
    struct Case {
        const char* what;
        bool showProgress, directoryInfo;
        const char* workFolder;
        int method;
        std::vector<std::string> items;
        std::string expected;
        std::size_t bufferSize;
    };
    const std::vector<Case> cases = {
        {"no method", true, true, "C:\\TEMP\\", -1, {"a"},
         "a -n0 -x1 -wC:\\TEMP\\ -r2 -a2  \"x.lzh\"  \"a\"", 264},
        {"work folder without final separator", false, false, "C:\\WORK", 1, {"a"},
         "a -n1 -x0 -wC:\\WORK -jm3 -r2 -a2  \"x.lzh\"  \"a\"", 264},
        {"empty work folder", true, false, "", 0, {"a"},
         "a -n0 -x0 -w -jm2 -r2 -a2  \"x.lzh\"  \"a\"", 264},
        {"empty item list", true, true, "/tmp/", 0, {},
         "a -n0 -x1 -w/tmp/ -jm2 -r2 -a2  \"x.lzh\" ", 260},
        // Multibyte names count in bytes: 報告 is six bytes here.
        {"multibyte item", true, true, "/tmp/", 0, {"報告.doc"},
         "a -n0 -x1 -w/tmp/ -jm2 -r2 -a2  \"x.lzh\"  \"報告.doc\"", 260 + 13},
        // Nothing is escaped or doubled.
        {"blanks and quotes in items", true, true, "/tmp/", 0, {"a b", "q\"q", "new\nline"},
         "a -n0 -x1 -w/tmp/ -jm2 -r2 -a2  \"x.lzh\"  \"a b\" \"q\"q\" \"new\nline\"", 260 + 6 + 6 + 11},
        {"invalid bytes", true, true, "/tmp/", 0, {"bad\xff"},
         "a -n0 -x1 -w/tmp/ -jm2 -r2 -a2  \"x.lzh\"  \"bad\xff\"", 260 + 7},
        {"repeated items", true, true, "/tmp/", 0, {"a", "a"},
         "a -n0 -x1 -w/tmp/ -jm2 -r2 -a2  \"x.lzh\"  \"a\" \"a\"", 260 + 8},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ArchiveCommand command({c.showProgress, c.directoryInfo, c.workFolder, c.method}, "x.lzh", c.items);
        EXPECT_EQ(command.text(), c.expected);
        EXPECT_EQ(command.bufferSize(), c.bufferSize);
        EXPECT_EQ(command.data()[command.text().size()], '\0');
    }
}

// A work folder with blanks would split into several words; it is quoted.
TEST(ArchiveCommand, WorkFolderWithBlanksIsQuoted) {
    struct Case {
        const char* folder;
        const char* expected;
    } cases[] = {
        {"/my dir/", "-w\"/my dir/\" "},
        {"/tab\there/", "-w\"/tab\there/\" "},
        {"/plain/", "-w/plain/ "},
        {"", "-w "},
    };
    for (const Case& c : cases) EXPECT_EQ(workFolderSwitch(c.folder), c.expected);
    EXPECT_EQ(ArchiveCommand({true, true, "/my dir/", 0}, "/o/x.lzh", {"a"}).text(),
              "a -n0 -x1 -w\"/my dir/\" -jm2 -r2 -a2  \"/o/x.lzh\"  \"a\"");
    EXPECT_EQ(selfExtractorCommand({true, true, "/my dir/", 0}, false, "/my dir/1.lzh"),
              "s -n0 -x1 -w\"/my dir/\" -jm2  -a2 -gu1 -ji1  \"/my dir/1.lzh\"");
}

// The head of at most 259 bytes fits the reserve; a longer one gets a buffer
// sized to the whole command rather than overrunning.
TEST(ArchiveCommand, LongHeadGetsABufferForTheWholeCommand) {
    std::vector<std::string> items = {"one", std::string(1000, 'i')};
    // 226 gives a head of 259 bytes, 227 one of 260.
    for (std::size_t pathLength : {200u, 226u, 227u, 400u, 5000u}) {
        SCOPED_TRACE(pathLength);
        std::string archive(pathLength, 'p');
        CommandSwitches switches{true, true, "/w/", 0};
        std::string head = archiveCommandHead(switches, archive);
        ArchiveCommand command(switches, archive, items);
        std::string expected = head + " \"one\" \"" + items[1] + "\"";
        EXPECT_EQ(command.text(), expected);
        EXPECT_EQ(std::strlen(command.data()), expected.size());
        std::size_t itemTotal = 6 + 1003;
        std::size_t expectedSize = head.size() <= 259 ? itemTotal + 260 : head.size() + itemTotal + 1;
        EXPECT_EQ(command.bufferSize(), expectedSize);
        EXPECT_GE(command.bufferSize(), command.text().size() + 1);
    }
}

}  // namespace
}  // namespace kinaru
