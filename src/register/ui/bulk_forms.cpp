#include "register/ui/bulk_forms.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QShortcut>
#include <QVBoxLayout>

#include "common/money.h"
#include "common/ui/help_window.h"
#include "reports/ui/wizard_buttons.h"

namespace lagrull {

double typedAmount(const QString& text) {
    QString t = text.trimmed();
    t.remove('.').replace(',', '.');
    return t.isEmpty() ? 0 : t.toDouble();
}

QString amountForEdit(double amount) {
    return amount == 0 ? QString() : QString::number(amount, 'f', 2).replace('.', ',');
}

namespace {

QLineEdit* amountEdit(QWidget* parent) {
    auto* e = new QLineEdit(parent);
    e->setValidator(
        new QRegularExpressionValidator(QRegularExpression("-?[0-9.]{0,12}(,[0-9]{0,2})?"), e));
    e->setAlignment(Qt::AlignRight);
    return e;
}

}  // namespace

// --- TfoRelasjoner --------------------------------------------------------

TfoRelasjoner::TfoRelasjoner(RegisterKind registerKind, QWidget* parent) : QDialog(parent) {
    setObjectName("TfoRelasjoner");
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    edNavn = new QLineEdit(this);
    edNavn->setObjectName("edNavn");
    edNavn->setMaxLength(20);
    edBeskrivelse = new QLineEdit(this);
    edBeskrivelse->setObjectName("edBeskrivelse");
    edBeskrivelse->setMaxLength(255);
    edBelop = amountEdit(this);
    edBelop->setObjectName("edBelop");
    laBeskrivelse = new QLabel("&Beskrivelse", this);
    laBelop = new QLabel("Evt. &beløp", this);
    laBeskrivelse->setBuddy(edBeskrivelse);
    laBelop->setBuddy(edBelop);
    auto* laNavn = new QLabel("&Gruppe/Relasjon", this);
    laNavn->setBuddy(edNavn);
    form->addRow(laNavn, edNavn);
    form->addRow(laBeskrivelse, edBeskrivelse);
    form->addRow(laBelop, edBelop);
    layout->addLayout(form);
    const TWizardButtons b = addWizardButtons(*this, *layout, kHelpRelasjoner, registerKind);
    btForrige = b.btForrige;
    btNeste = b.btNeste;
    btAvbryt = b.btAvbryt;
    btForrige->setEnabled(false);
    connect(btNeste, &QPushButton::clicked, this, [this] {
        Values.navn = edNavn->text().trimmed().toStdString();
        Values.tekst = edBeskrivelse->text().toStdString();
        Values.belop = typedAmount(edBelop->text());
        done(reports::kStepNext);
    });
    setMinimumWidth(420);
}

void TfoRelasjoner::SetupChanged() {
    setWindowTitle(QString::fromStdString(Caption()));
    edNavn->setText(QString::fromStdString(Values.navn));
    edBeskrivelse->setText(QString::fromStdString(Values.tekst));
    edBelop->setText(amountForEdit(Values.belop));
    for (QWidget* w :
         std::initializer_list<QWidget*>{edNavn, edBeskrivelse, edBelop, laBeskrivelse, laBelop})
        w->setEnabled(FieldsEnabled());
}

int TfoRelasjoner::ShowModal() {
    if (FieldsEnabled())
        edNavn->setFocus();
    else
        btNeste->setFocus();
    return exec();
}

// --- TfoRelasjon ----------------------------------------------------------

TfoRelasjon::TfoRelasjon(TRelasjonDialog& logic, RegisterKind registerKind, QWidget* parent)
    : QDialog(parent), logic_(logic) {
    setObjectName("TfoRelasjon");
    setWindowTitle(QString::fromStdString(logic.Caption()));
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    cbRelasjon = new QComboBox(this);
    cbRelasjon->setObjectName("cbRelasjon");
    cbRelasjon->setEditable(true);
    cbRelasjon->setInsertPolicy(QComboBox::NoInsert);
    cbRelasjon->lineEdit()->setMaxLength(20);
    for (const std::string& n : logic.Names()) cbRelasjon->addItem(QString::fromStdString(n));
    laHint = new QLabel("Skriv inn ny eller velg fra liste", this);
    edTekst = new QPlainTextEdit(this);
    edTekst->setObjectName("edTekst");
    edTekst->setTabChangesFocus(true);
    edTekst->setMaximumHeight(80);
    edBelop = amountEdit(this);
    edBelop->setObjectName("edBelop");
    auto* laNavn = new QLabel("&Gruppe/Relasjon", this);
    laNavn->setBuddy(cbRelasjon);
    form->addRow(laNavn, cbRelasjon);
    form->addRow(QString(), laHint);
    auto* laTekst = new QLabel("&Tekst/Beskrivelse", this);
    laTekst->setBuddy(edTekst);
    form->addRow(laTekst, edTekst);
    auto* laBelop = new QLabel("Evt. &beløp", this);
    laBelop->setBuddy(edBelop);
    form->addRow(laBelop, edBelop);
    layout->addLayout(form);
    auto* buttons = new QDialogButtonBox(this);
    btOk = buttons->addButton("&OK", QDialogButtonBox::AcceptRole);
    btAvbryt = buttons->addButton("&Avbryt", QDialogButtonBox::RejectRole);
    btOk->setDefault(true);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* help = new QShortcut(QKeySequence(Qt::Key_F1), this);
    connect(help, &QShortcut::activated, this,
            [registerKind] { showHelp(kHelpRelasjon, registerKind); });

    cbRelasjon->setCurrentIndex(-1);
    cbRelasjon->setEditText(QString::fromStdString(logic.Navn));
    cbRelasjon->setEnabled(logic.NameEnabled());
    laHint->setVisible(logic.NameEnabled());
    connect(cbRelasjon, &QComboBox::editTextChanged, this, [this](const QString& text) {
        logic_.NameChanged(text.toStdString());
        showLogic();
    });
    edTekst->setPlainText(QString::fromStdString(logic.Tekst));
    edBelop->setText(amountForEdit(logic.Belop));
    btOk->setEnabled(logic.OkEnabled());
    if (logic.NameEnabled())
        cbRelasjon->setFocus();
    else
        edTekst->setFocus();
    setMinimumWidth(400);
}

void TfoRelasjon::showLogic() {
    edTekst->setPlainText(QString::fromStdString(logic_.Tekst));
    edBelop->setText(amountForEdit(logic_.Belop));
    btOk->setEnabled(logic_.OkEnabled());
}

void TfoRelasjon::done(int result) {
    if (result == QDialog::Accepted) {
        logic_.Navn = cbRelasjon->currentText().trimmed().toStdString();
        logic_.Tekst = edTekst->toPlainText().left(255).toStdString();
        logic_.Belop = typedAmount(edBelop->text());
        if (logic_.Ok() == TRelasjonDialog::Close::StayOpen) return;
    } else {
        logic_.Cancel();
    }
    QDialog::done(result);
}

// --- TfoStartKopier -------------------------------------------------------

TfoStartKopier::TfoStartKopier(TKopierMode mode, RegisterKind registerKind, QWidget* parent)
    : QDialog(parent) {
    setObjectName("TfoStartKopier");
    auto* layout = new QVBoxLayout(this);
    auto* gbFra = new QGroupBox(" Fra ", this);
    auto* fraForm = new QFormLayout(gbFra);
    laFraOrg = new QLabel(gbFra);
    fraForm->addRow("Organisasjon", laFraOrg);
    layout->addWidget(gbFra);
    gbTil = new QGroupBox(" Til ", this);
    auto* tilForm = new QFormLayout(gbTil);
    cbOrganisasjon = new QComboBox(gbTil);
    cbOrganisasjon->setObjectName("cbOrganisasjon");
    cbKategori = new QComboBox(gbTil);
    cbKategori->setObjectName("cbKategori");
    cbBetaling = new QComboBox(gbTil);
    cbBetaling->setObjectName("cbBetaling");
    for (const TBetalingEntry& e : KopierBetalingEntries()) cbBetaling->addItem(e.text);
    auto row = [&](const char* text, QWidget* w) {
        auto* l = new QLabel(text, gbTil);
        l->setBuddy(w);
        tilForm->addRow(l, w);
    };
    row("&Organisasjon", cbOrganisasjon);
    row("&Kategori", cbKategori);
    row("&Betalingsmåte", cbBetaling);
    layout->addWidget(gbTil);
    connect(cbOrganisasjon, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (index >= 0 && index != Target()) SetTarget(index);
    });
    const TWizardButtons b = addWizardButtons(
        *this, *layout, mode == TKopierMode::Copy ? kHelpKopiering : kHelpSletting, registerKind);
    btForrige = b.btForrige;
    btNeste = b.btNeste;
    btAvbryt = b.btAvbryt;
    btForrige->setEnabled(false);
    connect(btNeste, &QPushButton::clicked, this, [this] {
        Kategori.index = std::max(0, cbKategori->currentIndex());
        Betaling = std::max(0, cbBetaling->currentIndex());
        done(reports::kStepNext);
    });
    setMinimumWidth(420);
}

void TfoStartKopier::SetupChanged() {
    setWindowTitle(QString::fromStdString(Caption()));
    laFraOrg->setText(QString::fromStdString(FraNavn()));
    gbTil->setVisible(Mode() == TKopierMode::Copy);
    QSignalBlocker block(cbOrganisasjon);
    cbOrganisasjon->clear();
    for (const TOrgEntry& o : Organisations())
        cbOrganisasjon->addItem(QString::fromStdString(o.navn), QVariant::fromValue(o.orgNr));
    cbBetaling->setCurrentIndex(Betaling);
}

void TfoStartKopier::CategoriesChanged() {
    {
        QSignalBlocker block(cbOrganisasjon);
        cbOrganisasjon->setCurrentIndex(Target());
    }
    cbKategori->clear();
    for (const std::string& k : Kategori.entries) cbKategori->addItem(QString::fromStdString(k));
    cbKategori->setCurrentIndex(Kategori.index);
}

int TfoStartKopier::ShowModal() {
    if (Mode() == TKopierMode::Copy)
        cbOrganisasjon->setFocus();
    else
        btNeste->setFocus();
    return exec();
}

}  // namespace lagrull
