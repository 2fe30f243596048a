#include "common/ini_format.h"

#include <gtest/gtest.h>

using namespace lagrull::ini;

namespace {

TEST(IniFormat, NormalisedNames) {
    EXPECT_EQ(normaliseName("Kunde_enhets ID"), "KUNDEENHETSID");
    EXPECT_EQ(normaliseName("kundeenhetsid"), "KUNDEENHETSID");
    EXPECT_EQ(normaliseName("  æ_ø å "), "ÆØÅ");
}

TEST(IniFormat, ValueIsAfterFirstEqualsWithoutLeadingBlanksOrTrailingControls) {
    EXPECT_EQ(valueOf("a=  b=c \t\x01"), "b=c");
    EXPECT_EQ(valueOf("a="), "");
    EXPECT_EQ(keyOf(" Font Size =9"), "FONTSIZE");
    EXPECT_FALSE(keyOf("ingen nøkkel").has_value());
}

TEST(IniFormat, LineBreakEncoding) {
    EXPECT_EQ(encodeValue("a\r\nb\rc"), "a \\n b \\n c");
    EXPECT_EQ(decodeValue("a \\n b"), "a\r\nb");
    EXPECT_EQ(decodeValue("C:\\data\\"), "C:\\data\\");  // a path stays a path
}

TEST(IniFormat, Booleans) {
    for (const char* t : {"1", "Ja", "j", "Sant", "True", "x", "Yes", "y"})
        EXPECT_EQ(parseBool(t), true) << t;
    for (const char* f : {"0", "False", "Nei", "nei", "U"}) EXPECT_EQ(parseBool(f), false) << f;
    for (const char* d : {"", "?", "Kanskje"}) EXPECT_FALSE(parseBool(d).has_value()) << d;
    EXPECT_EQ(formatBool(true), "Ja");
    EXPECT_EQ(formatBool(false), "Nei");
}

TEST(IniFormat, Decimals) {
    EXPECT_EQ(formatDecimal(2.5), "2,5");
    EXPECT_EQ(formatDecimal(3.0), "3");
    EXPECT_EQ(formatDecimal(0.1234567), "0,123457");
    EXPECT_EQ(formatDecimal(-0.0000001), "0");
    EXPECT_EQ(formatDecimal(-12.75), "-12,75");
    EXPECT_EQ(parseDecimal("1,5"), 1.5);
    EXPECT_EQ(parseDecimal("-2.25"), -2.25);
    EXPECT_FALSE(parseDecimal("1,5 kr").has_value());
    EXPECT_FALSE(parseDecimal("").has_value());
}

TEST(IniFormat, ScramblingFormsAreTheirOwnInverse) {
    const std::string line = "Passord=Hemmelig ÆØÅ 123 [x]";
    const std::string second = scrambleSecond(line);
    EXPECT_NE(second, line);
    EXPECT_EQ(scrambleSecond(second), line);
    for (const char c : second) EXPECT_GE(static_cast<unsigned char>(c), 32);

    const std::string text = "Brukernavn=Kari";
    const std::string first = scrambleFirst(text);
    EXPECT_NE(first, text);
    EXPECT_EQ(scrambleFirst(first), text);
    EXPECT_EQ(first.find('\r'), std::string::npos);
}

TEST(IniFormat, FirstFormKeepsEveryCharacterOfAText) {
    // "b" once came back as "e": its scrambled form was one of the
    // characters the form leaves alone.
    EXPECT_EQ(scrambleFirst(scrambleFirst("abc bob")), "abc bob");
    std::string every;
    for (int c = 1; c < 256; ++c) every += static_cast<char>(c);
    const std::string scrambled = scrambleFirst(every);
    EXPECT_EQ(scrambleFirst(scrambled), every);
    // Only the line ends themselves stay line ends.
    EXPECT_EQ(scrambled.find('\r'), every.find('\r'));
    EXPECT_EQ(scrambled.find('\n'), every.find('\n'));
    const Document doc = parse("@@@@\r\n" + scrambleFirst("[Bruker]") + "\r\n" +
                               scrambleFirst("navn=abc bob") + "\r\n");
    ASSERT_EQ(doc.sections.size(), 2u);
    EXPECT_EQ(doc.sections[1].lines.at(0), "navn=abc bob");
}

TEST(IniFormat, ParseAndSerialise) {
    const Document doc = parse("topp=1\r\n[A]\r\nx=1\r\n\r\n\r\n[Tom]\r\n[B]\ny=2");
    ASSERT_EQ(doc.sections.size(), 4u);
    EXPECT_FALSE(doc.sections[0].named);
    EXPECT_EQ(doc.sections[2].name, "Tom");
    EXPECT_EQ(serialise(doc), "topp=1\r\n\r\n[A]\r\nx=1\r\n\r\n[Tom]\r\n[B]\r\ny=2\r\n\r\n");
}

// Reading drops one byte-order mark; a first line that starts with another
// must keep it through writing and reading, and must not turn into the
// scrambled form's head.
TEST(IniFormat, ByteOrderMarkInTheFirstLineSurvivesWriteAndRead) {
    const std::string bom = "\xEF\xBB\xBF";
    for (const std::string& text : {bom + bom + "x=1", bom + bom + "@@@@@\r\nx=1"}) {
        const Document doc = parse(text);
        ASSERT_EQ(doc.scramble, Scramble::None) << text;
        EXPECT_EQ(doc.sections[0].lines.at(0).rfind(bom, 0), 0u);
        const std::string written = serialise(doc);
        const Document back = parse(written);
        EXPECT_EQ(back.scramble, Scramble::None);
        EXPECT_EQ(back.sections[0].lines.at(0), doc.sections[0].lines.at(0));
        EXPECT_EQ(serialise(back), written);
    }
    EXPECT_EQ(serialise(parse(bom + "x=1")), "x=1\r\n\r\n");
}

TEST(IniFormat, ScrambledDocumentIsWrittenInTheSecondForm) {
    Document doc =
        parse("@@@@\r\n" + scrambleFirst("[S]") + "\r\n" + scrambleFirst("k=v") + "\r\n");
    ASSERT_EQ(doc.scramble, Scramble::First);
    const std::string bytes = serialise(doc);
    EXPECT_EQ(bytes.rfind("@@@@@\r\n", 0), 0u);
    const Document back = parse(bytes);
    EXPECT_EQ(back.scramble, Scramble::Second);
    ASSERT_EQ(back.sections.size(), 2u);
    EXPECT_EQ(back.sections[1].lines.at(0), "k=v");
}

}  // namespace
