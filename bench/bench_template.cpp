// RTF reading: a 1 MB letter-style document (text, tables, a picture) must
// be tokenized and built into the document model well under 100 ms.
#include <benchmark/benchmark.h>

#include <string>

#include "template/rtf/rtf_document_parser.h"

namespace {

// A letter as a word processor writes it, its body repeated to `size` bytes.
std::string letterOfSize(std::size_t size) {
    std::string rtf =
        "{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1044{\\fonttbl{\\f0\\froman\\fcharset0\\fprq2{"
        "\\*\\panose "
        "02020603050405020304}Times New Roman;}{\\f1\\fswiss\\fcharset0\\fprq2 Arial;}}"
        "{\\colortbl;\\red0\\green0\\blue0;\\red31\\green73\\blue125;\\red192\\green192\\blue192;}"
        "{\\stylesheet{\\ql \\li0\\ri0\\widctlpar\\fs24 \\snext0 Normal;}}"
        "{\\info{\\title Innkalling}{\\author Kari "
        "Nordmann}{\\creatim\\yr2026\\mo2\\dy14\\hr9\\min30}}"
        "\\paperw11906\\paperh16838\\margl1417\\margr1417\\margt1417\\margb1417\\deftab708\\widowct"
        "rl\r\n"
        "\\sectd\\headery708\\footery708{\\header\\pard\\plain\\s15\\qr\\tqc\\tx4536\\tqr\\tx9072 "
        "{\\b\\f1\\cf2 "
        "Brakvik Idrettslag}\\par}{\\footer\\pard\\plain\\qc {\\f1\\fs18 Side "
        "}{\\field{\\*\\fldinst {\\f1\\fs18 "
        "PAGE }}{\\fldrslt {\\f1\\fs18 1}}}\\par}\r\n"
        "{\\*\\shppict{"
        "\\pict\\picscalex100\\picscaley100\\picw106\\pich106\\picwgoal600\\pichgoal600\\pngblip\r"
        "\n";
    for (int line = 0; line < 160; ++line) rtf += std::string(128, line % 2 ? 'a' : '7') + "\r\n";
    rtf += "}}\r\n";
    const std::string body =
        "\\pard\\plain\\ql\\li0\\ri0\\sa120\\widctlpar\\fs24\\lang1044 {\\rtlch\\fcs1 \\af0 "
        "\\ltrch\\fcs0 "
        "\\insrsid4413542 Styret i Brakvik Idrettslag innkaller med dette til \\'e5rsm\\'f8te i "
        "klubbhuset "
        "p\\'e5 \\ldblquote Gr\\'f8nnbakken\\rdblquote . Saker som skal behandles, m\\'e5 v\\'e6re "
        "styret i "
        "hende innen 1.\\~mars \\endash  helst p\\u229\\'e5 e-post.\\par }\r\n"
        "\\pard\\fi-2268\\li2268\\tx2268 {\\b Dato:}\\tab Torsdag 12. mars 2026\\par\r\n"
        "\\trowd\\trgaph108\\trleft-108\\trbrdrt\\brdrs\\brdrw10 \\trbrdrb\\brdrs\\brdrw10 "
        "\\clbrdrt\\brdrs\\brdrw10 "
        "\\clcbpat3\\cellx5954\\clbrdrt\\brdrs\\brdrw10 \\cellx9104\\pard\\plain\\intbl {\\b "
        "Medlemskontingent "
        "2026\\cell }\\pard\\qr\\intbl {350,00\\cell }\\pard\\intbl "
        "{\\trowd\\trgaph108\\trleft-108\\cellx5954"
        "\\cellx9104\\row }\r\n"
        "\\pard\\plain\\ql {\\i Vennlig hilsen}\\par\r\n";
    while (rtf.size() < size) rtf += body;
    rtf += "}";
    return rtf;
}

void BM_TokenizeLetter(benchmark::State& state) {
    const std::string rtf = letterOfSize(1 << 20);
    for (auto _ : state) {
        lagrull::TRtfTokenizer tokens(rtf);
        std::size_t count = 0;
        try {
            for (;;) {
                tokens.next();
                ++count;
            }
        } catch (const lagrull::RtfEndOfSource&) {
        }
        benchmark::DoNotOptimize(count);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * rtf.size()));
}
BENCHMARK(BM_TokenizeLetter)->Unit(benchmark::kMillisecond);

void BM_ReadLetterIntoModel(benchmark::State& state) {
    const std::string rtf = letterOfSize(1 << 20);
    for (auto _ : state) benchmark::DoNotOptimize(lagrull::readRtfDocument(rtf));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * rtf.size()));
}
BENCHMARK(BM_ReadLetterIntoModel)->Unit(benchmark::kMillisecond);

}  // namespace
