#include "template/layout/print_options.h"

#include "common/text_codec.h"

namespace lagrull {

namespace {

TInstalledPrinters::Source& printerSource() {
    static TInstalledPrinters::Source source;
    return source;
}

}  // namespace

void TInstalledPrinters::setSource(Source source) {
    printerSource() = std::move(source);
    installedPrinters().refresh();
}

void TInstalledPrinters::refresh() {
    printers_.clear();
    if (!printerSource()) return;
    for (const std::string& entry : printerSource()()) {
        TInstalledPrinter p;
        const auto on = entry.find(" on ");
        p.name = entry.substr(0, on);
        p.deviceName = p.name;
        if (on != std::string::npos) p.port = entry.substr(on + 4);
        printers_.push_back(std::move(p));
    }
}

const TInstalledPrinter* TInstalledPrinters::find(const std::string& name) const {
    const std::string wanted = upperCase(name);
    for (const auto& p : printers_)
        if (upperCase(p.name) == wanted) return &p;
    return nullptr;
}

TInstalledPrinters& installedPrinters() {
    static TInstalledPrinters list;
    return list;
}

void TPrintOptions::setPrinterName(const std::string& name, const std::string& currentPrinter) {
    std::string device, port;
    if (!name.empty()) {
        if (const TInstalledPrinter* p = installedPrinters().find(name)) {
            device = p->deviceName;
            port = p->port;
        } else if (!currentPrinter.empty()) {
            device = currentPrinter;
        } else {
            throw EPrinterNotFound(name);
        }
    }
    if (name != printerName_ || device != deviceName_ || port != port_) changed_ = true;
    printerName_ = name;
    deviceName_ = device;
    port_ = port;
}

void TPrintOptions::setCopies(int copies) {
    if (copies != copies_) changed_ = true;
    copies_ = copies;
}

TDeviceMode& TPrintOptions::page(int index) {
    if (index <= 0) throw Error("Page printeroptions index out of bounds");
    if (static_cast<std::size_t>(index) >= pages_.size())
        pages_.resize(static_cast<std::size_t>(index) + 1);
    return pages_[static_cast<std::size_t>(index)];
}

const TDeviceMode* TPrintOptions::pageIfAny(int index) const {
    if (index <= 0) throw Error("Page printeroptions index out of bounds");
    return static_cast<std::size_t>(index) < pages_.size()
               ? &pages_[static_cast<std::size_t>(index)]
               : nullptr;
}

void TPrintOptions::setOrientation(int index, int orientation) {
    TDeviceMode& m = page(index);
    if (m.orientation != orientation || !(m.fields & TDeviceMode::kOrientation)) changed_ = true;
    m.orientation = orientation;
    m.fields |= TDeviceMode::kOrientation;
}

void TPrintOptions::setPaperBin(int index, int bin) {
    TDeviceMode& m = page(index);
    if (m.defaultSource != bin || !(m.fields & TDeviceMode::kDefaultSource)) changed_ = true;
    m.defaultSource = bin;
    m.fields |= TDeviceMode::kDefaultSource;
}

const TDeviceMode& TPrintOptions::entryFor(int n) const {
    std::size_t i =
        std::min<std::size_t>(static_cast<std::size_t>(std::max(n, 0)), pages_.size() - 1);
    return pages_[i];
}

}  // namespace lagrull
