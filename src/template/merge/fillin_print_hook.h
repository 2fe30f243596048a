#pragma once
// The field hook of printing: a document with FILLIN fields is read twice,
// with one prompt for all of them between the readings, so the printed
// pages carry the user's answers. Cancelling the prompt stops the print.

#include <string>

#include "common/error.h"
#include "template/layout/rtf_document_builder.h"
#include "template/merge/fillin.h"

namespace lagrull {

// Thrown when the user closes the FILLIN prompt without "OK".
class EFillInCancelled : public Error {
public:
    EFillInCancelled() : Error("Utskriften ble avbrutt.") {}
};

class TFillInPrintHook : public TDocumentFieldHook {
public:
    TFillInPrintHook(TFillInPrompter& prompter, std::string title)
        : prompter_(prompter), title_(std::move(title)) {}

    std::unique_ptr<TBuildDocument> read(std::string_view rtf, bool& readAgain) override;

private:
    TFillInPrompter& prompter_;
    std::string title_;
};

}  // namespace lagrull
