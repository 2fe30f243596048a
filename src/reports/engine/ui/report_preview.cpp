#include "reports/engine/ui/report_preview.h"

#include <algorithm>
#include <filesystem>
#include <limits>

#include <QHBoxLayout>
#include <QLabel>
#include <QPixmap>
#include <QPrinter>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QShortcut>
#include <QVBoxLayout>

#include "common/error.h"
#include "common/ui.h"
#include "common/ui/help_window.h"
#include "common/ui/printers.h"
#include "reports/engine/print/qt_report_canvas.h"

namespace lagrull::report {

namespace {

// Lays the report out without drawing, to count its pages.
class TNoCanvas : public TReportCanvas {
public:
    void beginPage(int) override {}
    void endPage() override {}
    void text(const RectMm&, const std::string&, const ReportFont&, Align) override {}
    void line(double, double, double, double, double) override {}
    void box(const RectMm&, double) override {}
};

}  // namespace

TReportPreview::TReportPreview(const ReportLayout& layout, TReportRowSource& rows, Ui& ui,
                               int helpTopic, RegisterKind registerKind, QWidget* parent)
    : QDialog(parent), layout_(layout), rows_(rows), ui_(ui) {
    setObjectName("TReportPreview");
    setWindowTitle(QString::fromStdString(layout.title.empty() ? "Forhåndsvisning" : layout.title));
    options_.printedAt = std::time(nullptr);  // one time on every page and print

    auto* bar = new QHBoxLayout;
    auto button = [&](const char* name, const QString& text, auto slot) {
        auto* b = new QPushButton(text, this);
        b->setObjectName(name);
        b->setAutoDefault(false);
        connect(b, &QPushButton::clicked, this, slot);
        bar->addWidget(b);
        return b;
    };
    button("btFirst", "|<", [this] { showPage(1); });
    button("btPrior", "<", [this] { showPage(page_ - 1); });
    pageLabel_ = new QLabel(this);
    pageLabel_->setObjectName("laSide");
    bar->addWidget(pageLabel_);
    button("btNext", ">", [this] { showPage(page_ + 1); });
    button("btLast", ">|", [this] { showPage(pages_); });
    bar->addSpacing(20);
    button("btPrint", "Skriv ut", [this] { guarded([this] { print(); }); });
    button("btPdf", "Lagre som PDF", [this] { guarded([this] { saveAsPdf(); }); });
    bar->addStretch();
    button("btClose", "Lukk", [this] { accept(); });

    scroll_ = new QScrollArea(this);
    scroll_->setBackgroundRole(QPalette::Dark);
    scroll_->setAlignment(Qt::AlignHCenter);
    image_ = new QLabel;
    image_->setObjectName("laPage");
    scroll_->setWidget(image_);

    auto* layoutBox = new QVBoxLayout(this);
    layoutBox->addLayout(bar);
    layoutBox->addWidget(scroll_);

    // An init-capture: not every compiler captures a structured binding.
    for (auto [key, step] : {std::pair{Qt::Key_PageDown, 1}, std::pair{Qt::Key_PageUp, -1}}) {
        auto* s = new QShortcut(QKeySequence(key), this);
        connect(s, &QShortcut::activated, this, [this, step = step] { showPage(page_ + step); });
    }
    auto* help = new QShortcut(QKeySequence(Qt::Key_F1), this);
    connect(help, &QShortcut::activated, this,
            [helpTopic, registerKind] { showHelp(helpTopic, registerKind); });

    guarded([this] { countPages(); });
    setWindowState(windowState() | Qt::WindowMaximized);
    resize(1000, 800);
    showPage(1);
}

void TReportPreview::guarded(const std::function<void()>& step) {
    try {
        step();
    } catch (...) {
        showException(ui_, std::current_exception());
    }
}

void TReportPreview::countPages() {
    WaitWindow wait(ui_, "VENT!", "Lager rapport....");
    TNoCanvas none;
    RunOptions counting = options_;
    counting.firstPage = std::numeric_limits<int>::max();
    rows_.rewind();
    EventPump pump(ui_);
    pages_ = TReportEngine(layout_, none, counting).run(rows_, [&] { pump.tick(); }).pages;
}

void TReportPreview::showPage(int page) {
    page_ = std::clamp(page, 1, std::max(1, pages_));
    pageLabel_->setText(QString("Side %1 av %2").arg(page_).arg(pages_));
    guarded([this] { render(); });
}

void TReportPreview::render() {
    // Zoomed to the width of the view.
    const int width = std::max(200, scroll_->viewport()->width() - 20);
    const double dotsPerMm = width / layout_.page.pageWidth();
    rows_.rewind();
    const QImage page = renderReportPage(layout_, rows_, page_, dotsPerMm, options_);
    image_->setPixmap(QPixmap::fromImage(page));
    image_->resize(page.size());
}

void TReportPreview::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    if (pages_ > 0) guarded([this] { render(); });
}

void TReportPreview::print() {
    BusyCursor busy(ui_);
    QPrinter& printer = currentPrinter();
    printer.setPageLayout(pageLayoutOf(layout_.page));
    printer.setDocName(QString::fromStdString(layout_.title));
    // The printer draws from the corner of its printable area.
    const QRectF paper = printer.paperRect(QPrinter::Millimeter);
    const QRectF area = printer.pageRect(QPrinter::Millimeter);
    TQtReportCanvas canvas(printer, &printer, area.topLeft() - paper.topLeft());
    rows_.rewind();
    EventPump pump(ui_);
    TReportEngine(layout_, canvas, options_).run(rows_, [&] { pump.tick(); });
}

void TReportPreview::saveAsPdf() {
    const auto file = ui_.saveFileName({"Lagre som PDF", "PDF-fil (*.pdf)|*.pdf", {}, {}});
    if (!file) return;
    std::string name = *file;
    if (std::filesystem::path(name).extension().empty()) name += ".pdf";
    BusyCursor busy(ui_);
    rows_.rewind();
    EventPump pump(ui_);
    writeReportPdf(layout_, rows_, name, options_, [&] { pump.tick(); });
}

}  // namespace lagrull::report
