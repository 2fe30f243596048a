// Laying out and writing letters as PDF: one letter (letterhead, address
// block, ten paragraphs, a small table) into a file of its own, and a
// thousand of them into one PDF; the layout alone on the recording device
// for comparison.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>

#include "template/layout/recording_device.h"
#include "template/layout/rtf_document_builder.h"
#include "template/pdf/qt_gui_application.h"
#include "template/pdf/qt_paint_device.h"

using namespace lagrull;

namespace {

std::string letter() {
    std::string rtf =
        "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\froman Times New Roman;}{\\f1\\fswiss "
        "Arial;}}"
        "{\\colortbl;\\red31\\green73\\blue125;\\red220\\green230\\blue242;}\\margl1417\\margr1417"
        "{\\header\\pard\\qr\\f1\\fs28\\b\\cf1 Fjellstua "
        "Idrettslag\\par\\pard\\qr\\plain\\f1\\fs16 Postboks 12, 2850 Lena\\par}"
        "{\\footer\\pard\\qc\\f1\\fs18 Side \\chpgn\\par}"
        "\\pard\\plain\\f0\\fs24 Kari Nordmann\\par Storgata 7\\par 2850 LENA\\par\\par\\pard\\qr "
        "Lena, 9. desember 2026\\par\\par"
        "\\pard\\sa120{\\f1\\b\\fs28 Innkalling til \\'e5rsm\\'f8te}\\par";
    for (int i = 0; i < 10; ++i)
        rtf +=
            "\\pard\\qj\\sa120 Styret har i \\'e5r arbeidet med nye treningstider, og vi er glade "
            "for at s\\'e5 "
            "mange har stilt opp p\\'e5 dugnadene. \\'c5rsm\\'f8tet holdes i klubbhuset p\\'e5 "
            "\\'d8vre "
            "S\\'e6ter, og saker m\\'e5 v\\'e6re styret i hende innen fristen.\\par";
    for (int r = 0; r < 4; ++r)
        rtf +=
            "\\trowd\\trgaph70\\clbrdrt\\brdrs\\brdrw10\\clbrdrb\\brdrs\\brdrw10\\clcbpat2\\cellx40"
            "00"
            "\\clbrdrt\\brdrs\\brdrw10\\clbrdrb\\brdrs\\brdrw10\\cellx9000\\pard\\intbl Kategori " +
            std::to_string(r) + "\\cell\\pard\\intbl\\qr 1.250,00\\cell\\row ";
    return rtf + "\\pard Med vennlig hilsen\\par}";
}

const std::filesystem::path kPdf =
    std::filesystem::temp_directory_path() / "lagrull_bench_letter.pdf";

void BM_LetterToPdf(benchmark::State& state) {
    ensureGuiApplication();
    const std::string rtf = letter();
    for (auto _ : state) {
        TQtPdfSystem system(kPdf.string());
        TRTFDocumentBuilder builder(system);
        builder.PrintRTFStream(rtf);
        benchmark::DoNotOptimize(system.sheets());
    }
}
BENCHMARK(BM_LetterToPdf)->Unit(benchmark::kMillisecond);

void BM_ThousandLettersIntoOnePdf(benchmark::State& state) {
    ensureGuiApplication();
    const std::string rtf = letter();
    for (auto _ : state) {
        TQtPdfSystem system(kPdf.string());
        TRTFDocumentBuilder builder(system);
        builder.BeginPrinting();
        for (int i = 0; i < 1000; ++i) builder.PrintRTFStream(rtf);
        builder.EndPrinting();
        if (system.sheets() != 1000) state.SkipWithError("not one page a letter");
    }
}
BENCHMARK(BM_ThousandLettersIntoOnePdf)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_LetterLayoutOnly(benchmark::State& state) {
    const std::string rtf = letter();
    for (auto _ : state) {
        TRecordingPrinterSystem system;
        TRTFDocumentBuilder builder(system);
        builder.PrintRTFStream(rtf);
        benchmark::DoNotOptimize(system.recording.sheets);
    }
}
BENCHMARK(BM_LetterLayoutOnly)->Unit(benchmark::kMicrosecond);

}  // namespace
