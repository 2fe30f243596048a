#include "template/merge/fillin_print_hook.h"

namespace lagrull {

std::unique_ptr<TBuildDocument> TFillInPrintHook::read(std::string_view rtf, bool& readAgain) {
    const auto filled = promptFillins(std::string(rtf), title_, prompter_);
    if (!filled) throw EFillInCancelled();
    // The answers are in place; what is left is the included files' reading.
    return TDocumentFieldHook::read(filled->rtf, readAgain);
}

}  // namespace lagrull
