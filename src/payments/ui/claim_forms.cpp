#include "payments/ui/claim_forms.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QIntValidator>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "common/dates.h"
#include "common/error.h"
#include "common/ui/masked_edit.h"
#include "payments/ui/form_helpers.h"
#include "reports/ui/wizard_buttons.h"

namespace lagrull {

namespace {

constexpr int kDescriptionLength = 40;  // MBETREG.TEKST

}  // namespace

TfoStartGen::TfoStartGen(Ui& ui, RegisterKind registerKind, QWidget* parent)
    : QDialog(parent), ui_(ui) {
    setObjectName("TfoStartGen");
    setWindowTitle("Spesifiser betalingskrav");
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    layout->addLayout(form);

    auto* dateRow = new QHBoxLayout;
    edKontDato = new TMalEdit(this, EditKind::mkDate, "##.##.####");
    edKontDato->setObjectName("edKontDato");
    edKontDato->setUi(&ui);
    edKontDatoDropDownHelper = new QComboBox(this);
    edKontDatoDropDownHelper->setObjectName("edKontDatoDropDownHelper");
    edKontDatoDropDownHelper->setToolTip("Forfallsdatoer som allerede har betalingsposter");
    edKontDatoDropDownHelper->setPlaceholderText("Tidligere forfall");
    dateRow->addWidget(edKontDato);
    dateRow->addWidget(edKontDatoDropDownHelper);
    dateRow->addStretch();
    auto* laKontDato = new QLabel("&Forfallsdato", this);
    laKontDato->setBuddy(edKontDato);
    form->addRow(laKontDato, dateRow);

    CBKidRef = new QCheckBox("Generer med &KID", this);
    CBKidRef->setObjectName("CBKidRef");
    CBKidRef->setToolTip("Bruker OCR KID MOD 10");
    form->addRow(QString(), CBKidRef);

    edTEKST = new QLineEdit(this);
    edTEKST->setObjectName("edTEKST");
    edTEKST->setToolTip("Beskrivende tekst");
    edTEKST->setMaxLength(kDescriptionLength);
    auto* laTekst = new QLabel("&Beskrivelse for betalingsposter", this);
    laTekst->setBuddy(edTEKST);
    form->addRow(laTekst, edTEKST);

    edBelopskilde = new QGroupBox(" Beløp fra ", this);
    edBelopskilde->setObjectName("edBelopskilde");
    auto* sources = new QGridLayout(edBelopskilde);
    for (std::size_t i = 0; i < rbBelopskilde.size(); ++i) {
        rbBelopskilde[i] = new QRadioButton(q(BelopskildeCaptions()[i]), edBelopskilde);
        // Two columns, filled column by column.
        sources->addWidget(rbBelopskilde[i], static_cast<int>(i % 2), static_cast<int>(i / 2));
        connect(rbBelopskilde[i], &QRadioButton::toggled, this, [this, i](bool on) {
            if (!on) return;
            SetBelopskilde(static_cast<AmountSource>(i));
            showSource();
        });
    }
    layout->addWidget(edBelopskilde);

    auto* amountRow = new QHBoxLayout;
    laBELOP = new QLabel("Spesifikt &beløp, uavhengig av tilknytninger", this);
    EditBELOP = new QLineEdit(this);
    EditBELOP->setObjectName("EditBELOP");
    EditBELOP->setValidator(new QIntValidator(EditBELOP));
    laBELOP->setBuddy(EditBELOP);
    amountRow->addWidget(laBELOP);
    amountRow->addWidget(EditBELOP);
    layout->addLayout(amountRow);

    pnRelasjoner = new QWidget(this);
    auto* relations = new QGridLayout(pnRelasjoner);
    relations->setContentsMargins(0, 0, 0, 0);
    lbFra = new QListWidget(pnRelasjoner);
    lbFra->setObjectName("lbFra");
    lbTil = new QListWidget(pnRelasjoner);
    lbTil->setObjectName("lbTil");
    btTil = new QPushButton("→", pnRelasjoner);
    btTil->setObjectName("btTil");
    btTil->setToolTip("Velg relasjonen (pil høyre)");
    btFra = new QPushButton("←", pnRelasjoner);
    btFra->setObjectName("btFra");
    btFra->setToolTip("Fjern relasjonen (pil venstre)");
    auto* arrows = new QVBoxLayout;
    arrows->addStretch();
    arrows->addWidget(btTil);
    arrows->addWidget(btFra);
    arrows->addStretch();
    relations->addWidget(new QLabel("Relasjoner", pnRelasjoner), 0, 0);
    relations->addWidget(new QLabel("Valgte relasjoner", pnRelasjoner), 0, 2);
    relations->addWidget(lbFra, 1, 0);
    relations->addLayout(arrows, 1, 1);
    relations->addWidget(lbTil, 1, 2);
    layout->addWidget(pnRelasjoner);
    lbFra->installEventFilter(this);
    lbTil->installEventFilter(this);
    connect(lbFra, &QListWidget::itemDoubleClicked, this, [this] { moveToTil(); });
    connect(lbTil, &QListWidget::itemDoubleClicked, this, [this] { moveToFra(); });
    connect(btTil, &QPushButton::clicked, this, [this] { moveToTil(); });
    connect(btFra, &QPushButton::clicked, this, [this] { moveToFra(); });

    const TWizardButtons b = addWizardButtons(*this, *layout, kHelpStartGen, registerKind);
    btForrige = b.btForrige;
    btNeste = b.btNeste;
    btAvbryt = b.btAvbryt;
    btForrige->setEnabled(false);
    connect(btNeste, &QPushButton::clicked, this, [this] { next(); });

    connect(edKontDatoDropDownHelper, &QComboBox::activated, this,
            [this](int index) { guarded(ui_, [this, index] { ChooseClaimDate(index); }); });
    connect(edTEKST, &QLineEdit::textEdited, this,
            [this](const QString& text) { TypeTekst(text.toStdString()); });
    rbBelopskilde[0]->setChecked(true);
    showSource();
    setMinimumWidth(520);
}

void TfoStartGen::EntriesChanged() {
    {
        const QSignalBlocker block(edKontDatoDropDownHelper);
        edKontDatoDropDownHelper->clear();
        for (const std::string& d : ClaimDates()) edKontDatoDropDownHelper->addItem(q(d));
        edKontDatoDropDownHelper->setCurrentIndex(-1);
        edKontDatoDropDownHelper->setEnabled(!ClaimDates().empty());
    }
    edKontDato->setStoredValue(shownToStored(KontDato));
    CBKidRef->setChecked(KidRef);
    edTEKST->setText(q(Tekst()));
    showRelations();
}

void TfoStartGen::showSource() {
    laBELOP->setVisible(BelopVisible());
    EditBELOP->setVisible(BelopVisible());
    pnRelasjoner->setVisible(RelationsVisible());
    adjustSize();
}

void TfoStartGen::showRelations() {
    for (auto [list, entries] : {std::pair{lbFra, &Fra()}, std::pair{lbTil, &Til()}}) {
        const int row = list->currentRow();
        list->clear();
        for (const std::string& e : *entries) list->addItem(q(e));
        list->setCurrentRow(std::min(row, list->count() - 1));
    }
}

void TfoStartGen::moveToTil() {
    if (!MoveToTil(lbFra->currentRow())) return;
    showRelations();
    lbTil->setCurrentRow(lbTil->count() - 1);
}

void TfoStartGen::moveToFra() {
    if (!MoveToFra(lbTil->currentRow())) return;
    showRelations();
    lbFra->setCurrentRow(lbFra->count() - 1);
}

bool TfoStartGen::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (watched == lbFra && key == Qt::Key_Right) {
            moveToTil();
            return true;
        }
        if (watched == lbTil && key == Qt::Key_Left) {
            moveToFra();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TfoStartGen::next() {
    KontDato = edKontDato->text().toStdString();
    KidRef = CBKidRef->isChecked();
    Belop = EditBELOP->text().toStdString();
    if (CheckNext()) {
        done(reports::kStepNext);
        return;
    }
    if (FailedField() == Field::Belop)
        EditBELOP->setFocus();
    else
        edKontDato->setFocus();
}

int TfoStartGen::ShowModal() {
    edKontDato->setFocus();
    return exec();
}

}  // namespace lagrull
