#include "template/layout/printer_formatter.h"

#include <cstdarg>
#include <cstdio>
#include <utility>

#include "common/error.h"
#include "common/log.h"

namespace lagrull {

namespace {

// printf-like, so that the compiler checks each format against its values.
[[gnu::format(printf, 1, 2)]] void logLine(const char* format, ...) {
    TLogFile& log = appLog();
    if (!log.enabled()) return;
    char buf[256];
    std::va_list args;
    va_start(args, format);
    std::vsnprintf(buf, sizeof buf, format, args);
    va_end(args);
    log.writeLine(buf);
}

}  // namespace

TWinPrinterFormatter::TWinPrinterFormatter(TPrinterSystem& system, TDeviceMode mode,
                                           const TPrintOptions* options)
    : system_(system), mode_(std::move(mode)), options_(options) {
    printerCopies_ = std::max(1, mode_.copies);
    mode_.copies = 1;
    headersEnabled_ = true;
    applyPageOptions();  // entry 1, the first page
}

TWinPrinterFormatter::~TWinPrinterFormatter() {
    try {
        endPrintJob();
    } catch (...) {  // a destructor only tidies up
    }
}

void TWinPrinterFormatter::systemError(const char* call) const {
    const int code = dc_ ? dc_->lastError() : 0;
    char buf[160];
    std::snprintf(buf, sizeof buf, "Utskriften feilet: skriveren svarte ikke på %s (feilkode %d).",
                  call, code);
    throw Error(buf);
}

void TWinPrinterFormatter::createDC() {
    logLine("Enter WinCreateDC");
    dc_ = system_.createDC(mode_);
    logLine("Windows.CreateDC=%d", dc_ ? dc_->handle() : 0);
    if (!dc_) systemError("CreateDC");
    logLine("dm.Fields=%08X", mode_.fields);
    logLine("EXIT WinCreateDC");
    device_ = dc_.get();
    orientationChanged_ = binChanged_ = sizeChanged_ =
        false;  // the context was made with these settings
    computeRects();
}

void TWinPrinterFormatter::setOrientation(int orientation) {
    logLine("ENTER SetOrientation");
    logLine("Orientation %d->%d", mode_.orientation, orientation);
    if (mode_.orientation != orientation) orientationChanged_ = true;
    mode_.orientation = orientation;
    mode_.fields |= TDeviceMode::kOrientation;
    logLine("EXIT SetOrientation");
}

void TWinPrinterFormatter::setLandscape(bool landscape) {
    logLine("ENTER SetLandscape");
    setOrientation(landscape ? TDeviceMode::kLandscape : TDeviceMode::kPortrait);
    logLine("EXIT SetLandscape");
}

void TWinPrinterFormatter::applyPageOptions() {
    if (!options_) return;
    const TDeviceMode& entry = options_->entryFor(std::max(pagesBegun_, 1));
    if (entry.fields & TDeviceMode::kOrientation) setOrientation(entry.orientation);
    if (entry.fields & TDeviceMode::kDefaultSource) {
        if (mode_.defaultSource != entry.defaultSource) binChanged_ = true;
        mode_.defaultSource = entry.defaultSource;
        mode_.fields |= TDeviceMode::kDefaultSource;
    }
}

void TWinPrinterFormatter::setPaperSize(int width, int height) {
    const int length = height * 254 / 1440, w = width * 254 / 1440;
    TDeviceMode m = mode_;
    m.fields |= TDeviceMode::kPaperSize | TDeviceMode::kPaperLength | TDeviceMode::kPaperWidth;
    m.paperSize = TDeviceMode::kPaperUser;
    m.paperLength = length;
    m.paperWidth = w;
    if (w == 2100 && (length == 2970 || length == 3048)) {
        m.paperSize = length == 2970 ? TDeviceMode::kPaperA4 : TDeviceMode::kPaperFanfold;
        m.paperLength = m.paperWidth = 0;
        m.fields &= ~(TDeviceMode::kPaperLength | TDeviceMode::kPaperWidth);
    }
    if (m.paperSize != mode_.paperSize || m.paperLength != mode_.paperLength ||
        m.paperWidth != mode_.paperWidth)
        sizeChanged_ = true;
    mode_ = m;
}

void TWinPrinterFormatter::computeRects() {
    if (!dc_) return;
    TPhysicalPage p = dc_->physicalPage();
    // an orientation the device gets with the next sheet turns the page
    // now, so headers and text are laid out to the width they print on
    if (p.width != p.height &&
        (mode_.orientation == TDeviceMode::kLandscape) != (p.width > p.height)) {
        std::swap(p.width, p.height);
        std::swap(p.offsetX, p.offsetY);
    }
    physical_ = {-p.offsetX, -p.offsetY, p.width - p.offsetX, p.height - p.offsetY};
    TRect page = physical_;
    if (useLogicalPageSize_) page = {0, 0, sectionWidth_, paperHeight_};
    if (stacking_) {
        page.top += stackOffset_;
        page.bottom = page.top + paperHeight_;
    }
    pageRect_ = page;
}

void TWinPrinterFormatter::sectionStarted(const TBuildSection& section, int paperWidth,
                                          int paperHeight) {
    setLandscape(section.landscape);
    sectionWidth_ = paperWidth;
    paperHeight_ = paperHeight;
    if (useLogicalPageSize_) setPaperSize(paperWidth, paperHeight);
    computeRects();
}

void TWinPrinterFormatter::startSheet() {
    if (jobState_ == 0) {
        const int r = dc_->startDoc("RTF");
        logLine("Windows.STARTDOC(%d)=%d", dc_->handle(), r);
        if (r <= 0) systemError("StartDoc");
        jobState_ = 1;
    }
    if (orientationChanged_ || binChanged_ || sizeChanged_) {
        logLine("windows.ResetDC");
        if (!dc_->resetDC(mode_)) systemError("ResetDC");
        orientationChanged_ = binChanged_ = sizeChanged_ = false;
    }
    const int r = dc_->startPage();
    logLine("windows.StartPage=%d", r);
    if (r < 1) systemError("StartPage");
    sheetOpen_ = true;
    jobState_ = 2;
    stackOffset_ = 0;
    computeRects();
}

void TWinPrinterFormatter::endSheet() {
    const int r = dc_->endPage();
    logLine("windows.EndPage=%d", r);
    sheetOpen_ = false;
    jobState_ = 1;
    stackOffset_ = 0;
}

void TWinPrinterFormatter::logicalPageBegins() {
    if (!drawing_) {  // counting the pages: the geometry only
        computeRects();
        return;
    }
    ++pagesBegun_;
    applyPageOptions();
    computeRects();
    logLine("BeginPage OPT PTop=%d, PBot=%d, PhysB=%d", pageRect_.top, pageRect_.bottom,
            physical_.bottom);
    if (sheetOpen_ && ((physical_.bottom + 60 < pageRect_.bottom && stackOffset_ != 0) ||
                       orientationChanged_ || binChanged_ || sizeChanged_))
        endSheet();
    if (!sheetOpen_) startSheet();
}

void TWinPrinterFormatter::logicalPageEnded() {
    if (!drawing_) return;
    const int height = pageRect_.height();
    stackOffset_ = pageRect_.top + height - (useLogicalPageSize_ ? 0 : physical_.top);
}

void TWinPrinterFormatter::printDocument(const TBuildDocument& document) {
    logLine("ENTER TWinPrinterFormatter.PrintDocument");
    setLandscape(document.settings.landscape);
    logLine("TWinPrinterFormatter.PrintDocument 1");
    if (!dc_) createDC();
    pagesBegun_ = 0;
    stacking_ = true;
    useLogicalPageSize_ = document.settings.useLogicalPageSize;
    logLine("Kopier=%d", printerCopies_);
    const int copies = options_ && options_->copies() > 0 ? options_->copies() : printerCopies_;
    const int stack = stackOffset_;
    stackOffset_ = 0;
    countPages(document);
    stackOffset_ = stack;
    for (int c = 0; c < copies; ++c) formatDocument(document);
    logLine("EXIT TWinPrinterFormatter.PrintDocument");
}

void TWinPrinterFormatter::endPrintJob() {
    if (!dc_) return;
    logLine("ENTER EndPrintJob");
    if (sheetOpen_) endSheet();
    if (jobState_ >= 1) {
        const int r = dc_->endDoc();
        logLine("Windows.ENDDOC(%d)=%d", dc_->handle(), r);
        if (r < 0) logLine("ERR=%d", dc_->lastError());
    }
    dc_->deleteDC();
    logLine("Windows.DeleteDC");
    dc_.reset();
    device_ = nullptr;
    jobState_ = 0;
    logLine("EXIT EndPrintJob");
}

}  // namespace lagrull
