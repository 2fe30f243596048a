#pragma once
// The letter menu's outputs on real devices: the application's current
// printer, one PDF file, one PDF file per member. Kept apart so the windows
// that use them compile against neither Qt PrintSupport nor the page
// layout's headers.

#include <memory>
#include <string>

#include "reports/brev.h"

namespace lagrull {

std::unique_ptr<reports::TLetterOutput> PrinterLetters();
std::unique_ptr<reports::TLetterOutput> OnePdfLetters(const std::string& file);
std::unique_ptr<reports::TLetterOutput> PdfLettersPerMember(const std::string& directory);

}  // namespace lagrull
