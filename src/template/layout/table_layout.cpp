// Table rows as blocks. A row is as tall as its tallest cell (at least, or
// exactly, "trrh"); cells lie between their "cellx" edges, measured from the
// left of the column plus "trleft", with "trgaph" inside each edge. A cell's
// border comes from the cell, else from the row's outer or inner borders.
#include <algorithm>

#include "template/layout/layout_blocks.h"

namespace lagrull {

namespace {

struct CellBox {
    int left = 0, right = 0;
    int textLeft = 0, textWidth = 0;
    TBlocks blocks;
    int contentHeight = 0;
    TVertAlign align = TVertAlign::Top;
    std::optional<TRtfColor> fill;
    std::optional<TBorderPen> top, bottom, left_, right_;
};

class TRowBlock : public TBlock {
public:
    std::vector<CellBox> cells;
    int textTop = 0;  // the top borders' width above the cells' text

    void draw(TPrintDevice& device, const TPageNumbers& numbers, int x, int y) const override {
        for (const CellBox& c : cells)
            if (c.fill) device.fillRect({x + c.left, y, x + c.right, y + height}, *c.fill);
        for (const CellBox& c : cells) {
            int cy = y + textTop;
            if (c.align == TVertAlign::Center)
                cy += (height - textTop - c.contentHeight) / 2;
            else if (c.align == TVertAlign::Bottom)
                cy += height - textTop - c.contentHeight;
            for (const auto& b : c.blocks) {
                b->draw(device, numbers, x + c.textLeft, cy);
                cy += b->height;
            }
        }
        for (const CellBox& c : cells) {
            if (c.top) drawBorder(device, x + c.left, y, x + c.right, y, *c.top);
            if (c.bottom)
                drawBorder(device, x + c.left, y + height, x + c.right, y + height, *c.bottom);
            if (c.left_) drawBorder(device, x + c.left, y, x + c.left, y + height, *c.left_);
            if (c.right_) drawBorder(device, x + c.right, y, x + c.right, y + height, *c.right_);
        }
    }
};

std::optional<TBorderPen> pen(const TBorderDef& cell, const TBorderDef& row,
                              const TColorTable& colors) {
    if (cell.isSet()) return borderPen(cell, colors);
    if (row.isSet()) return borderPen(row, colors);
    return std::nullopt;
}

std::unique_ptr<TBlock> layoutRow(const TTableRow& row, int width, bool firstRow, bool lastRow,
                                  TLayoutContext& context) {
    const TTableDef& def = *row.def;
    const TColorTable& colors = context.header.colors;
    auto block = std::make_unique<TRowBlock>();
    block->headerRow = def.header;
    const int tableLeft = saneLength(def.left);
    int tableRight = def.cells.empty() ? tableLeft : saneLength(def.cells.back().right);
    int shift = 0;
    if (def.alignment == TAlignment::Right)
        shift = std::max(0, width - tableRight);
    else if (def.alignment == TAlignment::Center)
        shift = std::max(0, (width - tableRight + tableLeft) / 2);
    int left = tableLeft;
    const int gap = std::clamp(def.gap, 0, kMaxLength),
              padding = std::clamp(def.paddingLeft, 0, kMaxLength);
    int height = 0;
    for (std::size_t i = 0; i < def.cells.size(); ++i) {
        const TCellDef& cd = def.cells[i];
        const int right = saneLength(cd.right);
        if (cd.horizontalMerge == TCellMerge::Continue && !block->cells.empty()) {
            block->cells.back().right = right + shift;  // merged into the cell before
            left = right;
            continue;
        }
        CellBox c;
        c.left = left + shift;
        c.right = right + shift;
        c.textLeft = c.left + std::max(gap, padding);
        c.textWidth = std::max(1, c.right - c.left - 2 * gap);
        if (i < row.cells.size() && cd.verticalMerge != TCellMerge::Continue)
            c.blocks = layoutSequence(row.cells[i].content, c.textWidth, context);
        c.contentHeight = totalHeight(c.blocks);
        c.align = cd.vertAlign;
        c.fill = shadingFill(cd.shading, colors);
        const bool first = i == 0, last = i + 1 == def.cells.size();
        c.top = pen(cd.borderTop, firstRow ? def.borderTop : def.borderHorizontal, colors);
        c.bottom = pen(cd.borderBottom, lastRow ? def.borderBottom : def.borderHorizontal, colors);
        c.left_ = pen(cd.borderLeft, first ? def.borderLeft : def.borderVertical, colors);
        c.right_ = pen(cd.borderRight, last ? def.borderRight : def.borderVertical, colors);
        if (cd.verticalMerge == TCellMerge::Continue) c.top.reset();
        if (cd.verticalMerge == TCellMerge::First) c.bottom.reset();
        height = std::max(height, c.contentHeight);
        if (c.top) block->textTop = std::max(block->textTop, c.top->width());
        block->cells.push_back(std::move(c));
        left = right;
    }
    // word processors set a row's text below its top border: the border
    // adds its width to the row
    height += block->textTop;
    const int rowHeight = saneLength(def.rowHeight);
    if (rowHeight > 0)
        height = std::max(height, rowHeight);
    else if (rowHeight < 0)
        height = -rowHeight;
    block->height = height;
    return block;
}

}  // namespace

TBlocks layoutTable(const TTableParagraph& table, int width, TLayoutContext& context) {
    TBlocks blocks;
    for (std::size_t i = 0; i < table.rows.size(); ++i)
        blocks.push_back(
            layoutRow(table.rows[i], width, i == 0, i + 1 == table.rows.size(), context));
    return blocks;
}

TBlocks layoutSequence(const TTextSequence& sequence, int width, TLayoutContext& context) {
    TBlocks out;
    auto append = [&out](TBlocks b) {
        for (auto& x : b) out.push_back(std::move(x));
    };
    for (const auto& e : sequence.elements()) {
        switch (e->kind()) {
            case TTextElement::Kind::Paragraph:
                append(layoutParagraph(static_cast<const TParagraph&>(*e), width, context));
                break;
            case TTextElement::Kind::Table:
                append(layoutTable(static_cast<const TTableParagraph&>(*e), width, context));
                break;
            case TTextElement::Kind::Frame:
                append(layoutSequence(static_cast<const TTextFrame&>(*e).content, width, context));
                break;
            case TTextElement::Kind::Drawing:
                break;  // floating objects belong to the page, not to a header or a cell
        }
    }
    return out;
}

}  // namespace lagrull
