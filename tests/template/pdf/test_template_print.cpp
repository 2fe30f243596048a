// The Qt printer devices: font mapping and metrics, the letter written as
// PDF (its pages rendered to PNG as a test artefact), and printing on a
// CUPS queue where one is set up.
#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string_view>
#include <thread>

#include <unistd.h>

#include <QBuffer>
#include <QFontInfo>
#include <QImage>

#include "common/error.h"
#include "common/file_names.h"
#include "temp_dir.h"
#include "template/layout/print_options.h"
#include "template/layout/rtf_document_builder.h"
#include "template/pdf/cups_printer_system.h"
#include "template/pdf/pdf_page_box.h"
#include "template/pdf/qt_fonts.h"
#include "template/pdf/qt_gui_application.h"
#include "template/pdf/qt_paint_device.h"
#include "template/pdf/qt_pdf_converter.h"
#include "template/print/qt_printer_system.h"

using namespace lagrull;
using lagrull::test::TempDir;
using lagrull::test::testData;
namespace fs = std::filesystem;

namespace {

std::string run(const std::string& command) {
    std::string out;
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
    if (!pipe) return out;
    std::array<char, 4096> buf{};
    while (std::size_t n = std::fread(buf.data(), 1, buf.size(), pipe.get()))
        out.append(buf.data(), n);
    return out;
}

// CI installs and starts everything these tests use, so there a missing
// tool or queue fails the test instead of leaving part of it unproved.
bool inCi() {
    const char* ci = std::getenv("CI");
    return ci && std::string_view(ci) == "true";
}

bool have(const char* program) {
    const bool found = !run(std::string("command -v ") + program + " 2>/dev/null").empty();
    if (!found && inCi()) ADD_FAILURE() << program << " is missing under CI";
    return found;
}

// Skips the test where something it needs is missing, fails it under CI.
#define SKIP_WITHOUT(condition, what)                \
    if (!(condition)) {                              \
        if (inCi()) FAIL() << (what) << " under CI"; \
        GTEST_SKIP() << (what);                      \
    }

fs::path letter() { return testData() / "template" / "print" / "brev-side.rtf"; }

class QtPrint : public ::testing::Test {
protected:
    void SetUp() override { ensureGuiApplication(); }
};

}  // namespace

TEST_F(QtPrint, WindowsFamiliesMapOntoLiberationFonts) {
    EXPECT_EQ(mappedFontFamily("Arial"), "Liberation Sans");
    EXPECT_EQ(mappedFontFamily("times new roman"), "Liberation Serif");
    EXPECT_EQ(mappedFontFamily("Courier New"), "Liberation Mono");
    EXPECT_EQ(mappedFontFamily("Verdana"), "Verdana");
    EXPECT_EQ(QFontInfo(qtFont({"Arial", 24, false, false})).family(), "Liberation Sans");
}

TEST_F(QtPrint, MetricsMatchTheWindowsFonts) {
    TQtFontMeasure m;
    // Arial's "a" is 1139/2048 em, Times New Roman's "a" 909/2048 em: ten of
    // them at 12 points (240 twips) measure 1335 and 1065 twips
    EXPECT_NEAR(m.textWidth({"Arial", 24, false, false}, "aaaaaaaaaa"), 1335, 1);
    EXPECT_NEAR(m.textWidth({"Times New Roman", 24, false, false}, "aaaaaaaaaa"), 1065, 1);
    const TFontMetrics arial = m.metrics({"Arial", 24, false, false});
    EXPECT_NEAR(arial.ascent, 217, 1);  // 1854/2048 em
    EXPECT_NEAR(arial.descent, 51, 1);  // 434/2048 em
    // single lines of Arial 11 points are 12.65 points apart, of Times New
    // Roman 12 points 13.8: ascent, descent and the line gap of 67/2048 and
    // 87/2048 em
    const TFontMetrics arial11 = m.metrics({"Arial", 22, false, false});
    EXPECT_NEAR(arial11.ascent + arial11.descent + arial11.lineGap, 253, 1);
    const TFontMetrics times = m.metrics({"Times New Roman", 24, false, false});
    EXPECT_NEAR(times.ascent + times.descent + times.lineGap, 276, 1);
}

// 42 characters of Courier 18 points are as wide as the 9072 twips between
// margins of 2.5 cm on A4: a word processor sets them on one line, on a page
// of exactly 595.28 by 841.89 points.
TEST_F(QtPrint, ALineAsWideAsTheTextAreaFitsOnAnExactA4Page) {
    TQtFontMeasure m;
    const std::string line = "ABCDEFGHIJABCDEFGHIJABCDEFGHIJABCDEFGHIJAB";
    EXPECT_NEAR(m.textWidth({"Courier New", 36, false, false}, line), 9072, 2);
    TempDir dir;
    const fs::path rtf = dir.write("linje.rtf",
                                   "{\\rtf1{\\fonttbl{\\f0\\fmodern Courier New;}}\\paperw11906"
                                   "\\paperh16838\\margl1417\\margr1417\\f0\\fs36 " +
                                       line + "\\par}");
    const std::string pdf = (dir.path() / "linje.pdf").string();
    TQtPdfConverter().convert(rtf.string(), pdf);
    SKIP_WITHOUT(have("pdftotext") && have("pdfinfo"), "pdftotext or pdfinfo is missing");
    EXPECT_EQ(run("pdftotext '" + pdf + "' -").substr(0, line.size() + 1), line + "\n");
    const std::string info = run("pdfinfo '" + pdf + "'");
    EXPECT_NE(info.find("595.276 x 841.89 pts (A4)"), std::string::npos) << info;
}

// The boxes Qt writes in whole points get the paper's exact size in the
// same number of bytes, their top edge kept; boxes of other sizes stay.
TEST(PdfPageBox, ExactSizesKeepTheTopEdgeAndTheLength) {
    std::string pdf =
        "/MediaBox [0 0 595.000000 842.000000]\n/MediaBox [0 0 842.000000 595.000000]\n"
        "/MediaBox [0 0 612.000000 792.000000]\n";
    const std::string before = pdf;
    EXPECT_EQ(exactPageBoxes(pdf, {{595.2756, 841.8898}, {841.8898, 595.2756}}), 2);
    EXPECT_EQ(pdf.size(), before.size());
    EXPECT_EQ(pdf,
              "/MediaBox [0 0.110 595.276 842.000  ]\n/MediaBox [0 -0.276 841.890 595.000 ]\n"
              "/MediaBox [0 0 612.000000 792.000000]\n");
}

TEST_F(QtPrint, LetterBecomesATwoPagePdf) {
    TempDir dir;
    const std::string pdf = (dir.path() / "brev.pdf").string();
    TQtPdfConverter converter;
    converter.convert(letter().string(), pdf);
    EXPECT_EQ(converter.pageCount(), 2);
    const std::string bytes = readFileBytes(pdf);
    ASSERT_GT(bytes.size(), 1000u);
    EXPECT_EQ(bytes.substr(0, 5), "%PDF-");
    if (have("pdftotext")) {
        const std::string text = run("pdftotext -layout '" + pdf + "' -");
        for (const char* expected : {"Side 1 av 2", "Side 2 av 2", "Innkalling til årsmøte",
                                     "Æresmedlem", "1.200,00", "Kontingentoversikt", "Øvre Sæter"})
            EXPECT_NE(text.find(expected), std::string::npos) << expected;
        // the header row is repeated at the top of page 2
        const auto page2 = text.find("Side 1 av 2");
        ASSERT_NE(page2, std::string::npos);
        EXPECT_NE(text.find("Beløp kr", page2), std::string::npos);
    }
    if (have("pdftoppm")) {
        const fs::path artefacts = fs::path(LAGRULL_TEST_ARTEFACTS);
        fs::create_directories(artefacts);
        run("pdftoppm -r 80 -png '" + pdf + "' '" + (artefacts / "letter_page").string() + "'");
        EXPECT_TRUE(fs::exists(artefacts / "letter_page-1.png"));
        EXPECT_TRUE(fs::exists(artefacts / "letter_page-2.png"));
    }
}

TEST_F(QtPrint, MissingFileIsAFileError) {
    TempDir dir;
    TQtPdfConverter converter;
    EXPECT_THROW(converter.convert((dir.path() / "finnes-ikke.rtf").string(),
                                   (dir.path() / "x.pdf").string()),
                 FileError);
    EXPECT_FALSE(fs::exists(dir.path() / "x.pdf"));
}

TEST_F(QtPrint, LandscapeSectionGivesALandscapePdfPage) {
    TempDir dir;
    const fs::path rtf =
        dir.write("bred.rtf", "{\\rtf1\\paperw16838\\paperh11906\\landscape Bred side\\par}");
    const std::string pdf = (dir.path() / "bred.pdf").string();
    TQtPdfConverter().convert(rtf.string(), pdf);
    SKIP_WITHOUT(have("pdfinfo"), "pdfinfo is missing");
    const std::string info = run("pdfinfo '" + pdf + "'");
    EXPECT_NE(info.find("841.89 x 595.276 pts"), std::string::npos) << info;
}

// A running CUPS scheduler's cups-pdf queue, and the PDFs it has written.
class CupsPdfQueue {
public:
    // Empty when there is no scheduler or no such queue.
    std::string find() {
        if (!have("lpstat") || run("lpstat -r 2>/dev/null").find("is running") == std::string::npos)
            return {};
        const std::string queues = run("lpstat -v 2>/dev/null");
        const auto at = queues.find("cups-pdf:/");
        if (at == std::string::npos) return {};
        // "device for NAME: cups-pdf:/"
        const auto start = queues.rfind("device for ", at) + 11;
        before_ = pdfs();
        return queues.substr(start, queues.find(':', start) - start);
    }
    // Waits up to half a minute for a PDF the queue wrote after find(); the
    // queue names files by the job's title, so a file written anew may have
    // an old name.
    bool newPdfWritten() const {
        for (int i = 0; i < 60; ++i) {
            for (const auto& [f, written] : pdfs()) {
                const auto old = before_.find(f);
                if ((old == before_.end() || old->second != written) && f.extension() == ".pdf" &&
                    fs::file_size(f) > 1000)
                    return true;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(500));
        }
        return false;
    }
    fs::path directory() const {
        const char* home = std::getenv("HOME");
        return fs::path(home ? home : "/root") / "PDF";
    }

private:
    std::map<fs::path, fs::file_time_type> pdfs() const {
        std::map<fs::path, fs::file_time_type> files;
        std::error_code ec;
        if (fs::is_directory(directory(), ec))
            for (const auto& e : fs::directory_iterator(directory(), ec))
                files[e.path()] = e.last_write_time(ec);
        return files;
    }
    std::map<fs::path, fs::file_time_type> before_;
};

TEST_F(QtPrint, PrintsOnACupsPdfQueue) {
    CupsPdfQueue cups;
    const std::string queue = cups.find();
    SKIP_WITHOUT(!queue.empty(),
                 "no CUPS scheduler with a cups-pdf queue (scripts/start-cups.sh starts one)");
    useSystemPrinterList();
    TPrintOptions options;
    options.setPrinterName(queue);
    TQtPrinterSystem system;
    TRTFDocumentBuilder builder(system);
    builder.SetPrintOptions(&options);
    builder.PrintFile(letter().string());
    EXPECT_EQ(system.sheets(), 2);
    EXPECT_TRUE(cups.newPdfWritten()) << "no new PDF in " << cups.directory();
}

// The way of programs without Qt Widgets: the PDF device's file handed to lp.
TEST_F(QtPrint, PrintsOnACupsPdfQueueThroughThePdfDevice) {
    CupsPdfQueue cups;
    const std::string queue = cups.find();
    SKIP_WITHOUT(!queue.empty(),
                 "no CUPS scheduler with a cups-pdf queue (scripts/start-cups.sh starts one)");
    useCupsPrinterList();
    TPrintOptions options;
    options.setPrinterName(queue);
    TCupsPrinterSystem system;
    TRTFDocumentBuilder builder(system);
    builder.SetPrintOptions(&options);
    builder.PrintFile(letter().string());
    EXPECT_EQ(system.sheets(), 2);
    system.submit("brev-side.rtf");
    EXPECT_TRUE(cups.newPdfWritten()) << "no new PDF in " << cups.directory();
    useSystemPrinterList();
}

TEST_F(QtPrint, AJobCupsRefusesIsAnErrorAndLeavesNoFile) {
    const auto jobFolders = [] {
        int n = 0;
        const std::string mine = "lagrull-utskrift-" + std::to_string(getpid()) + "-";
        for (const auto& e : fs::directory_iterator(fs::temp_directory_path()))
            if (e.path().filename().string().rfind(mine, 0) == 0) ++n;
        return n;
    };
    {
        TCupsPrinterSystem system;
        TDeviceMode mode = system.driverDefaults("Lagrull-finnes-ikke");
        auto device = system.createDC(mode);
        ASSERT_TRUE(device);
        ASSERT_GT(device->startDoc("RTF"), 0);
        ASSERT_GE(device->startPage(), 1);
        device->endPage();
        ASSERT_GE(device->endDoc(), 0);
        device.reset();
        EXPECT_EQ(system.sheets(), 1);
        try {
            system.submit("prøve");
            FAIL() << "a refused job passed for printed";
        } catch (const Error& e) {
            EXPECT_NE(std::string(e.what()).find("Lagrull-finnes-ikke"), std::string::npos)
                << e.what();
        }
        // a job is handed over once: a second submit has nothing to send
        EXPECT_NO_THROW(system.submit("prøve"));
        EXPECT_EQ(jobFolders(), 1);
    }
    EXPECT_EQ(jobFolders(), 0);
}

TEST_F(QtPrint, PngPicturesAreDrawnWithTheirCrops) {
    SKIP_WITHOUT(have("pdftoppm"), "pdftoppm is missing");
    // two pixels, red and blue; cropping the right half leaves red only
    QImage two(2, 1, QImage::Format_RGB32);
    two.setPixel(0, 0, qRgb(255, 0, 0));
    two.setPixel(1, 0, qRgb(0, 0, 255));
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    two.save(&buffer, "PNG");
    const std::string hex = png.toHex().toStdString();
    TempDir dir;
    const fs::path rtf =
        dir.write("bilde.rtf",
                  "{\\rtf1\\pard{\\pict\\pngblip\\picw2\\pich1\\picwgoal1440\\pichgoal1440"
                  "\\piccropr720 " +
                      hex + "}\\par}");
    const std::string pdf = (dir.path() / "bilde.pdf").string();
    TQtPdfConverter().convert(rtf.string(), pdf);
    const std::string png72 = (dir.path() / "bilde").string();
    run("pdftoppm -r 72 -png -singlefile '" + pdf + "' '" + png72 + "'");
    const QImage page(QString::fromStdString(png72 + ".png"));
    ASSERT_FALSE(page.isNull());
    // one pixel is 20 twips: the picture spans x 90..126 and y 72..144
    auto isRed = [&page](int x, int y) {
        const QColor c(page.pixel(x, y));
        return c.red() > 200 && c.green() < 60 && c.blue() < 60;
    };
    EXPECT_TRUE(isRed(100, 100));
    EXPECT_TRUE(isRed(123, 100));  // uncropped, this end would be blue
    const QColor beyond(page.pixel(130, 100));
    EXPECT_GT(beyond.blue(), 200);  // white beyond the picture
    EXPECT_GT(beyond.green(), 200);
}
