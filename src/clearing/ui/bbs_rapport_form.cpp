#include "clearing/ui/bbs_rapport_form.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "clearing/ui/grid_form_helpers.h"
#include "common/ui.h"
#include "template/grid/ui/grid_print.h"

namespace lagrull::clearing {

namespace {
constexpr int kBetaltKr = 5;
}

TFormBBSRapport::TFormBBSRapport(Ui& ui, RegisterKind registerKind, QWidget* owner)
    : QDialog(owner), ui_(ui), registerKind_(registerKind) {
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle("BBS returfil import");
    setModal(false);
    grRapport = new QTableWidget(1, kRapportKolonner, this);
    grRapport->setObjectName("grRapport");
    for (int c = 0; c < kRapportKolonner; ++c) {
        auto* h = new QTableWidgetItem(QString::fromUtf8(kRapportTitler[c]));
        if (c == kBetaltKr) h->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        grRapport->setHorizontalHeaderItem(c, h);
        grRapport->setColumnWidth(c, kRapportBredder[c]);
    }
    grRapport->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grRapport->verticalHeader()->setDefaultSectionSize(18);
    grRapport->setCurrentCell(0, 0);

    btnOK = new QPushButton("OK", this);
    btnPrint = new QPushButton("Utskrift", this);
    btnPdf = new QPushButton("Lagre som PDF", this);
    connect(btnOK, &QPushButton::clicked, this, &QDialog::close);
    connect(btnPrint, &QPushButton::clicked, this,
            [this] { guarded(ui_, [this] { grid::PrintGrid("BBS rapport", *grRapport, true); }); });
    connect(btnPdf, &QPushButton::clicked, this, [this] { guarded(ui_, [this] { savePdf(); }); });

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btnPrint);
    buttons->addWidget(btnPdf);
    buttons->addWidget(btnOK);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(grRapport);
    layout->addLayout(buttons);
    int width = 60;
    for (const int w : kRapportBredder) width += w;
    resize(width, 420);
    btnOK->setDefault(true);
}

void TFormBBSRapport::AddLine(const TBBSRapportLinje& line) {
    ui_.processEvents();
    const auto texts = rapportKolonner(line);
    const int row = grRapport->rowCount() - 1;
    for (int c = 0; c < kRapportKolonner; ++c) {
        auto* item =
            new QTableWidgetItem(QString::fromStdString(texts[static_cast<std::size_t>(c)]));
        if (c == kBetaltKr) item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        grRapport->setItem(row, c, item);
    }
    grRapport->insertRow(row + 1);
    grRapport->setCurrentCell(row + 1, 0);
}

void TFormBBSRapport::savePdf() {
    if (const auto file = askPdfFile(ui_, "BBS rapport"))
        grid::SaveGridPdf("BBS rapport", *grRapport, true, *file);
}

void TFormBBSRapport::keyPressEvent(QKeyEvent* event) {
    if (!helpKey(event, kBBSRapportHelpTopic, registerKind_)) QDialog::keyPressEvent(event);
}

}  // namespace lagrull::clearing
