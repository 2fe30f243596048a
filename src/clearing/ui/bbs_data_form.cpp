#include "clearing/ui/bbs_data_form.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>

#include "clearing/ui/grid_form_helpers.h"
#include "common/ui.h"
#include "template/grid/ui/grid_print.h"

namespace lagrull::clearing {

namespace {

template <std::size_t N>
QTableWidget* makeGrid(QWidget* parent, const char* name, const std::array<const char*, N>& titles,
                       std::initializer_list<int> rightColumns) {
    auto* grid = new QTableWidget(0, static_cast<int>(N), parent);
    grid->setObjectName(name);
    for (std::size_t c = 0; c < N; ++c) {
        auto* h = new QTableWidgetItem(QString::fromUtf8(titles[c]));
        for (const int r : rightColumns)
            if (r == static_cast<int>(c)) h->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        grid->setHorizontalHeaderItem(static_cast<int>(c), h);
    }
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid->verticalHeader()->setDefaultSectionSize(18);
    return grid;
}

// One row per item; a list without items shows one empty row.
void fillGrid(QTableWidget* grid, const std::vector<std::vector<std::string>>& rows) {
    grid->setUpdatesEnabled(false);
    grid->setRowCount(std::max<int>(1, static_cast<int>(rows.size())));
    grid->clearContents();
    for (std::size_t r = 0; r < rows.size(); ++r)
        for (std::size_t c = 0; c < rows[r].size(); ++c) {
            auto* item = new QTableWidgetItem(QString::fromStdString(rows[r][c]));
            const QTableWidgetItem* h = grid->horizontalHeaderItem(static_cast<int>(c));
            if (h && (h->textAlignment() & Qt::AlignRight))
                item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            grid->setItem(static_cast<int>(r), static_cast<int>(c), item);
        }
    grid->resizeColumnsToContents();
    grid->setUpdatesEnabled(true);
}

bool firstRowFilled(const QTableWidget* grid) {
    return grid->item(0, 0) && !grid->item(0, 0)->text().isEmpty();
}

}  // namespace

TFormBBSData::TFormBBSData(Ui& ui, TBBSData returData, RegisterKind registerKind, QWidget* owner)
    : QDialog(owner), ui_(ui), data_(std::move(returData)), registerKind_(registerKind) {
    setWindowTitle(QString::fromUtf8("Returdata frå BBS"));
    pages = new QTabWidget(this);
    pages->setObjectName("pages");
    grInnbet = makeGrid(this, "grInnbet", kInnbetaltTitler, {3, 4});
    grAvtaleEndring = makeGrid(this, "grAvtaleEndring", kEndringTitler, {});
    grAvtaleStatus = makeGrid(this, "grAvtaleStatus", kStatusTitler, {});
    pages->addTab(grInnbet, "Innbetalt");
    pages->addTab(grAvtaleEndring, "Avtaleendringer");
    pages->addTab(grAvtaleStatus, "Avtalestatusliste");
    pages->setCurrentIndex(0);
    connect(grInnbet->horizontalHeader(), &QHeaderView::sectionClicked, this,
            [this](int c) { sortInnbetalt(static_cast<InnbetaltKolonne>(c)); });
    fillGrid(grInnbet, data_.innbetalt);
    fillGrid(grAvtaleEndring, data_.endringer);
    fillGrid(grAvtaleStatus, data_.status);

    btnOK = new QPushButton("OK", this);
    btnPrint = new QPushButton("Print", this);
    btnPdf = new QPushButton("Lagre som PDF", this);
    connect(btnOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(btnPrint, &QPushButton::clicked, this, &TFormBBSData::btnPrintClick);
    connect(btnPdf, &QPushButton::clicked, this, [this] {
        guarded(ui_, [this] {
            const int tab = pages->currentIndex();
            const std::string title = kBBSDataTitler[static_cast<std::size_t>(tab)];
            if (const auto file = askPdfFile(ui_, title))
                grid::SaveGridPdf(title, *static_cast<QTableWidget*>(pages->currentWidget()), false,
                                  *file);
        });
    });
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btnPrint);
    buttons->addWidget(btnPdf);
    buttons->addWidget(btnOK);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(pages);
    layout->addLayout(buttons);
    resize(720, 440);
}

void TFormBBSData::sortInnbetalt(InnbetaltKolonne column) {
    sorterInnbetalt(data_, column);
    fillGrid(grInnbet, data_.innbetalt);
}

// Each list that holds anything is printed as a job of its own.
void TFormBBSData::btnPrintClick() {
    guarded(ui_, [this] {
        const QTableWidget* grids[] = {grInnbet, grAvtaleEndring, grAvtaleStatus};
        for (std::size_t i = 0; i < 3; ++i)
            if (firstRowFilled(grids[i])) grid::PrintGrid(kBBSDataTitler[i], *grids[i]);
    });
}

void TFormBBSData::keyPressEvent(QKeyEvent* event) {
    if (!helpKey(event, kBBSDataHelpTopic, registerKind_)) QDialog::keyPressEvent(event);
}

}  // namespace lagrull::clearing
