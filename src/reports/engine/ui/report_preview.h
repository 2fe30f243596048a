#pragma once
// The report preview: opens maximised, zoomed to the page width, one page at
// a time with page navigation, "Skriv ut" on the current printer and "Lagre
// som PDF". Only the page in view is drawn; the report is laid out anew from
// its row source for each page, so no pages are held in memory.

#include <QDialog>

#include "common/settings_keys.h"
#include "reports/engine/report_engine.h"

class QLabel;
class QScrollArea;
class QToolButton;

namespace lagrull {
class Ui;
}

namespace lagrull::report {

class TReportPreview : public QDialog {
    Q_OBJECT
public:
    // The layout and the rows stay the caller's and must outlive the window.
    TReportPreview(const ReportLayout& layout, TReportRowSource& rows, Ui& ui, int helpTopic,
                   RegisterKind registerKind, QWidget* parent = nullptr);

    int pageCount() const { return pages_; }
    int currentPage() const { return page_; }
    void showPage(int page);

    // "Skriv ut" and "Lagre som PDF"; guarded so a failure shows its message.
    void print();
    void saveAsPdf();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void countPages();
    void render();
    void guarded(const std::function<void()>& step);

    const ReportLayout& layout_;
    TReportRowSource& rows_;
    Ui& ui_;
    RunOptions options_;
    int pages_ = 0;
    int page_ = 1;
    QLabel* image_ = nullptr;
    QLabel* pageLabel_ = nullptr;
    QScrollArea* scroll_ = nullptr;
};

}  // namespace lagrull::report
