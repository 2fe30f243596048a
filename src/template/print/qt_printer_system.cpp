// The printer systems of the Qt devices: a PDF file, and the system's
// printers as Qt's printer list (CUPS on Linux) shows them.
#include <QPageSize>
#include <QPrinterInfo>

#include "template/print/qt_gui_application.h"
#include "template/print/qt_paint_device.h"
#include "template/print_options.h"

namespace lagrull {

namespace {

TDeviceMode a4(const std::string& name) {
    TDeviceMode m;
    m.deviceName = name;
    m.fields = TDeviceMode::kOrientation | TDeviceMode::kPaperSize | TDeviceMode::kCopies;
    return m;
}

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
    TDeviceMode m = a4(info.printerName().toStdString());
    m.paperSize = paperKindOf(info.defaultPageSize());
    return m;
}

}  // namespace

TDeviceMode TQtPdfSystem::currentPrinter() { return a4("PDF"); }

TDeviceMode TQtPdfSystem::driverDefaults(const std::string& deviceName) { return a4(deviceName); }

std::unique_ptr<TPrintDevice> TQtPdfSystem::createDC(const TDeviceMode& mode) {
    ensureGuiApplication();
    auto device = std::make_unique<TQtPdfDevice>(QString::fromStdString(file_), mode);
    device->countSheetsInto(&sheets_);
    return device;
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
