#pragma once
// The document-level RTF reader: the header words and the header groups
// (font table, colour table, information group, user properties). The
// document builder and the template engine's readers derive from it.

#include <string>
#include <string_view>

#include "template/rtf/rtf_color_table.h"
#include "template/rtf/rtf_font_table.h"
#include "template/rtf/rtf_info.h"
#include "template/rtf/rtf_parser.h"

namespace lagrull {

enum class TRtfCharset { Ansi, Mac, Pc, Pca };

struct TRtfHeader {
    int version = 1;  // "rtfN"
    TRtfCharset charset = TRtfCharset::Ansi;
    int codePageNumber = 1252;     // "ansicpg"
    int defaultFont = 0;           // "deff"
    int defaultLanguage = 1044;    // "deflang"
    int defaultLanguageFe = 1033;  // "deflangfe"
    TFontList fonts;
    TColorTable colors;
    TRtfInfo info;
    TUserProps userProps;

    CodePage codePage() const;
};

class TRtfFileParser : public TRtfParser {
public:
    explicit TRtfFileParser(TRtfTokenizer& tokens) : TRtfParser(tokens) {}

    // Reads the whole document. Throws FormatError "No RTF." for a source
    // that does not start with "{" and "rtf"; the end of the data ends the
    // reading quietly.
    void read();

    const TRtfHeader& header() const { return header_; }
    TRtfHeader& header() { return header_; }
    CodePage codePage() const { return codePage_; }

protected:
    void onWord(const TRtfToken& t) override;
    bool onDestination(const TRtfToken& first, bool ignorable) override;
    // Called once when the reading has ended, also at the end of the data.
    virtual void onDocumentEnd() {}

    TRtfHeader header_;
    CodePage codePage_ = CodePage::Windows1252;
};

}  // namespace lagrull
