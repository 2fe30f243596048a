#include "common/money.h"

#include <gtest/gtest.h>

using lagrull::FormatAmount;
using lagrull::Money;
using lagrull::parseAmount;

namespace {

TEST(Money, FormatAmountGroupsThousandsWithDecimalComma) {
    EXPECT_EQ(FormatAmount(Money::fromOre(123450)), "1.234,50");
    EXPECT_EQ(FormatAmount(Money::fromOre(-123450)), "-1.234,50");
    EXPECT_EQ(FormatAmount(Money::fromOre(1200)), "12,00");
    EXPECT_EQ(FormatAmount(Money::fromOre(0)), "0,00");
    EXPECT_EQ(FormatAmount(Money::fromOre(-5)), "-0,05");
    EXPECT_EQ(FormatAmount(Money::fromOre(100000000)), "1.000.000,00");
    EXPECT_EQ(FormatAmount(Money::fromOre(99999)), "999,99");
    EXPECT_EQ(FormatAmount(Money::fromOre(INT64_MIN)), "-92.233.720.368.547.758,08");
    EXPECT_EQ(FormatAmount(1234.5), "1.234,50");
    EXPECT_EQ(FormatAmount(-1234.5), "-1.234,50");
    EXPECT_EQ(FormatAmount(-123.45), "-123,45");
    EXPECT_EQ(FormatAmount(12.0), "12,00");
    EXPECT_EQ(FormatAmount(-123456.0), "-123.456,00");
}

TEST(Money, UngroupedAmountKeepsTheDecimalCommaOnly) {
    EXPECT_EQ(lagrull::formatAmountUngrouped(Money::fromOre(123450)), "1234,50");
    EXPECT_EQ(lagrull::formatAmountUngrouped(Money::fromOre(123456789)), "1234567,89");
    EXPECT_EQ(lagrull::formatAmountUngrouped(Money::fromOre(35000)), "350,00");
    EXPECT_EQ(lagrull::formatAmountUngrouped(Money::fromOre(-5)), "-0,05");
}

TEST(Money, KronerRoundToTheOreHalfToEven) {
    EXPECT_EQ(Money::fromKroner(0.125).ore(), 12);
    EXPECT_EQ(Money::fromKroner(0.375).ore(), 38);
    EXPECT_EQ(Money::fromKroner(19.99).ore(), 1999);
    EXPECT_EQ(Money::fromKroner(-19.99).ore(), -1999);
    EXPECT_EQ(Money::fromKroner(0.1 + 0.2).ore(), 30);
}

TEST(Money, SumsOfManyAmountsAreExact) {
    // 0,10 kroner added a million times as doubles drifts; as øre it does not.
    Money sum;
    for (int i = 0; i < 1000000; ++i) sum += Money::fromKroner(0.10);
    EXPECT_EQ(sum, Money::fromOre(10000000));
    EXPECT_EQ(FormatAmount(sum), "100.000,00");
}

TEST(Money, ParsesTypedAmounts) {
    EXPECT_EQ(parseAmount("1234,5"), Money::fromOre(123450));
    EXPECT_EQ(parseAmount(" 1.234,50 "), Money::fromOre(123450));
    EXPECT_EQ(parseAmount("1234.50"), Money::fromOre(123450));
    EXPECT_EQ(parseAmount("1.234"), Money::fromOre(123400));  // a dot before three digits groups
    EXPECT_EQ(parseAmount("-12"), Money::fromOre(-1200));
    EXPECT_EQ(parseAmount(",5"), Money::fromOre(50));
    for (const char* bad : {"", "-", "12,345", "1a", "kr 5", ","})
        EXPECT_FALSE(parseAmount(bad).has_value()) << bad;
}

}  // namespace
