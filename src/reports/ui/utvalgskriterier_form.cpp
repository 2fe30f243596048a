#include "reports/ui/utvalgskriterier_form.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QStackedWidget>
#include <QVBoxLayout>

#include "common/error.h"
#include "common/ui.h"
#include "common/ui/masked_edit.h"
#include "data/orv_table.h"
#include "data/ui/db_grid.h"
#include "reports/ui/kravtilhvem_form.h"
#include "reports/ui/selection_help.h"
#include "reports/ui/wizard_buttons.h"

namespace lagrull {

namespace {

constexpr int kExtraRowHeight = 21;

QString q(const std::string& text) { return QString::fromStdString(text); }

void fill(QComboBox* box, const reports::TChoiceSelection& choices) {
    const QSignalBlocker block(box);
    box->clear();
    for (const std::string& e : choices.entries) box->addItem(q(choiceText(e)));
    box->setCurrentIndex(choices.index);
}

TMalEdit* dateEdit(QWidget* parent, Ui& ui, const char* name) {
    auto* edit = new TMalEdit(parent, EditKind::mkDate, "##.##.####");
    edit->setObjectName(name);
    edit->setUi(&ui);
    edit->setMaximumWidth(90);
    return edit;
}

QLineEdit* lineEdit(QWidget* parent, const char* name, int width) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(name);
    edit->setMaximumWidth(width);
    return edit;
}

}  // namespace

TfoUtvalgskriterier::TfoUtvalgskriterier(data::TOrvDbMng& dbMng, Ui& ui, RegisterKind registerKind,
                                         QWidget* parent)
    : QDialog(parent), TUtvalgskriterierStep(dbMng), ui_(ui), registerKind_(registerKind) {
    setObjectName("TfoUtvalgskriterier");
    setWindowTitle("Utvalgskriterier");
    auto* layout = new QVBoxLayout(this);
    layout->setSpacing(4);
    auto* body = new QHBoxLayout;
    layout->addLayout(body, 1);

    // Left: the criteria.
    auto* criteria = new QGroupBox("Kriterier", this);
    auto* grid = new QGridLayout(criteria);
    grid->setVerticalSpacing(3);
    int row = 0;
    auto label = [&](const char* text, int r, int c) {
        grid->addWidget(new QLabel(text, criteria), r, c);
    };
    edNrFra = lineEdit(criteria, "edNrFra", 90);
    edNrTil = lineEdit(criteria, "edNrTil", 90);
    for (QLineEdit* e : {edNrFra, edNrTil}) e->setValidator(new QIntValidator(e));
    label(registerKind == RegisterKind::Rent ? "Leietakernr fra" : "Medlnr fra", row, 0);
    grid->addWidget(edNrFra, row, 1);
    label("til", row, 2);
    grid->addWidget(edNrTil, row++, 3);
    edPostnrFra = lineEdit(criteria, "edPostnrFra", 90);
    edPostnrTil = lineEdit(criteria, "edPostnrTil", 90);
    for (QLineEdit* e : {edPostnrFra, edPostnrTil}) e->setMaxLength(4);
    label("Postnr fra", row, 0);
    grid->addWidget(edPostnrFra, row, 1);
    label("til", row, 2);
    grid->addWidget(edPostnrTil, row++, 3);
    auto combo = [&](const char* caption, const char* name) {
        auto* box = new QComboBox(criteria);
        box->setObjectName(name);
        label(caption, row, 0);
        grid->addWidget(box, row++, 1, 1, 3);
        return box;
    };
    cbKategori = combo("Kategori", "cbKategori");
    cbBetalingstype = combo("Bet. måte", "cbBetalingstype");
    cbRelMedl = combo("Relasjon", "cbRelMedl");
    cbForfDato = new QComboBox(criteria);
    cbForfDato->setObjectName("cbForfDato");
    label("Forf.Dato", row, 0);
    grid->addWidget(cbForfDato, row, 1);
    laBetStatus = new QLabel("BetStatus", criteria);
    cbBetStatus = new QComboBox(criteria);
    cbBetStatus->setObjectName("cbBetStatus");
    grid->addWidget(laBetStatus, row, 2);
    grid->addWidget(cbBetStatus, row++, 3);
    edMedlFraDato = dateEdit(criteria, ui, "edMedlFraDato");
    label("M. dato fra", row, 0);
    grid->addWidget(edMedlFraDato, row++, 1);
    edDatoFra = dateEdit(criteria, ui, "edDatoFra");
    edDatoTil = dateEdit(criteria, ui, "edDatoTil");
    label("F. dato fra", row, 0);
    grid->addWidget(edDatoFra, row, 1);
    label("til", row, 2);
    grid->addWidget(edDatoTil, row++, 3);

    pnEkstra = new QWidget(criteria);
    pnEkstra->setObjectName("pnEkstra");
    auto* extras = new QVBoxLayout(pnEkstra);
    extras->setContentsMargins(0, 0, 0, 0);
    extras->setSpacing(0);
    for (int i = 0; i < reports::kExtraFieldCount; ++i) {
        const std::size_t n = static_cast<std::size_t>(i);
        pnEkstraRow[n] = new QWidget(pnEkstra);
        pnEkstraRow[n]->setObjectName(QString("pnEkstra%1").arg(i + 1));
        pnEkstraRow[n]->setFixedHeight(kExtraRowHeight + 4);
        auto* r = new QHBoxLayout(pnEkstraRow[n]);
        r->setContentsMargins(0, 0, 0, 0);
        laEkstra[n] = new QLabel(pnEkstraRow[n]);
        laEkstra[n]->setMinimumWidth(90);
        edEkstra[n] = new QLineEdit(pnEkstraRow[n]);
        edEkstra[n]->setObjectName(QString("edEkstra%1").arg(i + 1));
        edEkstra[n]->setMaxLength(30);
        r->addWidget(laEkstra[n]);
        r->addWidget(edEkstra[n], 1);
        extras->addWidget(pnEkstraRow[n]);
    }
    grid->addWidget(pnEkstra, row++, 0, 1, 4);
    grid->setRowStretch(row, 1);
    criteria->setMaximumWidth(370);
    body->addWidget(criteria);

    // Middle: the member list; right: the picks.
    gridHolder_ = new QWidget(this);
    auto* holder = new QVBoxLayout(gridHolder_);
    holder->setContentsMargins(0, 0, 0, 0);
    holder->addWidget(
        new QLabel(registerKind == RegisterKind::Rent ? "Leietakere" : "Medlemmer", gridHolder_));
    body->addWidget(gridHolder_, 1);

    auto* picking = new QVBoxLayout;
    btAdd = new QPushButton("&Velg denne", this);
    btDelete = new QPushButton("&Fjern denne", this);
    btDeleteAll = new QPushButton("  Fjern &alle  ", this);
    picking->addSpacing(20);
    for (QPushButton* b : {btAdd, btDelete, btDeleteAll}) picking->addWidget(b);
    picking->addStretch();
    body->addLayout(picking);

    auto* chosen = new QVBoxLayout;
    chosen->addWidget(new QLabel("Valgte", this));
    pickStack_ = new QStackedWidget(this);
    lbValgtNavn = new QListWidget(pickStack_);
    lbValgtNavn->setObjectName("lbValgtNavn");
    laAlle = new QLabel("Alle medlemmer", pickStack_);
    laAlle->setObjectName("laAlle");
    laAlle->setAlignment(Qt::AlignCenter);
    laAlle->setFrameShape(QFrame::StyledPanel);
    pickStack_->addWidget(lbValgtNavn);
    pickStack_->addWidget(laAlle);
    pickStack_->setMinimumWidth(170);
    pickStack_->setMaximumWidth(210);
    chosen->addWidget(pickStack_, 1);
    body->addLayout(chosen);

    const TWizardButtons buttons =
        addWizardButtons(*this, *layout, kHelpSelectionTopic, registerKind);
    btForrige = buttons.btForrige;
    btNeste = buttons.btNeste;
    btAvbryt = buttons.btAvbryt;

    connect(btAdd, &QPushButton::clicked, this, &TfoUtvalgskriterier::pick);
    connect(btDelete, &QPushButton::clicked, this, &TfoUtvalgskriterier::removeSelected);
    connect(btDeleteAll, &QPushButton::clicked, this, [this] {
        Criteria().RemoveAll();
        showPicks();
    });
    connect(lbValgtNavn, &QListWidget::currentRowChanged, this,
            [this](int r) { Criteria().SelectPick(r); });
    connect(cbForfDato, &QComboBox::currentIndexChanged, this,
            &TfoUtvalgskriterier::forfDatoChanged);
    connect(btForrige, &QPushButton::clicked, this, [this] {
        writeCriteria();
        done(reports::kStepBack);
    });
    connect(btNeste, &QPushButton::clicked, this, &TfoUtvalgskriterier::next);
    resize(900, 340);
}

void TfoUtvalgskriterier::CriteriaReset() {
    reports::TUtvalgskriterier& c = Criteria();
    if (!grMedlReg && c.Members()) {
        grMedlReg = new TDBGrid(*c.Members(),
                                {{"MEDLNR",
                                  registerKind_ == RegisterKind::Rent ? "Leietakernr" : "Medl.nr",
                                  80,
                                  {},
                                  Qt::AlignLeft | Qt::AlignVCenter},
                                 {"NAVN", "Navn", 0, {}, Qt::AlignLeft | Qt::AlignVCenter}},
                                gridHolder_);
        grMedlReg->setObjectName("grMedlReg");
        grMedlReg->setAlwaysShowSelection(true);
        grMedlReg->installEventFilter(this);
        connect(grMedlReg, &QAbstractItemView::doubleClicked, this, &TfoUtvalgskriterier::pick);
        gridHolder_->layout()->addWidget(grMedlReg);
    }
    for (QLineEdit* e : {edNrFra, edNrTil, edPostnrFra, edPostnrTil}) e->clear();
    for (TMalEdit* e : {edMedlFraDato, edDatoFra, edDatoTil}) e->setStoredValue({});
    fill(cbKategori, c.Kategori);
    fill(cbBetalingstype, c.Betaling);
    fill(cbRelMedl, c.Relasjon);
    fill(cbForfDato, c.ForfDato());
    fill(cbBetStatus, c.BetStatus);
    forfDatoChanged(c.ForfDato().index);
    for (int i = 0; i < reports::kExtraFieldCount; ++i) {
        const std::size_t n = static_cast<std::size_t>(i);
        laEkstra[n]->setText(q(c.EkstraNavn(i)));
        edEkstra[n]->clear();
        pnEkstraRow[n]->setVisible(c.EkstraVisible(i));
    }
    showPicks();
    fitHeight();
}

void TfoUtvalgskriterier::fitHeight() {
    int panel = 0;
    for (QWidget* r : pnEkstraRow)
        if (!r->isHidden()) panel += r->height();
    // Never lower than the controls need, whatever the rule gives.
    const int height = std::max(reports::UtvalgskriterierHeight(panel), sizeHint().height());
    resize(width(), height);
}

int TfoUtvalgskriterier::Execute() {
    btForrige->setEnabled(BackEnabled());
    btNeste->setFocus();
    return exec();
}

void TfoUtvalgskriterier::writeCriteria() {
    reports::TUtvalgskriterier& c = Criteria();
    c.MedlnrFra = edNrFra->text().toLongLong();
    c.MedlnrTil = edNrTil->text().toLongLong();
    c.PostnrFra = edPostnrFra->text().trimmed().toStdString();
    c.PostnrTil = edPostnrTil->text().trimmed().toStdString();
    c.Kategori.index = std::max(0, cbKategori->currentIndex());
    c.Betaling.index = std::max(0, cbBetalingstype->currentIndex());
    c.Relasjon.index = std::max(0, cbRelMedl->currentIndex());
    c.BetStatus.index = std::max(0, cbBetStatus->currentIndex());
    for (std::size_t n = 0; n < edEkstra.size(); ++n)
        c.Ekstra[n] =
            pnEkstraRow[n]->isHidden() ? std::string() : edEkstra[n]->text().toStdString();
    c.MedlFraDato = edMedlFraDato->text().toStdString();
    c.DatoFra = edDatoFra->text().toStdString();
    c.DatoTil = edDatoTil->text().toStdString();
}

void TfoUtvalgskriterier::next() {
    writeCriteria();
    try {
        Criteria().CheckEntries();
    } catch (const Error& e) {
        ui_.error(e.what());
        return;
    }
    done(reports::kStepNext);
}

void TfoUtvalgskriterier::showPicks() {
    const reports::TUtvalgskriterier& c = Criteria();
    const QSignalBlocker block(lbValgtNavn);
    lbValgtNavn->clear();
    for (const reports::TPickedMember& p : c.Picks()) lbValgtNavn->addItem(q(p.navn));
    lbValgtNavn->setCurrentRow(c.SelectedPick());
    pickStack_->setCurrentWidget(c.AllMembersPanelVisible() ? static_cast<QWidget*>(laAlle)
                                                            : lbValgtNavn);
    btDelete->setEnabled(c.RemoveEnabled());
    btDeleteAll->setEnabled(c.RemoveEnabled());
}

void TfoUtvalgskriterier::pick() {
    Criteria().PickCurrent();
    showPicks();
}

void TfoUtvalgskriterier::removeSelected() {
    Criteria().RemoveSelected();
    showPicks();
}

void TfoUtvalgskriterier::forfDatoChanged(int index) {
    Criteria().SetForfDato(index);
    const bool visible = Criteria().BetStatusVisible();
    laBetStatus->setVisible(visible);
    cbBetStatus->setVisible(visible);
    cbBetStatus->setCurrentIndex(Criteria().BetStatus.index);
}

// Right arrow in the member grid picks, left arrow removes; the grid does
// not see them.
bool TfoUtvalgskriterier::eventFilter(QObject* watched, QEvent* event) {
    if (watched == grMedlReg && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Right) {
            pick();
            return true;
        }
        if (key == Qt::Key_Left) {
            removeSelected();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

std::unique_ptr<reports::TKravTilHvemStep> TQtSelectionSteps::CreateKravTilHvem() {
    return std::make_unique<TfoKravTilHvem>(registerKind_, parent_);
}

std::unique_ptr<reports::TUtvalgskriterierStep> TQtSelectionSteps::CreateUtvalgskriterier(
    data::TOrvDbMng& dbMng) {
    return std::make_unique<TfoUtvalgskriterier>(dbMng, ui_, registerKind_, parent_);
}

}  // namespace lagrull
