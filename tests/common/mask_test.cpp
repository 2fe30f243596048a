#include "common/mask.h"

#include <gtest/gtest.h>

using namespace lagrull;

namespace {

TEST(Mask, KindsByFirstCharacter) {
    EXPECT_EQ(Mask("####").type(), MaskType::Template);
    EXPECT_EQ(Mask("DD.MM.YYYY").type(), MaskType::Template);
    EXPECT_EQ(Mask("{ABC}###").type(), MaskType::Template);
    EXPECT_EQ(Mask("N2").type(), MaskType::Number);
    EXPECT_EQ(Mask("T2H0").type(), MaskType::GroupedNumber);
    EXPECT_EQ(Mask("Xfritt").type(), MaskType::FreeText);
    EXPECT_EQ(Mask("").type(), MaskType::FreeText);
    EXPECT_EQ(Mask("T2").decimals(), 2);
    EXPECT_EQ(Mask("T").decimals(), 0);
    EXPECT_EQ(Mask("TX").decimals(), 0);
    EXPECT_TRUE(Mask("T2H0").hidesZero());
}

TEST(Mask, TemplatesInsertTheirLiterals) {
    EXPECT_EQ(Mask("####.##.#####").show("12345678903"), "1234.56.78903");
    EXPECT_EQ(Mask("## ## ## ##").show("12345678"), "12 34 56 78");
    EXPECT_EQ(Mask("##.##.####").show("01022024"), "01.02.2024");
    EXPECT_EQ(Mask("DD.MM.YYYY").show("01022024"), "01.02.2024");
    EXPECT_EQ(Mask("##.##.####").show("0102"), "01.02");  // only while the value has characters
    EXPECT_EQ(Mask("##.##.####").show("01.02.2024"), "01.02.2024");  // already shown
    EXPECT_EQ(Mask("####").show(""), "");
}

TEST(Mask, TemplatesStoreOnlyTheirCharacterSet) {
    EXPECT_EQ(Mask("####.##.#####").store("1234.56.78903"), "12345678903");
    EXPECT_EQ(Mask("## ## ## ##").store("12 34 56 78"), "12345678");
    EXPECT_EQ(Mask("{AB}##-##").store("AB-BA-12"), "ABBA");
    EXPECT_EQ(Mask("{*}###-###").store("AB1-ø2 "), "AB1ø2");
    for (const char* v : {"12345678903", "01022024", "1234"})
        EXPECT_EQ(Mask("####.##.#####").store(Mask("####.##.#####").show(v)), v);
}

TEST(Mask, Numbers) {
    EXPECT_EQ(Mask("T2").show("1234,5"), "1.234,50");
    EXPECT_EQ(Mask("T2").store("1.234,50"), "1234,50");
    EXPECT_EQ(Mask("T2").show("1234.5"), "1.234,50");
    EXPECT_EQ(Mask("T2").show("-1234567,125"), "-1.234.567,13");
    EXPECT_EQ(Mask("T2H0").show("0"), "");
    EXPECT_EQ(Mask("T2").show("0"), "0,00");
    EXPECT_EQ(Mask("T").show("0001234"), "1.234");
    EXPECT_EQ(Mask("T").show("-123456"), "-123.456");
    EXPECT_EQ(Mask("T").show("-123"), "-123");
    EXPECT_EQ(Mask("T").show("0,5"), "0,5");
    EXPECT_EQ(Mask("N2").show("12,5"), "12,50");
    EXPECT_EQ(Mask("N2").show("9,999"), "10,00");
    EXPECT_EQ(Mask("N").show("007"), "007");
    EXPECT_EQ(Mask("NH0").show("0"), "");
    EXPECT_EQ(Mask("N2").store("12,50"), "12,50");
    EXPECT_EQ(Mask("Xfri").show("fri tekst"), "fri tekst");
}

TEST(Mask, GroupDigits) {
    EXPECT_EQ(groupDigits("1234567"), "1.234.567");
    EXPECT_EQ(groupDigits("-123456"), "-123.456");
    EXPECT_EQ(groupDigits("0,25"), "0,25");
    EXPECT_EQ(groupDigits("000123"), "123");
    EXPECT_EQ(groupDigits("1234,5"), "1.234,5");
}

TEST(Mask, TypingFitsTheMask) {
    const Mask account("####.##.#####");
    EXPECT_TRUE(account.fits("1234.5"));
    EXPECT_TRUE(account.fits("12345"));
    EXPECT_TRUE(account.fits("1234.56.78903"));
    EXPECT_FALSE(account.fits("1234.56.789031"));
    EXPECT_FALSE(account.fits("12a"));
    const Mask amount("T2");
    EXPECT_TRUE(amount.fits("1.234,5"));
    EXPECT_TRUE(amount.fits("-"));
    EXPECT_FALSE(amount.fits("1,234"));
    EXPECT_FALSE(amount.fits("12x"));
    EXPECT_FALSE(Mask("N").fits("1,5"));
    EXPECT_TRUE(Mask("Xfri").fits("hva som helst"));
}

}  // namespace
