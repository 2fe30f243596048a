#pragma once
// The system's printers without Qt PrintSupport (which would pull in Qt
// Widgets): a job is laid out through the PDF device into a temporary file,
// and the finished file is handed to CUPS with "lp -d PRINTER". The printer
// list and the default printer come from "lpstat".
//
// Invariants:
// - A job reaches a printer only through submit(): a job that failed while
//   being laid out is never printed half.
// - The temporary files go with the printer system, printed or not.

#include <filesystem>
#include <string>
#include <vector>

#include "template/layout/print_device.h"

namespace lagrull {

class TCupsPrinterSystem : public TPrinterSystem {
public:
    TCupsPrinterSystem();
    ~TCupsPrinterSystem() override;
    TCupsPrinterSystem(const TCupsPrinterSystem&) = delete;
    TCupsPrinterSystem& operator=(const TCupsPrinterSystem&) = delete;

    // The CUPS default destination; throws lagrull::Error when there is none.
    TDeviceMode currentPrinter() override;
    TDeviceMode driverDefaults(const std::string& deviceName) override;
    std::unique_ptr<TPrintDevice> createDC(const TDeviceMode& mode) override;

    // Hands every job laid out so far to its printer, titled `title`, and
    // forgets it; throws lagrull::Error with CUPS's answer when a printer
    // refuses a job.
    void submit(const std::string& title);
    int sheets() const { return sheets_; }

private:
    struct Job {
        std::filesystem::path pdf;
        std::string printer;
    };
    std::filesystem::path directory_;
    std::vector<Job> jobs_;
    int sheets_ = 0;
};

// Installs "lpstat -e" (the CUPS destinations) as the source of the
// installed-printer list.
void useCupsPrinterList();

}  // namespace lagrull
