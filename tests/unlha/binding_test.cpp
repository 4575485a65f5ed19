#include "unlha/unlha.h"

#include <gtest/gtest.h>

namespace kinaru {
namespace {

TEST(Binding, MissingLibraryGivesFixedAnswers) {
    Unlha unlha({"/nonexistent/libunlha32.so"});
    EXPECT_FALSE(unlha.loaded());
    EXPECT_EQ(unlha.UnlhaGetVersion(), 0);
    std::string output = "untouched";
    EXPECT_EQ(unlha.Run(nullptr, "a x.lzh y", output, 100), 32792);
    EXPECT_EQ(output, "untouched");
}

TEST(Binding, PassesEverythingThroughAndCopiesOutputToItsFirstNul) {
    Unlha unlha({"/nonexistent/first.so", RECORDING_LIBRARY});
    ASSERT_TRUE(unlha.loaded());
    EXPECT_EQ(unlha.UnlhaGetVersion() & 0xFFFF, 115);

    std::string output;
    void* owner = reinterpret_cast<void*>(0x1234);
    EXPECT_EQ(unlha.Run(owner, "a -n1 -jm2 \"/out/ア イ.lzh\" \"x.txt\"", output, 200), 0);
    EXPECT_EQ(output, "owner=0x1234 size=200 command=a -n1 -jm2 \"/out/ア イ.lzh\" \"x.txt\"");

    EXPECT_EQ(unlha.Run(nullptr, "fail", output, 64), 0x8001);

    EXPECT_EQ(unlha.Run(nullptr, "nul", output, 16), 0);
    EXPECT_EQ(output, "ab");

    EXPECT_EQ(unlha.Run(nullptr, "fill", output, 8), 0);
    EXPECT_EQ(output, "xxxxxxxx");

    output = "untouched";
    EXPECT_EQ(unlha.Run(nullptr, "a x.lzh", output, 0), 0);
    EXPECT_EQ(output, "untouched");
}

TEST(Binding, LibraryWithoutTheCommandExportDoesNotCrash) {
    Unlha unlha({PARTIAL_LIBRARY});
    ASSERT_TRUE(unlha.loaded());
    EXPECT_EQ(unlha.UnlhaGetVersion(), 100);
    std::string output;
    EXPECT_EQ(unlha.Run(nullptr, "a x.lzh y", output, 10), Unlha::kLibraryMissing);
}

}  // namespace
}  // namespace kinaru
