// The payment report of a small organisation written as PDF through the
// report engine: the header, three columns at their millimetres (read back
// from the PDF's text coordinates), the sums, and a page image to look at.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <regex>

#include "claim_fixture.h"
#include "common/error.h"
#include "common/file_names.h"
#include "full_disk.h"
#include "payments/payment_report.h"
#include "reports/engine/print/qt_report_canvas.h"
#include "scripted_ui.h"
#include "temp_dir.h"
#include "template/pdf/qt_pdf_converter.h"

namespace lagrull::test {
namespace {

namespace fs = std::filesystem;

constexpr double kPointsPerMm = 72 / 25.4;

// Standard output of a shell command; "" when it cannot run.
std::string shellOutput(const std::string& command) {
    std::string out;
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen((command + " 2>/dev/null").c_str(), "r"),
                                               pclose);
    if (!pipe) return out;
    char buffer[4096];
    for (std::size_t n; (n = fread(buffer, 1, sizeof buffer, pipe.get())) > 0;)
        out.append(buffer, n);
    return out;
}

struct Word {
    double xMin = -1, yMin = -1, xMax = -1;
};

// The first word of the text with its box, from "pdftotext -bbox".
Word wordBox(const std::string& bbox, const std::string& word) {
    const std::regex pattern("xMin=\"([0-9.]+)\" yMin=\"([0-9.]+)\" xMax=\"([0-9.]+)\"[^>]*>" +
                             word + "</word>");
    std::smatch m;
    if (!std::regex_search(bbox, m, pattern)) return {};
    return {std::stod(m[1]), std::stod(m[2]), std::stod(m[3])};
}

class PaymentReportPdf : public ::testing::Test {
protected:
    PaymentReportPdf() : reg(ui, dir.str()) {
        reg.member("1", "Aas", "Kari", "12345678903");
        reg.member("2", "Berg", "Ola");
        reg.member("3", "Dahl", "Siv");
        reg.claim({"1", "01032026", 300, 2, "", 200, "", 0});
        reg.claim({"2", "01032026", 1250, 2, "X", 1250, "05032026"});
        reg.claim({"3", "01032026", 450, 1, "X", 500, "05032026"});
        reg.db().exec(
            "UPDATE MBETREG SET DIFFERANSEBELOP = BELOP - BETBELOP; "
            "UPDATE MBETREG SET KID = '00010000000' || MEDLNR || '01032026'");
        window = std::make_unique<TPaymentRegistration>(reg.context(), ui);
        window->prepareView(PaymentView::PerDueDate);
    }

    bool tools() const { return !shellOutput("command -v pdftotext").empty(); }

    TempDir dir;
    ScriptedUi ui;
    ClaimRegister reg;
    std::unique_ptr<TPaymentRegistration> window;
};

TEST_F(PaymentReportPdf, DateViewColumnsStandAtTheirMillimetres) {
    const std::string pdf = (dir.path() / "innbetaling.pdf").string();
    TPaymentReportRows rows(reg.queries->IBSelectQuery);
    const report::RunResult r = report::writeReportPdf(paymentReportLayout(*window, 9), rows, pdf);
    EXPECT_EQ(r.pages, 1);
    EXPECT_EQ(r.rows, 3);
    if (!tools()) GTEST_SKIP() << "pdftotext mangler";
    const std::string text = shellOutput("pdftotext -layout '" + pdf + "' -");
    for (const char* expected :
         {"Organisasjon", "Idrettslaget Ørn", "Forfallsdato", "01.03.2026", "Bet.status",
          "< Alle >", "Side 1", "Aas, Kari", "1.250,00", "2.000,00", "1.950,00", "-50,00"})
        EXPECT_NE(text.find(expected), std::string::npos) << expected;

    const std::string bbox = shellOutput("pdftotext -bbox '" + pdf + "' -");
    // Left edges of texts, right edges of amounts, from the 10 mm margin.
    EXPECT_NEAR(wordBox(bbox, "Medlemsnr").xMin, 10 * kPointsPerMm, 0.5);
    EXPECT_NEAR(wordBox(bbox, "KID").xMin, (10 + 80.7) * kPointsPerMm, 0.5);
    EXPECT_NEAR(wordBox(bbox, "Bet.beløp").xMax, (10 + 190.0) * kPointsPerMm, 0.5);
    EXPECT_NEAR(wordBox(bbox, "05.03.2026").xMin, (10 + 119.1) * kPointsPerMm, 0.5);
    // The closing band's sums: claims 2.000,00 under "Beløp", paid 1.950,00
    // under "Bet.beløp".
    EXPECT_NEAR(wordBox(bbox, "2.000,00").xMax, (10 + 151.6) * kPointsPerMm, 0.5);
    EXPECT_NEAR(wordBox(bbox, "1.950,00").xMax, (10 + 190.0) * kPointsPerMm, 0.5);

    if (!shellOutput("command -v pdftoppm").empty()) {
        const fs::path artefacts(LAGRULL_TEST_ARTEFACTS);
        fs::create_directories(artefacts);
        shellOutput("pdftoppm -r 80 -png -singlefile '" + pdf + "' '" +
                    (artefacts / "payment_report").string() + "'");
        EXPECT_TRUE(fs::exists(artefacts / "payment_report.png"));
    }
}

TEST_F(PaymentReportPdf, AccountColumnReplacesTheBbsDateAndDropsTheSums) {
    window->showColumn(PaymentColumn::Kontonr, true);
    const std::string pdf = (dir.path() / "konto.pdf").string();
    TPaymentReportRows rows(reg.queries->IBSelectQuery);
    report::writeReportPdf(paymentReportLayout(*window, 9), rows, pdf);
    if (!tools()) GTEST_SKIP() << "pdftotext mangler";
    const std::string text = shellOutput("pdftotext -layout '" + pdf + "' -");
    EXPECT_NE(text.find("Kontonummer"), std::string::npos);
    EXPECT_NE(text.find("1234 56 78903"), std::string::npos);
    EXPECT_EQ(text.find("Sum :"), std::string::npos);
    EXPECT_EQ(text.find("KID"), std::string::npos);
    EXPECT_EQ(text.find("Bet.beløp"), std::string::npos);
    const std::string bbox = shellOutput("pdftotext -bbox '" + pdf + "' -");
    // The amount column starts 85 mm in and is 30 mm wide, right-aligned.
    EXPECT_NEAR(wordBox(bbox, "Beløp").xMax, (10 + 85 + 30) * kPointsPerMm, 0.5);
}

TEST_F(PaymentReportPdf, MemberViewHeaderAndColumns) {
    window->prepareView(PaymentView::PerMember);
    window->chooseMember("1");
    const std::string pdf = (dir.path() / "medlem.pdf").string();
    TPaymentReportRows rows(reg.queries->IBSelectQuery);
    report::writeReportPdf(paymentReportLayout(*window, 10), rows, pdf);
    if (!tools()) GTEST_SKIP() << "pdftotext mangler";
    const std::string text = shellOutput("pdftotext -layout '" + pdf + "' -");
    for (const char* expected : {"Navn", "Aas, Kari", "Medlemsnr", "Dato", "Tekst", "Kontingent",
                                 "Skyldig (-)/Tilgode(+) :", "-100,00"})
        EXPECT_NE(text.find(expected), std::string::npos) << expected;
    const std::string bbox = shellOutput("pdftotext -bbox '" + pdf + "' -");
    EXPECT_NEAR(wordBox(bbox, "Tekst").xMin, (10 + 19.3) * kPointsPerMm, 0.5);
}

}  // namespace
}  // namespace lagrull::test

namespace lagrull::test {
namespace {

// PDFs on a full disk and into a directory gone since it was chosen: an
// error in Norwegian, no part of a PDF under the name, an earlier PDF as it
// was. The report and the laid-out document (lagrul-cli pdf, the letters)
// each have their own writer.
TEST_F(PaymentReportPdf, FullDiskOrDirectoryGoneLeavesNoPartOfAPdf) {
    const fs::path gone = dir.path() / "valgt";
    test::FullDisk disk;
    std::vector<fs::path> directories = {gone};
    if (disk.unavailable().empty()) directories.push_back(disk.path());
    const fs::path rtf = dir.write("brev.rtf", "{\\rtf1\\ansi Hei, dette er et brev.\\par}");
    for (const fs::path& at : directories) {
        const std::string pdf = (at / "innbetaling.pdf").string();
        if (at == disk.path()) {
            writeFileBytes(pdf, "tidligere");
            disk.fill();
        }
        TPaymentReportRows rows(reg.queries->IBSelectQuery);
        try {
            report::writeReportPdf(paymentReportLayout(*window, 9), rows, pdf);
            ADD_FAILURE() << "rapporten ble skrevet: " << pdf;
        } catch (const FileError& e) {
            EXPECT_EQ(std::string(e.what()), "Kunne ikke skrive PDF-filen " + pdf + ".");
        }
        if (at == disk.path()) {
            EXPECT_EQ(readFileBytes(pdf), "tidligere");
        }
        EXPECT_EQ(test::filesNamed(at, "innbetaling").size(), at == disk.path() ? 1u : 0u);

        const std::string letter = (at / "brev.pdf").string();
        TQtPdfConverter converter;
        EXPECT_THROW(converter.convert(rtf.string(), letter), FileError) << letter;
        EXPECT_TRUE(test::filesNamed(at, "brev").empty()) << letter;
    }
    if (!disk.unavailable().empty())
        GTEST_SKIP() << "bare den borte katalogen: " << disk.unavailable();
}

}  // namespace
}  // namespace lagrull::test
