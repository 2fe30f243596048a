#pragma once
// The pieces a laid-out document consists of. Each element of the model is
// laid out to a width into blocks: one per line of a paragraph, one per row
// of a table. A block knows its height and draws itself at a position; the
// page formatter only moves blocks down the pages.
//
// Page fields are laid out with the width of "00" and drawn with the page's
// numbers; each line keeps how the text between its tabs is anchored, so
// the difference is taken up where a word processor takes it up.

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "template/layout/print_device.h"
#include "template/rtf/rtf_document_model.h"

namespace lagrull {

// Lengths from a document are bounded before they are laid out, so that
// hostile values cannot overflow the sums of the layout: 2^22 twips are
// some 74 metres.
constexpr int kMaxLength = 1 << 22;
inline int saneLength(long long v) {
    return static_cast<int>(v < -kMaxLength ? -kMaxLength : v > kMaxLength ? kMaxLength : v);
}

// The page's numbers, as the page fields show them.
struct TPageNumbers {
    int page = 1, section = 1, highest = 1;
};

class TBlock {
public:
    virtual ~TBlock() = default;
    virtual void draw(TPrintDevice& device, const TPageNumbers& numbers, int x, int y) const = 0;

    int height = 0;
    bool breakBefore = false;        // the line follows a page break in its paragraph
    bool columnBreakBefore = false;  // or a column break
    bool headerRow = false;          // a table row marked "trhdr"
    // the paragraph's space before, part of the height: dropped at the top
    // of a page or column the text ran onto by itself
    int spaceBefore = 0;
    // the space after, part of the height too: it may hang past the bottom
    int spaceAfter = 0;
};

using TBlocks = std::vector<std::unique_ptr<TBlock>>;

int totalHeight(const TBlocks& blocks);

// What laying out needs besides the element: the metrics and the
// document's fonts, colours and default tab width.
struct TLayoutContext {
    TFontMeasure& measure;
    const TRtfHeader& header;
    int tabWidth = 1500;
};

// The fill a shading stands for, if any.
std::optional<TRtfColor> shadingFill(const TShading& shading, const TColorTable& colors);
TBorderPen borderPen(const TBorderDef& border, const TColorTable& colors);
// A horizontal or vertical border; a double one is drawn as two lines, one
// on either side of where a single line would run.
void drawBorder(TPrintDevice& device, int x1, int y1, int x2, int y2, const TBorderPen& border);

TBlocks layoutParagraph(const TParagraph& paragraph, int width, TLayoutContext& context);
TBlocks layoutTable(const TTableParagraph& table, int width, TLayoutContext& context);
// The elements of a header, a cell or a frame one after another; frames
// inside them are laid out in the flow, drawing objects are left out.
TBlocks layoutSequence(const TTextSequence& sequence, int width, TLayoutContext& context);

}  // namespace lagrull
