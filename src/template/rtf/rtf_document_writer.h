#pragma once
// The writers through which the document builder fills the model.
//
// Design note. A TParagraphWriter fills one text sequence (a section body,
// a header, a text box): it collects the runs of the open paragraph and
// places each finished paragraph in the sequence, in the open table's
// current cell, or in a frame. A table is an element of the sequence from
// its first row on; a paragraph outside a table closes it. A
// TDocumentWriter holds the sections and a stack of paragraph writers, one
// per open destination; the bottom one writes the current section's body.

#include <memory>
#include <string_view>
#include <vector>

#include "template/rtf/rtf_document_model.h"

namespace lagrull {

class TParagraphWriter {
public:
    explicit TParagraphWriter(TTextSequence& target) : target_(target) {}

    // The attributes of the text that follows.
    void setCharAttributes(const TCharAttributes& attrs);
    void addChar(char32_t c);
    void addText(std::string_view utf8);
    void addSpecial(TRunKind kind);
    void addPicture(std::unique_ptr<TPrintablePicture> picture);

    void endParagraph(const TParaAttributes& attrs);
    // Ends the paragraph (even an empty one) and the cell.
    void endCell(const TParaAttributes& attrs);
    // Ends the row of the cells written since the last row; `def` is its
    // definition.
    void endRow(const TTableDefPtr& def);
    void addElement(std::unique_ptr<TTextElement> element);

    // The end of the destination: text not yet ended by "par" becomes a
    // last paragraph, cells without "row" a last row.
    void finish(const TParaAttributes& attrs, const TTableDefPtr& def);

    bool hasOpenCells() const { return !rowCells_.empty() || cellOpen_; }
    bool hasPendingText() const { return !runs_.empty(); }
    TTextSequence& target() { return target_; }

private:
    TAttributedText& run(TRunKind kind);
    std::unique_ptr<TParagraph> takeParagraph(const TParaAttributes& attrs);
    TTextSequence& cell();

    TTextSequence& target_;
    std::vector<TAttributedText> runs_;
    TCharAttributes attrs_;
    bool newRun_ = true;

    TTableParagraph* openTable_ = nullptr;  // owned by target_
    std::vector<TCellContent> rowCells_;
    bool cellOpen_ = false;            // rowCells_.back() takes paragraphs
    TTextFrame* openFrame_ = nullptr;  // owned by target_
};

class TDocumentWriter {
public:
    explicit TDocumentWriter(TBuildDocument& document);

    TBuildDocument& document() { return document_; }
    // The current section; the first is opened with the document's page.
    TBuildSection& section();
    bool hasSection() const { return !document_.sections.empty(); }
    // "sectd": resets the current section to the document's page.
    void resetSection();
    // "sect": a new section taking over what a new section keeps.
    void newSection(const TParaAttributes& attrs, const TTableDefPtr& def);

    // The writer of the innermost open destination.
    TParagraphWriter& paragraphs();
    // Opens a header or footer of the current section; text goes there until
    // endDestination.
    void beginHeaderFooter(THeaderSlot slot);
    // Opens a destination writing into `sequence` (a text box, a frame).
    void beginSequence(TTextSequence& sequence);
    void endDestination(const TParaAttributes& attrs, const TTableDefPtr& def);
    std::size_t openDestinations() const { return stack_.size() - 1; }

    void finish(const TParaAttributes& attrs, const TTableDefPtr& def);

private:
    void openSection(std::unique_ptr<TBuildSection> section);

    TBuildDocument& document_;
    std::vector<std::unique_ptr<TParagraphWriter>> stack_;
};

}  // namespace lagrull
