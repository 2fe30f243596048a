#include "giro_preview.h"

#include <QFileDialog>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

#include "common/app_paths.h"
#include "common/error.h"
#include "common/settings_keys.h"
#include "common/ui.h"
#include "common/ui/help_window.h"

namespace lagrull {

namespace {
// The help topic of the giro printer's window.
constexpr int kGiroPreviewTopic = 45;
constexpr int kPreviewDpi = 96;
}  // namespace

TGiroPreview::TGiroPreview(GiroSheets sheets, const QString& title, Ui& ui, QWidget* parent)
    : QDialog(parent), sheets_(std::move(sheets)), ui_(ui) {
    setWindowTitle(title);
    auto* layout = new QVBoxLayout(this);
    auto* bar = new QHBoxLayout;
    btSkrivUt = new QPushButton(tr("&Skriv ut"), this);
    btLagrePdf = new QPushButton(tr("&Lagre som PDF"), this);
    btForrige = new QPushButton(tr("&Forrige side"), this);
    btNeste = new QPushButton(tr("&Neste side"), this);
    laSide_ = new QLabel(this);
    btLukk = new QPushButton(tr("Lu&kk"), this);
    for (QWidget* w : {static_cast<QWidget*>(btSkrivUt), static_cast<QWidget*>(btLagrePdf),
                       static_cast<QWidget*>(btForrige), static_cast<QWidget*>(laSide_),
                       static_cast<QWidget*>(btNeste)})
        bar->addWidget(w);
    bar->addStretch();
    bar->addWidget(btLukk);
    layout->addLayout(bar);
    scroll_ = new QScrollArea(this);
    image_ = new QLabel;
    image_->setAlignment(Qt::AlignCenter);
    scroll_->setWidget(image_);
    scroll_->setWidgetResizable(true);
    scroll_->setBackgroundRole(QPalette::Dark);
    layout->addWidget(scroll_, 1);
    btSkrivUt->setDefault(true);
    connect(btSkrivUt, &QPushButton::clicked, this, [this] { print(); });
    connect(btLagrePdf, &QPushButton::clicked, this, [this] { savePdf(); });
    connect(btForrige, &QPushButton::clicked, this, [this] { showPage(page_ - 1); });
    connect(btNeste, &QPushButton::clicked, this, [this] { showPage(page_ + 1); });
    connect(btLukk, &QPushButton::clicked, this, &QDialog::accept);
    resize(900, 1000);
    showPage(0);
}

void TGiroPreview::showPage(int page) {
    const int count = static_cast<int>(sheets_.size());
    page_ = std::clamp(page, 0, std::max(0, count - 1));
    if (count > 0) image_->setPixmap(QPixmap::fromImage(renderSheet(sheets_[page_], kPreviewDpi)));
    laSide_->setText(tr("Side %1 av %2").arg(count ? page_ + 1 : 0).arg(count));
    btForrige->setEnabled(page_ > 0);
    btNeste->setEnabled(page_ + 1 < count);
    btSkrivUt->setEnabled(count > 0);
    btLagrePdf->setEnabled(count > 0);
}

void TGiroPreview::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
        case Qt::Key_PageDown: showPage(page_ + 1); return;
        case Qt::Key_PageUp: showPage(page_ - 1); return;
        case Qt::Key_Home: showPage(0); return;
        case Qt::Key_End: showPage(static_cast<int>(sheets_.size()) - 1); return;
        case Qt::Key_F1:
            showHelp(kGiroPreviewTopic, registerKindSetting(settingsFilePath()));
            return;
        default: QDialog::keyPressEvent(event);
    }
}

void TGiroPreview::print() {
    QPrinter printer(QPrinter::HighResolution);
    QPrintDialog dialog(&printer, this);
    dialog.setWindowTitle(tr("Skriv ut giroer"));
    if (dialog.exec() != QDialog::Accepted) return;
    try {
        printGiros(printer, sheets_);
    } catch (const Error& e) {
        ui_.error(e.what());
    }
}

void TGiroPreview::savePdf() {
    const QString file = QFileDialog::getSaveFileName(
        this, tr("Lagre giroene som PDF"), QStringLiteral("giroer.pdf"), tr("PDF-filer (*.pdf)"));
    if (file.isEmpty()) return;
    try {
        writeGiroPdf(file, sheets_);
    } catch (const Error& e) {
        ui_.error(e.what());
    }
}

}  // namespace lagrull
