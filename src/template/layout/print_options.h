#pragma once
// The options of a print job: printer, copies and page entries (entry 0
// the defaults, entry 1 the first page, entry 2 the second and later
// pages), and the list of installed printers shared by the program.

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "common/error.h"
#include "template/layout/print_device.h"

namespace lagrull {

class EPrinterNotFound : public Error {
public:
    explicit EPrinterNotFound(const std::string& name)
        : Error("Printer \"" + name + "\" not found") {}
};

struct TInstalledPrinter {
    std::string name;  // the list entry's text up to " on "
    std::string deviceName;
    std::string port;
};

// The system's printer list, built on first use from the source the
// printer library installs (none: an empty list).
class TInstalledPrinters {
public:
    using Source = std::function<std::vector<std::string>()>;  // entries "name on port"
    static void setSource(Source source);

    const std::vector<TInstalledPrinter>& printers() const { return printers_; }
    // By name, letter case ignored; null when unknown.
    const TInstalledPrinter* find(const std::string& name) const;
    // Reads the list anew (after printers were added).
    void refresh();

private:
    friend TInstalledPrinters& installedPrinters();
    TInstalledPrinters() { refresh(); }
    std::vector<TInstalledPrinter> printers_;
};

TInstalledPrinters& installedPrinters();

class TPrintOptions {
public:
    // Empty: the application's current printer. Otherwise the printer is
    // looked up among the installed ones; `currentPrinter` (may be empty)
    // is taken when it is not found; with neither EPrinterNotFound.
    void setPrinterName(const std::string& name, const std::string& currentPrinter = {});
    const std::string& printerName() const { return printerName_; }
    const std::string& deviceName() const { return deviceName_; }
    const std::string& port() const { return port_; }

    int copies() const { return copies_; }  // 0: the printer's own count
    void setCopies(int copies);

    // Page entries from 1; entry 0 holds the defaults. Asking for entry 0
    // or below raises "Page printeroptions index out of bounds".
    TDeviceMode& page(int index);
    const TDeviceMode* pageIfAny(int index) const;
    int pageCount() const { return static_cast<int>(pages_.size()); }
    void setOrientation(int index, int orientation);
    void setPaperBin(int index, int bin);
    // The entry that applies to the n-th logical page begun (from 1): the
    // highest existing entry at or below n, finally entry 0.
    const TDeviceMode& entryFor(int n) const;

    bool changed() const { return changed_; }
    void clearChanged() { changed_ = false; }

private:
    std::string printerName_, deviceName_, port_;
    int copies_ = 0;
    std::vector<TDeviceMode> pages_ = std::vector<TDeviceMode>(1);
    bool changed_ = false;
};

}  // namespace lagrull
