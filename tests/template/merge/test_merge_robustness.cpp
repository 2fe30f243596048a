// Random templates and random merge values: the engine ends every run with
// a document that reads as RTF or with one of its own errors, in bounded
// time.
#include <gtest/gtest.h>

#include <random>

#include "merge_fixture.h"
#include "template/merge/rtf_ext_errors.h"
#include "template/rtf/rtf_tokenizer.h"

using namespace lagrull;
using namespace lagrull::test;

namespace {

const char* const kPieces[] = {
    "@IF(",
    "@IF(1)",
    "@IF(0)",
    "@BEGIN",
    "@END",
    "@ELSE",
    "@SKIP",
    "@SET(x = ",
    "@SET(y = 2*3)",
    "@FOR(i = 1 TO 3)",
    "@LINK(rad.rtf)",
    "@LINK(",
    "@INSERT(a)",
    "@\\\\",
    "@ABORT(",
    "@IGNORE(ja)",
    "@FIRSTPAGE",
    "@ODDPAGE",
    "@",
    "\\{",
    "\\}",
    "\\{navn\\}",
    "\\{x[D8]\\}",
    "\\{v[T2]\\}",
    "\\{v[Aa]\\}",
    "\\{i\\}",
    "\\{\\{x\\}navn\\}",
    "(",
    ")",
    "=",
    " AND ",
    " < ",
    ";",
    "search(a; b)",
    "\\par ",
    "\\page ",
    "\\line ",
    "\\tab ",
    "{\\b ",
    "}",
    "{",
    "\\cell ",
    "\\row ",
    "\\margl1000 ",
    "\\landscape ",
    "\\pgnstarts3 ",
    "\\sectd ",
    "\\'e6",
    "\\u8364?",
    "tekst ",
    "  ",
    "{\\field{\\*\\fldinst MERGEFIELD navn}{\\fldrslt x}}",
    "{\\field{\\*\\fldinst IF 1 = 1 \"a\" \"b\"}{\\fldrslt y}}",
    "{\\field{\\*\\fldinst = 2*}{\\fldrslt z}}",
    "{\\*\\bkmkstart b}",
    "{\\pict\\wmetafile8 0102}",
    "\\\\",
    "\\~",
};

const char* const kValues[] = {"Kari",
                               "{",
                               "}",
                               "\\",
                               "(",
                               ")",
                               "=",
                               "@IF(",
                               "@END",
                               "150324",
                               "1234,5",
                               "",
                               "\u20ac \u00e6\u00f8\u00e5",
                               "\r\n",
                               "a{b}c\\d",
                               "\xff\xfe",
                               "@\\\\"};

std::string randomTemplate(std::mt19937& rng, int pieces) {
    std::uniform_int_distribution<std::size_t> pick(0, std::size(kPieces) - 1);
    std::string body;
    for (int i = 0; i < pieces; ++i) body += kPieces[pick(rng)];
    return rtfTemplate(body);
}

// Braces of the RTF outside escapes must balance, and the reader must read it.
void checkReadsAsRtf(const std::string& rtf) {
    ASSERT_EQ(rtf.rfind("{\\rtf1", 0), 0u);
    TRtfTokenizer tokens(rtf);
    int depth = 0;
    try {
        for (;;) {
            const TRtfToken& t = tokens.next();
            if (t.kind == TRtfTokenKind::GroupStart) ++depth;
            if (t.kind == TRtfTokenKind::GroupEnd) --depth;
            ASSERT_GE(depth, 0);
        }
    } catch (const RtfEndOfSource&) {
    }
    ASSERT_EQ(depth, 0) << rtf;
    EXPECT_NO_THROW(readRtfDocument(rtf));
}

}  // namespace

TEST(MergeRobustness, RandomTemplatesAndValues) {
    TempDir dir;
    dir.write("rad.rtf", rtfTemplate("Rad \\{i\\} \\{navn\\}\\par"));
    std::mt19937 rng(20260101);
    std::uniform_int_distribution<std::size_t> value(0, std::size(kValues) - 1);
    int documents = 0, errors = 0;
    for (int run = 0; run < 4000; ++run) {
        TRtfExtended engine;
        engine.setBaseDirectory(dir.str());
        engine.nameValueList = {std::string("navn=") + kValues[value(rng)],
                                std::string("x=") + kValues[value(rng)],
                                std::string("v=") + kValues[value(rng)]};
        engine.OnMergeRtfStream = [&](const std::string&, std::string& s) {
            s = kValues[value(rng)];
        };
        const std::string templ = randomTemplate(rng, 1 + run % 40);
        std::string out;
        try {
            out = engine.Convert(templ);
        } catch (const EExtRtfException&) {
            ++errors;
            continue;
        } catch (const ERtfLevel&) {
            ++errors;
            continue;
        }
        if (out.empty()) continue;
        ++documents;
        checkReadsAsRtf(out);
        if (::testing::Test::HasFailure()) {
            ADD_FAILURE() << "template: " << templ;
            return;
        }
    }
    EXPECT_GT(documents, 800);
    EXPECT_GT(errors, 300);
}

TEST(MergeRobustness, CutTemplatesEndQuietlyOrWithAnError) {
    const std::string full = rtfTemplate(
        "@IF(\\{a\\} = b)@BEGIN {\\b fet \\{navn[Aa]\\}}\\par @ELSE x@END\\page slutt\\par");
    for (std::size_t n = 0; n <= full.size(); ++n) {
        TRtfExtended engine;
        try {
            const std::string out = engine.Convert(full.substr(0, n));
            if (!out.empty()) checkReadsAsRtf(out);
        } catch (const Error&) {
        }
    }
}

TEST(MergeRobustness, DeepNestingEndsInBoundedDepth) {
    std::string fields, groups, ifs;
    for (int i = 0; i < 5000; ++i) fields += "{\\field{\\*\\fldinst UKJENT x}{\\fldrslt ";
    for (int i = 0; i < 5000; ++i) fields += "}}";
    for (int i = 0; i < 20000; ++i) groups += "{\\b ";
    for (int i = 0; i < 20000; ++i) groups += "}";
    for (int i = 0; i < 5000; ++i) ifs += "(";
    TRtfExtended engine;
    EXPECT_NO_THROW(checkReadsAsRtf(engine.Convert(rtfTemplate("a" + fields + groups))));
    EXPECT_THROW(
        engine.Convert(rtfTemplate("@IF(" + ifs + "1" + std::string(5000, ')') + ")@BEGIN x@END")),
        Error);
}
