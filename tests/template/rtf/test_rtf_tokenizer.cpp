// The tokenizer's rules: every reader of RTF depends on them.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "template/rtf/rtf_tokenizer.h"

using namespace lagrull;

namespace {

std::vector<TRtfToken> tokensOf(std::string_view source) {
    TRtfTokenizer t(source);
    std::vector<TRtfToken> out;
    try {
        for (;;) out.push_back(t.next());
    } catch (const RtfEndOfSource&) {
    }
    return out;
}

}  // namespace

TEST(RtfTokenizer, GroupsWordsAndText) {
    const auto t = tokensOf("{\\b1 x}\r\n");
    ASSERT_EQ(t.size(), 4u);
    EXPECT_EQ(t[0].kind, TRtfTokenKind::GroupStart);
    EXPECT_EQ(t[1].kind, TRtfTokenKind::Control);
    EXPECT_EQ(t[1].word(), "b");
    EXPECT_TRUE(t[1].hasParam);
    EXPECT_EQ(t[1].param, 1);
    EXPECT_EQ(t[1].text, "\\b1");
    EXPECT_EQ(t[1].raw, "\\b1 ");  // the delimiter is part of the word's bytes
    EXPECT_EQ(t[2].kind, TRtfTokenKind::Text);
    EXPECT_EQ(t[2].ch, 'x');
    EXPECT_EQ(t[3].kind, TRtfTokenKind::GroupEnd);
}

TEST(RtfTokenizer, DelimiterBlankIsConsumedOnlyOnce) {
    // "f1" followed by a blank and text: the blank belongs to the word.
    const auto t = tokensOf("\\f1 Ab\\b  c");
    ASSERT_EQ(t.size(), 6u);
    EXPECT_EQ(t[1].ch, 'A');
    EXPECT_EQ(t[2].ch, 'b');
    EXPECT_TRUE(t[3].is("b"));
    EXPECT_FALSE(t[3].hasParam);
    EXPECT_EQ(t[4].ch, ' ');  // the second blank is text
    EXPECT_EQ(t[5].ch, 'c');
}

TEST(RtfTokenizer, NegativeParameterAndWordEndingAtPunctuation) {
    const auto t = tokensOf("\\fi-360\\li720;\\u-3913?");
    ASSERT_EQ(t.size(), 5u);
    EXPECT_EQ(t[0].param, -360);
    EXPECT_EQ(t[1].param, 720);
    EXPECT_EQ(t[2].ch, ';');
    EXPECT_EQ(t[3].param, -3913);
    EXPECT_EQ(t[4].ch, '?');
    // A "-" without digits is not a parameter.
    const auto u = tokensOf("\\ul-x");
    ASSERT_EQ(u.size(), 3u);
    EXPECT_FALSE(u[0].hasParam);
    EXPECT_EQ(u[1].ch, '-');
}

TEST(RtfTokenizer, BackslashLineBreakIsParAndLineBreaksAreSkipped) {
    for (const char* source : {"a\\\r\nb", "a\\\nb", "a\\\rb"}) {
        const auto t = tokensOf(source);
        ASSERT_GE(t.size(), 3u) << source;
        EXPECT_TRUE(t[1].is("par")) << source;
        EXPECT_EQ(t.back().ch, 'b') << source;
    }
    const auto t = tokensOf("a\r\n\r\nb");
    ASSERT_EQ(t.size(), 2u);
}

TEST(RtfTokenizer, TabCharacterIsTheWordTab) {
    const auto t = tokensOf("a\tb");
    ASSERT_EQ(t.size(), 3u);
    EXPECT_TRUE(t[1].is("tab"));
    EXPECT_EQ(t[1].raw, "\t");
}

TEST(RtfTokenizer, IgnorableMarkAndControlSymbols) {
    const auto t = tokensOf("{\\*\\x}\\~\\-\\_\\|");
    ASSERT_EQ(t.size(), 8u);
    EXPECT_EQ(t[1].kind, TRtfTokenKind::IgnorableMark);
    EXPECT_TRUE(t[2].is("x"));
    EXPECT_TRUE(t[4].is("~"));
    EXPECT_TRUE(t[5].is("-"));
    EXPECT_TRUE(t[6].is("_"));
    EXPECT_TRUE(t[7].is("|"));
}

TEST(RtfTokenizer, CharactersWrittenAsSymbolsAndWords) {
    const auto t = tokensOf(
        "\\'e6\\'C5\\{\\}\\\\\\bullet\\endash\\emdash\\lquote\\rquote\\ldblquote\\rdblquote");
    ASSERT_EQ(t.size(), 12u);
    for (const auto& tok : t) EXPECT_EQ(tok.kind, TRtfTokenKind::Text);
    EXPECT_EQ(t[0].ch, 0xE6);
    EXPECT_EQ(t[1].ch, 0xC5);
    EXPECT_EQ(t[2].ch, '{');
    EXPECT_EQ(t[3].ch, '}');
    EXPECT_EQ(t[4].ch, '\\');
    const unsigned char codes[] = {149, 150, 151, 145, 146, 147, 148};
    for (int i = 0; i < 7; ++i) EXPECT_EQ(t[5 + i].ch, codes[i]);
    EXPECT_EQ(t[5].unicode, U'\u2022');
    EXPECT_EQ(t[11].unicode, U'\u201D');
}

TEST(RtfTokenizer, BinaryDataIsOneToken) {
    const std::string source = std::string("\\bin4 ") + std::string("\x00}{\\", 4) + "x";
    const auto t = tokensOf(source);
    ASSERT_EQ(t.size(), 2u);
    EXPECT_EQ(t[0].kind, TRtfTokenKind::Binary);
    EXPECT_EQ(t[0].binary, std::string_view("\x00}{\\", 4));
    EXPECT_EQ(t[1].ch, 'x');
}

TEST(RtfTokenizer, BinaryCutShortEndsTheSource) {
    TRtfTokenizer t("\\bin100 abc");
    EXPECT_THROW(t.next(), RtfEndOfSource);
}

TEST(RtfTokenizer, PushBackReturnsTheSameTokenOnce) {
    TRtfTokenizer t("\\par x");
    EXPECT_TRUE(t.next().is("par"));
    t.pushBack();
    EXPECT_TRUE(t.next().is("par"));
    EXPECT_EQ(t.next().ch, 'x');
    EXPECT_TRUE(t.atEnd());
    EXPECT_THROW(t.next(), RtfEndOfSource);
}

TEST(RtfTokenizer, WordsMatchExactly) {
    const auto t = tokensOf("\\bin\\bullets\\b");
    ASSERT_EQ(t.size(), 3u);
    EXPECT_TRUE(t[0].is("bin"));  // "bin" without a count is an ordinary word
    EXPECT_FALSE(t[0].is("b"));
    EXPECT_TRUE(t[1].is("bullets"));  // not the bullet character
    EXPECT_TRUE(t[2].is("b"));
    // a name matches when the next character is not a lower-case letter
    const auto u = tokensOf("\\sectSide2 x\\mbrkBin0");
    ASSERT_EQ(u.size(), 3u);
    EXPECT_TRUE(u[0].is("sect"));
    EXPECT_EQ(u[0].param, 2);
    EXPECT_EQ(u[0].text, "\\sectSide2");
    EXPECT_EQ(u[1].ch, 'x');
    EXPECT_TRUE(u[2].is("mbrk"));
}

TEST(RtfTokenizer, LongWordsAreCutAndHugeParametersDoNotOverflow) {
    const std::string word(200, 'a');
    const auto t = tokensOf("\\" + word + "99999999999999999999 x");
    ASSERT_EQ(t.size(), 2u);
    EXPECT_EQ(t[0].text.size(), 80u);
    EXPECT_TRUE(t[0].hasParam);
    EXPECT_EQ(t[1].ch, 'x');
}

TEST(RtfTokenizer, LoneBackslashAndBadHexAtTheEnd) {
    auto t = tokensOf("a\\");
    ASSERT_EQ(t.size(), 2u);
    EXPECT_EQ(t[1].kind, TRtfTokenKind::Control);
    t = tokensOf("\\'zq");
    ASSERT_EQ(t.size(), 3u);
    EXPECT_EQ(t[0].kind, TRtfTokenKind::Control);  // "\'" without digits means nothing
    EXPECT_EQ(t[1].ch, 'z');
}
