#include "template/layout/recording_device.h"

#include <cstdio>

#include "common/text_codec.h"

namespace lagrull {

namespace {

std::string rect(const TRect& r) {
    return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) +
           "," + std::to_string(r.bottom);
}

std::string hex(TRtfColor c) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "#%06X", static_cast<unsigned>(c));
    return buf;
}

}  // namespace

std::string TRecording::sheetText(int sheet) const {
    std::string out;
    for (const auto& t : texts) {
        if (t.sheet != sheet) continue;
        if (!out.empty()) out += " | ";
        out += t.text;
    }
    return out;
}

TPhysicalPage paperOf(const TDeviceMode& mode) {
    TPhysicalPage p;
    if (mode.paperSize == TDeviceMode::kPaperUser && mode.paperWidth > 0 && mode.paperLength > 0) {
        p.width = mode.paperWidth * 1440 / 254;
        p.height = mode.paperLength * 1440 / 254;
    } else if (mode.paperSize == TDeviceMode::kPaperFanfold) {
        p.width = 11906;
        p.height = 17280;
    }
    if (mode.orientation == TDeviceMode::kLandscape) std::swap(p.width, p.height);
    return p;
}

TRecordingDevice::TRecordingDevice(TRecording& log, const TDeviceMode& mode, int lineGapPerMille)
    : log_(log), mode_(mode), lineGapPerMille_(lineGapPerMille) {
    log_.calls.push_back("CreateDC " + mode.deviceName);
}

TFontMetrics TRecordingDevice::metrics(const TFontSpec& font) {
    return {font.size * 8, font.size * 2, font.size * lineGapPerMille_ / 100};
}

int TRecordingDevice::textWidth(const TFontSpec& font, std::string_view utf8) {
    return static_cast<int>(characterCount(utf8)) * font.size * 5;
}

int TRecordingDevice::startDoc(const std::string& documentName) {
    log_.calls.push_back("StartDoc " + documentName);
    if (failNext == "StartDoc") return 0;
    return 1;
}

bool TRecordingDevice::resetDC(const TDeviceMode& mode) {
    mode_ = mode;
    log_.calls.push_back("ResetDC orientation=" + std::to_string(mode.orientation) +
                         " paper=" + std::to_string(mode.paperSize) +
                         " bin=" + std::to_string(mode.defaultSource));
    return true;
}

int TRecordingDevice::startPage() {
    log_.calls.push_back("StartPage");
    if (failNext == "StartPage") return 0;
    ++log_.sheets;
    return 1;
}

int TRecordingDevice::endPage() {
    log_.calls.push_back("EndPage");
    return 1;
}

int TRecordingDevice::endDoc() {
    log_.calls.push_back("EndDoc");
    return 1;
}

void TRecordingDevice::deleteDC() { log_.calls.push_back("DeleteDC"); }

TPhysicalPage TRecordingDevice::physicalPage() const { return paperOf(mode_); }

void TRecordingDevice::drawText(int x, int baseline, const TTextStyle& style,
                                std::string_view utf8) {
    log_.texts.push_back({log_.sheets, x, baseline, std::string(utf8), style});
}

void TRecordingDevice::shape(const std::string& what) {
    log_.shapes.push_back(std::to_string(log_.sheets) + " " + what);
}

void TRecordingDevice::fillRect(const TRect& r, TRtfColor color) {
    shape("fill " + rect(r) + " " + hex(color));
}

void TRecordingDevice::drawLine(int x1, int y1, int x2, int y2, const TPen& pen) {
    shape("line " + rect({x1, y1, x2, y2}) + " w" + std::to_string(pen.width));
}

void TRecordingDevice::drawRect(const TRect& r, const TPen*, const TRtfColor* fill, int) {
    shape("rect " + rect(r) + (fill ? " " + hex(*fill) : ""));
}

void TRecordingDevice::drawEllipse(const TRect& r, const TPen*, const TRtfColor*) {
    shape("ellipse " + rect(r));
}

void TRecordingDevice::drawPolygon(const std::vector<TDrawingPoint>& points, bool closed,
                                   const TPen*, const TRtfColor*) {
    shape(std::string(closed ? "polygon " : "polyline ") + std::to_string(points.size()));
}

void TRecordingDevice::drawPicture(const TRect& r, const TRtfPicture& picture) {
    shape(std::string("picture ") + pictureKindName(picture.kind) + " " + rect(r));
}

TDeviceMode TRecordingPrinterSystem::driverDefaults(const std::string& deviceName) {
    recording.calls.push_back("DriverDefaults " + deviceName);
    TDeviceMode m;
    m.deviceName = deviceName;
    return m;
}

std::unique_ptr<TPrintDevice> TRecordingPrinterSystem::createDC(const TDeviceMode& mode) {
    auto device = std::make_unique<TRecordingDevice>(recording, mode, lineGapPerMille);
    device->failNext = failNext;
    failNext.clear();
    return device;
}

}  // namespace lagrull
