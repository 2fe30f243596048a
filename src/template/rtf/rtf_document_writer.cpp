#include "template/rtf/rtf_document_writer.h"

namespace lagrull {

void TParagraphWriter::setCharAttributes(const TCharAttributes& attrs) {
    if (attrs_ == attrs) return;
    attrs_ = attrs;
    newRun_ = true;
}

TAttributedText& TParagraphWriter::run(TRunKind kind) {
    if (kind == TRunKind::Text && !newRun_ && !runs_.empty() && runs_.back().kind == TRunKind::Text)
        return runs_.back();
    TAttributedText& r = runs_.emplace_back();
    r.kind = kind;
    r.attrs = attrs_;
    newRun_ = kind != TRunKind::Text;
    return r;
}

void TParagraphWriter::addChar(char32_t c) {
    TAttributedText& r = run(TRunKind::Text);
    if (c < 0x80)
        r.text.push_back(static_cast<char>(c));
    else
        appendUtf8(r.text, c);
}

void TParagraphWriter::addText(std::string_view utf8) {
    if (!utf8.empty()) run(TRunKind::Text).text.append(utf8);
}

void TParagraphWriter::addSpecial(TRunKind kind) { run(kind); }

void TParagraphWriter::addPicture(std::unique_ptr<TPrintablePicture> picture) {
    run(TRunKind::Picture).picture = std::move(picture);
}

std::unique_ptr<TParagraph> TParagraphWriter::takeParagraph(const TParaAttributes& attrs) {
    auto p = std::make_unique<TParagraph>();
    p->attrs = attrs;
    p->mark = attrs_;
    p->runs = std::move(runs_);
    runs_.clear();
    newRun_ = true;
    return p;
}

TTextSequence& TParagraphWriter::cell() {
    if (!cellOpen_) {
        rowCells_.emplace_back();
        cellOpen_ = true;
    }
    return rowCells_.back().content;
}

void TParagraphWriter::endParagraph(const TParaAttributes& attrs) {
    auto p = takeParagraph(attrs);
    if (attrs.inTable) {
        openFrame_ = nullptr;
        cell().add(std::move(p));
        return;
    }
    openTable_ = nullptr;
    if (attrs.frame.present) {
        if (!openFrame_ || !(openFrame_->frame == attrs.frame)) {
            auto frame = std::make_unique<TTextFrame>();
            frame->frame = attrs.frame;
            openFrame_ = &target_.add(std::move(frame));
        }
        openFrame_->content.add(std::move(p));
        return;
    }
    openFrame_ = nullptr;
    target_.add(std::move(p));
}

void TParagraphWriter::endCell(const TParaAttributes& attrs) {
    TParaAttributes inCell = attrs;
    inCell.inTable = true;
    endParagraph(inCell);
    cellOpen_ = false;
}

void TParagraphWriter::endRow(const TTableDefPtr& def) {
    if (hasPendingText()) {
        TParaAttributes a;
        a.inTable = true;
        endCell(a);
    }
    cellOpen_ = false;
    if (!openTable_) openTable_ = &target_.add(std::make_unique<TTableParagraph>());
    TTableRow& row = openTable_->rows.emplace_back();
    row.def = def;
    row.cells = std::move(rowCells_);
    rowCells_.clear();
    openFrame_ = nullptr;
}

void TParagraphWriter::addElement(std::unique_ptr<TTextElement> element) {
    target_.add(std::move(element));
    openFrame_ = nullptr;
}

void TParagraphWriter::finish(const TParaAttributes& attrs, const TTableDefPtr& def) {
    if (hasPendingText()) {
        if (attrs.inTable)
            endCell(attrs);
        else
            endParagraph(attrs);
    }
    if (hasOpenCells()) endRow(def);
    openTable_ = nullptr;
    openFrame_ = nullptr;
}

TDocumentWriter::TDocumentWriter(TBuildDocument& document) : document_(document) {}

namespace {

// A section with the document's page: what "sectd" and the first section start from.
void takeDocumentPage(TBuildSection& s, const TDocumentSettings& d) {
    s.paperWidth = d.paperWidth;
    s.paperHeight = d.paperHeight;
    s.marginLeft = d.marginLeft;
    s.marginTop = d.marginTop;
    s.marginRight = d.marginRight;
    s.marginBottom = d.marginBottom;
    s.landscape = d.landscape;
}

}  // namespace

void TDocumentWriter::openSection(std::unique_ptr<TBuildSection> section) {
    TBuildSection& s = *section;
    document_.sections.push_back(std::move(section));
    // Destinations opened in the old section stay open (a header group
    // never holds "sect"); only the body writer changes.
    auto body = std::make_unique<TParagraphWriter>(s.body);
    if (stack_.empty())
        stack_.push_back(std::move(body));
    else
        stack_.front() = std::move(body);
}

TBuildSection& TDocumentWriter::section() {
    if (document_.sections.empty()) {
        auto s = std::make_unique<TBuildSection>();
        takeDocumentPage(*s, document_.settings);
        s->headerDistance = document_.settings.headerDistance;
        s->footerDistance = document_.settings.footerDistance;
        openSection(std::move(s));
    }
    return *document_.sections.back();
}

void TDocumentWriter::resetSection() {
    TBuildSection& s = section();
    takeDocumentPage(s, document_.settings);
    s.columns = 1;
    s.columnSpacing = 720;
    s.breakKind = TSectionBreak::Page;
    s.binFirst = s.binOther = 0;
}

void TDocumentWriter::newSection(const TParaAttributes& attrs, const TTableDefPtr& def) {
    const TBuildSection& old = section();
    stack_.front()->finish(attrs, def);
    auto s = std::make_unique<TBuildSection>();
    takeDocumentPage(*s, document_.settings);
    s->setSlot(THeaderSlot::Header, old.slot(THeaderSlot::Header));
    s->setSlot(THeaderSlot::Footer, old.slot(THeaderSlot::Footer));
    s->headerDistance = old.headerDistance;
    s->footerDistance = old.footerDistance;
    s->breakKind = old.breakKind;
    s->columns = old.columns;
    s->columnSpacing = old.columnSpacing;
    s->landscape = old.landscape;
    openSection(std::move(s));
}

TParagraphWriter& TDocumentWriter::paragraphs() {
    if (stack_.empty()) section();
    return *stack_.back();
}

void TDocumentWriter::beginHeaderFooter(THeaderSlot slot) {
    TTextSequence& sequence = document_.newHeaderFooter();
    section().setSlot(slot, &sequence);
    beginSequence(sequence);
}

void TDocumentWriter::beginSequence(TTextSequence& sequence) {
    section();
    stack_.push_back(std::make_unique<TParagraphWriter>(sequence));
}

void TDocumentWriter::endDestination(const TParaAttributes& attrs, const TTableDefPtr& def) {
    if (stack_.size() <= 1) return;
    stack_.back()->finish(attrs, def);
    stack_.pop_back();
}

void TDocumentWriter::finish(const TParaAttributes& attrs, const TTableDefPtr& def) {
    while (stack_.size() > 1) endDestination(attrs, def);
    if (!stack_.empty()) stack_.front()->finish(attrs, def);
    stack_.clear();
    // A "sect" at the very end opens no section of its own: nothing follows
    // it, and an empty section would print as an empty page.
    auto& sections = document_.sections;
    while (sections.size() > 1 && sections.back()->body.empty()) sections.pop_back();
}

}  // namespace lagrull
