#include "template/pdf/qt_pdf_converter.h"

#include "template/layout/rtf_document_builder.h"
#include "template/pdf/qt_paint_device.h"

namespace lagrull {

void TQtPdfConverter::convert(const std::string& rtfFile, const std::string& pdfFile) {
    TQtPdfSystem system(pdfFile);
    TRTFDocumentBuilder builder(system, hook_);
    builder.PrintFile(rtfFile);
    pages_ = system.sheets();
    system.requireWritten();
}

}  // namespace lagrull
