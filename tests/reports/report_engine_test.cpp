#include <gtest/gtest.h>

#include "report_test_support.h"
#include "reports/engine/report_engine.h"

namespace lagrull::test {
namespace {

using namespace report;

// A list: header 20 mm, detail 10 mm, closing 15 mm on A4 with 10 mm margins:
// 277 mm printable, so a page holds the header and 25 rows.
ReportLayout listLayout() {
    ReportLayout l;
    l.pageHeader.height = 20;
    l.pageHeader.items = {
        ReportItem::label("Overskrift", 0, 1, 50),
        ReportItem::systemField(SystemValue::PageNumber, "Side ", 190, 1, 30, Align::Right)};
    l.detail.height = 10;
    l.detail.items = {ReportItem::data("NR", 0, 0, 20),
                      ReportItem::data("BELOP", 150, 0, 30, Align::Right, "###,##0.00")};
    l.closing = ReportBand{15,
                           {ReportItem::label("Sum :", 100, 1.3, 20),
                            ReportItem::sum("BELOP", 150, 1.3, 30, "###,##0.00")}};
    return l;
}

std::vector<Row> numberedRows(int n, const std::string& amount = "1000,5") {
    std::vector<Row> rows;
    for (int i = 1; i <= n; ++i) rows.push_back({{"NR", std::to_string(i)}, {"BELOP", amount}});
    return rows;
}

TEST(ReportEngine, BandsStandAtTheirMillimetres) {
    RecordingCanvas canvas;
    MemoryRows rows(numberedRows(2));
    const RunResult r = TReportEngine(listLayout(), canvas).run(rows);
    EXPECT_EQ(r.pages, 1);
    EXPECT_EQ(r.rows, 2);
    EXPECT_TRUE(r.complete);
    const auto header = canvas.find("Overskrift");
    ASSERT_EQ(header.size(), 1u);
    EXPECT_DOUBLE_EQ(header[0].where.left, 10);
    EXPECT_DOUBLE_EQ(header[0].where.top, 11);
    const auto second = canvas.find("2");
    ASSERT_EQ(second.size(), 1u);
    EXPECT_DOUBLE_EQ(second[0].where.top, 10 + 20 + 10);
    // A right-aligned amount ends at its position.
    const auto amounts = canvas.find("1.000,50");
    ASSERT_EQ(amounts.size(), 2u);
    EXPECT_DOUBLE_EQ(amounts[0].where.left + amounts[0].where.width, 10 + 150);
    EXPECT_EQ(amounts[0].align, Align::Right);
    const auto sum = canvas.find("2.001,00");
    ASSERT_EQ(sum.size(), 1u);
    EXPECT_DOUBLE_EQ(sum[0].where.top, 10 + 20 + 2 * 10 + 1.3);
}

TEST(ReportEngine, PageBreaksRepeatTheHeaderAndSumAcrossPages) {
    RecordingCanvas canvas;
    MemoryRows rows(numberedRows(60, "0,10"));
    const RunResult r = TReportEngine(listLayout(), canvas).run(rows);
    // 25 + 25 + 10 rows, the closing band fits under the last ten.
    EXPECT_EQ(r.pages, 3);
    EXPECT_EQ(canvas.pagesBegun, (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(canvas.pagesEnded, 3);
    EXPECT_EQ(canvas.find("Overskrift").size(), 3u);
    EXPECT_EQ(canvas.find("Side 3").size(), 1u);
    const auto first2 = canvas.find("26");
    ASSERT_EQ(first2.size(), 1u);
    EXPECT_EQ(first2[0].page, 2);
    EXPECT_DOUBLE_EQ(first2[0].where.top, 30);
    // Sixty times ten øre is exactly six kroner.
    const auto sum = canvas.find("6,00");
    ASSERT_EQ(sum.size(), 1u);
    EXPECT_EQ(sum[0].page, 3);
}

TEST(ReportEngine, ClosingBandThatDoesNotFitMovesToANewPage) {
    RecordingCanvas canvas;
    MemoryRows rows(numberedRows(25));
    const RunResult r = TReportEngine(listLayout(), canvas).run(rows);
    EXPECT_EQ(r.pages, 2);
    const auto sum = canvas.find("Sum :");
    ASSERT_EQ(sum.size(), 1u);
    EXPECT_EQ(sum[0].page, 2);
    EXPECT_DOUBLE_EQ(sum[0].where.top, 10 + 20 + 1.3);
}

TEST(ReportEngine, EmptyReportHasOnePageWithHeaderAndZeroSums) {
    RecordingCanvas canvas;
    MemoryRows rows({});
    const RunResult r = TReportEngine(listLayout(), canvas).run(rows);
    EXPECT_EQ(r.pages, 1);
    EXPECT_EQ(canvas.find("Overskrift").size(), 1u);
    EXPECT_EQ(canvas.find("0,00").size(), 1u);
}

TEST(ReportEngine, OnlyTheAskedPageIsDrawnAndTheRunStopsAfterIt) {
    RecordingCanvas canvas;
    MemoryRows rows(numberedRows(100));
    RunOptions o;
    o.firstPage = o.lastPage = 2;
    const RunResult r = TReportEngine(listLayout(), canvas, o).run(rows);
    EXPECT_EQ(canvas.pagesBegun, (std::vector<int>{2}));
    EXPECT_FALSE(r.complete);
    EXPECT_EQ(r.pages, 2);
    EXPECT_EQ(canvas.find("26").size(), 1u);
    EXPECT_TRUE(canvas.find("51").empty());
}

TEST(ReportEngine, ThreeColumnLabelPage) {
    ReportLayout l;
    l.headerRule = HeaderRule::None;
    l.page.leftMargin = l.page.rightMargin = 0;
    l.page.topMargin = l.page.bottomMargin = 0;
    l.page.columns = 3;
    l.detail.height = 36;
    l.detail.items = {ReportItem::data("NR", 10, 5, 50)};
    RecordingCanvas canvas;
    MemoryRows rows(numberedRows(25));
    const RunResult r = TReportEngine(l, canvas).run(rows);
    // 297 / 36: eight rows of three labels a page.
    EXPECT_EQ(r.pages, 2);
    const auto at = [&](const std::string& nr) { return canvas.find(nr).at(0); };
    EXPECT_DOUBLE_EQ(at("1").where.left, 10);
    EXPECT_DOUBLE_EQ(at("2").where.left, 80);
    EXPECT_DOUBLE_EQ(at("3").where.left, 150);
    EXPECT_DOUBLE_EQ(at("4").where.left, 10);
    EXPECT_DOUBLE_EQ(at("4").where.top, 36 + 5);
    EXPECT_EQ(at("24").page, 1);
    EXPECT_EQ(at("25").page, 2);
    EXPECT_DOUBLE_EQ(at("25").where.top, 5);
}

TEST(ReportEngine, SubDetailBandPerChildRow) {
    ReportLayout l = listLayout();
    l.subDetail = ReportBand{5, {ReportItem::data("REL", 20, 0, 40)}};
    MemoryRows rows(numberedRows(2));
    rows.childrenOf[0] =
        std::make_unique<MemoryRows>(std::vector<Row>{{{"REL", "Styret"}}, {{"REL", "Kor"}}});
    RecordingCanvas canvas;
    TReportEngine(l, canvas).run(rows);
    const auto choir = canvas.find("Kor");
    ASSERT_EQ(choir.size(), 1u);
    EXPECT_DOUBLE_EQ(choir[0].where.top, 10 + 20 + 10 + 5);
    EXPECT_DOUBLE_EQ(choir[0].where.left, 30);
    // The second member follows its parent's children.
    EXPECT_DOUBLE_EQ(canvas.find("2").at(0).where.top, 10 + 20 + 10 + 5 + 5);
}

TEST(ReportEngine, SystemFieldsShowThePrintTime) {
    ReportLayout l = listLayout();
    l.pageHeader.items.push_back(
        ReportItem::systemField(SystemValue::PrintDate, "", 100, 1, 40, Align::Left));
    RunOptions o;
    std::tm t{};
    t.tm_year = 2026 - 1900;
    t.tm_mon = 11;
    t.tm_mday = 9;
    t.tm_hour = 12;
    o.printedAt = std::mktime(&t);
    RecordingCanvas canvas;
    MemoryRows rows({});
    TReportEngine(l, canvas, o).run(rows);
    EXPECT_EQ(canvas.find("09.12.2026").size(), 1u);
}

TEST(ReportMask, NumbersThroughDisplayMasks) {
    EXPECT_EQ(formatNumber(1234.5, "###,##0.00"), "1.234,50");
    EXPECT_EQ(formatNumber(-50, "###,##0.00"), "-50,00");
    EXPECT_EQ(formatNumber(0, "###,##0.00"), "0,00");
    EXPECT_EQ(formatNumber(0.125, "0.00"), "0,13");
    EXPECT_EQ(formatNumber(1234567, "0"), "1234567");
    EXPECT_EQ(formatNumber(0, "#"), "");
    EXPECT_EQ(formatNumber(1e300 * 1e300, "###,##0.00"), "0,00");
    EXPECT_DOUBLE_EQ(numberOf("1.234,50"), 1234.5);
    EXPECT_DOUBLE_EQ(numberOf("300.25"), 300.25);
    EXPECT_DOUBLE_EQ(numberOf("tekst"), 0);
    EXPECT_DOUBLE_EQ(numberOf(""), 0);
}

}  // namespace
}  // namespace lagrull::test
