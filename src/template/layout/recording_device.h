#pragma once
// A printer system for tests: a device that records every call and every
// drawn text run with its position in twips, with metrics that depend only
// on the font size (each character is 0.5 em wide, the ascent 0.8 em and the
// descent 0.2 em, the line gap none unless a test asks for one), so layouts
// are the same on every machine.

#include <string>
#include <vector>

#include "template/layout/print_device.h"

namespace lagrull {

struct TRecordedText {
    int sheet = 0;  // from 1
    int x = 0, baseline = 0;
    std::string text;
    TTextStyle style;
};

struct TRecording {
    std::vector<std::string> calls;  // "StartDoc RTF", "StartPage", "ResetDC orientation=2" ...
    std::vector<TRecordedText> texts;
    std::vector<std::string> shapes;  // "fillRect sheet l,t,r,b #rrggbb", "line ...", "picture ..."
    int sheets = 0;
    // The texts of one sheet joined by " | ", in drawing order.
    std::string sheetText(int sheet) const;
};

class TRecordingDevice : public TPrintDevice {
public:
    TRecordingDevice(TRecording& log, const TDeviceMode& mode, int lineGapPerMille = 0);

    TFontMetrics metrics(const TFontSpec& font) override;
    int textWidth(const TFontSpec& font, std::string_view utf8) override;

    int startDoc(const std::string& documentName) override;
    bool resetDC(const TDeviceMode& mode) override;
    int startPage() override;
    int endPage() override;
    int endDoc() override;
    void deleteDC() override;
    int handle() const override { return 1; }
    int lastError() const override { return 0; }
    TPhysicalPage physicalPage() const override;

    void drawText(int x, int baseline, const TTextStyle& style, std::string_view utf8) override;
    void fillRect(const TRect& r, TRtfColor color) override;
    void drawLine(int x1, int y1, int x2, int y2, const TPen& pen) override;
    void drawRect(const TRect& r, const TPen* pen, const TRtfColor* fill,
                  int cornerRadius) override;
    void drawEllipse(const TRect& r, const TPen* pen, const TRtfColor* fill) override;
    void drawPolygon(const std::vector<TDrawingPoint>& points, bool closed, const TPen* pen,
                     const TRtfColor* fill) override;
    void drawPicture(const TRect& r, const TRtfPicture& picture) override;

    // Fails the next call of this name ("StartDoc", "StartPage").
    std::string failNext;

private:
    void shape(const std::string& what);

    TRecording& log_;
    TDeviceMode mode_;
    int lineGapPerMille_;
};

// The physical page of a device mode: A4 or the explicit paper size,
// turned for landscape.
TPhysicalPage paperOf(const TDeviceMode& mode);

class TRecordingPrinterSystem : public TPrinterSystem {
public:
    TRecording recording;
    TDeviceMode current;      // the application's current printer
    std::string failNext;     // passed to the next device
    int lineGapPerMille = 0;  // the fonts' line gap in thousandths of an em

    TDeviceMode currentPrinter() override { return current; }
    TDeviceMode driverDefaults(const std::string& deviceName) override;
    std::unique_ptr<TPrintDevice> createDC(const TDeviceMode& mode) override;
};

}  // namespace lagrull
