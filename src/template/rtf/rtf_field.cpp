#include "template/rtf/rtf_field.h"

namespace lagrull {

void TRtfFieldParser::onWord(const TRtfToken& t) {
    if (t.is("flddirty"))
        field_.dirty = true;
    else if (t.is("fldedit"))
        field_.edit = true;
    else if (t.is("fldlock"))
        field_.lock = true;
    else if (t.is("fldpriv"))
        field_.priv = true;
}

bool TRtfFieldParser::onDestination(const TRtfToken& first, bool /*ignorable*/) {
    TRtfStringStream* target = first.is("fldinst")   ? &field_.instruction
                               : first.is("fldrslt") ? &field_.result
                                                     : nullptr;
    if (!target) return false;
    target->clear();
    TRtfCopier copier(tokens_, *target);
    copier.copy();
    return true;
}

std::string rtfPlainText(std::string_view rtf, CodePage page) {
    TRtfTokenizer tokens(rtf);
    TRtfString text(tokens, page);
    try {
        text.parse();
    } catch (const RtfEndOfSource&) {
    }
    return text.text();
}

}  // namespace lagrull
