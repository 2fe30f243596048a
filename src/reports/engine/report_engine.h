#pragma once
// Lays a banded report out page by page on a canvas. Only the current row
// and the running sums are held, never the pages, so the memory of a run does
// not grow with the report.
//
// Invariants:
// - Every page begins with the page header when the header rule asks for it;
//   a band never straddles a page: a band that no longer fits moves to the
//   next page (a band taller than a page is drawn clipped on a page of its
//   own).
// - Sums count every detail row before the item is drawn, so a closing band
//   shows the totals of all rows, across all pages.
// - With columns > 1 the detail bands fill the columns of a row from left to
//   right, then the next row; sub-detail bands are not used then.
// - Pages outside [firstPage, lastPage] are laid out but not drawn, and the
//   run stops after lastPage: a preview draws one page without drawing the
//   pages before it.

#include <ctime>
#include <functional>
#include <map>
#include <string>

#include "common/money.h"
#include "reports/engine/report_canvas.h"
#include "reports/engine/report_source.h"

namespace lagrull::report {

struct RunOptions {
    std::time_t printedAt = 0;  // 0: now
    int firstPage = 1;
    int lastPage = 0;  // 0: to the end
};

struct RunResult {
    int pages = 0;          // pages laid out
    long long rows = 0;     // detail rows
    bool complete = false;  // the whole report was laid out
};

class TReportEngine {
public:
    TReportEngine(const ReportLayout& layout, TReportCanvas& canvas, RunOptions options = {});
    // Lays the report out from the source's current position (rewind first
    // to run it again). Pumps nothing itself: `onRow` runs after each row.
    RunResult run(TReportRowSource& rows, const std::function<void()>& onRow = {});

private:
    bool drawing() const;
    void startPage();
    void finishPage();
    // Room for a band of `height` on this page; a new page when not.
    void makeRoom(double height);
    void placeBand(const ReportBand& band, TReportRowSource* row, double x, double y);
    void placeDetail(TReportRowSource& rows);
    void addToSums(TReportRowSource& rows);
    std::string itemText(const ReportItem& item, TReportRowSource* row) const;
    double bottom() const;

    const ReportLayout& layout_;
    TReportCanvas& canvas_;
    RunOptions options_;
    int page_ = 0;
    bool pageOpen_ = false;
    bool stop_ = false;
    double y_ = 0;    // next band's top, mm from the page's top
    int column_ = 0;  // next label column
    std::map<std::string, Money, std::less<>> sums_;
};

}  // namespace lagrull::report
