#pragma once
// The document builder's first half: character, paragraph, border and
// shading, and table words, and the text itself.
//
// Design note. The character and paragraph state of each open group is a
// TCurrStatus on a stack: a group start pushes a copy, a group end restores
// the enclosing group's state (past a fixed depth the state is shared, so
// hostile nesting costs no memory). Destinations read into a sequence of
// their own (headers, footers, text boxes) or read in line by a handler
// nest at most kMaxNesting deep; deeper ones are skipped, so the reading
// never recurses without bound. The row definition being built ("trowd" ...
// "cellx") is not group state; rows share it until it changes. Text bytes
// are read through the document's code page; "\u" gives a Unicode character
// and skips the "\uc" stand-in characters that follow it.

#include "template/rtf/rtf_document_writer.h"
#include "template/rtf/rtf_file_parser.h"
#include "template/rtf/rtf_vocabulary.h"

namespace lagrull {

struct TCurrStatus {
    TCharAttributes chr;
    TParaAttributes para;
    int ucSkip = 1;
};

class TRtfParagraphParser : public TRtfFileParser {
public:
    TRtfParagraphParser(TRtfTokenizer& tokens, TDocumentWriter& writer);

protected:
    void onText(const TRtfToken& t) override;
    void onWord(const TRtfToken& t) override;
    void onBinary(const TRtfToken& t) override;
    void onGroupStart() override;
    void onGroupEnd() override;

    // Handles a word of the builder's vocabulary; false for others.
    virtual bool handleWord(RtfWord w, const TRtfToken& t) { return paragraphWord(w, t); }
    bool paragraphWord(RtfWord w, const TRtfToken& t);

    TParagraphWriter& out();
    // The writer, told the current character attributes.
    TParagraphWriter& textOut();
    void addChar(char32_t c);
    void addSpecial(TRunKind kind);
    // Reads the rest of the current group in line, as a nested group.
    void readInline();
    // Reads the rest of the current group into `begin`'s destination, with
    // the state of this group restored afterwards.
    template <class Begin>
    void readDestination(Begin begin);
    bool tooDeep() const { return nesting_ >= kMaxNesting; }

    TDocumentWriter& writer_;
    TCurrStatus status_;
    TTableDef rowDef_;
    // The row definition as rows hold it, made anew after each change.
    const TTableDefPtr& rowDefinition();

private:
    enum class BorderTarget : std::uint8_t {
        None,
        ParaTop,
        ParaBottom,
        ParaLeft,
        ParaRight,
        ParaBetween,
        ParaBar,
        ParaBox,
        RowTop,
        RowBottom,
        RowLeft,
        RowRight,
        RowHorizontal,
        RowVertical,
        CellTop,
        CellBottom,
        CellLeft,
        CellRight,
    };
    static constexpr std::size_t kMaxStack = 200;
    static constexpr int kMaxNesting = 12;
    static constexpr std::size_t kMaxTabs = 256;

    bool characterWord(RtfWord w, const TRtfToken& t);
    bool tableWord(RtfWord w, const TRtfToken& t);
    bool borderWord(RtfWord w, const TRtfToken& t);
    template <class Change>
    void changeBorder(Change change);
    void resetCharacter();
    void endParagraph();

    std::vector<TCurrStatus> stack_;
    int overflow_ = 0;  // groups opened beyond kMaxStack
    int skip_ = 0;      // stand-in characters still to skip after "\u"
    char16_t highSurrogate_ = 0;
    bool charDirty_ = true;
    const TParagraphWriter* attrsWriter_ = nullptr;
    BorderTarget border_ = BorderTarget::None;
    TTableDefPtr sharedRowDef_;
    TCellDef pendingCell_;
    TTabStop pendingTab_;
    int nesting_ = 0;
};

template <class Begin>
void TRtfParagraphParser::readDestination(Begin begin) {
    if (tooDeep()) {
        skipGroup();
        return;
    }
    // Closes the destination on every way out, also when the data end inside
    // it: its sequence may belong to a drawing being read that does not
    // outlive the reading.
    struct Close {
        TRtfParagraphParser& parser;
        TCurrStatus saved;
        TTableDef savedRow;
        ~Close() {
            parser.writer_.endDestination(parser.status_.para, parser.rowDefinition());
            parser.status_ = std::move(saved);
            parser.rowDef_ = std::move(savedRow);
            parser.sharedRowDef_.reset();
            parser.charDirty_ = true;
            --parser.nesting_;
        }
    };
    ++nesting_;
    Close close{*this, status_, rowDef_};
    begin();
    parseNested();
}

}  // namespace lagrull
