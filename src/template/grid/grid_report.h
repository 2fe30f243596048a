#pragma once
// Grid printing: a list shown in a grid becomes an RTF document holding one
// table (a title row, the grid's header rows, one row per grid row) with the
// page footer "Side" and the page number.
//
// Invariants:
// - Widths are centimetres until written; a cell's right edge is the running
//   sum of the widths from the table's left, turned into twips once, so that
//   rounding never adds up along a row.
// - Cell texts are written so that they cannot break the document: "\", "{"
//   and "}" are escaped, characters outside Windows-1252 are written as
//   "\u" with "?" for readers without Unicode.
// - Fonts and colours are numbered in the order of their first use.

#include <string>
#include <vector>

namespace lagrull::grid {

struct TColor {
    int red = 0, green = 0, blue = 0;
    bool operator==(const TColor&) const = default;
};

struct TReportFont {
    std::string name = "Arial";
    int charset = 0;
    int size = 8;  // points
    TColor color;
    bool bold = false, italic = false, underline = false;
};

enum class HAlign { Left = 0, Right = 1, Center = 2 };
enum class VAlign { Top = 0, Center = 1, Bottom = 2 };
enum Border { BorderTop = 1, BorderLeft = 2, BorderRight = 4, BorderBottom = 8, AllBorders = 15 };
// Row styles: data rows, the title row and the grid's header rows.
enum class RowStyle { Data = 0, Title = 1, Header = 2 };

struct TReportCell {
    double width = 0;  // centimetres
    TReportFont font;
    TColor brush{255, 255, 255};
    std::string text;  // UTF-8
    HAlign halign = HAlign::Left;
    VAlign valign = VAlign::Top;
    int borders = 0;
    bool visible = true;
};

class TReportRow {
public:
    explicit TReportRow(RowStyle style) : style_(style) {}
    RowStyle style() const { return style_; }
    // A new cell in the row's style.
    TReportCell& AddCell(double width, std::string text);
    int CellCount() const { return static_cast<int>(cells_.size()); }
    // Throws Error "Index out of bounds" outside the list.
    TReportCell& Cell(int index);
    const TReportCell& Cell(int index) const;

private:
    RowStyle style_;
    std::vector<TReportCell> cells_;
};

class TRtfReport {
public:
    double paperWidth = 21.0, paperHeight = 29.7;  // centimetres
    double marginLeft = 2.0, marginRight = 2.0, marginTop = 2.0, marginBottom = 2.0;
    bool footer = true;

    TReportRow& AddRow(RowStyle style);
    int RowCount() const { return static_cast<int>(rows_.size()); }
    TReportRow& Row(int index);  // throws Error "Index out of bounds"
    double contentWidth() const { return paperWidth - marginLeft - marginRight; }

    // The whole document.
    std::string ToRtf() const;

private:
    std::vector<TReportRow> rows_;
};

// A grid as a window shows it: its columns, its rows of display texts (the
// first `fixedRows` of them header rows).
struct TGridColumn {
    int width = 64;  // screen units
    bool rightAligned = false;
    bool visible = true;
};
struct TGridData {
    std::string name;  // for messages
    std::vector<TGridColumn> columns;
    int fixedRows = 1;
    std::vector<std::vector<std::string>> rows;
    std::vector<bool> hiddenRows;  // may be shorter than rows
};

// The RTF table of a grid on A4, portrait or landscape, 2 cm margins.
std::string ComponentToRtfStream(const std::string& title, const TGridData& grid, bool landscape);

// Text of a cell as RTF: escapes, line breaks as "\par ", tabs as "\tab ".
std::string rtfCellText(const std::string& utf8);

}  // namespace lagrull::grid
