#pragma once
// The document model an RTF document is read into, for page layout and
// printing. Lengths are twips unless a field says otherwise; font sizes are
// half-points. Text is UTF-8.
//
// Design note. A document holds sections; each section holds its body, a
// sequence of elements (paragraphs, tables, frames, drawing objects), and
// eight header and footer slots that point into the document's own list of
// header and footer sequences, so that sections may share them. Pictures
// sit in line in a paragraph's runs, as they do in the text. A table is one
// element holding its rows; each row keeps the cell definitions it was
// written with and one content sequence per cell.

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "template/rtf/rtf_color_table.h"
#include "template/rtf/rtf_file_parser.h"
#include "template/rtf/rtf_picture.h"

namespace lagrull {

enum class TUnderline : std::uint8_t {
    None,
    Single,
    Dotted,
    Dash,
    DashDot,
    DashDotDot,
    Double,
    Thick,
    Word,
    Wave
};
enum class TVerticalPos : std::uint8_t { Normal, Super, Sub };
enum class TShadingPattern : std::uint8_t {
    None,
    Horizontal,
    Vertical,
    ForwardDiagonal,
    BackwardDiagonal,
    Cross,
    DiagonalCross,
    DarkHorizontal,
    DarkVertical,
    DarkForwardDiagonal,
    DarkBackwardDiagonal,
    DarkCross,
    DarkDiagonalCross,
};

struct TShading {
    int percent = 0;  // hundredths of a percent
    TShadingPattern pattern = TShadingPattern::None;
    int foreColor = 0;  // colour-table indices, 0 = auto
    int backColor = 0;
    bool operator==(const TShading&) const = default;
};

struct TCharAttributes {
    int font = 0;
    int fontSize = 24;
    bool bold = false, italic = false, caps = false, smallCaps = false, outline = false,
         shadow = false;
    bool strike = false, doubleStrike = false, hidden = false;
    TUnderline underline = TUnderline::None;
    TVerticalPos vertical = TVerticalPos::Normal;
    int offset = 0;      // "up" positive, "dn" negative, half-points
    int color = 0;       // "cf"
    int background = 0;  // "cb"
    int expand = 0;      // character spacing
    int kerning = 0;     // half-points from which pairs are kerned, 0 = off
    TShading shading;
    bool operator==(const TCharAttributes&) const = default;
};

enum class TBorderStyle : std::uint8_t {
    None,
    Single,
    Thick,
    Shadow,
    Double,
    Dotted,
    Dashed,
    Hairline
};

struct TBorderDef {
    TBorderStyle style = TBorderStyle::None;
    int width = 0;  // "brdrw"
    int color = 0;  // "brdrcf"
    int space = 0;  // "brsp"
    bool isSet() const { return style != TBorderStyle::None; }
    bool operator==(const TBorderDef&) const = default;
};

enum class TAlignment : std::uint8_t { Left, Right, Center, Justify };
enum class TTabKind : std::uint8_t { Left, Right, Center, Decimal };
enum class TTabLeader : std::uint8_t { None, Dots, Hyphens, Underline, Thick, Equal };

struct TTabStop {
    int position = 0;
    TTabKind kind = TTabKind::Left;
    TTabLeader leader = TTabLeader::None;
    bool operator==(const TTabStop&) const = default;
};

// A paragraph's explicit tab stops, in ascending position.
class TTabs {
public:
    void add(TTabStop stop);
    // The first stop lying after `x`, or null.
    const TTabStop* after(int x) const;
    const std::vector<TTabStop>& stops() const { return stops_; }
    bool empty() const { return stops_.empty(); }
    bool operator==(const TTabs&) const = default;

private:
    std::vector<TTabStop> stops_;
};

enum class TFrameHorzRef : std::uint8_t { Column, Margin, Page };
enum class TFrameVertRef : std::uint8_t { Paragraph, Margin, Page };
enum class TFrameHorzPos : std::uint8_t { Offset, Left, Center, Right, Inside, Outside };
enum class TFrameVertPos : std::uint8_t { Offset, Top, Center, Bottom, Inline };

// The position of a framed paragraph ("absw", "posx", ...).
struct TFrameDef {
    bool present = false;
    int width = 0, height = 0;  // "absh": positive at least, negative exactly
    int x = 0, y = 0;           // "posx"/"posnegx", "posy"/"posnegy"
    TFrameHorzPos horzPos = TFrameHorzPos::Offset;
    TFrameVertPos vertPos = TFrameVertPos::Offset;
    TFrameHorzRef horzRef = TFrameHorzRef::Column;
    TFrameVertRef vertRef = TFrameVertRef::Margin;
    int distanceX = 0, distanceY = 0;  // "dfrmtxtx", "dfrmtxty"
    bool locked = false, overlay = false, noWrap = false;
    bool operator==(const TFrameDef&) const = default;
};

struct TParaAttributes {
    int style = 0;
    TAlignment alignment = TAlignment::Left;
    int firstIndent = 0, leftIndent = 0, rightIndent = 0;
    int spaceBefore = 0, spaceAfter = 0;
    int lineSpacing = 0;        // "sl": positive at least, negative exactly, 0 auto
    bool lineMultiple = false;  // "slmult1": lineSpacing is 240ths of a single line
    bool keep = false, keepNext = false, pageBreakBefore = false;
    // "widctlpar" or "nowidctlpar"; neither: as the document's "widowctrl" says
    std::optional<bool> widowControl;
    bool inTable = false;
    TTabs tabs;
    TBorderDef borderTop, borderBottom, borderLeft, borderRight, borderBetween, borderBar;
    TShading shading;
    TFrameDef frame;
};

enum class TRunKind : std::uint8_t {
    Text,
    Tab,
    LineBreak,
    PageBreak,
    ColumnBreak,
    PageNumber,     // "chpgn"
    PageCount,      // "numpages"
    SectionNumber,  // "sectnum"
    Picture,
};

class TPrintablePicture {
public:
    explicit TPrintablePicture(TRtfPicture picture) : picture_(std::move(picture)) {}
    const TRtfPicture& picture() const { return picture_; }
    TRtfPictureKind kind() const { return picture_.kind; }
    int width() const { return picture_.widthTwips(); }
    int height() const { return picture_.heightTwips(); }
    // Metafiles and bitmaps are drawn; PNG and JPEG are kept for a layout
    // that can; Macintosh and OS/2 pictures are not drawn.
    bool drawable() const;
    // The picture came from a "nonshppict" group, the stand-in of a shape
    // picture for readers without shapes.
    bool alternative = false;

private:
    TRtfPicture picture_;
};

struct TAttributedText {
    TRunKind kind = TRunKind::Text;
    TCharAttributes attrs;
    std::string text;                            // for Text runs
    std::unique_ptr<TPrintablePicture> picture;  // for Picture runs
};

class TTextElement {
public:
    enum class Kind : std::uint8_t { Paragraph, Table, Frame, Drawing };
    virtual ~TTextElement() = default;
    Kind kind() const { return kind_; }

protected:
    explicit TTextElement(Kind kind) : kind_(kind) {}

private:
    Kind kind_;
};

class TParagraph : public TTextElement {
public:
    TParagraph() : TTextElement(Kind::Paragraph) {}
    TParaAttributes attrs;
    std::vector<TAttributedText> runs;
    // The character formatting of the paragraph mark: an empty paragraph
    // is as tall as its font.
    TCharAttributes mark;
    // The paragraph's visible text: tabs as "\t", line breaks as "\n"; hidden
    // text and pictures left out.
    std::string text() const;
};

// An ordered list of elements: a section's body, a header, a cell, a frame.
class TTextSequence {
public:
    template <class T>
    T& add(std::unique_ptr<T> element) {
        T& ref = *element;
        elements_.push_back(std::move(element));
        return ref;
    }
    const std::vector<std::unique_ptr<TTextElement>>& elements() const { return elements_; }
    bool empty() const { return elements_.empty(); }
    std::size_t size() const { return elements_.size(); }

private:
    std::vector<std::unique_ptr<TTextElement>> elements_;
};

enum class TVertAlign : std::uint8_t { Top, Center, Bottom };
enum class TTextFlow : std::uint8_t { LeftRightTopBottom, BottomTopLeftRight, TopBottomRightLeft };
enum class TCellMerge : std::uint8_t { None, First, Continue };

struct TCellDef {
    int right = 0;  // "cellx"
    int width = 0;  // the difference to the previous cell's right edge
    TBorderDef borderTop, borderBottom, borderLeft, borderRight;
    TVertAlign vertAlign = TVertAlign::Top;
    TTextFlow textFlow = TTextFlow::LeftRightTopBottom;
    TShading shading;
    TCellMerge verticalMerge = TCellMerge::None;    // "clvmgf", "clvmrg"
    TCellMerge horizontalMerge = TCellMerge::None;  // "clmgf", "clmrg"
};

struct TTableDef {
    int gap = 0;        // "trgaph": half the space between cells
    int left = 0;       // "trleft"
    int rowHeight = 0;  // "trrh": positive at least, negative exactly
    bool header = false, keep = false;
    TAlignment alignment = TAlignment::Left;
    int indent = 0, indentType = 0;  // "tblind", "tblindtype"
    int paddingLeft = 0;             // "trpaddl"
    TBorderDef borderTop, borderBottom, borderLeft, borderRight, borderHorizontal, borderVertical;
    std::vector<TCellDef> cells;
};

struct TCellContent {
    TTextSequence content;
};

// Rows written with the same definition share it.
using TTableDefPtr = std::shared_ptr<const TTableDef>;

struct TTableRow {
    TTableDefPtr def;  // never null
    std::vector<TCellContent> cells;
};

class TTableParagraph : public TTextElement {
public:
    TTableParagraph() : TTextElement(Kind::Table) {}
    std::vector<TTableRow> rows;
};

// Consecutive paragraphs with the same frame position.
class TTextFrame : public TTextElement {
public:
    TTextFrame() : TTextElement(Kind::Frame) {}
    TFrameDef frame;
    TTextSequence content;
};

enum class TDrawingKind : std::uint8_t {
    Line,
    Rectangle,
    RoundRectangle,
    Ellipse,
    Arc,
    Polyline,
    Polygon,
    TextBox,
    Callout,
    Picture,
    Group,
};
enum class TDrawingHorzRef : std::uint8_t { Page, Margin, Column };
enum class TDrawingVertRef : std::uint8_t { Page, Margin, Paragraph };

struct TDrawingPoint {
    int x = 0, y = 0;
};

// A drawing object ("do") or a shape ("shp") recognised as one. Positions
// are relative to the reference rectangle; colours are 0xRRGGBB.
class TDrawingObject : public TTextElement {
public:
    TDrawingObject() : TTextElement(Kind::Drawing) {}
    TDrawingKind shape = TDrawingKind::Rectangle;
    TDrawingHorzRef horzRef = TDrawingHorzRef::Column;
    TDrawingVertRef vertRef = TDrawingVertRef::Paragraph;
    int left = 0, top = 0, width = 0, height = 0;
    int z = 0;
    bool line = true;
    int lineWidth = 15;
    TRtfColor lineColor = 0;
    bool filled = false;
    TRtfColor fillColor = kRtfWhite;
    bool flipX = false, flipY = false;
    std::vector<TDrawingPoint> points;  // polylines and polygons, callouts
    TTextSequence text;                 // text boxes and callouts
    std::unique_ptr<TPrintablePicture> picture;
    std::vector<std::unique_ptr<TDrawingObject>> children;  // groups
};

enum class TSectionBreak : std::uint8_t {
    None = 0,
    Column = 1,
    Page = 2,
    Even = 3,
    Odd = 4,
    First = 5
};

enum class THeaderSlot : std::uint8_t {
    Header,
    HeaderLeft,
    HeaderRight,
    HeaderFirst,
    Footer,
    FooterLeft,
    FooterRight,
    FooterFirst,
};
constexpr std::size_t kHeaderSlotCount = 8;
const char* headerSlotWord(THeaderSlot slot);

struct TDocumentSettings {
    int paperWidth = 11906, paperHeight = 16838;
    int marginLeft = 1800, marginTop = 1440, marginRight = 1800, marginBottom = 1440;
    bool landscape = false;
    bool facingPages = false;
    int gutter = 0;
    int defaultTab = 0;  // "deftab"; 0 = not given
    int hyphenationZone = 0;
    bool hyphenate = false;
    bool widowControl = false;
    bool useLogicalPageSize = false;
    int headerDistance = 720, footerDistance = 720;

    // The tab width without explicit stops: "deftab", else 1500.
    int tabWidth() const { return defaultTab > 0 ? defaultTab : 1500; }
};

class TBuildSection {
public:
    int paperWidth = 0, paperHeight = 0;  // both 0: the document's
    int marginLeft = 1800, marginTop = 1440, marginRight = 1800, marginBottom = 1440;
    bool landscape = false;
    TSectionBreak breakKind = TSectionBreak::Page;
    int columns = 1, columnSpacing = 720;
    int headerDistance = 720, footerDistance = 720;
    int pageNumberStart = 1;
    bool pageNumberRestart = false;
    int binFirst = 0, binOther = 0;
    std::array<const TTextSequence*, kHeaderSlotCount> slots{};
    TTextSequence body;

    const TTextSequence* slot(THeaderSlot s) const { return slots[static_cast<std::size_t>(s)]; }
    void setSlot(THeaderSlot s, const TTextSequence* sequence) {
        slots[static_cast<std::size_t>(s)] = sequence;
    }
};

class TBuildDocument {
public:
    TDocumentSettings settings;
    TRtfHeader header;  // fonts, colours, document properties
    std::vector<std::unique_ptr<TBuildSection>> sections;
    std::vector<std::unique_ptr<TTextSequence>> headerFooters;

    TTextSequence& newHeaderFooter() {
        headerFooters.push_back(std::make_unique<TTextSequence>());
        return *headerFooters.back();
    }
};

}  // namespace lagrull
