#include "template/layout/page_formatter.h"

#include <algorithm>

namespace lagrull {

int TSpalteProfil::freeFrom(int y, int h) const {
    bool moved = true;
    while (moved) {
        moved = false;
        for (const Band& b : bands_) {
            if (b.top < y + h && b.bottom > y) {
                y = b.bottom;
                moved = true;
            }
        }
    }
    return y;
}

TRect TPageFormatter::contentArea() const {
    return {pageRect_.left + margins_.left, pageRect_.top + std::max(margins_.top, headerBand_),
            pageRect_.right - margins_.right,
            pageRect_.bottom - std::max(margins_.bottom, footerBand_)};
}

int TPageFormatter::columnWidth() const {
    const TRect c = contentArea();
    return std::max(1, (c.width() - (columns_ - 1) * spacing_) / columns_);
}

int TPageFormatter::columnLeft() const {
    return contentArea().left + column_ * (columnWidth() + spacing_);
}

void TPageFormatter::sectionStarted(const TBuildSection&, int paperWidth, int paperHeight) {
    pageRect_ = {0, 0, paperWidth, paperHeight};
}

void TPageFormatter::beginPage() {
    logicalPageBegins();
    ++page_;
    highest_ = std::max(highest_, page_);
    pageOpen_ = true;
    placedOnPage_ = false;
    afterAutomaticBreak_ = false;
    frames_.clear();
    profile_.clear();
    column_ = 0;
    drawHeader();
    y_ = contentArea().top;
}

void TPageFormatter::endPage() {
    if (!pageOpen_) return;
    for (const TPageRelative& f : frames_) drawFloating(f);
    frames_.clear();
    if (!atTop()) drawFooter();
    pageOpen_ = false;
    logicalPageEnded();
}

void TPageFormatter::nextColumn() {
    column_ = (column_ + 1) % columns_;
    if (column_ == 0) {
        endPage();
        beginPage();
    }
    profile_.clear();
    for (const TPageRelative& f : frames_)
        if (!f.drawing && f.rect.right > columnLeft() && f.rect.left < columnLeft() + columnWidth())
            profile_.block(f.rect.top, f.rect.bottom);
    y_ = contentArea().top;
}

void TPageFormatter::makeRoom(int h) {
    if (contentArea().bottom < y_ + h && !atTop()) {
        nextColumn();
        afterAutomaticBreak_ = true;
    }
}

void TPageFormatter::place(const TBlock& block) {
    if (!profile_.empty()) {
        const int free = profile_.freeFrom(y_, block.height);
        if (free != y_) {
            y_ = free;
            makeRoom(block.height);
        }
    }
    // word processors drop the space before a paragraph that the text
    // pushed onto a new page, so it starts at the top margin
    const int dropped = afterAutomaticBreak_ ? block.spaceBefore : 0;
    drawBlock(block, columnLeft(), y_ - dropped);
    y_ += block.height - dropped;
    placedOnPage_ = true;
    afterAutomaticBreak_ = false;
}

void TPageFormatter::placeQueue(int extra) {
    if (queue_.empty()) return;
    makeRoom(totalHeight(queue_) + extra);
    for (const auto& b : queue_) place(*b);
    queue_.clear();
}

void TPageFormatter::layoutBlocks(TBlocks blocks, const TParaAttributes* attrs, bool isTable) {
    if (blocks.empty()) return;
    const bool pageBreakBefore = attrs && attrs->pageBreakBefore;
    const bool keep = attrs && attrs->keep;
    const bool keepNext = attrs && attrs->keepNext;
    if (pageBreakBefore) {
        placeQueue(0);
        // a page with nothing on it yet is already the new page
        if (placedOnPage_) {
            endPage();
            beginPage();
        }
    } else if (keep) {
        makeRoom(totalHeight(blocks));
    }
    if (keepNext) {
        for (auto& b : blocks) queue_.push_back(std::move(b));
        return;
    }
    const bool widowControl =
        !isTable && attrs && attrs->widowControl.value_or(documentWidowControl_);
    // the opening lines go with the queue
    int opening = 0;
    if (widowControl)
        opening = neededFor(blocks, 0, true);
    else if (!isTable && !queue_.empty())
        for (std::size_t i = 0; i < std::min<std::size_t>(2, blocks.size()); ++i)
            opening += blocks[i]->height;
    if (!queue_.empty())
        placeQueue(opening);
    else if (opening > 0)
        makeRoom(opening);

    std::vector<const TBlock*> headerRows;
    if (isTable)
        for (const auto& b : blocks) {
            if (!b->headerRow) break;
            headerRows.push_back(b.get());
        }
    for (std::size_t i = 0; i < blocks.size(); ++i) {
        const TBlock& line = *blocks[i];
        if (line.breakBefore) {
            endPage();
            beginPage();
        } else if (line.columnBreakBefore) {
            nextColumn();
        }
        makeRoom(neededFor(blocks, i, widowControl));
        if (atTop() && i > 0 && !headerRows.empty() && !line.headerRow)
            for (const TBlock* h : headerRows) place(*h);
        place(line);
    }
}

int TPageFormatter::neededFor(const TBlocks& lines, std::size_t i, bool widowControl) const {
    // a paragraph's space after need not fit on the page, as in word processors
    const auto height = [&lines](std::size_t from, std::size_t to) {
        int h = 0;
        for (std::size_t k = from; k < to; ++k) h += lines[k]->height;
        return to == lines.size() ? h - lines.back()->spaceAfter : h;
    };
    const std::size_t n = lines.size();
    if (!widowControl || n < 2) return height(i, i + 1);
    // one or two lines at the foot of a page of a paragraph of up to three
    // would leave one line alone: it goes whole
    if (i == 0) return height(0, n <= 3 ? n : 2);
    // the last two lines go together
    if (n >= 4 && i == n - 2) return height(i, n);
    return height(i, i + 1);
}

void TPageFormatter::placeFrame(const TTextFrame& frame, TLayoutContext& context) {
    const TFrameDef& f = frame.frame;
    const TRect content = contentArea();
    const int width = f.width > 0 ? saneLength(f.width) : columnWidth();
    const int fx = saneLength(f.x), fy = saneLength(f.y), fh = saneLength(f.height),
              dy = saneLength(f.distanceY);
    TPageRelative placed;
    placed.blocks = layoutSequence(frame.content, width, context);
    int h = totalHeight(placed.blocks);
    if (fh > 0)
        h = std::max(h, fh);
    else if (fh < 0)
        h = -fh;
    const TRect href = f.horzRef == TFrameHorzRef::Column
                           ? TRect{columnLeft(), 0, columnLeft() + columnWidth(), 0}
                       : f.horzRef == TFrameHorzRef::Margin ? content
                                                            : pageRect_;
    const TRect vref = f.vertRef == TFrameVertRef::Paragraph ? TRect{0, y_, 0, content.bottom}
                       : f.vertRef == TFrameVertRef::Margin  ? content
                                                             : pageRect_;
    int x = href.left + fx;
    switch (f.horzPos) {
        case TFrameHorzPos::Offset: break;
        case TFrameHorzPos::Left:
        case TFrameHorzPos::Inside: x = href.left; break;
        case TFrameHorzPos::Center: x = href.left + (href.width() - width) / 2; break;
        case TFrameHorzPos::Right:
        case TFrameHorzPos::Outside: x = href.right - width; break;
    }
    int y = vref.top + fy;
    switch (f.vertPos) {
        case TFrameVertPos::Offset: break;
        case TFrameVertPos::Top:
        case TFrameVertPos::Inline: y = vref.top; break;
        case TFrameVertPos::Center: y = vref.top + (vref.height() - h) / 2; break;
        case TFrameVertPos::Bottom: y = vref.bottom - h; break;
    }
    placed.rect = {x, y, x + width, y + h};
    // the column narrows beside the frame: text goes below it
    if (placed.rect.right > columnLeft() && placed.rect.left < columnLeft() + columnWidth())
        profile_.block(y - dy, y + h + dy);
    lowestFrame_ = std::max(lowestFrame_, y + h);
    frames_.push_back(std::move(placed));
}

void TPageFormatter::placeDrawing(const TDrawingObject& d) {
    const TRect content = contentArea();
    TPageRelative placed;
    placed.drawing = &d;
    placed.originX = d.horzRef == TDrawingHorzRef::Page     ? pageRect_.left
                     : d.horzRef == TDrawingHorzRef::Margin ? content.left
                                                            : columnLeft();
    placed.originY = d.vertRef == TDrawingVertRef::Page     ? pageRect_.top
                     : d.vertRef == TDrawingVertRef::Margin ? content.top
                                                            : y_;
    const int left = saneLength(d.left), top = saneLength(d.top);
    placed.rect = {placed.originX + left, placed.originY + top,
                   placed.originX + left + saneLength(d.width),
                   placed.originY + top + saneLength(d.height)};
    frames_.push_back(std::move(placed));
}

void TPageFormatter::layoutElement(const TTextElement& e, TLayoutContext& context) {
    switch (e.kind()) {
        case TTextElement::Kind::Paragraph: {
            const auto& p = static_cast<const TParagraph&>(e);
            layoutBlocks(layoutParagraph(p, columnWidth(), context), &p.attrs, false);
            break;
        }
        case TTextElement::Kind::Table: {
            const auto& t = static_cast<const TTableParagraph&>(e);
            TParaAttributes attrs;
            attrs.keep = !t.rows.empty() && t.rows.front().def->keep;
            layoutBlocks(layoutTable(t, columnWidth(), context), &attrs, true);
            break;
        }
        case TTextElement::Kind::Frame:
            placeFrame(static_cast<const TTextFrame&>(e), context);
            break;
        case TTextElement::Kind::Drawing:
            placeDrawing(static_cast<const TDrawingObject&>(e));
            break;
    }
}

void TPageFormatter::formatDocument(const TBuildDocument& document) {
    page_ = 0;
    section_ = 0;
    pageOpen_ = false;
    queue_.clear();
    lowestFrame_ = 0;
    documentWidowControl_ = document.settings.widowControl;
    documentStarted(document);
    TLayoutContext context{measure(), document.header,
                           std::clamp(document.settings.tabWidth(), 1, kMaxLength)};
    for (std::size_t k = 0; k < document.sections.size(); ++k) {
        const TBuildSection& s = *document.sections[k];
        ++section_;
        const int kind =
            k == 0 ? static_cast<int>(TSectionBreak::First) : static_cast<int>(s.breakKind);
        int w = s.paperWidth, h = s.paperHeight;
        if (w == 0 && h == 0) {
            w = document.settings.paperWidth;
            h = document.settings.paperHeight;
        }
        // a page is at least an inch each way
        w = std::clamp(w, 1440, kMaxLength);
        h = std::clamp(h, 1440, kMaxLength);
        paperHeight_ = h;
        margins_ = {saneLength(s.marginLeft), saneLength(s.marginTop), saneLength(s.marginRight),
                    saneLength(s.marginBottom)};
        headerDistance_ = saneLength(s.headerDistance);
        footerDistance_ = saneLength(s.footerDistance);
        if (kind >= 1 && kind <= 4) endPage();
        sectionStarted(s, w, h);
        if (kind >= 1 && kind <= 5) {
            const bool odd = page_ % 2 == 1;
            if ((odd && kind == static_cast<int>(TSectionBreak::Odd)) ||
                (!odd && kind == static_cast<int>(TSectionBreak::Even))) {
                beginPage();
                endPage();
            }
        }
        headerStart(s, context);
        if (pageOpen_ && atTop()) drawHeader();
        if (s.pageNumberRestart) page_ = std::clamp(s.pageNumberStart, -999999, 999999) - 1;
        if (kind >= 1 && kind <= 5) beginPage();
        columns_ = std::clamp(s.columns, 1, 64);
        spacing_ = std::clamp(s.columnSpacing, 0, kMaxLength / 64);
        column_ = 0;
        for (const auto& e : s.body.elements()) layoutElement(*e, context);
        placeQueue(0);
    }
    if (pageOpen_) y_ = std::max(y_, lowestFrame_);
    endPage();
    headerStart(TBuildSection{}, context);  // no blocks kept past the document
}

namespace {

bool sequenceUsesPageCount(const TTextSequence& sequence);

bool elementUsesPageCount(const TTextElement& e) {
    switch (e.kind()) {
        case TTextElement::Kind::Paragraph:
            for (const auto& run : static_cast<const TParagraph&>(e).runs)
                if (run.kind == TRunKind::PageCount) return true;
            return false;
        case TTextElement::Kind::Table:
            for (const auto& row : static_cast<const TTableParagraph&>(e).rows)
                for (const auto& cell : row.cells)
                    if (sequenceUsesPageCount(cell.content)) return true;
            return false;
        case TTextElement::Kind::Frame:
            return sequenceUsesPageCount(static_cast<const TTextFrame&>(e).content);
        case TTextElement::Kind::Drawing:
            return sequenceUsesPageCount(static_cast<const TDrawingObject&>(e).text);
    }
    return false;
}

bool sequenceUsesPageCount(const TTextSequence& sequence) {
    for (const auto& e : sequence.elements())
        if (elementUsesPageCount(*e)) return true;
    return false;
}

}  // namespace

void TPageFormatter::countPages(const TBuildDocument& document) {
    bool uses = false;
    for (const auto& hf : document.headerFooters) uses = uses || sequenceUsesPageCount(*hf);
    for (const auto& s : document.sections) uses = uses || sequenceUsesPageCount(s->body);
    if (!uses) return;
    drawing_ = false;
    try {
        formatDocument(document);
    } catch (...) {
        drawing_ = true;
        throw;
    }
    drawing_ = true;
}

void THFPageFormatter::headerStart(const TBuildSection& section, TLayoutContext& context) {
    header_.clear();
    footer_.clear();
    headerBand_ = footerBand_ = 0;
    if (!headersEnabled_) return;
    const TTextSequence* h = section.slot(THeaderSlot::Header);
    if (!h || h->empty()) h = section.slot(THeaderSlot::HeaderRight);
    const TTextSequence* f = section.slot(THeaderSlot::Footer);
    const int width = contentArea().width();
    if (h) header_ = layoutSequence(*h, width, context);
    if (f) footer_ = layoutSequence(*f, width, context);
    if (!header_.empty()) headerBand_ = headerDistance_ + totalHeight(header_);
    if (!footer_.empty()) footerBand_ = footerDistance_ + totalHeight(footer_);
}

void THFPageFormatter::drawHeader() {
    int y = pageRect_.top + headerDistance_;
    const int x = contentArea().left;
    for (const auto& b : header_) {
        drawBlock(*b, x, y);
        y += b->height;
    }
}

void THFPageFormatter::drawFooter() {
    int y = pageRect_.bottom - footerBand_;
    const int x = contentArea().left;
    for (const auto& b : footer_) {
        drawBlock(*b, x, y);
        y += b->height;
    }
}

}  // namespace lagrull
