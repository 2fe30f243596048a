#include "template/rtf/rtf_file_parser.h"

#include "common/error.h"

namespace lagrull {

CodePage TRtfHeader::codePage() const {
    if (charset == TRtfCharset::Pc || charset == TRtfCharset::Pca) return CodePage::Dos865;
    return codePageOf(codePageNumber);
}

void TRtfFileParser::read() {
    bool started = false;
    try {
        const TRtfToken& open = tokens_.next();
        if (open.kind != TRtfTokenKind::GroupStart) throw FormatError("No RTF.");
        const TRtfToken& rtf = tokens_.next();
        if (!rtf.is("rtf")) throw FormatError("No RTF.");
        header_.version = rtf.paramOr(1);
        started = true;
        parse();
    } catch (const RtfEndOfSource&) {
        // A document cut short is read as far as it goes.
        if (!started) throw FormatError("No RTF.");
    }
    onDocumentEnd();
}

void TRtfFileParser::onWord(const TRtfToken& t) {
    const std::string_view w = t.word();
    if (w == "ansi")
        header_.charset = TRtfCharset::Ansi;
    else if (w == "mac")
        header_.charset = TRtfCharset::Mac;
    else if (w == "pc")
        header_.charset = TRtfCharset::Pc;
    else if (w == "pca")
        header_.charset = TRtfCharset::Pca;
    else if (w == "ansicpg")
        header_.codePageNumber = t.paramOr(1252);
    else if (w == "deff")
        header_.defaultFont = t.paramOr(0);
    else if (w == "deflang")
        header_.defaultLanguage = t.paramOr(1044);
    else if (w == "deflangfe")
        header_.defaultLanguageFe = t.paramOr(1033);
    else
        return;
    codePage_ = header_.codePage();
}

bool TRtfFileParser::onDestination(const TRtfToken& first, bool /*ignorable*/) {
    const std::string_view w = first.word();
    if (w == "fonttbl") {
        TRtfFontTableReader reader(tokens_, header_.fonts, codePage_);
        reader.read();
    } else if (w == "colortbl") {
        TColorTableParser reader(tokens_, header_.colors);
        reader.read();
    } else if (w == "info") {
        TInfoGroupParser reader(tokens_, header_.info, codePage_);
        reader.run();
    } else if (w == "userprops") {
        TUserPropsParser reader(tokens_, header_.userProps, codePage_);
        reader.read();
    } else if (w == "stylesheet" || w == "filetbl" || w == "listtable" ||
               w == "listoverridetable" || w == "revtbl") {
        skipGroup();
    } else {
        return false;
    }
    return true;
}

}  // namespace lagrull
