// The system's printers as Qt's printer list (CUPS on Linux) shows them,
// drawn on through QPrinter.
#include "template/print/qt_printer_system.h"

#include <cmath>

#include <QPageSize>
#include <QPrinterInfo>

#include "template/layout/print_options.h"
#include "template/pdf/qt_gui_application.h"

namespace lagrull {

namespace {

int paperKindOf(const QPageSize& size) {
    switch (size.id()) {
        case QPageSize::A4: return TDeviceMode::kPaperA4;
        case QPageSize::Letter: return 1;
        case QPageSize::Legal: return 5;
        case QPageSize::A3: return 8;
        case QPageSize::A5: return 11;
        default: return TDeviceMode::kPaperA4;
    }
}

TDeviceMode modeOf(const QPrinterInfo& info) {
    TDeviceMode m = a4DeviceMode(info.printerName().toStdString());
    m.paperSize = paperKindOf(info.defaultPageSize());
    return m;
}

}  // namespace

TQtPrinterDevice::TQtPrinterDevice(const QString& printerName, const TDeviceMode& mode)
    : printer_(QPrinter::HighResolution) {
    printer_.setPrinterName(printerName);
    printer_.setCopyCount(1);
    QPageLayout layout = pageLayoutOf(mode);
    layout.setMinimumMargins(printer_.pageLayout().minimumMargins());
    layout.setMargins(printer_.pageLayout().minimumMargins());
    printer_.setPageLayout(layout);
}

TQtPrinterDevice::~TQtPrinterDevice() { finish(); }

QPoint TQtPrinterDevice::printableOffset() const {
    const QRectF paint = exactPoints(printer_.pageLayout(), true);
    return {static_cast<int>(std::lround(paint.left() * 20)),
            static_cast<int>(std::lround(paint.top() * 20))};
}

TDeviceMode TQtPrinterSystem::currentPrinter() {
    ensureGuiApplication();
    const QPrinterInfo info = QPrinterInfo::defaultPrinter();
    if (info.isNull()) throw Error("Det er ingen skriver å skrive ut på.");
    return modeOf(info);
}

TDeviceMode TQtPrinterSystem::driverDefaults(const std::string& deviceName) {
    ensureGuiApplication();
    const QPrinterInfo info = QPrinterInfo::printerInfo(QString::fromStdString(deviceName));
    if (info.isNull()) throw EPrinterNotFound(deviceName);
    return modeOf(info);
}

std::unique_ptr<TPrintDevice> TQtPrinterSystem::createDC(const TDeviceMode& mode) {
    ensureGuiApplication();
    auto device = std::make_unique<TQtPrinterDevice>(QString::fromStdString(mode.deviceName), mode);
    if (!device->valid()) return nullptr;
    device->countSheetsInto(&sheets_);
    return device;
}

void useSystemPrinterList() {
    TInstalledPrinters::setSource([] {
        ensureGuiApplication();
        std::vector<std::string> entries;
        for (const QPrinterInfo& info : QPrinterInfo::availablePrinters()) {
            std::string entry = info.printerName().toStdString();
            if (!info.location().isEmpty()) entry += " on " + info.location().toStdString();
            entries.push_back(std::move(entry));
        }
        return entries;
    });
}

}  // namespace lagrull
