// The report preview offscreen: page count, navigation, the page drawn at
// the view's width, and "Lagre som PDF".
#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QtTest>
#include <filesystem>

#include "report_test_support.h"
#include "reports/engine/ui/report_preview.h"
#include "scripted_ui.h"
#include "temp_dir.h"

using namespace lagrull;
using namespace lagrull::test;

namespace {

report::ReportLayout list() {
    report::ReportLayout l;
    l.title = "Liste";
    l.pageHeader.height = 20;
    l.pageHeader.items = {report::ReportItem::label("Medlemsliste", 0, 2, 60),
                          report::ReportItem::systemField(report::SystemValue::PageNumber, "Side ",
                                                          190, 2, 30, report::Align::Right)};
    l.detail.height = 10;
    l.detail.items = {report::ReportItem::data("NR", 0, 0, 20)};
    return l;
}

std::vector<Row> rows(int n) {
    std::vector<Row> out;
    for (int i = 1; i <= n; ++i) out.push_back({{"NR", std::to_string(i)}});
    return out;
}

}  // namespace

class ReportPreviewTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void navigatesPagesAndSavesPdf() {
        ScriptedUi ui;
        TempDir dir;
        const report::ReportLayout layout = list();
        MemoryRows source(rows(60));  // 26 rows a page: three pages
        report::TReportPreview preview(layout, source, ui, 36, RegisterKind::Members);
        preview.show();
        QCOMPARE(preview.pageCount(), 3);
        QCOMPARE(preview.currentPage(), 1);
        auto* label = preview.findChild<QLabel*>("laSide");
        QCOMPARE(label->text(), QStringLiteral("Side 1 av 3"));
        preview.findChild<QPushButton*>("btLast")->click();
        QCOMPARE(preview.currentPage(), 3);
        preview.findChild<QPushButton*>("btNext")->click();
        QCOMPARE(preview.currentPage(), 3);
        preview.findChild<QPushButton*>("btPrior")->click();
        QCOMPARE(label->text(), QStringLiteral("Side 2 av 3"));
        const QPixmap page = preview.findChild<QLabel*>("laPage")->pixmap();
        QVERIFY(!page.isNull());
        QVERIFY(qAbs(page.height() * 210.0 / page.width() - 297.0) < 2);  // A4 kept
        const QString shots = qEnvironmentVariable("LAGRULL_SCREENSHOTS");
        if (!shots.isEmpty()) {
            QDir().mkpath(shots);
            preview.grab().save(shots + "/report_preview.png");
        }

        ui.files = {dir.str() + "/liste"};
        preview.findChild<QPushButton*>("btPdf")->click();
        QVERIFY(ui.messages.empty());
        QVERIFY(std::filesystem::file_size(dir.path() / "liste.pdf") > 500);
    }
};

QTEST_MAIN(ReportPreviewTest)
#include "report_preview_test.moc"
