#include "template/pdf/qt_paint_device.h"

#include <algorithm>
#include <cmath>

#include <QImage>
#include <QPageSize>
#include <QPolygonF>

#include "common/error.h"
#include "common/file_names.h"
#include "template/pdf/qt_gui_application.h"

namespace lagrull {

namespace {

QColor qColor(TRtfColor c) { return QColor(redOf(c), greenOf(c), blueOf(c)); }

unsigned le(const std::string& d, std::size_t at, int bytes) {
    unsigned v = 0;
    for (int i = bytes - 1; i >= 0; --i)
        v = (v << 8) | static_cast<unsigned char>(at + static_cast<std::size_t>(i) < d.size()
                                                      ? d[at + static_cast<std::size_t>(i)]
                                                      : 0);
    return v;
}

// A device-independent bitmap as a BMP file: the file header in front.
QImage dibImage(const std::string& dib) {
    if (dib.size() < 40) return {};
    const unsigned headerSize = le(dib, 0, 4), bitCount = le(dib, 14, 2),
                   compression = le(dib, 16, 4), used = le(dib, 32, 4);
    unsigned palette = used ? used : (bitCount <= 8 ? 1u << bitCount : 0u);
    unsigned offset =
        14 + headerSize + palette * 4 + (compression == 3 && headerSize == 40 ? 12 : 0);
    std::string file = "BM";
    const unsigned size = static_cast<unsigned>(dib.size()) + 14;
    for (unsigned v : {size, 0u, offset})
        for (int i = 0; i < 4; ++i) file += static_cast<char>((v >> (8 * i)) & 0xFF);
    file += dib;
    QImage image;
    image.loadFromData(reinterpret_cast<const uchar*>(file.data()), static_cast<int>(file.size()),
                       "BMP");
    return image;
}

// A device-dependent bitmap: rows of widthBytes bytes, top row first.
QImage deviceBitmap(const TRtfPicture& p) {
    const int w = p.picw, h = p.pich;
    const int stride =
        p.widthBytes > 0 ? p.widthBytes : (w * std::max(p.bitsPerPixel, 1) + 15) / 16 * 2;
    if (w <= 0 || h <= 0 ||
        static_cast<long long>(stride) * h > static_cast<long long>(p.data.size()))
        return {};
    QImage::Format format = p.bitsPerPixel == 1    ? QImage::Format_Mono
                            : p.bitsPerPixel == 24 ? QImage::Format_BGR888
                            : p.bitsPerPixel == 32 ? QImage::Format_RGB32
                                                   : QImage::Format_Invalid;
    if (format == QImage::Format_Invalid) return {};
    QImage image(reinterpret_cast<const uchar*>(p.data.data()), w, h, stride, format);
    if (format == QImage::Format_Mono) {
        image.setColorCount(2);
        image.setColor(0, qRgb(0, 0, 0));
        image.setColor(1, qRgb(255, 255, 255));
    }
    return image.copy();
}

QImage pictureImage(const TRtfPicture& p) {
    QImage image;
    switch (p.kind) {
        case TRtfPictureKind::Png:
        case TRtfPictureKind::Jpeg:
            image.loadFromData(reinterpret_cast<const uchar*>(p.data.data()),
                               static_cast<int>(p.data.size()));
            break;
        case TRtfPictureKind::Dib: image = dibImage(p.data); break;
        case TRtfPictureKind::Bitmap: image = deviceBitmap(p); break;
        default:  // metafiles and the Macintosh and OS/2 kinds have no renderer here
            break;
    }
    return image;
}

}  // namespace

QPageLayout pageLayoutOf(const TDeviceMode& mode) {
    QPageSize size(QPageSize::A4);
    if (mode.paperSize == TDeviceMode::kPaperUser && mode.paperWidth > 0 && mode.paperLength > 0)
        size = QPageSize(QSizeF(mode.paperWidth / 10.0, mode.paperLength / 10.0),
                         QPageSize::Millimeter);
    else if (mode.paperSize == TDeviceMode::kPaperFanfold)
        size = QPageSize(QSizeF(210.0, 304.8), QPageSize::Millimeter);
    else if (mode.paperSize == 1)
        size = QPageSize(QPageSize::Letter);
    else if (mode.paperSize == 5)
        size = QPageSize(QPageSize::Legal);
    else if (mode.paperSize == 8)
        size = QPageSize(QPageSize::A3);
    else if (mode.paperSize == 11)
        size = QPageSize(QPageSize::A5);
    return QPageLayout(size,
                       mode.orientation == TDeviceMode::kLandscape ? QPageLayout::Landscape
                                                                   : QPageLayout::Portrait,
                       QMarginsF(0, 0, 0, 0));
}

QRectF exactPoints(const QPageLayout& layout, bool printable) {
    const QRectF mm = printable ? layout.paintRect(QPageLayout::Millimeter)
                                : layout.fullRect(QPageLayout::Millimeter);
    constexpr double kPointsPerMm = 72 / 25.4;
    return {mm.left() * kPointsPerMm, mm.top() * kPointsPerMm, mm.width() * kPointsPerMm,
            mm.height() * kPointsPerMm};
}

TQtPaintDevice::~TQtPaintDevice() = default;

void TQtPaintDevice::finish() {
    if (painter_.isActive()) painter_.end();
}

int TQtPaintDevice::startDoc(const std::string& documentName) {
    setDocumentName(QString::fromStdString(documentName));
    return 1;
}

bool TQtPaintDevice::resetDC(const TDeviceMode& mode) {
    QPageLayout layout = pageLayoutOf(mode);
    layout.setMargins(paged().pageLayout().margins());
    layout.setMinimumMargins(paged().pageLayout().minimumMargins());
    return paged().setPageLayout(layout);
}

void TQtPaintDevice::mapTwips() {
    const double scale = resolution() / 1440.0;
    painter_.setWorldTransform(QTransform::fromScale(scale, scale));
    painter_.setBackground(Qt::white);
    painter_.setRenderHint(QPainter::Antialiasing, true);
}

int TQtPaintDevice::startPage() {
    if (!painter_.isActive()) {
        if (!painter_.begin(&paged())) {
            error_ = 1;
            return 0;
        }
    } else if (!paged().newPage()) {
        error_ = 2;
        return 0;
    }
    mapTwips();
    if (sheetCounter_) ++*sheetCounter_;
    return 1;
}

int TQtPaintDevice::endDoc() {
    if (!painter_.isActive()) return 1;
    return painter_.end() ? 1 : -1;
}

TPhysicalPage TQtPaintDevice::physicalPage() const {
    const QRectF full = exactPoints(paged().pageLayout());
    const QPoint offset = printableOffset();
    return {static_cast<int>(std::lround(full.width() * 20)),
            static_cast<int>(std::lround(full.height() * 20)), offset.x(), offset.y()};
}

void TQtPaintDevice::drawText(int x, int baseline, const TTextStyle& style, std::string_view utf8) {
    QFont font = qtFont(style.font);
    font.setUnderline(style.underline != TUnderline::None);
    font.setStrikeOut(style.strike);
    painter_.setFont(font);
    painter_.setPen(qColor(style.color));
    painter_.drawText(QPointF(x, baseline),
                      QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size())));
}

void TQtPaintDevice::fillRect(const TRect& r, TRtfColor color) {
    painter_.fillRect(QRect(r.left, r.top, r.width(), r.height()), qColor(color));
}

void TQtPaintDevice::setPen(const TPen* pen) {
    if (!pen) {
        painter_.setPen(Qt::NoPen);
        return;
    }
    QPen p(qColor(pen->color));
    p.setWidthF(std::max(pen->width, 1));
    p.setCapStyle(Qt::SquareCap);
    p.setStyle(pen->style == TLineStyle::Dotted   ? Qt::DotLine
               : pen->style == TLineStyle::Dashed ? Qt::DashLine
                                                  : Qt::SolidLine);
    painter_.setPen(p);
}

void TQtPaintDevice::setBrush(const TRtfColor* fill) {
    painter_.setBrush(fill ? QBrush(qColor(*fill)) : QBrush(Qt::NoBrush));
}

void TQtPaintDevice::drawLine(int x1, int y1, int x2, int y2, const TPen& pen) {
    setPen(&pen);
    painter_.drawLine(QPointF(x1, y1), QPointF(x2, y2));
}

void TQtPaintDevice::drawRect(const TRect& r, const TPen* pen, const TRtfColor* fill,
                              int cornerRadius) {
    setPen(pen);
    setBrush(fill);
    const QRectF rect(r.left, r.top, r.width(), r.height());
    if (cornerRadius > 0)
        painter_.drawRoundedRect(rect, cornerRadius, cornerRadius);
    else
        painter_.drawRect(rect);
}

void TQtPaintDevice::drawEllipse(const TRect& r, const TPen* pen, const TRtfColor* fill) {
    setPen(pen);
    setBrush(fill);
    painter_.drawEllipse(QRectF(r.left, r.top, r.width(), r.height()));
}

void TQtPaintDevice::drawPolygon(const std::vector<TDrawingPoint>& points, bool closed,
                                 const TPen* pen, const TRtfColor* fill) {
    QPolygonF polygon;
    for (const TDrawingPoint& p : points) polygon << QPointF(p.x, p.y);
    setPen(pen);
    setBrush(fill);
    if (closed)
        painter_.drawPolygon(polygon);
    else
        painter_.drawPolyline(polygon);
}

void TQtPaintDevice::drawPicture(const TRect& r, const TRtfPicture& picture) {
    const QImage image = pictureImage(picture);
    if (image.isNull() || r.width() <= 0 || r.height() <= 0) return;
    // the crops were taken off the scaled size: cut the same share off the image
    const double fullW = r.width() + picture.cropLeft + picture.cropRight;
    const double fullH = r.height() + picture.cropTop + picture.cropBottom;
    QRectF source(0, 0, image.width(), image.height());
    if (fullW > 0 && fullH > 0)
        source = QRectF(image.width() * picture.cropLeft / fullW,
                        image.height() * picture.cropTop / fullH, image.width() * r.width() / fullW,
                        image.height() * r.height() / fullH);
    painter_.drawImage(QRectF(r.left, r.top, r.width(), r.height()), image, source);
}

TQtPdfDevice::TQtPdfDevice(const QString& path, const TDeviceMode& mode)
    : replacement_(path.toStdString()),
      file_(QString::fromStdString(replacement_.temporary().string())),
      writer_(&file_) {
    // A file that cannot be made leaves the device without one: the first
    // sheet then fails.
    file_.open(QIODevice::WriteOnly | QIODevice::Truncate);
    writer_.setResolution(1440);
    writer_.setCreator(QStringLiteral("Lagrull"));
    writer_.setPageLayout(pageLayoutOf(mode));
}

TQtPdfDevice::~TQtPdfDevice() {
    finish();
    complete();
}

int TQtPdfDevice::endDoc() {
    const int ended = TQtPaintDevice::endDoc();
    if (ended < 0) return ended;
    return complete() ? 1 : -1;
}

bool TQtPdfDevice::complete() {
    if (completed_) return true;
    if (!file_.isOpen() || file_.pos() == 0) return true;  // no document begun: no file
    const bool flushed = file_.flush() && file_.error() == QFileDevice::NoError;
    file_.close();
    if (!flushed || file_.error() != QFileDevice::NoError) return false;
    try {
        if (!pageSizes_.empty()) {
            std::string pdf = readFileBytes(replacement_.temporary());
            if (exactPageBoxes(pdf, pageSizes_) > 0) writeFileBytes(replacement_.temporary(), pdf);
        }
        replacement_.commit();
    } catch (const FileError&) {
        return false;
    }
    completed_ = true;
    if (writtenFlag_) *writtenFlag_ = true;
    return true;
}

int TQtPdfDevice::startPage() {
    const int r = TQtPaintDevice::startPage();
    if (r < 1) return r;
    const QRectF full = exactPoints(writer_.pageLayout());
    const TPointSize size{full.width(), full.height()};
    if (std::none_of(pageSizes_.begin(), pageSizes_.end(), [&](const TPointSize& s) {
            return s.width == size.width && s.height == size.height;
        }))
        pageSizes_.push_back(size);
    return r;
}

TDeviceMode a4DeviceMode(const std::string& deviceName) {
    TDeviceMode m;
    m.deviceName = deviceName;
    m.fields = TDeviceMode::kOrientation | TDeviceMode::kPaperSize | TDeviceMode::kCopies;
    return m;
}

TDeviceMode TQtPdfSystem::currentPrinter() { return a4DeviceMode("PDF"); }

TDeviceMode TQtPdfSystem::driverDefaults(const std::string& deviceName) {
    return a4DeviceMode(deviceName);
}

std::unique_ptr<TPrintDevice> TQtPdfSystem::createDC(const TDeviceMode& mode) {
    ensureGuiApplication();
    auto device = std::make_unique<TQtPdfDevice>(QString::fromStdString(file_), mode);
    device->countSheetsInto(&sheets_);
    written_ = false;
    device->reportWrittenInto(&written_);
    return device;
}

void TQtPdfSystem::requireWritten() const {
    if (!written_) throw FileError("Kunne ikke skrive PDF-filen " + file_ + ".");
}

}  // namespace lagrull
