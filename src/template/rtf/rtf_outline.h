#pragma once
// The document model as a text outline, one line per section, paragraph,
// table row and header or footer, for checks and support.

#include <string>

#include "template/rtf/rtf_document_model.h"

namespace lagrull {

std::string rtfOutline(const TBuildDocument& document);

}  // namespace lagrull
