#include "template/layout/rtf_document_builder.h"

#include "common/error.h"
#include "common/file_names.h"
#include "common/log.h"
#include "template/rtf/rtf_document_parser.h"

namespace lagrull {

namespace fs = std::filesystem;

namespace {

void logLine(const char* text) {
    if (appLog().enabled()) appLog().writeLine(text);
}

}  // namespace

std::optional<fs::path> TDocumentFieldHook::findFile(const std::string&) { return std::nullopt; }

std::unique_ptr<TBuildDocument> TDocumentFieldHook::read(std::string_view rtf, bool& readAgain) {
    auto document = readRtfDocument(rtf);
    readAgain = !document->header.userProps.includeFiles().empty();
    return document;
}

TRTFDocumentBuilder::TRTFDocumentBuilder(TPrinterSystem& system, TDocumentFieldHook* hook)
    : system_(system), hook_(hook ? hook : &defaultHook_) {}

TRTFDocumentBuilder::~TRTFDocumentBuilder() {
    if (formatter_) {
        try {
            formatter_->endPrintJob();
        } catch (...) {  // a destructor only tidies up
        }
    }
}

fs::path TRTFDocumentBuilder::findFile(const std::string& name) {
    auto lookFor = [this](const fs::path& candidate) -> std::optional<fs::path> {
        std::error_code ec;
        if (fs::is_regular_file(candidate, ec)) return candidate;
        const fs::path noCase = findFileNoCase(candidate);
        if (!noCase.empty() && fs::is_regular_file(noCase, ec)) return noCase;
        if (auto found = hook_->findFile(candidate.string())) return found;
        const fs::path base = hook_->baseDirectory();
        if (!base.empty() && candidate.is_relative()) {
            const fs::path inBase = findFileNoCase(base / candidate);
            if (!inBase.empty() && fs::is_regular_file(inBase, ec)) return inBase;
        }
        return std::nullopt;
    };
    fs::path given(name);
    if (given.has_extension()) {
        if (auto f = lookFor(given)) return *f;
    } else {
        for (const char* ext : {".SP2", ".RTF"}) {
            fs::path candidate = given;
            candidate += ext;
            if (auto f = lookFor(candidate)) return *f;
        }
    }
    return given;
}

std::unique_ptr<TBuildDocument> TRTFDocumentBuilder::readDocument(std::string_view rtf) {
    bool again = false;
    auto document = hook_->read(rtf, again);
    if (again) {
        hook_->betweenReadings();
        bool ignored = false;
        document = hook_->read(rtf, ignored);
    }
    return document;
}

void TRTFDocumentBuilder::PrintFile(const std::string& name) {
    fs::path file = findFile(name);
    if (!file.has_extension()) file += ".RTF";
    const std::string bytes = readFileBytes(file);
    PrintDocument(readDocument(bytes));
}

void TRTFDocumentBuilder::PrintRTFStream(std::string_view rtf) {
    logLine("Enter PrintRTFStream");
    PrintDocument(readDocument(rtf));
    logLine("Exit PrintRTFStream");
}

void TRTFDocumentBuilder::SetPrintOptions(const TPrintOptions* options) {
    if (options)
        options_ = *options;
    else
        options_.reset();
}

void TRTFDocumentBuilder::BeginPrinting() {
    if (nesting_++ > 0) return;
    logLine("BeginPrinting");
    try {
        TDeviceMode mode;
        if (options_ && !options_->deviceName().empty())
            mode = system_.driverDefaults(options_->deviceName());
        else
            mode = system_.currentPrinter();
        formatter_ = std::make_unique<TWinPrinterFormatter>(system_, std::move(mode),
                                                            options_ ? &*options_ : nullptr);
    } catch (...) {
        nesting_ = 0;
        throw;
    }
}

void TRTFDocumentBuilder::EndPrinting() {
    if (nesting_ == 0 || --nesting_ > 0) return;
    std::unique_ptr<TWinPrinterFormatter> formatter = std::move(formatter_);
    formatter->endPrintJob();
    documents_.clear();
    logLine("EndPrinting");
}

void TRTFDocumentBuilder::PrintDocument(std::unique_ptr<TBuildDocument> document) {
    logLine("ENTER TRTFDocumentBuilder.PrintDocument");
    BeginPrinting();
    try {
        const TDocumentSettings& s = document->settings;
        formatter_->setMargins({s.marginLeft, s.marginTop, s.marginRight, s.marginBottom});
        formatter_->enableHeaders(true);
        formatter_->printDocument(*document);
        // The formatter lays a document out whole before it returns; only the
        // last one is kept (a stacked sheet may still show it), so a job of
        // 10,000 letters holds two documents at most, not all of them.
        documents_.clear();
        documents_.push_back(std::move(document));
    } catch (...) {
        try {
            EndPrinting();
        } catch (...) {  // the first failure is the one reported
        }
        throw;
    }
    EndPrinting();
    logLine("EXIT TRTFDocumentBuilder.PrintDocument");
}

}  // namespace lagrull
