#pragma once
// Printer devices on Qt's paged paint devices, and the PDF file
// (QPdfWriter) as one of them; the system printer (QPrinter) builds on the
// same base in the print library. The painter is scaled so one unit is one
// twip and its origin is the corner of the printable area.
//
// The device context is the paint device; the document starts with the
// first sheet (the painter's begin) and every further sheet is a new page.

#include <memory>

#include <QFile>
#include <QPainter>
#include <QPdfWriter>

#include "common/file_names.h"
#include "template/layout/print_device.h"
#include "template/pdf/pdf_page_box.h"
#include "template/pdf/qt_fonts.h"

namespace lagrull {

QPageLayout pageLayoutOf(const TDeviceMode& mode);
// The paper (or its printable area) in points with their fractions: Qt
// rounds points to whole ones, A4's 595.28 by 841.89 to 595 by 842.
QRectF exactPoints(const QPageLayout& layout, bool printable = false);
// A4 portrait, one copy, on the named printer.
TDeviceMode a4DeviceMode(const std::string& deviceName);

class TQtPaintDevice : public TPrintDevice {
public:
    ~TQtPaintDevice() override;

    TFontMetrics metrics(const TFontSpec& font) override { return fonts_.metrics(font); }
    int textWidth(const TFontSpec& font, std::string_view utf8) override {
        return fonts_.textWidth(font, utf8);
    }

    int startDoc(const std::string& documentName) override;
    bool resetDC(const TDeviceMode& mode) override;
    int startPage() override;
    int endPage() override { return painter_.isActive() ? 1 : 0; }
    int endDoc() override;
    void deleteDC() override {}
    int handle() const override { return 1; }
    int lastError() const override { return error_; }
    TPhysicalPage physicalPage() const override;

    void drawText(int x, int baseline, const TTextStyle& style, std::string_view utf8) override;
    void fillRect(const TRect& r, TRtfColor color) override;
    void drawLine(int x1, int y1, int x2, int y2, const TPen& pen) override;
    void drawRect(const TRect& r, const TPen* pen, const TRtfColor* fill,
                  int cornerRadius) override;
    void drawEllipse(const TRect& r, const TPen* pen, const TRtfColor* fill) override;
    void drawPolygon(const std::vector<TDrawingPoint>& points, bool closed, const TPen* pen,
                     const TRtfColor* fill) override;
    void drawPicture(const TRect& r, const TRtfPicture& picture) override;

    // Counts the sheets begun into `counter` as well.
    void countSheetsInto(int* counter) { sheetCounter_ = counter; }

protected:
    // Ends an open painter; derived devices call it before their paint
    // device goes.
    void finish();
    virtual QPagedPaintDevice& paged() = 0;
    const QPagedPaintDevice& paged() const { return const_cast<TQtPaintDevice*>(this)->paged(); }
    virtual void setDocumentName(const QString&) {}
    // Device pixels per inch.
    virtual int resolution() const = 0;
    // The printable area's corner on the paper, in twips.
    virtual QPoint printableOffset() const { return {}; }

private:
    void mapTwips();
    void setPen(const TPen* pen);
    void setBrush(const TRtfColor* fill);

    TQtFontMeasure fonts_;
    QPainter painter_;
    int* sheetCounter_ = nullptr;
    int error_ = 0;
};

// The file is written under a temporary name and takes its own only when
// the document was written whole: a full disk or a directory gone leaves no
// part of a PDF under the name (endDoc then fails).
class TQtPdfDevice : public TQtPaintDevice {
public:
    TQtPdfDevice(const QString& path, const TDeviceMode& mode);
    ~TQtPdfDevice() override;

    int startPage() override;
    // Ends the file, gives its pages their exact paper sizes and puts it
    // under its name.
    int endDoc() override;
    // Sets `*flag` when the file was put in place.
    void reportWrittenInto(bool* flag) { writtenFlag_ = flag; }

protected:
    QPagedPaintDevice& paged() override { return writer_; }
    void setDocumentName(const QString& name) override { writer_.setTitle(name); }
    int resolution() const override { return writer_.resolution(); }

private:
    // Puts a begun, wholly written file in place; false when it was not
    // written whole.
    bool complete();

    TFileReplacement replacement_;
    QFile file_;
    QPdfWriter writer_;
    std::vector<TPointSize> pageSizes_;  // each size the pages have, once
    bool completed_ = false;
    bool* writtenFlag_ = nullptr;
};

// A PDF file as the printer of a job. An earlier file of the name stays
// until a new one was written whole.
class TQtPdfSystem : public TPrinterSystem {
public:
    explicit TQtPdfSystem(std::string pdfFile) : file_(std::move(pdfFile)) {}
    TDeviceMode currentPrinter() override;
    TDeviceMode driverDefaults(const std::string& deviceName) override;
    std::unique_ptr<TPrintDevice> createDC(const TDeviceMode& mode) override;
    int sheets() const { return sheets_; }
    // Throws FileError "Kunne ikke skrive PDF-filen …" unless a job ended
    // with the file in place (the PDF writer itself reports no failed write).
    void requireWritten() const override;

private:
    std::string file_;
    int sheets_ = 0;
    bool written_ = false;
};

}  // namespace lagrull
