#include "base/IntConv.h"

#include <QString>

#include <gtest/gtest.h>

#include <optional>

namespace {

std::optional<int32_t> Conv(const char *text)
{
    int32_t v = 12345;
    if (!TryStrToInt(QString::fromUtf8(text), v)) {
        EXPECT_EQ(v, 12345) << "a failed conversion must leave the value alone: " << text;
        return std::nullopt;
    }
    return v;
}

TEST(TryStrToInt, DecimalWithBlanksAndSigns)
{
    EXPECT_EQ(Conv("0"), 0);
    EXPECT_EQ(Conv("42"), 42);
    EXPECT_EQ(Conv("   42"), 42);
    EXPECT_EQ(Conv("+7"), 7);
    EXPECT_EQ(Conv("-0"), 0);
    EXPECT_EQ(Conv("-15"), -15);
    EXPECT_EQ(Conv("010"), 10) << "leading zeros are not octal";
    EXPECT_EQ(Conv("0009"), 9);
}

TEST(TryStrToInt, HexadecimalPrefixes)
{
    EXPECT_EQ(Conv("$C0"), 0xC0);
    EXPECT_EQ(Conv("$a8"), 0xA8);
    EXPECT_EQ(Conv("x1f"), 0x1F);
    EXPECT_EQ(Conv("X1F"), 0x1F);
    EXPECT_EQ(Conv("0x0A"), 10);
    EXPECT_EQ(Conv("0X0a"), 10);
    EXPECT_EQ(Conv("  $10"), 16);
    EXPECT_EQ(Conv("$7FFFFFFF"), 2147483647);
    EXPECT_EQ(Conv("$FFFFFFFF"), -1) << "32 hexadecimal bits are taken as the bit pattern";
    EXPECT_EQ(Conv("$000000000001"), 1) << "leading zeros do not count against the range";
}

TEST(TryStrToInt, RangeLimits)
{
    EXPECT_EQ(Conv("2147483647"), 2147483647);
    EXPECT_EQ(Conv("-2147483648"), INT32_MIN);
    EXPECT_EQ(Conv("2147483648"), std::nullopt);
    EXPECT_EQ(Conv("-2147483649"), std::nullopt);
    EXPECT_EQ(Conv("99999999999999999999"), std::nullopt);
    EXPECT_EQ(Conv("$100000000"), std::nullopt);
}

TEST(TryStrToInt, MalformedTextsFail)
{
    for (const char *bad : {"",   " ",    "+",     "-",   "$",   "x",   "0x",  "1 ",   "1\t", "\t1",  "1a",
                            "a1", "+$10", "-0x10", "--1", "+-1", "1.0", "1e3", "0x1g", "$ 1", "0 x1", "１"}) {
        EXPECT_EQ(Conv(bad), std::nullopt) << '"' << bad << '"';
    }
}

} // namespace
