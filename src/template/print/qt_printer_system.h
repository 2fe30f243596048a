#pragma once
// The system's printers through Qt PrintSupport (QPrinter, CUPS on Linux):
// the device of the GUI program's printing. It links Qt Widgets, so
// programs without windows print through the PDF device instead
// (template/pdf/cups_printer_system.h).

#include <QPrinter>

#include "template/pdf/qt_paint_device.h"

namespace lagrull {

class TQtPrinterDevice : public TQtPaintDevice {
public:
    TQtPrinterDevice(const QString& printerName, const TDeviceMode& mode);
    ~TQtPrinterDevice() override;
    bool valid() const { return printer_.isValid(); }

protected:
    QPagedPaintDevice& paged() override { return printer_; }
    void setDocumentName(const QString& name) override { printer_.setDocName(name); }
    int resolution() const override { return printer_.resolution(); }
    QPoint printableOffset() const override;

private:
    QPrinter printer_;
};

// The system's printers.
class TQtPrinterSystem : public TPrinterSystem {
public:
    TDeviceMode currentPrinter() override;
    TDeviceMode driverDefaults(const std::string& deviceName) override;
    std::unique_ptr<TPrintDevice> createDC(const TDeviceMode& mode) override;
    int sheets() const { return sheets_; }

private:
    int sheets_ = 0;
};

// Installs the system's printer list (QPrinterInfo) as the source of the
// installed-printer list.
void useSystemPrinterList();

}  // namespace lagrull
