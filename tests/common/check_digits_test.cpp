#include "common/check_digits.h"

#include <gtest/gtest.h>

#include <random>

using namespace lagrull;

namespace {

// An independent MOD11 account check, written from the bank rule: weights
// 5,4,3,2,7,6,5,4,3,2 from the left over ten digits; check = 11 - sum % 11,
// 11 becomes 0 and 10 means no valid number.
bool referenceAccountCheck(const std::string& s) {
    if (s.size() != 11) return false;
    static const int w[10] = {5, 4, 3, 2, 7, 6, 5, 4, 3, 2};
    int sum = 0;
    for (int i = 0; i < 11; ++i)
        if (s[i] < '0' || s[i] > '9') return false;
    for (int i = 0; i < 10; ++i) sum += (s[i] - '0') * w[i];
    int check = 11 - sum % 11;
    if (check == 11) check = 0;
    if (check == 10) return false;
    return s[10] - '0' == check;
}

TEST(CheckDigits, Mod10) {
    EXPECT_EQ(Mod10CheckDigit(""), ' ');
    EXPECT_EQ(Mod10CheckDigit("   "), ' ');
    EXPECT_EQ(Mod10CheckDigit(std::string(21, '0')), '0');
    EXPECT_EQ(Mod10CheckDigit("002000000001232940801"), '8');
    EXPECT_EQ(Mod10CheckDigit("7992739871"), '3');  // the classic Luhn example
    EXPECT_EQ(Mod10CheckDigit(" 7992739871 "), '3');
}

TEST(CheckDigits, Mod11AndAccountNumbers) {
    EXPECT_TRUE(IsValidAccountNumber("12345678903"));
    EXPECT_FALSE(IsValidAccountNumber("12345678904"));
    EXPECT_FALSE(IsValidAccountNumber("1234567890"));     // ten digits are never valid
    EXPECT_FALSE(IsValidAccountNumber("1234.56.78903"));  // the shown form is not the stored one
    EXPECT_FALSE(IsValidAccountNumber(""));
    EXPECT_EQ(Mod11CheckDigit("1234567890"), "3");
    EXPECT_EQ(Mod11CheckDigit("1234.56.7890"), "3");  // only digits count
    // Ten digits with remainder 1 have no check digit; no 11-digit number
    // beginning with them is valid.
    EXPECT_EQ(Mod11CheckDigit("0000000006"), "-");
    for (char last = '0'; last <= '9'; ++last)
        EXPECT_FALSE(IsValidAccountNumber(std::string("0000000006") + last));
}

TEST(CheckDigits, AccountCheckAgreesWithReferenceOnRandomNumbers) {
    std::mt19937_64 rng(20261209);
    std::uniform_int_distribution<int> digit(0, 9);
    int valid = 0;
    for (int n = 0; n < 200000; ++n) {
        std::string s(11, '0');
        for (char& c : s) c = static_cast<char>('0' + digit(rng));
        // Make about one in three valid on purpose.
        if (n % 3 == 0 && Mod11CheckDigit(s.substr(0, 10)) != "-")
            s[10] = Mod11CheckDigit(s.substr(0, 10))[0];
        const bool expected = referenceAccountCheck(s);
        ASSERT_EQ(IsValidAccountNumber(s), expected) << s;
        valid += expected;
    }
    EXPECT_GT(valid, 50000);
}

}  // namespace
