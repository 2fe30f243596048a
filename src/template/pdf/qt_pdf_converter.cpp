#include "template/pdf/qt_pdf_converter.h"

#include <filesystem>

#include "common/error.h"
#include "template/layout/rtf_document_builder.h"
#include "template/pdf/qt_paint_device.h"

namespace lagrull {

void TQtPdfConverter::convert(const std::string& rtfFile, const std::string& pdfFile) {
    std::error_code ec;
    std::filesystem::remove(pdfFile, ec);  // a stale file must not pass for the result
    TQtPdfSystem system(pdfFile);
    TRTFDocumentBuilder builder(system, hook_);
    builder.PrintFile(rtfFile);
    pages_ = system.sheets();
    if (!std::filesystem::is_regular_file(pdfFile, ec))
        throw FileError("Kunne ikke skrive PDF-filen " + pdfFile + ".");
}

}  // namespace lagrull
