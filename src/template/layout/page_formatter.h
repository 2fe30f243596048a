#pragma once
// Page layout: the model's sections laid out on pages.
//
// TPageFormatter moves laid-out blocks (layout_blocks.h) down the columns of
// the pages: making room, keep, keep-with-next, page-break-before, repeated
// table header rows, frames and the free space they leave. THFPageFormatter
// adds headers and footers; TWinPageFormatter draws on a printer device.
//
// Invariants: between beginPage and endPage a page is open and y lies at or
// below the content top; the page counter counts pages of this copy, the
// highest page number reached is never lowered; queued blocks are placed
// before anything that follows them; a paragraph's space before is dropped
// only by the first block placed after a break the layout made itself (an
// explicit page break, a section's start and the first page keep it).

#include <optional>
#include <vector>

#include "template/layout/layout_blocks.h"

namespace lagrull {

// The free space of a column beside the page's frames: the vertical bands
// a frame blocks, as intervals.
class TSpalteProfil {
public:
    void clear() { bands_.clear(); }
    void block(int top, int bottom) { bands_.push_back({top, bottom}); }
    bool empty() const { return bands_.empty(); }
    // The first position at or below y where a height h runs the full
    // column width, moving down band by band.
    int freeFrom(int y, int h) const;

private:
    struct Band {
        int top, bottom;
    };
    std::vector<Band> bands_;
};

// A frame or a drawing object placed on the page, drawn when it ends.
struct TPageRelative {
    TRect rect;
    TBlocks blocks;                           // a frame's content
    const TDrawingObject* drawing = nullptr;  // or a drawing object
    int originX = 0, originY = 0;             // the drawing's reference corner
};

class TPageFormatter {
public:
    virtual ~TPageFormatter() = default;

    // Lays out the document once, from page 1.
    void formatDocument(const TBuildDocument& document);

    int pageCounter() const { return page_; }
    int highestPage() const { return highest_; }
    int sectionCounter() const { return section_; }
    const TRect& pageRect() const { return pageRect_; }
    TRect contentArea() const;
    int position() const { return y_; }

protected:
    // The page rectangle for a section of the given paper size: by default
    // the paper itself. The printer formatter puts it on its sheets.
    virtual void sectionStarted(const TBuildSection& section, int paperWidth, int paperHeight);
    virtual void documentStarted(const TBuildDocument&) {}
    virtual void logicalPageBegins() {}
    virtual void logicalPageEnded() {}
    virtual void headerStart(const TBuildSection&, TLayoutContext&) {}
    virtual void drawHeader() {}
    virtual void drawFooter() {}
    virtual void drawBlock(const TBlock& block, int x, int y) = 0;
    virtual void drawFloating(const TPageRelative& element) = 0;
    virtual TFontMeasure& measure() = 0;

    void beginPage();
    void endPage();
    bool atTop() const { return y_ == pageRect_.top + margins_.top; }
    void makeRoom(int h);
    void nextColumn();
    void place(const TBlock& block);
    TPageNumbers numbers() const { return {page_, section_, highest_}; }

    TRect pageRect_{0, 0, 11906, 16838};
    TRect margins_{1800, 1440, 1800, 1440};  // left, top, right, bottom
    int headerBand_ = 0, footerBand_ = 0;
    int headerDistance_ = 720, footerDistance_ = 720;
    bool headersEnabled_ = false;
    int paperHeight_ = 16838;
    // Off while the document is laid out once in advance to count its
    // pages: nothing is drawn and no sheet is touched.
    bool drawing_ = true;
    // Counts the pages of a document by laying it out without drawing, so
    // "numpages" shows the total from the first page on.
    void countPages(const TBuildDocument& document);

private:
    void layoutElement(const TTextElement& element, TLayoutContext& context);
    void layoutBlocks(TBlocks blocks, const TParaAttributes* attrs, bool isTable);
    // The height that must fit before line i of a paragraph of these lines
    // is placed: with widow control no line is left alone on either page.
    int neededFor(const TBlocks& lines, std::size_t i, bool widowControl) const;
    void placeQueue(int extra);
    void placeFrame(const TTextFrame& frame, TLayoutContext& context);
    void placeDrawing(const TDrawingObject& drawing);
    int columnWidth() const;
    int columnLeft() const;

    int y_ = 0;
    int column_ = 0, columns_ = 1, spacing_ = 720;
    int page_ = 0, highest_ = 0, section_ = 0;
    bool pageOpen_ = false;
    bool placedOnPage_ = false;
    bool afterAutomaticBreak_ = false;  // nothing placed since the layout broke the column
    TBlocks queue_;
    std::vector<TPageRelative> frames_;
    TSpalteProfil profile_;
    int lowestFrame_ = 0;
    bool documentWidowControl_ = false;
};

// Headers and footers: the section's "header" (else "headerr") and
// "footer" slots, laid out to the content width.
class THFPageFormatter : public TPageFormatter {
public:
    void enableHeaders(bool on) { headersEnabled_ = on; }

protected:
    void headerStart(const TBuildSection& section, TLayoutContext& context) override;
    void drawHeader() override;
    void drawFooter() override;

private:
    TBlocks header_, footer_;
};

// Draws on a printer device.
class TWinPageFormatter : public THFPageFormatter {
protected:
    void drawBlock(const TBlock& block, int x, int y) override;
    void drawFloating(const TPageRelative& element) override;
    TFontMeasure& measure() override { return *device_; }
    void drawDrawing(const TDrawingObject& d, int originX, int originY);
    void documentStarted(const TBuildDocument& document) override {
        header_ = &document.header;
        tabWidth_ = document.settings.tabWidth();
    }

    TPrintDevice* device_ = nullptr;

private:
    const TRtfHeader* header_ = nullptr;  // of the document being laid out
    int tabWidth_ = 1500;
};

}  // namespace lagrull
