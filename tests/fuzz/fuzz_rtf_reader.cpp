// libFuzzer target for the RTF reader: any bytes must read into a model or
// be refused as "No RTF.", and the model must give its outline.
#include "common/error.h"
#include "fuzz_support.h"
#include "template/rtf/rtf_document_parser.h"
#include "template/rtf/rtf_outline.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto rtf = lagrull::fuzz::asText(data, size);
    try {
        const auto document = lagrull::readRtfDocument(rtf);
        (void)lagrull::rtfOutline(*document);
        (void)lagrull::readRtfDocument(rtf, true);
    } catch (const lagrull::Error&) {
    }
    return 0;
}
