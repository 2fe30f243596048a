// The key table of the OCR import: numbers in order of first appearance,
// look-ups that find exactly the keys added, also past the table's growth.
#include <gtest/gtest.h>

#include <string>

#include "clearing/key_table.h"

namespace lagrull::clearing {
namespace {

TEST(KeyTable, NumbersKeysInTheOrderTheyCome) {
    KeyTable kids;
    EXPECT_EQ(kids.add("0010000010150126"), 0u);
    EXPECT_EQ(kids.add("0010000020150126"), 1u);
    EXPECT_EQ(kids.add("0010000010150126"), 0u);  // known: its own number
    EXPECT_EQ(kids.add(""), 2u);
    EXPECT_EQ(kids.size(), 3u);
    EXPECT_EQ(kids.find("0010000020150126"), 1u);
    EXPECT_EQ(kids.find(""), 2u);
    // Keys compare byte for byte: a prefix or another case is another key.
    EXPECT_EQ(kids.find("001000001015012"), KeyTable::kMissing);
    EXPECT_EQ(kids.find("00100000101501266"), KeyTable::kMissing);
    EXPECT_EQ(kids.find("AB"), KeyTable::kMissing);
}

TEST(KeyTable, GrowsPastWhatWasExpectedAndKeepsEveryKey) {
    KeyTable kids(4);
    constexpr int kKeys = 5000;
    for (int i = 0; i < kKeys; ++i) ASSERT_EQ(kids.add("KID" + std::to_string(i)), std::size_t(i));
    EXPECT_EQ(kids.size(), std::size_t(kKeys));
    for (int i = 0; i < kKeys; ++i) EXPECT_EQ(kids.find("KID" + std::to_string(i)), std::size_t(i));
    EXPECT_EQ(kids.find("KID" + std::to_string(kKeys)), KeyTable::kMissing);
    EXPECT_EQ(kids.add("KID17"), 17u);
}

}  // namespace
}  // namespace lagrull::clearing
