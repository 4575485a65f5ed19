// The command language, as the program writes it.
#include <gtest/gtest.h>

#include "command/command.h"
#include "lzh/error.h"

namespace {

TEST(Parse, CommandsAsTheProgramSendsThem) {
    struct Case {
        std::string text;
        int code, method;
        bool folders, progress, recurse, hidden;
        std::string work, archive;
        std::vector<std::string> items;
        // clang-format off
    } cases[] = {
        // Two blanks before the archive and before the first item, quoted paths.
        {"a -n0 -x1 -w/tmp/ -jm2 -r2 -a2  \"/out/report.lzh\"  \"report.doc\" \"images/*.*\"", 0, 2, true, true, true,
         true, "/tmp/", "/out/report.lzh", {"report.doc", "images/*.*"}},
        // An unquoted folder's blank ends the switch: "dir/" becomes the archive.
        {"a -n1 -x1 -w/my dir/ \"/o/a.lzh\"", 0, 2, true, false, false, false, "/my", "dir/", {"/o/a.lzh"}},
        {"a -x1 -w\"/my dir/\" -jm4 \"/o/a.lzh\"  \"f\"", 0, 4, true, false, false, false, "/my dir/", "/o/a.lzh", {"f"}},
        {"s -n1 -x0 -w/WORK -jm3  -a2 -gu1 -ji1  \"/tmp/12090507.lzh\"", 0, 3, false, false, false, true, "/WORK",
         "/tmp/12090507.lzh", {}},
        {"L a.lzh", 0, 2, true, false, false, false, "", "a.lzh", {}},
        // Quotes may sit inside a word; an empty quoted word is a word.
        {"t a\"b c\"d \"\"", 0, 2, true, false, false, false, "", "ab cd", {""}},
        {"q a.lzh", UNLHA_ERR_COMMAND},
        {"   ", UNLHA_ERR_COMMAND},
        {"ax a.lzh", UNLHA_ERR_COMMAND},
        {"a -zz a.lzh", UNLHA_ERR_SWITCH},
        {"a -jm9 a.lzh", UNLHA_ERR_SWITCH},
        {"a -x1 -r2", UNLHA_ERR_NO_ARCHIVE},
    };
    // clang-format on
    for (auto& c : cases) {
        SCOPED_TRACE(c.text);
        archive::Options o;
        int code = 0;
        try {
            o = command::parse(command::splitWords(c.text));
        } catch (const lzh::Error& e) {
            code = e.code;
        }
        ASSERT_EQ(code, c.code);
        if (code) continue;
        EXPECT_EQ(std::tie(o.withFolders, o.showProgress, o.recurse, o.hidden, o.workDir, o.archive, o.items),
                  std::tie(c.folders, c.progress, c.recurse, c.hidden, c.work, c.archive, c.items));
        EXPECT_EQ(static_cast<int>(o.method), c.method);
    }
}

}  // namespace
