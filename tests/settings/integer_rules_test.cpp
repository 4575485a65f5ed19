#include "settings/inifile.h"

#include <gtest/gtest.h>

namespace kinaru {
namespace {

TEST(IntegerRules, AcceptOnlyWhatTheFormatAllows) {
    const std::optional<std::int32_t> no;
    // clang-format off
    const std::pair<const char*, std::optional<std::int32_t>> cases[] = {
        {"0x20", 32}, {"0XA", 10}, {"$20", 32}, {"0x", no}, {"$", no}, {"-5", -5}, {"+7", 7}, {"  12", 12},
        {"12abc", no}, {"-0x10", no}, {"2147483647", 2147483647}, {"2147483648", no}, {"-2147483648", INT32_MIN},
        {"-2147483649", no}, {"$FFFFFFFF", -1}, {"0x80000000", INT32_MIN}, {"$100000000", no}, {"$000000010", 16},
        {"0xffff", 65535}, {"", no}, {"-", no}, {"+", no}, {"12 ", no}, {"\t12", no}, {"-$10", no}, {" 0x10", no},
        {"0x-1", no}, {"007", 7}, {"99999999999999999999", no}, {"1.5", no},
    };
    // clang-format on
    for (const auto& [text, value] : cases) EXPECT_EQ(parseProfileInteger(text), value) << '"' << text << '"';
}

}  // namespace
}  // namespace kinaru
