#include "reports/engine/report_engine.h"

#include <algorithm>

#include "common/dates.h"

namespace lagrull::report {

namespace {

std::string twoDigits(int n) { return (n < 10 ? "0" : "") + std::to_string(n); }

std::string printTime(std::time_t at, SystemValue what) {
    std::tm local{};
    localtime_r(&at, &local);
    const Date day{local.tm_year + 1900, local.tm_mon + 1, local.tm_mday};
    std::string time = twoDigits(local.tm_hour) + ":" + twoDigits(local.tm_min);
    switch (what) {
        case SystemValue::PrintDate: return day.shown();
        case SystemValue::PrintTime: return time;
        case SystemValue::PrintDateTime: return day.shown() + " " + time;
        case SystemValue::PageNumber: break;
    }
    return {};
}

}  // namespace

TReportEngine::TReportEngine(const ReportLayout& layout, TReportCanvas& canvas, RunOptions options)
    : layout_(layout), canvas_(canvas), options_(options) {
    if (options_.printedAt == 0) options_.printedAt = std::time(nullptr);
}

bool TReportEngine::drawing() const {
    return page_ >= options_.firstPage && (options_.lastPage == 0 || page_ <= options_.lastPage);
}

double TReportEngine::bottom() const {
    return layout_.page.pageHeight() - layout_.page.bottomMargin;
}

void TReportEngine::startPage() {
    ++page_;
    pageOpen_ = true;
    column_ = 0;
    y_ = layout_.page.topMargin;
    if (drawing()) canvas_.beginPage(page_);
    const bool header = layout_.headerRule == HeaderRule::EveryPage ||
                        (layout_.headerRule == HeaderRule::FirstPage && page_ == 1);
    if (header) {
        placeBand(layout_.pageHeader, nullptr, layout_.page.leftMargin, y_);
        y_ += layout_.pageHeader.height;
    }
}

void TReportEngine::finishPage() {
    if (!pageOpen_) return;
    if (drawing()) canvas_.endPage();
    pageOpen_ = false;
    if (options_.lastPage != 0 && page_ >= options_.lastPage) stop_ = true;
}

void TReportEngine::makeRoom(double height) {
    if (!pageOpen_) startPage();
    // A fresh page takes any band, even one taller than the page.
    const double fresh =
        layout_.page.topMargin +
        (layout_.headerRule == HeaderRule::EveryPage                 ? layout_.pageHeader.height
         : layout_.headerRule == HeaderRule::FirstPage && page_ == 1 ? layout_.pageHeader.height
                                                                     : 0);
    if (y_ + height > bottom() + 1e-9 && y_ > fresh + 1e-9) {
        finishPage();
        if (!stop_) startPage();
    }
}

std::string TReportEngine::itemText(const ReportItem& item, TReportRowSource* row) const {
    switch (item.kind) {
        case ItemKind::Text: return item.text;
        case ItemKind::Field: {
            std::string value = row ? row->text(item.field) : std::string();
            if (item.mask.empty()) return value;
            return formatNumber(numberOf(value), item.mask);
        }
        case ItemKind::Sum: {
            const auto it = sums_.find(item.field);
            const Money sum = it == sums_.end() ? Money() : it->second;
            return formatNumber(sum.kroner(), item.mask);
        }
        case ItemKind::System:
            return item.text + (item.system == SystemValue::PageNumber
                                    ? std::to_string(page_)
                                    : printTime(options_.printedAt, item.system));
        case ItemKind::Line:
        case ItemKind::Box: break;
    }
    return {};
}

void TReportEngine::placeBand(const ReportBand& band, TReportRowSource* row, double x, double y) {
    if (!drawing()) return;
    for (const ReportItem& item : band.items) {
        const RectMm where{x + item.left, y + item.top, item.width, item.height};
        switch (item.kind) {
            case ItemKind::Line:
                canvas_.line(where.left, where.top, where.left + item.width,
                             where.top + item.height, item.penWidth);
                break;
            case ItemKind::Box: canvas_.box(where, item.penWidth); break;
            default: canvas_.text(where, itemText(item, row), item.font, item.align); break;
        }
    }
}

void TReportEngine::addToSums(TReportRowSource& rows) {
    if (!layout_.closing) return;
    for (const ReportItem& item : layout_.closing->items)
        if (item.kind == ItemKind::Sum)
            sums_[item.field] += Money::fromKroner(numberOf(rows.text(item.field)));
}

void TReportEngine::placeDetail(TReportRowSource& rows) {
    const PageSetup& page = layout_.page;
    const ReportBand& detail = layout_.detail;
    if (page.columns > 1) {
        const double width =
            page.columnWidth > 0
                ? page.columnWidth
                : (page.printableWidth() - page.columnGap * (page.columns - 1)) / page.columns;
        if (column_ == 0 || !pageOpen_) makeRoom(detail.height);
        if (stop_) return;
        placeBand(detail, &rows, page.leftMargin + column_ * (width + page.columnGap), y_);
        if (++column_ == page.columns) {
            column_ = 0;
            y_ += detail.height;
        }
        return;
    }
    makeRoom(detail.height);
    if (stop_) return;
    placeBand(detail, &rows, page.leftMargin, y_);
    y_ += detail.height;
    if (!layout_.subDetail) return;
    TReportRowSource* children = rows.children();
    if (!children) return;
    while (!stop_ && children->next()) {
        makeRoom(layout_.subDetail->height);
        if (stop_) return;
        placeBand(*layout_.subDetail, children, page.leftMargin, y_);
        y_ += layout_.subDetail->height;
    }
}

RunResult TReportEngine::run(TReportRowSource& rows, const std::function<void()>& onRow) {
    RunResult result;
    while (!stop_ && rows.next()) {
        addToSums(rows);
        placeDetail(rows);
        ++result.rows;
        if (onRow) onRow();
    }
    if (!stop_) {
        if (!pageOpen_) startPage();  // an empty report still has its page
        if (layout_.closing && !stop_) {
            if (column_ != 0) {
                column_ = 0;
                y_ += layout_.detail.height;
            }
            makeRoom(layout_.closing->height);
            if (!stop_) {
                placeBand(*layout_.closing, nullptr, layout_.page.leftMargin, y_);
                y_ += layout_.closing->height;
            }
        }
    }
    const bool complete = !stop_;
    finishPage();
    result.pages = page_;
    result.complete = complete;
    return result;
}

}  // namespace lagrull::report
