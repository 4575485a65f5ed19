#include "unlha/unlha.h"

#include <gtest/gtest.h>

namespace kinaru {
namespace {

// A library that lacks the command entry point answers as a missing one
// does: the output untouched, no crash.
TEST(Binding, MissingEntryPointGivesTheMissingLibraryAnswer) {
    Unlha unlha({PARTIAL_LIBRARY});
    EXPECT_TRUE(unlha.loaded());
    EXPECT_EQ(unlha.UnlhaGetVersion(), 100);
    std::string output = "untouched";
    EXPECT_EQ(unlha.Run(nullptr, "a x.lzh y", output, 100), 0x8018);
    EXPECT_EQ(output, "untouched");
}

TEST(Binding, PassesEverythingThroughAndCopiesOutputToItsFirstNul) {
    Unlha unlha({"/nonexistent/first.so", RECORDING_LIBRARY});
    ASSERT_TRUE(unlha.loaded());
    EXPECT_EQ(unlha.UnlhaGetVersion() & 0xFFFF, 115);
    const std::tuple<std::string, unsigned long, int, std::string> cases[] = {
        {"a -n1 -jm2 \"/out/ア イ.lzh\" \"x.txt\"", 200, 0,
         "owner=0x1234 size=200 command=a -n1 -jm2 \"/out/ア イ.lzh\" \"x.txt\""},
        {"fail", 64, 0x8001, "owner=0x1234 size=64 command=fail"},
        {"nul", 16, 0, "ab"},
        {"fill", 8, 0, "xxxxxxxx"},
        {"a x.lzh", 0, 0, "untouched"},
    };
    for (auto& [command, size, rc, text] : cases) {
        std::string output = "untouched";
        EXPECT_EQ(unlha.Run(reinterpret_cast<void*>(0x1234), command, output, size), rc) << command;
        EXPECT_EQ(output, text) << command;
    }
}

}  // namespace
}  // namespace kinaru
