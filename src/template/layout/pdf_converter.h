#pragma once
// The seam between the template engine and the page layout: the engine
// writes a finished RTF document and hands it to a converter that lays it
// out as PDF. The layout's PDF device implements it; the engine is given
// one by whoever runs it (lagrul-cli, the letters), so the engine itself
// needs no printing code.

#include <string>

namespace lagrull {

class TRtfPdfConverter {
public:
    virtual ~TRtfPdfConverter() = default;
    // Lays out `rtfFile` and writes it to `pdfFile`; throws lagrull::Error
    // with a Norwegian message on failure.
    virtual void convert(const std::string& rtfFile, const std::string& pdfFile) = 0;
};

}  // namespace lagrull
