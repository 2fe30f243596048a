#pragma once
// The printer layer's own interface: what the page layout needs of a printer
// (font metrics, the job and page calls, drawing) and of the printer system
// (the current printer, a driver's default settings, a device for a job).
// Every length is in twips; drawing coordinates are relative to the corner
// of the sheet's printable area, as the printer's mapping puts them.
//
// The calls come in the order of a printer job: createDC, startDoc, then per
// sheet (resetDC when the settings changed) startPage ... endPage, endDoc,
// deleteDC. Devices report failure by their results, never by throwing.

#include <memory>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

#include "template/rtf/rtf_color_table.h"
#include "template/rtf/rtf_document_model.h"

namespace lagrull {

// The device-mode record of a printer: the settings a job is printed with.
struct TDeviceMode {
    // field-mask bits
    static constexpr unsigned kOrientation = 0x1, kPaperSize = 0x2, kPaperLength = 0x4,
                              kPaperWidth = 0x8, kCopies = 0x100, kDefaultSource = 0x200;
    static constexpr int kPortrait = 1, kLandscape = 2;
    static constexpr int kPaperA4 = 9, kPaperFanfold = 40, kPaperUser = 256;

    std::string deviceName;
    unsigned fields = 0;
    int orientation = kPortrait;
    int paperSize = kPaperA4;
    int paperLength = 0, paperWidth = 0;  // tenths of a millimetre
    int copies = 1;
    int defaultSource = 0;  // paper bin
};

struct TRect {
    int left = 0, top = 0, right = 0, bottom = 0;
    int width() const { return right - left; }
    int height() const { return bottom - top; }
    bool operator==(const TRect&) const = default;
};

struct TFontSpec {
    std::string family;  // the document's name, mapped by the device
    int size = 24;       // half-points
    bool bold = false, italic = false;
    bool operator==(const TFontSpec&) const = default;
    bool operator<(const TFontSpec& o) const {
        return std::tie(family, size, bold, italic) < std::tie(o.family, o.size, o.bold, o.italic);
    }
};

// A font's vertical metrics in twips. Word processors space single lines
// by all three: ascent + descent + the line gap the font asks for.
struct TFontMetrics {
    int ascent = 0, descent = 0;
    int lineGap = 0;
};

// Font metrics: measured by the device the text is drawn on, so lines
// break as they are printed.
class TFontMeasure {
public:
    virtual ~TFontMeasure() = default;
    virtual TFontMetrics metrics(const TFontSpec& font) = 0;
    virtual int textWidth(const TFontSpec& font, std::string_view utf8) = 0;
};

struct TTextStyle {
    TFontSpec font;
    TRtfColor color = 0;
    TUnderline underline = TUnderline::None;
    bool strike = false;
};

enum class TLineStyle : std::uint8_t { Solid, Dotted, Dashed };

struct TPen {
    int width = 15;  // twips
    TRtfColor color = 0;
    TLineStyle style = TLineStyle::Solid;
};

// A border as the layout draws it: a pen, or two lines of that pen with a
// gap as wide as one of them between ("brdrdb").
struct TBorderPen {
    TPen pen;
    bool doubled = false;
    // the room the border takes across its line
    int width() const { return doubled ? 3 * pen.width : pen.width; }
};

// The physical page of the current settings: paper size and the offset of
// the printable area's corner from the paper's corner.
struct TPhysicalPage {
    int width = 11906, height = 16838;
    int offsetX = 0, offsetY = 0;
};

class TPrintDevice : public TFontMeasure {
public:
    // The job's calls; results as the printer system gives them.
    virtual int startDoc(const std::string& documentName) = 0;  // > 0 succeeds
    virtual bool resetDC(const TDeviceMode& mode) = 0;
    virtual int startPage() = 0;  // >= 1 succeeds
    virtual int endPage() = 0;
    virtual int endDoc() = 0;  // < 0 fails
    virtual void deleteDC() = 0;
    virtual int handle() const = 0;
    virtual int lastError() const = 0;
    virtual TPhysicalPage physicalPage() const = 0;

    // Drawing on the open sheet.
    virtual void drawText(int x, int baseline, const TTextStyle& style, std::string_view utf8) = 0;
    virtual void fillRect(const TRect& r, TRtfColor color) = 0;
    virtual void drawLine(int x1, int y1, int x2, int y2, const TPen& pen) = 0;
    virtual void drawRect(const TRect& r, const TPen* pen, const TRtfColor* fill,
                          int cornerRadius = 0) = 0;
    virtual void drawEllipse(const TRect& r, const TPen* pen, const TRtfColor* fill) = 0;
    virtual void drawPolygon(const std::vector<TDrawingPoint>& points, bool closed, const TPen* pen,
                             const TRtfColor* fill) = 0;
    virtual void drawPicture(const TRect& r, const TRtfPicture& picture) = 0;
};

// The printer system: the application's current printer, a printer's
// driver defaults, and a device for one job.
class TPrinterSystem {
public:
    virtual ~TPrinterSystem() = default;
    virtual TDeviceMode currentPrinter() = 0;
    // Opens the printer, fetches its driver's default record and closes it;
    // throws lagrull::Error when the printer cannot be opened.
    virtual TDeviceMode driverDefaults(const std::string& deviceName) = 0;
    // "CreateDC": null when the device context cannot be created.
    virtual std::unique_ptr<TPrintDevice> createDC(const TDeviceMode& mode) = 0;
    // After a job: a system that writes a file throws FileError when the
    // file was not written; a printer has nothing to say.
    virtual void requireWritten() const {}
};

}  // namespace lagrull
