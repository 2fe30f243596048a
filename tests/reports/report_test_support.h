#pragma once
// A recording canvas and an in-memory row source for the report tests.

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "reports/engine/report_canvas.h"
#include "reports/engine/report_source.h"

namespace lagrull::test {

struct DrawnText {
    int page;
    report::RectMm where;
    std::string text;
    report::Align align;
};

class RecordingCanvas : public report::TReportCanvas {
public:
    std::vector<DrawnText> texts;
    std::vector<int> pagesBegun;
    int pagesEnded = 0;
    int lines = 0, boxes = 0;

    void beginPage(int number) override { pagesBegun.push_back(number); }
    void endPage() override { ++pagesEnded; }
    void text(const report::RectMm& where, const std::string& utf8, const report::ReportFont&,
              report::Align align) override {
        texts.push_back({pagesBegun.empty() ? 0 : pagesBegun.back(), where, utf8, align});
    }
    void line(double, double, double, double, double) override { ++lines; }
    void box(const report::RectMm&, double) override { ++boxes; }

    std::vector<DrawnText> find(const std::string& text) const {
        std::vector<DrawnText> found;
        for (const auto& t : texts)
            if (t.text == text) found.push_back(t);
        return found;
    }
};

using Row = std::map<std::string, std::string, std::less<>>;

class MemoryRows : public report::TReportRowSource {
public:
    explicit MemoryRows(std::vector<Row> rows) : rows_(std::move(rows)) {}
    std::map<std::size_t, std::unique_ptr<MemoryRows>> childrenOf;

    bool next() override { return ++pos_ < static_cast<long long>(rows_.size()); }
    void rewind() override { pos_ = -1; }
    std::string text(std::string_view field) const override {
        const auto it = rows_.at(static_cast<std::size_t>(pos_)).find(field);
        return it == rows_.at(static_cast<std::size_t>(pos_)).end() ? std::string() : it->second;
    }
    report::TReportRowSource* children() override {
        const auto it = childrenOf.find(static_cast<std::size_t>(pos_));
        if (it == childrenOf.end()) return nullptr;
        it->second->rewind();
        return it->second.get();
    }

private:
    std::vector<Row> rows_;
    long long pos_ = -1;
};

}  // namespace lagrull::test
