// The giro printer: reading the giro file, the code line, and the PDF that
// lagrul-giro writes, read back with pdftotext.
#include <cstdio>
#include <regex>

#include <gtest/gtest.h>

#include "common/error.h"
#include "payments/giro_form.h"
#include "temp_dir.h"

namespace lagrull::test {
namespace {

std::string fileOf(const std::string& header, const std::string& record) {
    return header + "\r\n" + record;
}

TEST(GiroFile, ReadsRecordsByFieldNameFromWindows1252) {
    const auto records = parseGiroFile(
        "betnavn\tKID\tbelop\r\n\xD8"
        "degard\t123\t1250,00\r\nB\t\t");
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].value("BETNAVN"), "Ødegard");
    EXPECT_EQ(records[0].value("kid"), "123");
    EXPECT_EQ(records[1].value("belop"), "");
    EXPECT_EQ(records[1].value("motkonto"), "");  // not in the file
}

TEST(GiroFile, TakesBareLineBreaksAndAFinalOne) {
    EXPECT_EQ(parseGiroFile("kid\n1\n2\n").size(), 2u);
    EXPECT_TRUE(parseGiroFile("kid\tbelop").empty());
}

TEST(GiroFile, RefusesAFileWithoutGiroFields) {
    EXPECT_THROW(parseGiroFile("Kjære medlem,\r\nvelkommen"), FormatError);
    EXPECT_THROW(parseGiroFile(""), FormatError);
}

TEST(GiroCodeLine, SplitsTheAmountAndAddsItsCheckDigit) {
    auto line = giroCodeLine(parseGiroFile(
        fileOf("kid\tbelop\tmotkonto", "0020000000000129408015\t1250,00\t12345678903"))[0]);
    EXPECT_EQ(line.kid, "0020000000000129408015");
    EXPECT_EQ(line.kroner, "1250");
    EXPECT_EQ(line.ore, "00");
    EXPECT_EQ(line.check, "<0>");  // MOD10 of 125000
    EXPECT_EQ(line.account, "12345678903");
    line = giroCodeLine(parseGiroFile(fileOf("kid\tbelop", "1\t450,50"))[0]);
    EXPECT_EQ(line.kroner + "|" + line.ore + "|" + line.check, "450|50|<2>");
    line = giroCodeLine(parseGiroFile(fileOf("kid\tbelop", "1\t0,05"))[0]);
    EXPECT_EQ(line.kroner + "|" + line.ore, "0|05");
}

TEST(GiroCodeLine, EmptyAmountIsLeftForThePayer) {
    for (const char* amount : {"", "abc", "-50,00"}) {
        const auto line =
            giroCodeLine(parseGiroFile(fileOf("kid\tbelop", std::string("1\t") + amount))[0]);
        EXPECT_EQ(line.kroner + line.ore + line.check, "") << amount;
    }
}

TEST(GiroLayout, CodeLineSitsFiveSixthsOfAnInchAboveTheLowerEdge) {
    EXPECT_NEAR(kSheetHeight - kCodeLineBaseline, 21.17, 0.01);
    const auto items = layoutGiro(parseGiroFile(fileOf("kid\tbelop\tmotkonto", "12\t1,00\t1"))[0]);
    int ocr = 0;
    for (const GiroItem& i : items) {
        if (i.font != GiroFont::Ocr || i.kind != GiroItem::Kind::Text) continue;
        ++ocr;
        EXPECT_DOUBLE_EQ(i.y, kCodeLineBaseline) << i.text;
    }
    EXPECT_EQ(ocr, 6);  // H, KID, kroner, øre, check digit, account
}

// One word of pdftotext -bbox: its box in points from the page's top left.
struct Word {
    double xMin, yMin, xMax, yMax;
    std::string text;
};

std::vector<Word> pdfWords(const std::string& pdf, int page) {
    const std::string command = "pdftotext -bbox -f " + std::to_string(page) + " -l " +
                                std::to_string(page) + " '" + pdf + "' - 2>/dev/null";
    FILE* pipe = popen(command.c_str(), "r");
    std::string html;
    char buffer[4096];
    for (std::size_t n; pipe && (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;)
        html.append(buffer, n);
    if (pipe) pclose(pipe);
    const std::regex word(
        R"re(<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" yMax="([\d.]+)">([^<]*)</word>)re");
    std::vector<Word> words;
    for (auto it = std::sregex_iterator(html.begin(), html.end(), word);
         it != std::sregex_iterator(); ++it)
        words.push_back({std::stod((*it)[1]), std::stod((*it)[2]), std::stod((*it)[3]),
                         std::stod((*it)[4]), (*it)[5]});
    return words;
}

std::string run(const std::string& command) {
    FILE* pipe = popen((command + " 2>&1").c_str(), "r");
    std::string out;
    char buffer[4096];
    for (std::size_t n; pipe && (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;)
        out.append(buffer, n);
    if (pipe) pclose(pipe);
    return out;
}

constexpr double kPt = 72 / 25.4;  // points per millimetre

class GiroPdf : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        // Without the GUI there is no giro printer to run.
        if (std::string(LAGRULL_GIRO).empty()) return;
        if (system("command -v pdftotext >/dev/null") != 0) return;
        dir_ = new TempDir;
        pdf_ = (dir_->path() / "giroer.pdf").string();
        output_ = run(std::string(LAGRULL_GIRO) + " '" +
                      (testData() / "payments" / "giro_std_BANKGIRO.TXT").string() + "' --pdf '" +
                      pdf_ + "'");
    }
    static void TearDownTestSuite() { delete dir_; }
    void SetUp() override {
        if (!dir_)
            GTEST_SKIP() << "lagrul-giro (GUI-bygget) eller pdftotext (poppler-utils) mangler";
    }

    // The word of the code line (below the giro's labels) with this text.
    static Word codeWord(const std::vector<Word>& words, const std::string& text) {
        for (const Word& w : words)
            if (w.text == text && w.yMin > (kCodeLineBaseline - 10) * kPt) return w;
        ADD_FAILURE() << "no code line word " << text;
        return {};
    }

    static inline TempDir* dir_ = nullptr;
    static inline std::string pdf_, output_;
};

TEST_F(GiroPdf, OneSheetPerGiroWithItsCodeLine) {
    EXPECT_EQ(output_, "6 giroer\n");
    EXPECT_TRUE(std::regex_search(run("pdfinfo '" + pdf_ + "'"), std::regex("Pages: +6\n")));
    EXPECT_NE(run("pdffonts '" + pdf_ + "'").find("OCRB"), std::string::npos);
    // Page 1 is "Avtale, Aud": 1250,00 to 12345678903.
    const auto words = pdfWords(pdf_, 1);
    const Word kid = codeWord(words, "0020000000000529408011");
    const Word kroner = codeWord(words, "1250");
    const Word ore = codeWord(words, "00");
    const Word check = codeWord(words, "&lt;0&gt;");
    const Word account = codeWord(words, "12345678903");
    const Word h = codeWord(words, "H");

    // Ten characters per inch: only OCR-B at its size gives 22 × 2,54 mm.
    EXPECT_NEAR((kid.xMax - kid.xMin) / kPt, 22 * kOcrPitch, 0.2);
    EXPECT_NEAR((account.xMax - account.xMin) / kPt, 11 * kOcrPitch, 0.2);
    // KID right-aligned 1 1/2 positions inside its field's right bar.
    EXPECT_NEAR(kid.xMax / kPt, codeLinePosition(29.5), 0.2);
    // Two blank positions between kroner and øre, and between ">" and the account.
    EXPECT_NEAR((ore.xMin - kroner.xMax) / kPt, 2 * kOcrPitch, 0.2);
    EXPECT_NEAR((account.xMin - check.xMax) / kPt, 2 * kOcrPitch, 0.2);
    // The foot of the characters 5/6 inch above the lower edge: the baseline
    // lies inside every word's box, just above its descent.
    for (const Word& w : {kid, kroner, ore, check, account, h}) {
        EXPECT_LT(w.yMin, kCodeLineBaseline * kPt) << w.text;
        EXPECT_GT(w.yMax, kCodeLineBaseline * kPt) << w.text;
        EXPECT_LT(w.yMax - kCodeLineBaseline * kPt, 4.0) << w.text;
        EXPECT_NEAR(w.yMax, kid.yMax, 0.01) << w.text;
    }
}

TEST_F(GiroPdf, GiroWithoutAmountLeavesTheAmountFieldsBlank) {
    // Page 3 is the honorary member with 0,00: no kroner, øre or check digit.
    const auto words = pdfWords(pdf_, 3);
    codeWord(words, "0020000000000729408019");
    for (const Word& w : words) {
        if (w.yMin <= (kCodeLineBaseline - 10) * kPt) continue;
        EXPECT_TRUE(w.text == "H" || w.text == "0020000000000729408019" || w.text == "12345678903")
            << w.text;
    }
}

TEST_F(GiroPdf, TestSheetHasRulersAndCrossesAndUsageErrorsAreRefused) {
    const std::string sheet = (dir_->path() / "testark.pdf").string();
    EXPECT_EQ(run(std::string(LAGRULL_GIRO) + " --testark --pdf '" + sheet + "'"), "1 testark\n");
    const auto words = pdfWords(sheet, 1);
    bool title = false, ruler = false;
    for (const Word& w : words) {
        title |= w.text == "Testark";
        ruler |= w.text == "150";
    }
    EXPECT_TRUE(title && ruler);
    EXPECT_NE(run(std::string(LAGRULL_GIRO) + " --pdf x.pdf").find("Bruk:"), std::string::npos);
    EXPECT_NE(run(std::string(LAGRULL_GIRO) + " /finnes/ikke.txt --pdf '" + sheet + "'")
                  .find("finnes/ikke.txt"),
              std::string::npos);
}

}  // namespace
}  // namespace lagrull::test
