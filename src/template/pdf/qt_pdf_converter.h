#pragma once
// The template engine's RTF-to-PDF conversion: the document laid out and
// drawn through Qt's PDF writer.

#include "template/layout/pdf_converter.h"

namespace lagrull {

class TDocumentFieldHook;

class TQtPdfConverter : public TRtfPdfConverter {
public:
    // `hook`: how the document is read (the FILLIN prompt); none reads it plainly.
    explicit TQtPdfConverter(TDocumentFieldHook* hook = nullptr) : hook_(hook) {}
    void convert(const std::string& rtfFile, const std::string& pdfFile) override;
    // The pages of the last file written.
    int pageCount() const { return pages_; }

private:
    TDocumentFieldHook* hook_;
    int pages_ = 0;
};

}  // namespace lagrull
