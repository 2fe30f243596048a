#include "template/grid/grid_report.h"

#include <cmath>
#include <cstdio>

#include "common/error.h"
#include "common/text_codec.h"

namespace lagrull::grid {

namespace {

int twips(double cm) { return static_cast<int>(std::lround(cm * 1440.0 / 2.54)); }

template <class T>
T& at(std::vector<T>& list, int index) {
    if (index < 0 || index >= static_cast<int>(list.size())) throw Error("Index out of bounds");
    return list[static_cast<std::size_t>(index)];
}

void applyStyle(TReportCell& cell, RowStyle style) {
    switch (style) {
        case RowStyle::Data:
            cell.font.size = 8;
            cell.brush = {252, 252, 252};
            break;
        case RowStyle::Title:
            cell.font.size = 10;
            cell.font.bold = true;
            cell.font.color = {255, 255, 255};
            cell.brush = {69, 112, 222};
            cell.valign = VAlign::Center;
            break;
        case RowStyle::Header:
            cell.font.size = 8;
            cell.font.bold = true;
            cell.font.italic = true;
            cell.brush = {169, 216, 214};
            cell.valign = VAlign::Center;
            break;
    }
}

// Writes pieces, starting a new line before a piece once a line holds more
// than 80 characters.
class RtfWriter {
public:
    void put(const std::string& piece) {
        if (count_ > 80) {
            out_ += "\r\n";
            count_ = 0;
        }
        out_ += piece;
        count_ += piece.size();
    }
    std::string take() { return std::move(out_); }

private:
    std::string out_;
    std::size_t count_ = 0;
};

std::string format(const char* pattern, int a) {
    char buf[64];
    std::snprintf(buf, sizeof buf, pattern, a);
    return buf;
}

bool sameFont(const TReportFont& a, const TReportFont& b) {
    return upperCase(a.name) == upperCase(b.name) && a.charset == b.charset;
}

}  // namespace

TReportCell& TReportRow::AddCell(double width, std::string text) {
    TReportCell cell;
    applyStyle(cell, style_);
    cell.width = width;
    cell.text = std::move(text);
    cells_.push_back(std::move(cell));
    return cells_.back();
}

TReportCell& TReportRow::Cell(int index) { return at(cells_, index); }
const TReportCell& TReportRow::Cell(int index) const {
    return at(const_cast<std::vector<TReportCell>&>(cells_), index);
}

TReportRow& TRtfReport::AddRow(RowStyle style) {
    rows_.emplace_back(style);
    return rows_.back();
}

TReportRow& TRtfReport::Row(int index) { return at(rows_, index); }

std::string rtfCellText(const std::string& utf8) {
    std::string out;
    for (std::size_t pos = 0; pos < utf8.size();) {
        const char32_t c = decodeUtf8(utf8, pos);
        if (c == '\r') {
            if (pos < utf8.size() && utf8[pos] == '\n') ++pos;
            out += "\\par ";
        } else if (c == '\n') {
            out += "\\par ";
        } else if (c == '\t') {
            out += "\\tab ";
        } else if (c == '\\' || c == '{' || c == '}') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (const int byte = unicodeToCodePage(c, CodePage::Windows1252); byte >= 0) {
            char buf[16];
            std::snprintf(buf, sizeof buf, "\\'%02x", byte);
            out += buf;
        } else {
            // \u takes a signed 16-bit number; beyond the plane a surrogate pair
            auto unit = [&](long u) {
                out += "\\u" + std::to_string(u > 32767 ? u - 65536 : u) + "?";
            };
            if (c > 0xFFFF) {
                const long v = static_cast<long>(c) - 0x10000;
                unit(0xD800 + (v >> 10));
                unit(0xDC00 + (v & 0x3FF));
            } else {
                unit(static_cast<long>(c));
            }
        }
    }
    return out;
}

std::string TRtfReport::ToRtf() const {
    RtfWriter w;
    w.put("{\\rtf1\\ansi\\ansicpg1252\\deff0");

    std::vector<const TReportFont*> fonts;
    std::vector<TColor> colors;
    auto fontIndex = [&](const TReportFont& f) {
        for (std::size_t i = 0; i < fonts.size(); ++i)
            if (sameFont(*fonts[i], f)) return static_cast<int>(i);
        fonts.push_back(&f);
        return static_cast<int>(fonts.size() - 1);
    };
    auto colorIndex = [&](const TColor& c) {
        for (std::size_t i = 0; i < colors.size(); ++i)
            if (colors[i] == c) return static_cast<int>(i + 1);
        colors.push_back(c);
        return static_cast<int>(colors.size());
    };
    for (const TReportRow& row : rows_)
        for (int i = 0; i < row.CellCount(); ++i) {
            fontIndex(row.Cell(i).font);
            colorIndex(row.Cell(i).font.color);
            colorIndex(row.Cell(i).brush);
        }

    w.put("{\\fonttbl");
    for (std::size_t i = 0; i < fonts.size(); ++i)
        w.put("{\\f" + std::to_string(i) + "\\fnil\\fcharset" + std::to_string(fonts[i]->charset) +
              " " + fonts[i]->name + ";}");
    w.put("}");
    w.put("{\\colortbl;");
    for (const TColor& c : colors)
        w.put("\\red" + std::to_string(c.red) + "\\green" + std::to_string(c.green) + "\\blue" +
              std::to_string(c.blue) + ";");
    w.put("}");

    w.put("\\paperw" + std::to_string(twips(paperWidth)) + "\\paperh" +
          std::to_string(twips(paperHeight)) + "\\margl" + std::to_string(twips(marginLeft)) +
          "\\margr" + std::to_string(twips(marginRight)) + "\\margt" +
          std::to_string(twips(marginTop)) + "\\margb" + std::to_string(twips(marginBottom)) +
          " \\deftab708 ");
    if (paperWidth > paperHeight) w.put("\\landscape ");
    if (footer) w.put("\\pard {\\footer {\\pard \\qc Side \\chpgn}}");

    w.put("\\pard ");
    static const char* const kVAlign[] = {"\\clvertalt", "\\clvertalc", "\\clvertalb"};
    static const char* const kHAlign[] = {"\\ql", "\\qr", "\\qc"};
    for (const TReportRow& row : rows_) {
        if (row.CellCount() == 0) continue;
        w.put("{\\trowd ");
        w.put("\\trgaph70\\trleft-70");
        if (row.style() == RowStyle::Header) w.put("\\trhdr");
        double right = 0;
        for (int i = 0; i < row.CellCount(); ++i) {
            const TReportCell& cell = row.Cell(i);
            if (!cell.visible) continue;
            if (cell.borders & BorderTop) w.put("\\clbrdrt\\brdrs\\brdrw10 ");
            if (cell.borders & BorderLeft) w.put("\\clbrdrl\\brdrs\\brdrw10 ");
            if (cell.borders & BorderBottom) w.put("\\clbrdrb\\brdrs\\brdrw10 ");
            if (cell.borders & BorderRight) w.put("\\clbrdrr\\brdrs\\brdrw10 ");
            if (!(cell.brush == TColor{255, 255, 255}))
                w.put(format("\\clcbpat%d", colorIndex(cell.brush)));
            right += cell.width;
            w.put(format("\\cellx%d", twips(right)));
            w.put(kVAlign[static_cast<int>(cell.valign)]);
        }
        w.put("\\intbl");
        for (int i = 0; i < row.CellCount(); ++i) {
            const TReportCell& cell = row.Cell(i);
            if (!cell.visible) continue;
            w.put("\\f" + std::to_string(fontIndex(cell.font)) + "\\fs" +
                  std::to_string(cell.font.size * 2) + "\\cf" +
                  std::to_string(colorIndex(cell.font.color)));
            if (cell.font.italic) w.put("\\i");
            if (cell.font.bold) w.put("\\b");
            if (cell.font.underline) w.put("\\ul");
            w.put(kHAlign[static_cast<int>(cell.halign)]);
            w.put(" " + rtfCellText(cell.text) + "\\cell ");
        }
        w.put("\\row }");
        w.put("\\ql ");
    }
    w.put("\\par ");
    w.put("}");
    return w.take();
}

std::string ComponentToRtfStream(const std::string& title, const TGridData& grid, bool landscape) {
    TRtfReport report;
    if (landscape) std::swap(report.paperWidth, report.paperHeight);
    const double content = report.contentWidth();
    if (!title.empty()) report.AddRow(RowStyle::Title).AddCell(content, title);
    double screenWidth = 0;
    for (const TGridColumn& c : grid.columns)
        if (c.visible) screenWidth += c.width;
    if (screenWidth <= 0) screenWidth = 1;
    for (std::size_t r = 0; r < grid.rows.size(); ++r) {
        if (r < grid.hiddenRows.size() && grid.hiddenRows[r]) continue;
        TReportRow& row =
            report.AddRow(static_cast<int>(r) < grid.fixedRows ? RowStyle::Header : RowStyle::Data);
        for (std::size_t c = 0; c < grid.columns.size(); ++c) {
            const TGridColumn& column = grid.columns[c];
            if (!column.visible) continue;
            const std::string text = c < grid.rows[r].size() ? grid.rows[r][c] : std::string();
            TReportCell& cell = row.AddCell(column.width * content / screenWidth, text);
            cell.borders = AllBorders;
            cell.halign = column.rightAligned ? HAlign::Right : HAlign::Left;
        }
    }
    return report.ToRtf();
}

}  // namespace lagrull::grid
