// libFuzzer target for the RTF reader: any bytes must read into a model or
// be refused as "No RTF.". Built with -DLAGRULL_FUZZ=ON by Clang; run it with
// tests/data/template as seed corpus.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "common/error.h"
#include "template/rtf/rtf_document_parser.h"
#include "template/rtf/rtf_outline.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view rtf(reinterpret_cast<const char*>(data), size);
    try {
        const auto document = lagrull::readRtfDocument(rtf);
        (void)lagrull::rtfOutline(*document);
        (void)lagrull::readRtfDocument(rtf, true);
    } catch (const lagrull::FormatError&) {
    }
    return 0;
}
