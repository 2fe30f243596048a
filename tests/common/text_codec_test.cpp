#include "common/text_codec.h"

#include <gtest/gtest.h>

using namespace lagrull;

namespace {

TEST(TextCodec, CodePagesRoundTripNorwegianLetters) {
    const std::string utf8 = "Ærlige Øystein på Åsen: æøå €";
    const std::string cp1252 = fromUtf8(utf8, CodePage::Windows1252);
    EXPECT_EQ(cp1252.size(), characterCount(utf8));
    EXPECT_EQ(static_cast<unsigned char>(cp1252.back()), 0x80);  // the euro sign
    EXPECT_EQ(toUtf8(cp1252, CodePage::Windows1252), utf8);

    EXPECT_EQ(fromUtf8("ÆØÅ", CodePage::Latin1), "\xC6\xD8\xC5");
    EXPECT_EQ(fromUtf8("€", CodePage::Latin1), "?");
    EXPECT_EQ(toUtf8("\x92\x9D\x8F\x91\x9B\x86", CodePage::Dos865), "ÆØÅæøå");
    EXPECT_EQ(fromUtf8("ÆØÅæøå", CodePage::Dos865), "\x92\x9D\x8F\x91\x9B\x86");
}

TEST(TextCodec, Utf8Validity) {
    EXPECT_TRUE(isValidUtf8("blåbær"));
    EXPECT_TRUE(isValidUtf8("\xEF\xBF\xBD"));   // a real replacement character
    EXPECT_FALSE(isValidUtf8("bl\xE5"));        // Latin-1 "å"
    EXPECT_FALSE(isValidUtf8("\xC0\xAF"));      // overlong
    EXPECT_FALSE(isValidUtf8("\xED\xA0\x80"));  // surrogate
    EXPECT_FALSE(isValidUtf8("\xE2\x82"));      // cut short
}

TEST(TextCodec, UpperAndLowerCaseIncludeNorwegianLetters) {
    EXPECT_EQ(upperCase("blåbærsyltetøy"), "BLÅBÆRSYLTETØY");
    EXPECT_EQ(lowerCase("ÆØÅ Ü"), "æøå ü");
    EXPECT_EQ(upperCase("ß÷"), "ß÷");
    EXPECT_EQ(upperCase(U'ľ'), U'Ľ');
    EXPECT_EQ(upperCase(U'ā'), U'Ā');
    EXPECT_EQ(lowerCase(U'Ž'), U'ž');
}

TEST(TextCodec, UpperCaseIntoABufferCopiesOnlyWhatChanges) {
    std::string buffer = "old";
    const std::string kid = "0010000010150126-X";
    const std::string_view same = upperCase(kid, buffer);
    EXPECT_EQ(same.data(), kid.data());  // given back as it is
    EXPECT_EQ(buffer, "old");
    EXPECT_EQ(upperCase("0010000010150126x", buffer), "0010000010150126X");
    EXPECT_EQ(upperCase("Ørn", buffer), "ØRN");
    EXPECT_EQ(upperCase("ß", buffer), "ß");  // beyond ASCII, made in the buffer all the same
}

}  // namespace
