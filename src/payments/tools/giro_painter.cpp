#include "giro_painter.h"

#include <algorithm>
#include <cstdlib>

#include <QFontDatabase>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QSaveFile>

#include "common/app_paths.h"
#include "common/error.h"
#include "common/ini.h"

namespace lagrull {

namespace {

const QString kOcrFamily = QStringLiteral("OCR B");
const QString kTextFamily = QStringLiteral("Liberation Sans");

QFont fontFor(GiroFont kind, QPaintDevice* device) {
    switch (kind) {
        case GiroFont::Label: {
            QFont f(kTextFamily);
            f.setPointSizeF(7);
            return f;
        }
        case GiroFont::Normal: {
            QFont f(kTextFamily);
            f.setPointSizeF(10);
            return f;
        }
        case GiroFont::Bold: {
            QFont f(kTextFamily);
            f.setPointSizeF(10);
            f.setBold(true);
            return f;
        }
        case GiroFont::Heading: {
            QFont f(kTextFamily);
            f.setPointSizeF(14);
            f.setBold(true);
            return f;
        }
        case GiroFont::Ocr: break;
    }
    // OCR-B at exactly ten characters per inch on this device.
    QFont f(kOcrFamily);
    f.setStyleStrategy(QFont::NoFontMerging);
    f.setHintingPreference(QFont::PreferNoHinting);
    f.setPointSizeF(12);
    const double advance = QFontMetricsF(f, device).horizontalAdvance(QLatin1Char('0'));
    const double wanted = device->logicalDpiX() * kOcrPitch / 25.4;
    f.setPointSizeF(12 * wanted / advance);
    return f;
}

void setA4(QPagedPaintDevice& device) {
    device.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                     QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter));
}

void paintAll(QPagedPaintDevice& device, const GiroSheets& sheets, GiroOffset offset) {
    QPainter painter;
    if (!painter.begin(&device)) throw Error("Kan ikke starte utskriften av giroene.");
    for (std::size_t i = 0; i < sheets.size(); ++i) {
        if (i > 0 && !device.newPage()) throw Error("Kan ikke begynne et nytt giroark.");
        paintSheet(painter, sheets[i], offset);
    }
    painter.end();
}

// Millimetres as the user writes them, "1,5" or "-0.5"; 0 when unreadable.
double setting(const std::string& section, const char* key) {
    std::string text = TOrvIni::readValue(userSettingsFilePath(), section, key).value_or("");
    std::replace(text.begin(), text.end(), ',', '.');
    char* end = nullptr;
    const double mm = std::strtod(text.c_str(), &end);
    return end != text.c_str() ? mm : 0.0;
}

}  // namespace

GiroOffset printerOffset(const std::string& printerName) {
    const std::string section = "Giroskriver " + printerName;
    return {setting(section, "ForskyvningX"), setting(section, "ForskyvningY")};
}

void requireOcrFont() {
    if (!QFontDatabase::families().contains(kOcrFamily))
        throw Error(
            "Skrifttypen OCR-B er ikke installert (Debian-pakken fonts-ocr-b); uten den "
            "kan ikke bankens leser lese kodelinjen.");
}

void paintSheet(QPainter& painter, const std::vector<GiroItem>& items, GiroOffset offset) {
    QPaintDevice* device = painter.device();
    const double sx = device->logicalDpiX() / 25.4;
    const double sy = device->logicalDpiY() / 25.4;
    const auto px = [&](double mm) { return (mm + offset.x) * sx; };
    const auto py = [&](double mm) { return (mm + offset.y) * sy; };
    QPen pen(Qt::black);
    pen.setWidthF(0.25 * sx);
    painter.setPen(pen);
    for (const GiroItem& item : items) {
        switch (item.kind) {
            case GiroItem::Kind::Line:
                painter.drawLine(QPointF(px(item.x), py(item.y)),
                                 QPointF(px(item.x + item.w), py(item.y + item.h)));
                break;
            case GiroItem::Kind::Box:
                painter.drawRect(QRectF(px(item.x), py(item.y), item.w * sx, item.h * sy));
                break;
            case GiroItem::Kind::Text: {
                const QFont font = fontFor(item.font, device);
                painter.setFont(font);
                const QString text = QString::fromStdString(item.text);
                double x = px(item.x);
                if (item.alignRight) x -= QFontMetricsF(font, device).horizontalAdvance(text);
                painter.drawText(QPointF(x, py(item.y)), text);
                break;
            }
        }
    }
}

void writeGiroPdf(const QString& file, const GiroSheets& sheets) {
    requireOcrFont();
    // Through a temporary file: a failed run never leaves half a PDF.
    QSaveFile out(file);
    if (!out.open(QIODevice::WriteOnly))
        throw Error("Kan ikke lage PDF-filen " + file.toStdString() + ": " +
                    out.errorString().toStdString());
    {
        QPdfWriter writer(&out);
        writer.setResolution(1200);
        writer.setCreator(QStringLiteral("lagrul-giro"));
        writer.setTitle(QStringLiteral("Giroer"));
        setA4(writer);
        paintAll(writer, sheets, {});
    }
    if (!out.commit())
        throw Error("Kan ikke skrive PDF-filen " + file.toStdString() + ": " +
                    out.errorString().toStdString());
}

void printGiros(QPrinter& printer, const GiroSheets& sheets) {
    requireOcrFont();
    printer.setFullPage(true);
    setA4(printer);
    paintAll(printer, sheets, printerOffset(printer.printerName().toStdString()));
}

void printGiros(const std::string& printerName, const GiroSheets& sheets) {
    QPrinter printer(QPrinter::HighResolution);
    if (!printerName.empty()) {
        if (QPrinterInfo::printerInfo(QString::fromStdString(printerName)).isNull())
            throw Error("Skriveren " + printerName + " finnes ikke.");
        printer.setPrinterName(QString::fromStdString(printerName));
    } else if (QPrinterInfo::defaultPrinter().isNull()) {
        throw Error("Det er ingen skriver å skrive ut på.");
    }
    printGiros(printer, sheets);
}

QImage renderSheet(const std::vector<GiroItem>& items, int dotsPerInch) {
    const int w = static_cast<int>(kSheetWidth / 25.4 * dotsPerInch);
    const int h = static_cast<int>(kSheetHeight / 25.4 * dotsPerInch);
    QImage image(w, h, QImage::Format_RGB32);
    image.setDotsPerMeterX(static_cast<int>(dotsPerInch / 0.0254));
    image.setDotsPerMeterY(static_cast<int>(dotsPerInch / 0.0254));
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    paintSheet(painter, items, {});
    return image;
}

}  // namespace lagrull
