#include "payments/ui/giro_forms.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QShortcut>
#include <QVBoxLayout>

#include "clearing/ui/avtalegiro_form.h"
#include "common/dates.h"
#include "common/ui.h"
#include "common/ui/help_window.h"
#include "data/app_db_mng.h"
#include "payments/ui/form_helpers.h"
#include "reports/ui/wizard_buttons.h"

namespace lagrull {

namespace {

constexpr int kGiroTextLength = 40;  // a text line of the giro

// A group box of radio buttons, one per caption, in a column.
template <std::size_t N>
QGroupBox* radioGroup(QWidget* parent, const char* caption, const std::vector<std::string>& texts,
                      std::array<QRadioButton*, N>& buttons) {
    auto* box = new QGroupBox(caption, parent);
    auto* layout = new QVBoxLayout(box);
    for (std::size_t i = 0; i < N; ++i) {
        buttons[i] = new QRadioButton(q(texts.at(i)), box);
        layout->addWidget(buttons[i]);
    }
    buttons[0]->setChecked(true);
    return box;
}

void addHelpKey(QDialog& dialog, int topic, RegisterKind registerKind) {
    auto* help = new QShortcut(QKeySequence(Qt::Key_F1), &dialog);
    QObject::connect(help, &QShortcut::activated, &dialog,
                     [topic, registerKind] { showHelp(topic, registerKind); });
}

}  // namespace

// --- TfoStartGiro ----------------------------------------------------------

TfoStartGiro::TfoStartGiro(Ui& ui, RegisterKind registerKind, QWidget* parent)
    : QDialog(parent), ui_(ui) {
    setObjectName("TfoStartGiro");
    setWindowTitle("Send til giroutskrift");
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    layout->addLayout(form);
    edGiroDato = new QComboBox(this);
    edGiroDato->setObjectName("edGiroDato");
    auto* laDato = new QLabel("Betalingsposter av &forfallsdato", this);
    laDato->setBuddy(edGiroDato);
    form->addRow(laDato, edGiroDato);
    pnIngenBetalingskrav = new QLabel("Ingen giro å skrive ut på valgt forfallsdato!", this);
    pnIngenBetalingskrav->setObjectName("pnIngenBetalingskrav");
    pnIngenBetalingskrav->setStyleSheet("color: #b00000; font-weight: bold;");
    layout->addWidget(pnIngenBetalingskrav);

    pnSettings = new QWidget(this);
    auto* settings = new QGridLayout(pnSettings);
    settings->setContentsMargins(0, 0, 0, 0);
    xbBetKonto = new QCheckBox("Betalers &kontonr. på giro", pnSettings);
    xbBetKonto->setObjectName("xbBetKonto");
    rgOppdragsType =
        radioGroup(pnSettings, " Oppdragstype ", OppdragsTypeCaptions(), rbOppdragsType);
    rgOppdragsType->setObjectName("rgOppdragsType");
    rgGiroName = radioGroup(pnSettings, " Vis navn som ", GiroNameCaptions(), rbGiroName);
    rgGiroName->setObjectName("rgGiroName");
    settings->addWidget(xbBetKonto, 0, 0, 1, 2);
    settings->addWidget(rgOppdragsType, 1, 0);
    settings->addWidget(rgGiroName, 1, 1);

    rgOppsett = new QGroupBox(" Girotekst oppsett ", pnSettings);
    rgOppsett->setObjectName("rgOppsett");
    auto* oppsett = new QGridLayout(rgOppsett);
    auto* presets = new QHBoxLayout;
    for (std::size_t i = 0; i < rbOppsett.size(); ++i) {
        rbOppsett[i] = new QRadioButton(q(OppsettCaptions()[i]), rgOppsett);
        presets->addWidget(rbOppsett[i]);
        connect(rbOppsett[i], &QRadioButton::clicked, this, [this, i] {
            writeLines();
            ApplyOppsett(static_cast<GiroPreset>(i));
        });
    }
    rbOppsett[0]->setChecked(true);
    presets->addStretch();
    oppsett->addLayout(presets, 0, 0, 1, 3);
    const std::vector<std::string> fields = giroMergeFields();
    for (int n = 0; n < kGiroTextLines; ++n) {
        const std::size_t i = static_cast<std::size_t>(n);
        const QString number = QString::number(n + 1);
        auto* label = new QLabel(QString("%1.").arg(number), rgOppsett);
        xbFlettInn[i] = new QComboBox(rgOppsett);
        xbFlettInn[i]->setObjectName("xbFlettInn" + number);
        for (const std::string& kind : LineKindCaptions()) xbFlettInn[i]->addItem(q(kind));
        edTekst[i] = new QLineEdit(rgOppsett);
        edTekst[i]->setObjectName("edTekst" + number);
        edTekst[i]->setMaxLength(kGiroTextLength);
        cbTekst[i] = new QComboBox(rgOppsett);
        cbTekst[i]->setObjectName("cbTekst" + number);
        for (const std::string& f : fields) {
            const std::size_t eq = f.find('=');
            cbTekst[i]->addItem(q(f.substr(eq + 1)), q(f.substr(0, eq)));
        }
        cbTekst[i]->hide();
        label->setBuddy(edTekst[i]);
        oppsett->addWidget(label, n + 1, 0);
        oppsett->addWidget(xbFlettInn[i], n + 1, 1);
        oppsett->addWidget(edTekst[i], n + 1, 2);
        oppsett->addWidget(cbTekst[i], n + 1, 2);
        connect(xbFlettInn[i], &QComboBox::activated, this, [this, n](int kind) {
            writeLines();
            SetLineKind(n, static_cast<TextLineKind>(kind));
            showLine(n);
        });
    }
    oppsett->setColumnStretch(2, 1);
    settings->addWidget(rgOppsett, 2, 0, 1, 2);
    layout->addWidget(pnSettings);

    const TWizardButtons b = addWizardButtons(*this, *layout, kHelpStartGiro, registerKind);
    btForrige = b.btForrige;
    btNeste = b.btNeste;
    btAvbryt = b.btAvbryt;
    btForrige->setEnabled(false);
    connect(btNeste, &QPushButton::clicked, this, [this] { next(); });
    connect(edGiroDato, &QComboBox::activated, this, [this](int index) {
        guarded(ui_, [this, index] {
            writeLines();
            ChooseDate(index);
        });
    });
    setMinimumWidth(560);
}

void TfoStartGiro::EntriesChanged() {
    {
        const QSignalBlocker block(edGiroDato);
        edGiroDato->clear();
        for (const std::string& d : GiroDates()) edGiroDato->addItem(q(d));
        edGiroDato->setCurrentIndex(GiroDate());
    }
    pnIngenBetalingskrav->setVisible(!HasClaims());
    pnSettings->setEnabled(HasClaims());
    btNeste->setEnabled(HasClaims());
    for (int n = 0; n < kGiroTextLines; ++n) showLine(n);
}

void TfoStartGiro::showLine(int line) {
    const std::size_t i = static_cast<std::size_t>(line);
    const GiroTextLine& l = Lines[i];
    const bool merge = l.kind == TextLineKind::Flettefelt;
    xbFlettInn[i]->setCurrentIndex(static_cast<int>(l.kind));
    edTekst[i]->setText(q(l.text));
    edTekst[i]->setVisible(!merge);
    cbTekst[i]->setVisible(merge);
    const int field = cbTekst[i]->findData(q(l.field));
    cbTekst[i]->setCurrentIndex(std::max(0, field));
}

void TfoStartGiro::writeLines() {
    BetKonto = xbBetKonto->isChecked();
    OppdragsType = rbOppdragsType[1]->isChecked() ? GiroKind::AnnenBetaling : GiroKind::Kontingent;
    GiroNavn = rbGiroName[1]->isChecked() ? GiroName::FornavnEtternavn : GiroName::EtternavnFornavn;
    for (std::size_t i = 0; i < Lines.size(); ++i) {
        Lines[i].text = edTekst[i]->text().toStdString();
        Lines[i].field = cbTekst[i]->currentData().toString().toStdString();
    }
}

void TfoStartGiro::next() {
    writeLines();
    if (CheckNext()) done(reports::kStepNext);
}

int TfoStartGiro::ShowModal() {
    edGiroDato->setFocus();
    return exec();
}

// --- TfoDialogBetaling -------------------------------------------------------

TfoDialogBetaling::TfoDialogBetaling(Ui& ui, data::TDatabase& db, std::int64_t orgNr,
                                     std::string settingsFile, RegisterKind registerKind,
                                     std::function<void()> giro, QWidget* parent)
    : QDialog(parent),
      ui_(ui),
      db_(db),
      orgNr_(orgNr),
      settingsFile_(std::move(settingsFile)),
      registerKind_(registerKind) {
    setObjectName("TfoDialogBetaling");
    setWindowTitle("Giroutskrifter");
    auto* layout = new QVBoxLayout(this);
    btGiro = new QPushButton("&Skrive ut giroer", this);
    btGiro->setObjectName("btGiro");
    btAvtaleGiro = new QPushButton("Lagre &AvtaleGiro-fil", this);
    btAvtaleGiro->setObjectName("btAvtaleGiro");
    btSletting = new QPushButton("Lagre S&letteanmodninger", this);
    btSletting->setObjectName("btSletting");
    btLukk = new QPushButton("Lukk", this);
    btLukk->setObjectName("btLukk");
    for (QPushButton* b : {btGiro, btAvtaleGiro, btSletting}) layout->addWidget(b);
    layout->addSpacing(8);
    layout->addWidget(btLukk);
    btGiro->setDefault(true);
    connect(btGiro, &QPushButton::clicked, this,
            [this, giro = std::move(giro)] { guarded(ui_, giro); });
    connect(btAvtaleGiro, &QPushButton::clicked, this,
            [this] { avtaleGiro(clearing::AvtaleGiroModus::Krav); });
    connect(btSletting, &QPushButton::clicked, this, [this] {
        if (avtaleGiro(clearing::AvtaleGiroModus::Sletting)) accept();
    });
    connect(btLukk, &QPushButton::clicked, this, &QDialog::reject);
    addHelpKey(*this, kHelpDialogBetaling, registerKind_);
    setMinimumWidth(300);
}

bool TfoDialogBetaling::avtaleGiro(clearing::AvtaleGiroModus mode) {
    if (!kundeenhetsIdGiven(ui_, settingsFile_)) return false;
    TfoDialogDato dato(ui_, db_, orgNr_, mode, settingsFile_, registerKind_, this);
    dato.exec();
    return true;
}

// --- TfoDialogDato -----------------------------------------------------------

TfoDialogDato::TfoDialogDato(Ui& ui, data::TDatabase& db, std::int64_t orgNr,
                             clearing::AvtaleGiroModus mode, std::string settingsFile,
                             RegisterKind registerKind, QWidget* parent)
    : QDialog(parent),
      ui_(ui),
      db_(db),
      orgNr_(orgNr),
      mode_(mode),
      settingsFile_(std::move(settingsFile)),
      registerKind_(registerKind) {
    setObjectName("TfoDialogDato");
    setWindowTitle("Velg Forfallsdato");
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    cbForfdato = new QComboBox(this);
    cbForfdato->setObjectName("cbForfdato");
    std::vector<std::string> dates;
    data::GetClaimDates(db, orgNr, dates);
    for (const std::string& d : dates) cbForfdato->addItem(q(d));
    cbForfdato->setCurrentIndex(-1);
    auto* label = new QLabel("&Forfallsdato", this);
    label->setBuddy(cbForfdato);
    form->addRow(label, cbForfdato);
    layout->addLayout(form);
    auto* buttons = new QDialogButtonBox(this);
    btOk = buttons->addButton("OK", QDialogButtonBox::AcceptRole);
    btAvbryt = buttons->addButton("Avbryt", QDialogButtonBox::RejectRole);
    layout->addWidget(buttons);
    btOk->setDefault(true);
    connect(btOk, &QPushButton::clicked, this, [this] { guarded(ui_, [this] { ok(); }); });
    connect(btAvbryt, &QPushButton::clicked, this, &QDialog::reject);
    addHelpKey(*this, kHelpDialogDato, registerKind_);
    setMinimumWidth(280);
}

void TfoDialogDato::ok() {
    const auto date = parseShownDate(cbForfdato->currentText().toStdString());
    if (cbForfdato->currentIndex() < 0 || !date) {
        ui_.error("Velg en forfallsdato !!", "Feil!");
        return;
    }
    accept();
    clearing::TfoAvtaleGiro::run(ui_, db_, orgNr_, *date, mode_, settingsFile_, registerKind_,
                                 parentWidget());
}

}  // namespace lagrull
