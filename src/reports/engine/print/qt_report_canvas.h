#pragma once
// The report canvas on Qt Gui: paints on any QPaintDevice (a PDF writer, a
// printer, a preview image) in millimetres converted with the device's
// resolution. Fonts are the page layout's: Windows names drawn with their
// Liberation fonts.

#include <optional>
#include <string>

#include <QPageLayout>
#include <QPainter>

#include "reports/engine/report_canvas.h"
#include "reports/engine/report_engine.h"

class QPaintDevice;
class QPagedPaintDevice;

namespace lagrull::report {

class TQtReportCanvas : public TReportCanvas {
public:
    // `paged`: the device, when it can start new pages (PDF writer, printer);
    // nullptr for a single image. `offsetMm`: where the page's corner lies on
    // the device (a printer's printable area starts inside the sheet).
    TQtReportCanvas(QPaintDevice& device, QPagedPaintDevice* paged, QPointF offsetMm = {});
    ~TQtReportCanvas() override;

    void beginPage(int number) override;
    void endPage() override {}
    void text(const RectMm& where, const std::string& utf8, const ReportFont& font,
              Align align) override;
    void line(double x1, double y1, double x2, double y2, double penWidth) override;
    void box(const RectMm& where, double penWidth) override;

private:
    QRectF toDevice(const RectMm& where) const;
    QPointF toDevice(double x, double y) const;

    QPaintDevice& device_;
    QPagedPaintDevice* paged_;
    QPointF offset_;
    QPainter painter_;
    double dotsPerMm_;
    bool firstPage_ = true;
    // The font set on the painter: a report draws row after row in the same
    // few fonts, and setting one anew costs more than the text it draws.
    std::optional<ReportFont> font_;
};

// Writes the report as a PDF file (any old file is replaced); throws
// FileError when it cannot be written.
RunResult writeReportPdf(const ReportLayout& layout, TReportRowSource& rows,
                         const std::string& pdfFile, RunOptions options = {},
                         const std::function<void()>& onRow = {});

// The sheet of a page setup for a paged device; the report draws its own
// margins.
QPageLayout pageLayoutOf(const PageSetup& page);

// One page as an image of `dotsPerMm` (white paper), for the preview.
QImage renderReportPage(const ReportLayout& layout, TReportRowSource& rows, int page,
                        double dotsPerMm, RunOptions options, RunResult* result = nullptr);

}  // namespace lagrull::report
