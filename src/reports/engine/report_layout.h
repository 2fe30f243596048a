#pragma once
// A banded report: a page setup and bands of items, every position and size
// in millimetres. The layout is plain data; report_engine.h lays it out page
// by page on a TReportCanvas, and the Qt canvas draws it.
//
// A report has a page header (on every page, or on the first only, or none
// for labels), a detail band per row of the row source, an optional
// sub-detail band per child row of a detail row, and an optional closing
// band after the last row. Items of a band stand relative to the band's
// top-left corner.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lagrull::report {

enum class Align { Left, Right, Center };

enum class ItemKind {
    Text,    // the item's text
    Field,   // the row's value of `field`, through `mask` when given
    Sum,     // the sum of `field` over the detail rows so far, through `mask`
    System,  // print date, time or page number, after the item's text
    Line,    // from the item's top-left to its bottom-right corner
    Box,     // a frame around the item's rectangle
};

enum class SystemValue { PrintDate, PrintTime, PrintDateTime, PageNumber };

struct ReportFont {
    std::string family = "Arial";  // Windows names, mapped by the canvas
    double size = 9;               // points
    bool bold = false;
    bool italic = false;
    bool operator==(const ReportFont&) const = default;
};

struct ReportItem {
    ItemKind kind = ItemKind::Text;
    double left = 0, top = 0, width = 0, height = 0;  // mm, in the band
    Align align = Align::Left;
    std::string text;   // Text, and the prefix of a System item
    std::string field;  // Field and Sum
    std::string mask;   // "###,##0.00"; empty: the value as it is
    SystemValue system = SystemValue::PageNumber;
    ReportFont font;
    double penWidth = 0.2;  // Line and Box, mm

    // A text in a column: `x` is the left edge, or the right edge when
    // `align` is Right.
    static ReportItem label(std::string text, double x, double top, double width,
                            Align align = Align::Left);
    static ReportItem data(std::string field, double x, double top, double width,
                           Align align = Align::Left, std::string mask = {});
    static ReportItem sum(std::string field, double x, double top, double width, std::string mask);
    static ReportItem systemField(SystemValue value, std::string prefix, double x, double top,
                                  double width, Align align);
    static ReportItem line(double x1, double y1, double x2, double y2);
};

struct ReportBand {
    double height = 0;  // mm
    std::vector<ReportItem> items;
};

enum class HeaderRule { EveryPage, FirstPage, None };

struct PageSetup {
    double width = 210, height = 297;  // A4 portrait, mm
    bool landscape = false;            // swaps width and height
    double leftMargin = 10, topMargin = 10, rightMargin = 10, bottomMargin = 10;
    // Labels: detail bands side by side, filled across and then down.
    int columns = 1;
    double columnWidth = 0;  // 0: the printable width shared out evenly
    double columnGap = 0;

    double pageWidth() const { return landscape ? height : width; }
    double pageHeight() const { return landscape ? width : height; }
    double printableWidth() const { return pageWidth() - leftMargin - rightMargin; }
    double printableHeight() const { return pageHeight() - topMargin - bottomMargin; }
};

struct ReportLayout {
    std::string title;  // the document's name
    PageSetup page;
    HeaderRule headerRule = HeaderRule::EveryPage;
    ReportBand pageHeader;
    ReportBand detail;
    std::optional<ReportBand> subDetail;
    std::optional<ReportBand> closing;

    // Every item's font size set to `points` (the report font setting).
    void setFontSize(double points);
};

// A number through a display mask of the "###,##0.00" kind: the decimals are
// the "0"s and "#"s after the ".", a "," asks for groups of three; shown with
// a decimal comma and "." between the groups ("1.234,50"). A "0" before the
// point keeps a leading zero; "#" alone shows 0 as "". Never throws.
std::string formatNumber(double value, const std::string& mask);
// A field's text as a number: "," or "." as the decimal point, "." between
// groups allowed when "," is the point ("1.234,50"); 0 when it is none.
double numberOf(std::string_view text);

}  // namespace lagrull::report
