#include "reports/print/letter_devices.h"

#include "reports/letter_output.h"
#include "template/pdf/qt_paint_device.h"
#include "template/print/qt_printer_system.h"

namespace lagrull {

namespace {

// An output together with the device it prints on (the output asks the
// device whether its file was written).
template <class Device, class Output>
class Owning : public reports::TLetterOutput {
public:
    template <class... Args>
    explicit Owning(Args&&... deviceArgs)
        : device_(std::forward<Args>(deviceArgs)...), output_(device_) {}
    void Print(const std::filesystem::path& rtf, const reports::TLetterMember& m) override {
        output_.Print(rtf, m);
    }
    void Finish() override { output_.Finish(); }

private:
    Device device_;
    Output output_;
};

}  // namespace

std::unique_ptr<reports::TLetterOutput> PrinterLetters() {
    useSystemPrinterList();
    return std::make_unique<Owning<TQtPrinterSystem, reports::TPrinterLetters>>();
}

std::unique_ptr<reports::TLetterOutput> OnePdfLetters(const std::string& file) {
    return std::make_unique<Owning<TQtPdfSystem, reports::TPdfLetters>>(file);
}

std::unique_ptr<reports::TLetterOutput> PdfLettersPerMember(const std::string& directory) {
    return std::make_unique<reports::TPdfLettersPerMember>(
        directory, [](const std::string& file) { return std::make_unique<TQtPdfSystem>(file); });
}

}  // namespace lagrull
