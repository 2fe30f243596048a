// libFuzzer target for the template engine: a template and the merge ini
// data it reads (the input's two parts around a line "===="), merged in
// memory. The engine must finish within its bounds, and what it writes must
// read back as RTF.
#include <cstdlib>
#include <string>

#include "common/error.h"
#include "fuzz_support.h"
#include "template/merge/rtf_extended.h"
#include "template/rtf/rtf_document_parser.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    namespace fuzz = lagrull::fuzz;
    const auto [templateRtf, iniData] = fuzz::splitInput(fuzz::asText(data, size));
    const auto ini = fuzz::writeScratchFile("brev.ini", iniData);
    std::string merged;
    try {
        lagrull::TRtfExtended engine;
        engine.MergeIniFile = ini.string();
        engine.letterDate = lagrull::Date{2024, 4, 1};
        engine.setBaseDirectory(fuzz::scratchDirectory().string());
        merged = engine.Convert(std::string(templateRtf));
    } catch (const lagrull::Error&) {
        return 0;
    }
    if (merged.empty()) return 0;
    try {
        (void)lagrull::readRtfDocument(merged);
    } catch (const lagrull::Error&) {
        std::abort();  // the engine wrote a document no reader takes
    }
    return 0;
}
