#pragma once
// What the engine draws on: pages, texts in rectangles, lines and frames,
// all in millimetres from the page's top-left corner. The Qt canvas paints on
// any QPaintDevice; the tests record the calls.

#include <string>

#include "reports/engine/report_layout.h"

namespace lagrull::report {

struct RectMm {
    double left = 0, top = 0, width = 0, height = 0;
};

class TReportCanvas {
public:
    virtual ~TReportCanvas() = default;
    virtual void beginPage(int number) = 0;  // from 1
    virtual void endPage() = 0;
    // The text on one line inside the rectangle, clipped to it.
    virtual void text(const RectMm& where, const std::string& utf8, const ReportFont& font,
                      Align align) = 0;
    virtual void line(double x1, double y1, double x2, double y2, double penWidth) = 0;
    virtual void box(const RectMm& where, double penWidth) = 0;
};

}  // namespace lagrull::report
