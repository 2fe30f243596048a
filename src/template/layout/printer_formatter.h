#pragma once
// TWinPrinterFormatter: the page layout on a printer job. Owns the device
// context from the first page to EndPrintJob, opens and closes sheets, puts
// logical pages one below the other on a sheet (stacking), applies the page
// entries of the print options, and writes the printer log.
//
// Job states: 0 no document, 1 document started, 2 sheet open. The document
// is started once per job, before the first sheet; every copy of a document
// is laid out again in the same job.

#include <memory>

#include "template/layout/page_formatter.h"
#include "template/layout/print_options.h"

namespace lagrull {

class TWinPrinterFormatter : public TWinPageFormatter {
public:
    // `mode`: the printer's device-mode record; its copy count is taken as
    // the printer's count and set to 1 in the record.
    TWinPrinterFormatter(TPrinterSystem& system, TDeviceMode mode, const TPrintOptions* options);
    ~TWinPrinterFormatter() override;

    void setMargins(const TRect& margins) { margins_ = margins; }
    void printDocument(const TBuildDocument& document);
    void endPrintJob();

    void setOrientation(int orientation);
    void setLandscape(bool landscape);
    const TDeviceMode& deviceMode() const { return mode_; }
    int jobState() const { return jobState_; }
    int pagesBegun() const { return pagesBegun_; }

protected:
    void sectionStarted(const TBuildSection& section, int paperWidth, int paperHeight) override;
    void logicalPageBegins() override;
    void logicalPageEnded() override;

private:
    void createDC();
    void startSheet();
    void endSheet();
    void computeRects();
    void applyPageOptions();
    void setPaperSize(int width, int height);
    [[noreturn]] void systemError(const char* call) const;

    TPrinterSystem& system_;
    TDeviceMode mode_;
    const TPrintOptions* options_;
    int printerCopies_ = 1;
    std::unique_ptr<TPrintDevice> dc_;
    int jobState_ = 0;
    bool sheetOpen_ = false;
    bool orientationChanged_ = false, binChanged_ = false, sizeChanged_ = false;
    TRect physical_;
    int stackOffset_ = 0;
    int pagesBegun_ = 0;
    bool stacking_ = true;
    bool useLogicalPageSize_ = false;
    int sectionWidth_ = 11906;
};

}  // namespace lagrull
