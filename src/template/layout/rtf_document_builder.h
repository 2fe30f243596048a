#pragma once
// TRTFDocumentBuilder: the print path of finished RTF documents. A file or
// a memory stream is read into the document model and laid out on the
// printer; every document is a print job of its own unless the caller
// brackets several in BeginPrinting/EndPrinting.
//
// The field computer plugs in through TDocumentFieldHook: it finds files,
// reads a document with its fields computed and says when the document must
// be read a second time (FILLIN fields, an INCLUDEFILE property).

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "template/layout/print_device.h"
#include "template/layout/print_options.h"
#include "template/layout/printer_formatter.h"

namespace lagrull {

class TDocumentFieldHook {
public:
    virtual ~TDocumentFieldHook() = default;
    // The file a name stands for, if the hook knows it.
    virtual std::optional<std::filesystem::path> findFile(const std::string& name);
    // The directory of the base document, searched last.
    virtual std::filesystem::path baseDirectory() const { return {}; }
    // Reads a document; `readAgain` is set when it must be read once more.
    virtual std::unique_ptr<TBuildDocument> read(std::string_view rtf, bool& readAgain);
    // Between the two readings (the FILLIN prompt).
    virtual void betweenReadings() {}
};

class TRTFDocumentBuilder {
public:
    explicit TRTFDocumentBuilder(TPrinterSystem& system, TDocumentFieldHook* hook = nullptr);
    ~TRTFDocumentBuilder();
    TRTFDocumentBuilder(const TRTFDocumentBuilder&) = delete;
    TRTFDocumentBuilder& operator=(const TRTFDocumentBuilder&) = delete;

    // The file a name stands for: ".SP2", then ".RTF" for a name without an
    // extension; the name as given when nothing is found.
    std::filesystem::path findFile(const std::string& name);
    void PrintFile(const std::string& name);
    void PrintRTFStream(std::string_view rtf);
    // Keeps a copy; null clears the options.
    void SetPrintOptions(const TPrintOptions* options);
    void PrintDocument(std::unique_ptr<TBuildDocument> document);
    void BeginPrinting();
    void EndPrinting();

    // The formatter of the open job, null outside BeginPrinting/EndPrinting.
    const TWinPrinterFormatter* formatter() const { return formatter_.get(); }

private:
    std::unique_ptr<TBuildDocument> readDocument(std::string_view rtf);

    TPrinterSystem& system_;
    TDocumentFieldHook defaultHook_;
    TDocumentFieldHook* hook_;
    std::optional<TPrintOptions> options_;
    std::unique_ptr<TWinPrinterFormatter> formatter_;
    std::vector<std::unique_ptr<TBuildDocument>> documents_;  // the last one printed
    int nesting_ = 0;
};

}  // namespace lagrull
