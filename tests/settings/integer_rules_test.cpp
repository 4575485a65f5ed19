#include "settings/inifile.h"

#include <gtest/gtest.h>

namespace kinaru {
namespace {

TEST(IntegerRules, AcceptOnlyWhatTheFormatAllows) {
    struct Case {
        const char* text;
        std::optional<std::int32_t> value;
    } cases[] = {
        {"0x20", 32},   {"0X20", 32},     {"$20", 32},   {"0x", std::nullopt},  {"$", std::nullopt},
        {"-5", -5},     {"+7", 7},        {"  12", 12},  {"12abc", std::nullopt}, {"-0x10", std::nullopt},
        {"2147483647", 2147483647},       {"2147483648", std::nullopt},
        {"-2147483648", INT32_MIN},       {"-2147483649", std::nullopt},
        {"$FFFFFFFF", -1},                {"0x80000000", INT32_MIN},  {"$100000000", std::nullopt},
        {"$000000010", 16},               {"0xffff", 65535},
        {"", std::nullopt},               {"-", std::nullopt}, {"+", std::nullopt},
        {"12 ", std::nullopt},            {"\t12", std::nullopt},  {"-$10", std::nullopt},
        {" 0x10", std::nullopt},          {"0x-1", std::nullopt},  {"007", 7},
        {"99999999999999999999", std::nullopt}, {"1.5", std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string("\"") + c.text + "\"");
        EXPECT_EQ(parseProfileInteger(c.text), c.value);
    }
}

}  // namespace
}  // namespace kinaru
