#include "clearing/ui/avtalegiro_form.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "clearing/bbs_transmission.h"
#include "clearing/ui/grid_form_helpers.h"
#include "common/ui.h"
#include "template/grid/ui/grid_print.h"

namespace lagrull::clearing {

namespace {

const char* const kTitler[kAvtaleGiroKolonner] = {
    "Navn", "Forfallsdato", "Beløp", "Tekst", "KID", "Slettes", "Eget varsel", "Oppdragsnr"};
const int kBredder[kAvtaleGiroKolonner] = {180, 70, 70, 200, 160, 50, 70, 70};

QTableWidgetItem* cell(const std::string& text, bool editable = false) {
    auto* item = new QTableWidgetItem(QString::fromStdString(text));
    if (!editable) item->setFlags(item->flags() & ~Qt::ItemIsEditable);
    return item;
}

}  // namespace

TfoAvtaleGiro::TfoAvtaleGiro(Ui& ui, data::TDatabase& db, std::int64_t orgnr, const Date& forfall,
                             AvtaleGiroModus modus, std::string settingsFile,
                             TAvtaleGiroListe liste, RegisterKind registerKind, QWidget* owner)
    : QDialog(owner),
      ui_(ui),
      db_(db),
      orgnr_(orgnr),
      forfall_(forfall),
      modus_(modus),
      settingsFile_(std::move(settingsFile)),
      liste_(std::move(liste)),
      registerKind_(registerKind) {
    const bool krav = modus_ == AvtaleGiroModus::Krav;
    setWindowTitle(krav ? "Avtalegiro" : "Sletteposter");
    grBetalingsposter = new QTableWidget(0, kAvtaleGiroKolonner, this);
    grBetalingsposter->setObjectName("grBetalingsposter");
    for (int c = 0; c < kAvtaleGiroKolonner; ++c) {
        auto* h = new QTableWidgetItem(QString::fromUtf8(kTitler[c]));
        if (c == kBelop) h->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        grBetalingsposter->setHorizontalHeaderItem(c, h);
        grBetalingsposter->setColumnWidth(c, kBredder[c]);
    }
    grBetalingsposter->setColumnHidden(kForfallsdato, true);
    grBetalingsposter->setColumnHidden(kOppdragsnr, true);
    grBetalingsposter->setColumnHidden(kSlettes, krav);
    grBetalingsposter->setColumnHidden(kEgetVarsel, !krav);
    connect(grBetalingsposter, &QTableWidget::itemChanged, this, [this](QTableWidgetItem* item) {
        if (item->column() == kSlettes && item->row() < liste_.Antall())
            liste_.poster[static_cast<std::size_t>(item->row())].slettes =
                item->text().trimmed().toStdString();
    });

    edAntall = new QLineEdit(this);
    edSum = new QLineEdit(this);
    for (QLineEdit* e : {edAntall, edSum}) {
        e->setReadOnly(true);
        e->setAlignment(Qt::AlignRight);
        e->setMaximumWidth(120);
    }
    btSendLagre = new QPushButton("Generer BBS-fil ", this);
    btSletteanmodning = new QPushButton("Generer Sletteanmodning", this);
    btSlettAlle = new QPushButton("Slett Alle", this);
    btSlettIngen = new QPushButton("Slett Ingen", this);
    btSkrivUt = new QPushButton("Skriv ut lista", this);
    btPdf = new QPushButton("Lagre som PDF", this);
    btOk = new QPushButton("OK", this);
    btAvbryt = new QPushButton("Avbryt", this);
    btSendLagre->setVisible(krav);
    btSletteanmodning->setVisible(!krav);
    btSlettAlle->setVisible(!krav);
    btSlettIngen->setVisible(!krav);

    connect(btSendLagre, &QPushButton::clicked, this, &TfoAvtaleGiro::BtSendLagClick);
    connect(btSletteanmodning, &QPushButton::clicked, this, &TfoAvtaleGiro::btSletteanmodningClick);
    connect(btSlettAlle, &QPushButton::clicked, this, [this] { setMarks(true); });
    connect(btSlettIngen, &QPushButton::clicked, this, [this] { setMarks(false); });
    const std::string title = avtaleGiroTittel(modus_, forfall_);
    connect(btSkrivUt, &QPushButton::clicked, this,
            [this, title] { guarded(ui_, [&] { grid::PrintGrid(title, *grBetalingsposter); }); });
    connect(btPdf, &QPushButton::clicked, this, [this, title] {
        guarded(ui_, [&] {
            if (const auto file = askPdfFile(ui_, "Avtalegiro"))
                grid::SaveGridPdf(title, *grBetalingsposter, false, *file);
        });
    });
    connect(btOk, &QPushButton::clicked, this, &QDialog::accept);
    connect(btAvbryt, &QPushButton::clicked, this, &QDialog::reject);

    auto* totals = new QFormLayout;
    totals->addRow("Antall", edAntall);
    totals->addRow("Sum Totalt", edSum);
    auto* buttons = new QHBoxLayout;
    for (QPushButton* b :
         {btSendLagre, btSletteanmodning, btSlettAlle, btSlettIngen, btSkrivUt, btPdf})
        buttons->addWidget(b);
    buttons->addStretch();
    buttons->addWidget(btOk);
    buttons->addWidget(btAvbryt);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(grBetalingsposter);
    layout->addLayout(totals);
    layout->addLayout(buttons);
    resize(820, 460);
    fill();
}

void TfoAvtaleGiro::fill() {
    const QSignalBlocker block(grBetalingsposter);
    grBetalingsposter->setRowCount(liste_.Antall());
    for (int r = 0; r < liste_.Antall(); ++r) {
        const TBetalingspost& p = liste_.poster[static_cast<std::size_t>(r)];
        grBetalingsposter->setItem(r, kNavn, cell(p.navn));
        grBetalingsposter->setItem(r, kForfallsdato, cell(p.forfallsdato));
        QTableWidgetItem* amount = cell(FormatAmount(p.belop));
        amount->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        grBetalingsposter->setItem(r, kBelop, amount);
        grBetalingsposter->setItem(r, kTekst, cell(p.tekst));
        grBetalingsposter->setItem(r, kKid, cell(p.kid));
        grBetalingsposter->setItem(r, kSlettes, cell(p.slettes, true));
        grBetalingsposter->setItem(r, kEgetVarsel, cell(std::to_string(p.egetVarsel)));
        grBetalingsposter->setItem(r, kOppdragsnr, cell(std::to_string(p.oppdragsnr)));
    }
    edAntall->setText(QString::number(liste_.Antall()));
    edSum->setText(QString::fromStdString(FormatAmount(liste_.Sum())));
}

void TfoAvtaleGiro::setMarks(bool all) {
    BusyCursor busy(ui_);
    all ? liste_.SlettAlle() : liste_.SlettIngen();
    fill();
}

void TfoAvtaleGiro::BtSendLagClick() {
    guarded(ui_, [this] {
        std::optional<std::string> file;
        for (;;) {  // the dialog stays open until the name is right or it is cancelled
            file = ui_.saveFileName({"Lagrer Avtalegiroer til fil", "BBS-filer|*.bbs",
                                     documentsFolder(), "dirdeb.bbs"});
            if (!file || erDirdebNavn(*file)) break;
            ui_.error("BBS-fil må ha navn dirdeb.bbs!");
        }
        if (!file) return;
        TBBS bbs;
        lagKravfil(ui_, db_, liste_, *file, TidligereFil::Spor,
                   lesAvtaleGiroOppsett(db_, orgnr_, settingsFile_), bbs);
    });
}

void TfoAvtaleGiro::btSletteanmodningClick() {
    guarded(ui_, [this] {
        const auto file = ui_.saveFileName(
            {"Lagrer sletteanmodning", "BBS-filer|*.bbs", documentsFolder(), "sletting.bbs"});
        if (!file) return;
        TBBS bbs;
        lagSletteanmodning(ui_, db_, liste_, *file,
                           lesAvtaleGiroOppsett(db_, orgnr_, settingsFile_), bbs);
    });
}

void TfoAvtaleGiro::run(Ui& ui, data::TDatabase& db, std::int64_t orgnr, const Date& forfall,
                        AvtaleGiroModus modus, const std::string& settingsFile,
                        RegisterKind registerKind, QWidget* owner) {
    std::optional<TAvtaleGiroListe> liste = hentAvtaleGiroListe(ui, db, orgnr, forfall);
    if (!liste) return;
    TfoAvtaleGiro form(ui, db, orgnr, forfall, modus, settingsFile, std::move(*liste), registerKind,
                       owner);
    form.exec();
}

void TfoAvtaleGiro::keyPressEvent(QKeyEvent* event) {
    if (!helpKey(event, kAvtaleGiroHelpTopic, registerKind_)) QDialog::keyPressEvent(event);
}

}  // namespace lagrull::clearing
