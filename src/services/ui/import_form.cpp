#include "services/ui/import_form.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QShortcut>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>

#include "common/ui.h"
#include "common/ui/help_window.h"
#include "services/import_form_logic.h"

namespace lagrull {

namespace {

QString q(const std::string& s) { return QString::fromStdString(s); }

// exec()'s result for a choice of "Verifiser oppdatering": above Accepted
// and Rejected, so that closing the window is told apart from a button.
constexpr int kChoiceResult = 100;

// A group box of radio buttons, one per caption, ids in caption order.
QButtonGroup* radioGroup(const QString& title, const std::vector<std::string>& captions,
                         QBoxLayout* into, QWidget* owner) {
    auto* box = new QGroupBox(title, owner);
    auto* layout = new QVBoxLayout(box);
    auto* group = new QButtonGroup(owner);
    for (std::size_t i = 0; i < captions.size(); ++i) {
        auto* b = new QRadioButton(q(captions[i]), box);
        layout->addWidget(b);
        group->addButton(b, static_cast<int>(i));
    }
    layout->addStretch();
    into->addWidget(box);
    return group;
}

}  // namespace

// --- Verifiser oppdatering -------------------------------------------------

TUpdateForm::TUpdateForm(QWidget* parent) : QDialog(parent) {
    setWindowTitle("Verifiser oppdatering");
    auto* layout = new QVBoxLayout(this);
    grData = new QTableWidget(0, 3, this);
    grData->setHorizontalHeaderLabels({"Felt", "Nye data", "Gamle data"});
    grData->horizontalHeader()->setStretchLastSection(true);
    grData->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grData->verticalHeader()->hide();
    layout->addWidget(grData);
    auto* buttons = new QHBoxLayout;
    btLagre = new QPushButton("Lagre nye data", this);
    btBehold = new QPushButton("Behold gamle data", this);
    btLagreAlle = new QPushButton("Lagre alle", this);
    btBeholdAlle = new QPushButton("Behold alle", this);
    btAvbryt = new QPushButton("Avbryt importering", this);
    const std::pair<QPushButton*, TUpdateChoice> choices[] = {
        {btLagre, TUpdateChoice::SaveNew},
        {btBehold, TUpdateChoice::KeepOld},
        {btLagreAlle, TUpdateChoice::SaveAll},
        {btBeholdAlle, TUpdateChoice::KeepAll},
        {btAvbryt, TUpdateChoice::Abort}};
    for (const auto& [button, choice] : choices) {
        buttons->addWidget(button);
        connect(button, &QPushButton::clicked, this,
                [this, c = choice] { done(kChoiceResult + static_cast<int>(c)); });
    }
    btLagre->setDefault(true);
    layout->addLayout(buttons);
    resize(620, 320);
}

TUpdateChoice TUpdateForm::Confirm(const std::vector<std::string>& labels,
                                   const std::vector<std::string>& newData,
                                   const std::vector<std::string>& oldData) {
    grData->setRowCount(0);
    for (std::size_t i = 0; i < labels.size(); ++i) {
        if (labels[i].empty()) continue;
        const int row = grData->rowCount();
        grData->insertRow(row);
        grData->setItem(row, 0, new QTableWidgetItem(q(labels[i])));
        grData->setItem(row, 1, new QTableWidgetItem(q(newData[i])));
        grData->setItem(row, 2, new QTableWidgetItem(q(oldData[i])));
        // The fields that change stand out.
        if (newData[i] != oldData[i])
            for (int c = 0; c < grData->columnCount(); ++c) {
                QFont bold = grData->item(row, c)->font();
                bold.setBold(true);
                grData->item(row, c)->setFont(bold);
            }
    }
    // Closing the window otherwise (Esc, the frame) asks to stop, as "Avbryt importering".
    const int result = exec();
    return result < kChoiceResult ? TUpdateChoice::Abort
                                  : static_cast<TUpdateChoice>(result - kChoiceResult);
}

// --- Importer fil ------------------------------------------------------------

TImportForm::TImportForm(TImportFormLogic& logic, Ui& ui, RegisterKind kind, QWidget* parent)
    : QDialog(parent), logic_(logic), ui_(ui), kind_(kind) {
    setWindowTitle(q(logic.Title));
    auto* layout = new QVBoxLayout(this);
    Notebook = new QTabWidget(this);
    Notebook->addTab(makeFilePage(), "Velg &fil");
    Notebook->addTab(makeSetupPage(), "&Oppsett");
    Notebook->addTab(makeMappingPage(), "Felt&adressering");
    layout->addWidget(Notebook);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    btOK = new QPushButton("OK", this);
    btAvbryt = new QPushButton("Avbryt", this);
    btHjelp = new QPushButton("&Hjelp", this);
    btHjelp->setVisible(logic.HelpTopic != 0);
    for (QPushButton* b : {btOK, btAvbryt, btHjelp}) buttons->addWidget(b);
    layout->addLayout(buttons);
    UpdateForm = new TUpdateForm(this);

    connect(btOK, &QPushButton::clicked, this, [this] { ok(); });
    connect(btAvbryt, &QPushButton::clicked, this, [this] { reject(); });
    connect(btHjelp, &QPushButton::clicked, this, [this] { showHelp(logic_.HelpTopic, kind_); });
    auto* f1 = new QShortcut(QKeySequence(Qt::Key_F1), this);
    connect(f1, &QShortcut::activated, this, [this] {
        if (logic_.HelpTopic != 0) showHelp(logic_.HelpTopic, kind_);
    });
    resize(640, 460);
    showState();
}

QWidget* TImportForm::makeFilePage() {
    auto* page = new QWidget(this);
    auto* layout = new QVBoxLayout(page);
    auto* heading = new QLabel("Filimportering", page);
    QFont big = heading->font();
    big.setPointSize(big.pointSize() + 4);
    big.setBold(true);
    heading->setFont(big);
    layout->addWidget(heading);
    auto* label = new QLabel("&Filnavn:", page);
    edFilNavn = new QLineEdit(page);
    label->setBuddy(edFilNavn);
    layout->addWidget(label);
    layout->addWidget(edFilNavn);
    btVelgFil = new QPushButton("Velg fil for importering", page);
    layout->addWidget(btVelgFil, 0, Qt::AlignLeft);
    pbImport = new QProgressBar(page);
    pbImport->setVisible(false);
    layout->addWidget(pbImport);
    layout->addStretch();
    connect(btVelgFil, &QPushButton::clicked, this, [this] { browse(); });
    connect(edFilNavn, &QLineEdit::editingFinished, this, [this] {
        if (edFilNavn->text().toStdString() != logic_.Trans().FileName)
            chooseFile(edFilNavn->text().toStdString());
    });
    return page;
}

QWidget* TImportForm::makeSetupPage() {
    auto* page = new QWidget(this);
    auto* outer = new QVBoxLayout(page);
    outer->addWidget(new QLabel("Importeringsoppsett", page));
    auto* row = new QHBoxLayout;
    rgSeparator = radioGroup("Feltseparator", ImportSeparatorCaptions(), row, page);
    auto* column = new QVBoxLayout;
    rgHeader = radioGroup("Feltnavnheader", {"Ingen header", "Første rad"}, column, page);
    rgOppdatering =
        radioGroup("Database-oppdatering", {"Automatisk", "Manuell godkjenning"}, column, page);
    row->addLayout(column);
    rgTekst = radioGroup("Tekstkonvertering", ImportTextConvertCaptions(), row, page);
    outer->addLayout(row);
    for (QButtonGroup* g : {rgSeparator, rgHeader, rgTekst, rgOppdatering})
        connect(g, &QButtonGroup::idClicked, this, [this] { setupChanged(); });
    return page;
}

QWidget* TImportForm::makeMappingPage() {
    auto* page = new QWidget(this);
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(
        new QLabel("Kobling mellom importfilens kolonner og programmets felter", page));
    auto* row = new QHBoxLayout;
    grKobling = new QTableWidget(0, 2, page);
    grKobling->setHorizontalHeaderLabels({"Fra Kolonne", "Til Felt"});
    grKobling->horizontalHeader()->setStretchLastSection(true);
    grKobling->verticalHeader()->hide();
    grKobling->setSelectionBehavior(QAbstractItemView::SelectRows);
    grKobling->setSelectionMode(QAbstractItemView::SingleSelection);
    row->addWidget(grKobling, 3);
    auto* dataColumn = new QVBoxLayout;
    auto* label = new QLabel("Kolonnens data:", page);
    memoData = new QPlainTextEdit(page);
    memoData->setReadOnly(true);
    label->setBuddy(memoData);
    dataColumn->addWidget(label);
    dataColumn->addWidget(memoData);
    row->addLayout(dataColumn, 2);
    layout->addLayout(row);
    connect(grKobling, &QTableWidget::currentCellChanged, this, [this] { showPreview(); });
    return page;
}

void TImportForm::browse() {
    FileRequest request{"Velg fil for importering", kImportFileFilter, {}, logic_.Trans().FileName};
    if (const std::optional<std::string> file = ui_.openFileName(request)) chooseFile(*file);
}

void TImportForm::chooseFile(const std::string& path) {
    logic_.ChooseFile(path);
    showState();
}

void TImportForm::showState() {
    filling_ = true;
    const bool exists = logic_.FileChosen();
    edFilNavn->setText(q(logic_.Trans().FileName));
    Notebook->setTabVisible(pgOppsett, exists);
    Notebook->setTabVisible(pgKobling, exists);
    rgSeparator->button(logic_.SeparatorIndex())->setChecked(true);
    rgHeader->button(logic_.Trans().FieldNameHeader ? 1 : 0)->setChecked(true);
    rgTekst->button(static_cast<int>(logic_.Trans().TextConvert))->setChecked(true);
    rgOppdatering->button(logic_.Manual ? 1 : 0)->setChecked(true);
    showMapping();
    filling_ = false;
}

void TImportForm::showMapping() {
    const std::vector<std::string> choices = logic_.FieldChoices();
    grKobling->setRowCount(static_cast<int>(logic_.Rows.size()));
    for (int r = 0; r < grKobling->rowCount(); ++r) {
        auto* number = new QTableWidgetItem(QString::number(r + 1));
        number->setFlags(number->flags() & ~Qt::ItemIsEditable);
        grKobling->setItem(r, 0, number);
        auto* field = new QComboBox(grKobling);
        for (const std::string& c : choices) field->addItem(q(c));
        field->setCurrentIndex(logic_.ChoiceOfRow(r));
        connect(field, &QComboBox::currentIndexChanged, this, [this, r](int choice) {
            if (!filling_) logic_.SetChoiceOfRow(r, choice);
        });
        grKobling->setCellWidget(r, 1, field);
    }
    if (grKobling->rowCount() > 0) grKobling->setCurrentCell(0, 0);
    showPreview();
}

void TImportForm::showPreview() {
    const int row = grKobling->currentRow();
    QString text;
    if (row >= 0 && logic_.FileChosen())
        for (const std::string& v : logic_.Preview(row)) text += q(v) + "\n";
    memoData->setPlainText(text);
}

void TImportForm::setupChanged() {
    if (filling_) return;
    tFileTrans& t = logic_.Trans();
    if (rgTekst->checkedId() != static_cast<int>(t.TextConvert))
        logic_.SetTextConvert(static_cast<TTextConvert>(rgTekst->checkedId()));
    else if (rgSeparator->checkedId() != logic_.SeparatorIndex())
        logic_.SetSeparatorIndex(rgSeparator->checkedId());
    t.FieldNameHeader = rgHeader->checkedId() == 1;
    logic_.Manual = rgOppdatering->checkedId() == 1;
    showState();
}

void TImportForm::setRunning(bool running) {
    running_ = running;
    btVelgFil->setVisible(!running);
    Notebook->tabBar()->setVisible(!running);
    btOK->setEnabled(!running);
    btHjelp->setEnabled(!running);
    pbImport->setVisible(running);
    if (running) Notebook->setCurrentIndex(pgFil);
}

void TImportForm::ok() {
    if (!logic_.FileChosen()) {
        ui_.error("Finner ikke filen " + logic_.Trans().FileName);
        return;
    }
    const int bad = logic_.CheckTypes();
    if (bad >= 0) {
        Notebook->setCurrentIndex(pgKobling);
        grKobling->setCurrentCell(bad, 1);
        return;
    }
    setRunning(true);
    pbImport->setRange(0, static_cast<int>(std::max(1L, logic_.Trans().LineCount())));
    EventPump pump(ui_);
    const bool done = logic_.Run(UpdateForm, [this, &pump](long line) {
        pbImport->setValue(static_cast<int>(line));
        pump.tick();
    });
    setRunning(false);
    if (done) accept();
}

void TImportForm::reject() {
    if (!running_) {
        QDialog::reject();
        return;
    }
    if (ui_.confirm("Advarsel!", "Skal importeringen avbrytes?")) logic_.Trans().Abort();
}

bool TQtImportFormStep::ShowModal(TImportFormLogic& logic) {
    TImportForm form(logic, ui_, kind_, parent_);
    return form.exec() == QDialog::Accepted;
}

}  // namespace lagrull
