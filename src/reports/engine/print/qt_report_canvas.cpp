#include "reports/engine/print/qt_report_canvas.h"

#include <cmath>
#include <filesystem>

#include <QFile>
#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>

#include "common/error.h"
#include "common/file_names.h"
#include "template/pdf/qt_fonts.h"
#include "template/pdf/qt_gui_application.h"

namespace lagrull::report {

QPageLayout pageLayoutOf(const PageSetup& page) {
    // The margins are the report's own; the device gets the whole sheet.
    return QPageLayout(QPageSize(QSizeF(page.width, page.height), QPageSize::Millimeter),
                       page.landscape ? QPageLayout::Landscape : QPageLayout::Portrait,
                       QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);
}

namespace {

Qt::Alignment alignmentOf(Align align) {
    switch (align) {
        case Align::Right: return Qt::AlignRight;
        case Align::Center: return Qt::AlignHCenter;
        case Align::Left: break;
    }
    return Qt::AlignLeft;
}

}  // namespace

TQtReportCanvas::TQtReportCanvas(QPaintDevice& device, QPagedPaintDevice* paged, QPointF offsetMm)
    : device_(device), paged_(paged), offset_(offsetMm), dotsPerMm_(device.logicalDpiX() / 25.4) {}

TQtReportCanvas::~TQtReportCanvas() {
    if (painter_.isActive()) painter_.end();
}

void TQtReportCanvas::beginPage(int) {
    if (firstPage_) {
        if (!painter_.begin(&device_))
            throw FileError("Kunne ikke starte utskriften av rapporten.");
        painter_.setRenderHint(QPainter::Antialiasing);
        painter_.setRenderHint(QPainter::TextAntialiasing);
        firstPage_ = false;
    } else if (paged_) {
        paged_->newPage();
    }
}

QPointF TQtReportCanvas::toDevice(double x, double y) const {
    return {(x - offset_.x()) * dotsPerMm_, (y - offset_.y()) * dotsPerMm_};
}

QRectF TQtReportCanvas::toDevice(const RectMm& where) const {
    return {toDevice(where.left, where.top),
            QSizeF(where.width * dotsPerMm_, where.height * dotsPerMm_)};
}

void TQtReportCanvas::text(const RectMm& where, const std::string& utf8, const ReportFont& font,
                           Align align) {
    if (utf8.empty()) return;
    if (font_ != font) {
        QFont f(mappedFontFamily(font.family));
        // Sized in device pixels from points, so every device draws the same size.
        f.setPixelSize(
            std::max(1, static_cast<int>(std::lround(font.size * 25.4 / 72 * dotsPerMm_))));
        f.setBold(font.bold);
        f.setItalic(font.italic);
        f.setHintingPreference(QFont::PreferNoHinting);
        painter_.setFont(f);
        font_ = font;
    }
    painter_.setPen(Qt::black);
    painter_.drawText(toDevice(where), alignmentOf(align) | Qt::AlignTop | Qt::TextSingleLine,
                      QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size())));
}

void TQtReportCanvas::line(double x1, double y1, double x2, double y2, double penWidth) {
    painter_.setPen(QPen(Qt::black, penWidth * dotsPerMm_));
    painter_.drawLine(toDevice(x1, y1), toDevice(x2, y2));
}

void TQtReportCanvas::box(const RectMm& where, double penWidth) {
    painter_.setPen(QPen(Qt::black, penWidth * dotsPerMm_));
    painter_.setBrush(Qt::NoBrush);
    painter_.drawRect(toDevice(where));
}

RunResult writeReportPdf(const ReportLayout& layout, TReportRowSource& rows,
                         const std::string& pdfFile, RunOptions options,
                         const std::function<void()>& onRow) {
    ensureGuiApplication();
    const std::string failed = "Kunne ikke skrive PDF-filen " + pdfFile + ".";
    // The writer does not report a failed write (a full disk): the file it
    // writes to does, and only a whole file takes the final name.
    TFileReplacement replacement(pdfFile);
    QFile file(QString::fromStdString(replacement.temporary().string()));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) throw FileError(failed);
    RunResult result;
    {
        QPdfWriter writer(&file);
        writer.setResolution(600);
        writer.setPageLayout(pageLayoutOf(layout.page));
        writer.setTitle(QString::fromStdString(layout.title));
        writer.setCreator(QStringLiteral("Lagrull"));
        TQtReportCanvas canvas(writer, &writer);
        TReportEngine engine(layout, canvas, options);
        result = engine.run(rows, onRow);
    }
    if (!file.flush() || file.error() != QFileDevice::NoError) throw FileError(failed);
    file.close();
    if (file.error() != QFileDevice::NoError) throw FileError(failed);
    try {
        replacement.commit();
    } catch (const FileError&) {
        throw FileError(failed);
    }
    return result;
}

QImage renderReportPage(const ReportLayout& layout, TReportRowSource& rows, int page,
                        double dotsPerMm, RunOptions options, RunResult* result) {
    ensureGuiApplication();
    QImage image(static_cast<int>(std::lround(layout.page.pageWidth() * dotsPerMm)),
                 static_cast<int>(std::lround(layout.page.pageHeight() * dotsPerMm)),
                 QImage::Format_RGB32);
    image.setDotsPerMeterX(static_cast<int>(std::lround(dotsPerMm * 1000)));
    image.setDotsPerMeterY(static_cast<int>(std::lround(dotsPerMm * 1000)));
    image.fill(Qt::white);
    options.firstPage = page;
    options.lastPage = page;
    RunResult run;
    {
        TQtReportCanvas canvas(image, nullptr);
        TReportEngine engine(layout, canvas, options);
        run = engine.run(rows);
    }
    if (result) *result = run;
    return image;
}

}  // namespace lagrull::report
