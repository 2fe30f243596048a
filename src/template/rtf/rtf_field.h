#pragma once
// A word-processor field group: its flags, and its instruction and result
// as RTF streams for the field computer.

#include <string>

#include "template/rtf/rtf_parser.h"

namespace lagrull {

struct TRtfField {
    bool dirty = false, edit = false, lock = false, priv = false;
    TRtfStringStream instruction;  // the content of "fldinst"
    TRtfStringStream result;       // the content of "fldrslt"
};

// Reads the rest of a "field" group.
class TRtfFieldParser : public TRtfGroupParser {
public:
    TRtfFieldParser(TRtfTokenizer& tokens, TRtfField& field)
        : TRtfGroupParser(tokens), field_(field) {}

protected:
    void onWord(const TRtfToken& t) override;
    bool onDestination(const TRtfToken& first, bool ignorable) override;

private:
    TRtfField& field_;
};

// The plain text of an RTF stream (the words of a field instruction).
std::string rtfPlainText(std::string_view rtf, CodePage page);

}  // namespace lagrull
