// Random, mutated and truncated RTF for the tokenizer and the document
// builder: every input must end in a model or in "No RTF.", never in a
// crash, a hang or another exception. LAGRULL_FUZZ_ROUNDS multiplies the
// rounds for a longer run by hand; the seed is fixed so a failure repeats.
#include <gtest/gtest.h>

#include <cstdlib>
#include <random>
#include <string>

#include "common/error.h"
#include "common/file_names.h"
#include "temp_dir.h"
#include "template/rtf/rtf_document_parser.h"
#include "template/rtf/rtf_outline.h"
#include "template/rtf/rtf_vocabulary.h"

using namespace lagrull;

namespace {

int rounds(int base) {
    const char* env = std::getenv("LAGRULL_FUZZ_ROUNDS");
    const int factor = env ? std::max(1, std::atoi(env)) : 1;
    return base * factor;
}

// Reads `rtf` as the program does; returns false only for "No RTF.".
bool readsQuietly(const std::string& rtf) {
    try {
        const auto document = readRtfDocument(rtf);
        const std::string outline = rtfOutline(*document);
        EXPECT_FALSE(outline.empty());
        const auto meta = readRtfDocument(rtf, true);
        return meta != nullptr;
    } catch (const FormatError& e) {
        EXPECT_STREQ(e.what(), "No RTF.");
        return false;
    }
}

// Every token kind the tokenizer knows, so random text reaches every branch.
const std::vector<std::string>& pieces() {
    static const std::vector<std::string> p = [] {
        std::vector<std::string> v = {"{",         "}",
                                      "{",         "}",
                                      "\\*",       "\\'e6",
                                      "\\'",       "\\'g",
                                      "\\\r\n",    "\\{",
                                      "\\}",       "\\\\",
                                      "\\~",       "\\-",
                                      "\\_",       "\t",
                                      " ",         "x",
                                      "æ",         "\\bin3 ",
                                      "\\bin",     "\\bin-5 ",
                                      "\\u-200?",  "\\u70000 ",
                                      "\\uc5 ",    "\\uc-1 ",
                                      "\r\n",      ";",
                                      "\\bullet",  "0a1B",
                                      "\\",        "\\fldinst",
                                      "\\fldrslt", "\\nonshppict",
                                      "\\shppict", "\\sv",
                                      "\\sn",      "\\sp",
                                      "pib",       "shapeType",
                                      "202"};
#define LAGRULL_PIECE(name) v.push_back("\\" #name);
        LAGRULL_RTF_WORDS(LAGRULL_PIECE)
#undef LAGRULL_PIECE
        return v;
    }();
    return p;
}

std::string randomRtf(std::mt19937& rng, std::size_t count) {
    std::string out = "{\\rtf1";
    std::uniform_int_distribution<std::size_t> pick(0, pieces().size() - 1);
    std::uniform_int_distribution<int> number(-40000, 40000);
    std::uniform_int_distribution<int> coin(0, 3);
    for (std::size_t i = 0; i < count; ++i) {
        const std::string& p = pieces()[pick(rng)];
        out += p;
        if (p.size() > 1 && p[0] == '\\' && std::isalpha(static_cast<unsigned char>(p[1])) &&
            coin(rng) == 0)
            out += std::to_string(number(rng));
        if (coin(rng) == 0) out += ' ';
    }
    return out;
}

std::string letter() { return readFileBytes(test::testData() / "template" / "brev.rtf"); }

}  // namespace

TEST(RtfRobustness, RandomBytes) {
    std::mt19937 rng(20260209);
    std::uniform_int_distribution<int> byte(0, 255);
    std::uniform_int_distribution<int> length(0, 600);
    const std::string syntax = "{}\\\\*'-0123456789 abcdefz\r\n\t;";
    std::uniform_int_distribution<std::size_t> pick(0, syntax.size() - 1);
    for (int round = 0; round < rounds(1500); ++round) {
        std::string rtf = round % 2 ? "{\\rtf1" : "";
        const int n = length(rng);
        for (int i = 0; i < n; ++i)
            rtf.push_back(byte(rng) < 200 ? syntax[pick(rng)] : static_cast<char>(byte(rng)));
        readsQuietly(rtf);
    }
}

TEST(RtfRobustness, RandomVocabulary) {
    std::mt19937 rng(4413542);
    for (int round = 0; round < rounds(800); ++round) readsQuietly(randomRtf(rng, 300));
}

TEST(RtfRobustness, TruncatedLetter) {
    const std::string rtf = letter();
    for (std::size_t length = 0; length < rtf.size(); length += 7) {
        const bool isRtf = readsQuietly(rtf.substr(0, length));
        EXPECT_EQ(isRtf, length >= 6) << length;
    }
}

TEST(RtfRobustness, MutatedLetter) {
    const std::string original = letter();
    std::mt19937 rng(1907283911);
    std::uniform_int_distribution<std::size_t> where(0, original.size() - 1);
    std::uniform_int_distribution<int> what(0, 5);
    const char specials[] = {'{', '}', '\\', '*', '\'', '0'};
    for (int round = 0; round < rounds(200); ++round) {
        std::string rtf = original;
        for (int edit = 0; edit < 8; ++edit) {
            const std::size_t at = where(rng) % rtf.size();
            switch (what(rng)) {
                case 0: rtf.erase(at, 1); break;
                case 1: rtf.insert(at, 1, specials[what(rng)]); break;
                case 2: rtf.erase(at, std::min<std::size_t>(40, rtf.size() - at)); break;
                default: rtf[at] = specials[what(rng)]; break;
            }
        }
        readsQuietly(rtf);
    }
}

TEST(RtfRobustness, HostileNesting) {
    const auto repeat = [](const std::string& s, int n) {
        std::string out;
        for (int i = 0; i < n; ++i) out += s;
        return out;
    };
    for (const std::string& rtf : std::vector<std::string>{
             "{\\rtf1" + repeat("{", 200000) + "x" + repeat("}", 200000) + "}",
             "{\\rtf1" + repeat("{\\b", 100000) + "x",
             "{\\rtf1" + repeat("{\\header ", 20000) + "x",
             "{\\rtf1" + repeat("{\\shp{\\*\\shpinst{\\shptxt ", 5000) + "x",
             "{\\rtf1" + repeat("{\\shpgrp{\\*\\shpinst ", 5000) + "x",
             "{\\rtf1{\\shp" + repeat("{\\*\\shpinst{\\sp{\\sn pib}{\\sv ", 20000) + "x",
             "{\\rtf1{\\shp" + repeat("{\\sp", 100000) + "x",
             // the data end inside text that belongs to a drawing being read
             "{\\rtf1 a\\par{\\shp{\\*\\shpinst{\\sp{\\sn shapeType}{\\sv 202}}{\\shptxt b\\par c",
             "{\\rtf1 a\\par{\\*\\do\\dptxbx{\\dptxbxtext b\\par c",
             "{\\rtf1" + repeat("{\\shp{\\shprslt ", 20000) + "x",
             "{\\rtf1{\\fonttbl" + repeat("{\\f1{\\*\\panose ", 50000) + "x",
             "{\\rtf1{\\info" + repeat("{\\title{\\creatim ", 50000) + "x",
             "{\\rtf1{\\*\\userprops" + repeat("{\\propname{\\staticval ", 50000) + "x",
             "{\\rtf1" + repeat("{\\*\\do\\dpgroup\\dptxbx{\\dptxbxtext ", 5000),
             "{\\rtf1" + repeat("{\\field{\\*\\fldinst x}{\\fldrslt ", 20000),
             "{\\rtf1" + repeat("{\\*\\shppict{\\nonshppict ", 20000),
             "{\\rtf1\\trowd" + repeat("\\cellx100", 100000) + "\\intbl" +
                 repeat("a\\cell", 50000) + "\\row}",
             "{\\rtf1" + repeat("\\sect", 50000) + "}",
             "{\\rtf1\\trowd" + repeat("\\clbrdrt\\brdrs\\cellx9", 1000) + repeat("\\row", 200000) +
                 "}",
             "{\\rtf1" + repeat("\\tx", 50000) + "}",
             ("{\\rtf1{\\pict\\wmetafile8\\picw2147483647\\pich-"
              "2147483648\\picscalex2147483647\\piccropl-2147483648 00}}"),
             "{\\rtf1\\bin2147483647 ",
             "{\\rtf1\\cols2147483647\\colsx-2147483648\\expnd2147483647 x}",
             ("{\\rtf1\\posnegx-2147483648\\posnegy-2147483648\\dn-"
              "2147483648\\cellx2147483647\\cellx-2147483648"
              "\\shpleft-2147483648\\shpright2147483647 x}"),
         }) {
        EXPECT_TRUE(readsQuietly(rtf));
    }
}
