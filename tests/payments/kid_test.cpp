#include "payments/kid.h"

#include <gtest/gtest.h>

#include "common/check_digits.h"
#include "common/error.h"

using namespace lagrull;

namespace {

TEST(Kid, DayNumbers) {
    EXPECT_EQ(KidDayNumber("01011999"), 32);
    EXPECT_EQ(KidDayNumber("31122024"), 9703);
    EXPECT_EQ(KidDayNumber("17102025"), 9999);
    EXPECT_EQ(KidDayNumber("18102025"), 10000);
    EXPECT_EQ(KidDayNumber("15.03.2024"), 9408);
    EXPECT_EQ(KidDayNumber("15032024"), 9408);
    EXPECT_EQ(KidDayNumber("15 03 2024"), KidDayNumber("15032024"));
    EXPECT_EQ(KidDayNumber("1 5032024"), 9408);  // a blank inside a number is skipped
    EXPECT_EQ(KidDayNumber("5.3.2024"), 5 + 31 * 3 + 372 * 25);
}

TEST(Kid, BuildsTheSpecifiedLayout) {
    EXPECT_EQ(MakeKid("2", "123", "15032024", RegisterKind::Members), "0020000000012329408018");
    EXPECT_EQ(MakeKid("2", "123", "15.03.2024", RegisterKind::Members), "0020000000012329408018");
    const std::string kid = MakeKid("5", "7", "01022024", RegisterKind::Members);
    EXPECT_EQ(kid.substr(3, 11), "00000000007");
    EXPECT_EQ(MakeKid("5", "12345678901", "01022024", RegisterKind::Members).substr(3, 11),
              "12345678901");
    EXPECT_EQ(MakeKid("2", "123", "15032024", RegisterKind::Rent)[14], '3');  // rent register
    EXPECT_NE(MakeKid("2", "123", "15032024", RegisterKind::Members),
              MakeKid("2", "123", "16032024", RegisterKind::Members));
    EXPECT_EQ(MakeKid("2", "123", "15032024", RegisterKind::Members),
              MakeKid("2", "123", "15032024", RegisterKind::Members));
}

TEST(Kid, LaterDueDatesAndLongPartsLengthenTheKidAndKeepItsCheckDigit) {
    const std::string kid = MakeKid("2", "123", "09122026", RegisterKind::Members);
    ASSERT_EQ(kid.size(), 23u);
    EXPECT_EQ(kid.substr(15, 5), std::to_string(KidDayNumber("09122026")));
    EXPECT_EQ(kid.back(), Mod10CheckDigit(kid.substr(0, 22)));
    const std::string big = MakeKid("1000", "123", "15032024", RegisterKind::Members);
    EXPECT_EQ(big.size(), 23u);
    EXPECT_EQ(big.substr(0, 4), "1000");
    EXPECT_EQ(big.back(), Mod10CheckDigit(big.substr(0, 22)));
}

TEST(Kid, TooLongKidIsRefusedWithAMessage) {
    const std::string fits = MakeKid("99999", "12345678901", "09122026", RegisterKind::Members);
    EXPECT_EQ(fits.size(), 25u);
    EXPECT_NO_THROW(checkKidFits(fits, "99999", "12345678901"));
    const std::string tooLong = MakeKid("100000", "12345678901", "09122026", RegisterKind::Members);
    ASSERT_EQ(tooLong.size(), 26u);
    try {
        checkKidFits(tooLong, "100000", "12345678901");
        FAIL() << "a 26-digit KID was accepted";
    } catch (const Error& e) {
        EXPECT_EQ(std::string(e.what()).rfind("KID kan ikke genereres for 12345678901", 0), 0u);
    }
}

}  // namespace
