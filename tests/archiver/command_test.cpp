// The command language, as the program writes it.
#include <gtest/gtest.h>

#include "command/command.h"
#include "lzh/error.h"

namespace {

using Words = std::vector<std::string>;

TEST(Words, SplittingAndQuotes) {
    struct Case {
        std::string text;
        Words words;
    } cases[] = {
        {"a  -x1   arc.lzh", {"a", "-x1", "arc.lzh"}},
        {"a -w\"/my dir/\" \"x y.lzh\"", {"a", "-w/my dir/", "x y.lzh"}},
        {"l \"\"", {"l", ""}},
        {"t a\"b c\"d", {"t", "ab cd"}},
        {"", {}},
        {"   ", {}},
    };
    for (auto &c : cases) EXPECT_EQ(command::splitWords(c.text), c.words) << c.text;
}

int errorOf(const std::string &text) {
    try {
        command::parse(command::splitWords(text));
        return 0;
    } catch (const lzh::Error &e) {
        return e.code;
    }
}

TEST(Parse, TheArchiveCommandAsTheProgramSendsIt) {
    // Two blanks before the archive and before the first item, quoted paths.
    auto o = command::parse(command::splitWords(
        "a -n0 -x1 -w/tmp/ -jm2 -r2 -a2  \"/out/report.lzh\"  \"report.doc\" \"images/*.*\""));
    EXPECT_EQ(o.command, 'a');
    EXPECT_TRUE(o.showProgress);
    EXPECT_TRUE(o.withFolders);
    EXPECT_EQ(o.workDir, "/tmp/");
    EXPECT_EQ(o.method, archive::Method::LH5);
    EXPECT_TRUE(o.recurse);
    EXPECT_TRUE(o.hidden);
    EXPECT_EQ(o.archive, "/out/report.lzh");
    EXPECT_EQ(o.items, (Words{"report.doc", "images/*.*"}));
}

TEST(Parse, Variants) {
    struct Case {
        std::string text;
        int method;
        bool folders;
        std::string work;
        size_t items;
    } cases[] = {
        {"a -n1 -x0 -w/tmp/ -r2 -a2  \"/o/a.lzh\" ", 2, false, "/tmp/", 0},   // no method switch, no items
        {"a -n1 -x1 -w/my dir/ -jm4 -r2 -a2  \"/o/a.lzh\"  \"f\"", 0, true, "", 0}, // blank in an unquoted folder
        {"a -n1 -x1 -w\"/my dir/\" -jm4 -r2 -a2  \"/o/a.lzh\"  \"f\"", 4, true, "/my dir/", 1},
        {"a -n1 -x1 -w/WORK -jm3 -r2 -a2  \"/o/a.lzh\"  \"f\" \"g\"", 3, true, "/WORK", 2},
        {"s -n0 -x1 -w/tmp/ -jm4  -a2 -gu1 -ji0 -gw4  \"/tmp/12090507.lzh\"", 4, true, "/tmp/", 0},
        {"s -n1 -x0 -w/tmp/ -jm3  -a2 -gu1 -ji1  \"/tmp/12090507.lzh\"", 3, false, "/tmp/", 0},
    };
    for (auto &c : cases) {
        SCOPED_TRACE(c.text);
        auto o = command::parse(command::splitWords(c.text));
        if (c.method == 0) { // the folder's blank ends the switch; "dir/" becomes the archive
            EXPECT_EQ(o.archive, "dir/");
            continue;
        }
        EXPECT_EQ(static_cast<int>(o.method), c.method);
        EXPECT_EQ(o.withFolders, c.folders);
        EXPECT_EQ(o.workDir, c.work);
        EXPECT_EQ(o.items.size(), c.items);
    }
}

TEST(Parse, ErrorsHaveTheirOwnCodes) {
    struct Case {
        std::string text;
        int code;
    } cases[] = {
        {"q a.lzh", UNLHA_ERR_COMMAND},
        {"", UNLHA_ERR_COMMAND},
        {"ax a.lzh", UNLHA_ERR_COMMAND},
        {"a -zz a.lzh", UNLHA_ERR_SWITCH},
        {"a -jm9 a.lzh", UNLHA_ERR_SWITCH},
        {"a -x1 -r2", UNLHA_ERR_NO_ARCHIVE},
        {"L a.lzh", 0},
        {"x -x0 a.lzh out/", 0},
    };
    for (auto &c : cases) EXPECT_EQ(errorOf(c.text), c.code) << c.text;
}

} // namespace
