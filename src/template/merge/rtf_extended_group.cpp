#include "template/merge/rtf_extended_group.h"

#include "template/merge/rtf_extended.h"
#include "template/rtf/rtf_field.h"

namespace lagrull {

namespace {

bool isHeaderWord(std::string_view w) {
    return w == "rtf" || w == "ansi" || w == "mac" || w == "pc" || w == "pca" || w == "ansicpg" ||
           w == "deff" || w == "deflang" || w == "deflangfe";
}

bool isHeaderGroup(std::string_view w) {
    return w == "fonttbl" || w == "colortbl" || w == "info" || w == "userprops" ||
           w == "stylesheet" || w == "filetbl" || w == "listtable" || w == "listoverridetable" ||
           w == "revtbl";
}

bool isHeaderOrFooter(std::string_view w) {
    return w == "header" || w == "footer" || w == "headerl" || w == "headerr" || w == "headerf" ||
           w == "footerl" || w == "footerr" || w == "footerf";
}

}  // namespace

void TRtfExtendedGroup::readFragment() {
    for (;;) {
        try {
            parse();
            tokens_.next();  // a "}" the fragment did not open
        } catch (const RtfEndOfSource&) {
            return;
        }
    }
}

void TRtfExtendedGroup::onText(const TRtfToken& t) {
    const CodePage page = mode_ == Mode::Fragment ? engine_.outputCodePage() : codePage();
    char32_t c = t.unicode;
    if (!c) c = t.ch < 0x80 ? t.ch : codePageToUnicode(t.ch, page);
    engine_.onText(c);
}

void TRtfExtendedGroup::onWord(const TRtfToken& t) {
    if (isHeaderWord(t.word()) && mode_ != Mode::Fragment) {
        TRtfFileParser::onWord(t);
        if (mode_ == Mode::Document) engine_.header_ = header_, engine_.codePage_ = codePage();
        return;
    }
    engine_.onWord(t, mode_ == Mode::Included, fontMap_, colorMap_);
}

void TRtfExtendedGroup::onBinary(const TRtfToken& t) {
    if (engine_.outputActive()) engine_.write(t.raw);
}

bool TRtfExtendedGroup::onDestination(const TRtfToken& first, bool ignorable) {
    // `first` is the tokenizer's current token: what is needed of it is
    // taken before reading on.
    const std::string_view w = first.word();
    const std::string opening = std::string(ignorable ? "\\*" : "") + std::string(first.raw);
    if (isHeaderGroup(w) && mode_ != Mode::Fragment) {
        TRtfFileParser::onDestination(first, ignorable);
        if (w == "fonttbl" || w == "colortbl")
            engine_.mergeTables(header_, mode_ == Mode::Included, fontMap_, colorMap_);
        return true;
    }
    if (w == "field") {
        TRtfField field;
        TRtfFieldParser reader(tokens_, field);
        reader.run();
        engine_.onField(field, mode_ == Mode::Fragment ? engine_.header_ : header_);
        return true;
    }
    if (w == "pict" || (ignorable && (w == "shppict" || depth() > 0))) {
        TRtfStringStream body;
        TRtfCopier copier(tokens_, body);
        copier.copy();
        engine_.writeVerbatimGroup(opening, body.data(), w == "pict" || w == "shppict");
        return true;
    }
    if (ignorable) {
        skipGroup();  // document-level extras of the word processor
        return true;
    }
    if (isHeaderOrFooter(w)) engine_.noteHeaderOrFooter();
    return false;
}

void TRtfExtendedGroup::onGroupStart() { engine_.onGroupStart(); }

void TRtfExtendedGroup::onGroupEnd() { engine_.onGroupEnd(); }

}  // namespace lagrull
