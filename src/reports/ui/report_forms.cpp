#include "reports/ui/report_forms.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDesktopServices>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QProgressDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QUrl>
#include <QVBoxLayout>
#include <filesystem>

#include "common/app_paths.h"
#include "common/error.h"
#include "common/ui.h"
#include "reports/engine/ui/report_preview.h"
#include "reports/ui/utvalgskriterier_form.h"
#include "reports/ui/wizard_buttons.h"

namespace lagrull {

namespace {

constexpr int kPreviewHelpTopic = 36;

QString q(const std::string& s) { return QString::fromStdString(s); }

// The text after "=" of an entry: what a drop-down shows.
QString shownOf(const std::string& entry) { return q(entry.substr(entry.find('=') + 1)); }

}  // namespace

// --- TfoEgenDef

TfoEgenDef::TfoEgenDef(Ui& ui, RegisterKind registerKind, QWidget* parent)
    : QDialog(parent), ui_(ui) {
    setObjectName("TfoEgenDef");
    setWindowTitle("Egendefinert Rapport");
    auto* layout = new QVBoxLayout(this);
    auto* grid = new QGridLayout;
    grid->addWidget(new QLabel("Felt"), 0, 1);
    grid->addWidget(new QLabel("Posisjon (%)"), 0, 2);
    for (int i = 0; i < reports::kEgenDefRows; ++i) {
        const auto at = static_cast<std::size_t>(i);
        cbFelt[at] = new QComboBox(this);
        cbFelt[at]->setObjectName(QString("cbFelt%1").arg(i + 1));
        cbFelt[at]->setMinimumWidth(260);
        edPos[at] = new QSpinBox(this);
        edPos[at]->setObjectName(QString("edPos%1").arg(i + 1));
        edPos[at]->setRange(0, 100);
        auto* label = new QLabel(QString("Kolonne &%1").arg(i + 1 == 10 ? 0 : i + 1), this);
        label->setBuddy(cbFelt[at]);
        grid->addWidget(label, i + 1, 0);
        grid->addWidget(cbFelt[at], i + 1, 1);
        grid->addWidget(edPos[at], i + 1, 2);
    }
    layout->addLayout(grid);
    auto* files = new QHBoxLayout;
    btLagre = new QPushButton("&Lagre oppsett", this);
    btHent = new QPushButton("&Hent oppsett", this);
    files->addWidget(btLagre);
    files->addWidget(btHent);
    files->addStretch();
    layout->addLayout(files);
    const TWizardButtons b = addWizardButtons(*this, *layout, kHelpEgenDefTopic, registerKind);
    btForrige = b.btForrige;
    btNeste = b.btNeste;
    btAvbryt = b.btAvbryt;
    btForrige->setEnabled(false);
    connect(btNeste, &QPushButton::clicked, this, [this] {
        takeRows();
        done(reports::kStepNext);
    });
    connect(btLagre, &QPushButton::clicked, this, [this] { saveLayout(); });
    connect(btHent, &QPushButton::clicked, this, [this] { loadLayout(); });
}

void TfoEgenDef::takeRows() {
    for (int i = 0; i < reports::kEgenDefRows; ++i) {
        const auto at = static_cast<std::size_t>(i);
        Rows[at].entry = std::max(0, cbFelt[at]->currentIndex());
        Rows[at].position = edPos[at]->value();
    }
}

void TfoEgenDef::RowsChanged() {
    for (int i = 0; i < reports::kEgenDefRows; ++i) {
        const auto at = static_cast<std::size_t>(i);
        if (cbFelt[at]->count() != static_cast<int>(Catalogue().size())) {
            cbFelt[at]->clear();
            for (const std::string& entry : Catalogue()) cbFelt[at]->addItem(shownOf(entry));
        }
        cbFelt[at]->setCurrentIndex(Rows[at].entry);
        edPos[at]->setValue(Rows[at].position);
    }
}

void TfoEgenDef::saveLayout() {
    takeRows();
    const auto file = ui_.saveFileName({"Lagre oppsett", "smr - fil|*.smr", LastDirectory, {}});
    if (!file || file->empty()) return;
    std::filesystem::path path = *file;
    if (path.extension().empty()) path += ".smr";
    try {
        SaveLayout(path);
    } catch (...) {
        showException(ui_, std::current_exception());
    }
    LastDirectory = path.parent_path().string();
}

void TfoEgenDef::loadLayout() {
    const auto file = ui_.openFileName({"Hent oppsett", "smr - fil|*.smr", LastDirectory, {}});
    if (!file || file->empty()) return;
    try {
        LoadLayout(*file);
    } catch (...) {
        showException(ui_, std::current_exception());
    }
    LastDirectory = std::filesystem::path(*file).parent_path().string();
}

int TfoEgenDef::Execute() {
    RowsChanged();
    cbFelt[0]->setFocus();
    return exec();
}

// --- TfoRappUtskrifter

TfoRappUtskrifter::TfoRappUtskrifter(Ui& ui, RegisterKind registerKind, QWidget* parent)
    : QDialog(parent), ui_(ui) {
    setObjectName("TfoRappUtskrifter");
    setWindowTitle("Generer rapport");
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    cbSortering = new QComboBox(this);
    cbSortering->setObjectName("cbSortering");
    cbFontSize = new QComboBox(this);
    cbFontSize->setObjectName("cbFontSize");
    for (int size = reports::kMinFontSize; size <= reports::kMaxFontSize; ++size)
        cbFontSize->addItem(QString("%1 pt").arg(size), size);
    form->addRow("&Sortering", cbSortering);
    form->addRow("S&kriftstørrelse", cbFontSize);
    layout->addLayout(form);

    gbEtiketter = new QGroupBox("Papir og etiketter (mm)", this);
    auto* labels = new QFormLayout(gbEtiketter);
    const char* captions[] = {"Høyre marg",         "Venstre marg",      "Toppmarg",
                              "Bunnmarg",           "Tekst fra venstre", "Tekst fra toppen",
                              "Etiketter i bredden"};
    for (std::size_t i = 0; i < edSettings.size(); ++i) {
        edSettings[i] = new QSpinBox(gbEtiketter);
        edSettings[i]->setRange(i == 6 ? 1 : 0, i == 6 ? 10 : 200);
        labels->addRow(captions[i], edSettings[i]);
    }
    edLabelHeight = new QDoubleSpinBox(gbEtiketter);
    edLabelHeight->setRange(1, 297);
    edLabelHeight->setDecimals(2);
    labels->addRow("Etiketthøyde", edLabelHeight);
    rbEtternavnFornavn = new QRadioButton("<Etternavn>, <Fornavn>", gbEtiketter);
    rbFornavnEtternavn = new QRadioButton("<Fornavn> <Etternavn>", gbEtiketter);
    labels->addRow(rbEtternavnFornavn);
    labels->addRow(rbFornavnEtternavn);
    cbMedMedlemsnr = new QCheckBox("Med medlemsnr.", gbEtiketter);
    labels->addRow(cbMedMedlemsnr);
    layout->addWidget(gbEtiketter);

    cbMedRelasjoner = new QCheckBox("Med &relasjoner", this);
    layout->addWidget(cbMedRelasjoner);
    gbFil = new QGroupBox("Fil", this);
    auto* file = new QFormLayout(gbFil);
    cbSkrivTilFil = new QCheckBox("Skriv til &fil", gbFil);
    laFilnavn = new QLabel(gbFil);
    cbSkilletegn = new QComboBox(gbFil);
    for (const std::string& name : reports::SeparatorNames()) cbSkilletegn->addItem(q(name));
    file->addRow(cbSkrivTilFil);
    file->addRow(laFilnavn);
    file->addRow("Feltseparator", cbSkilletegn);
    layout->addWidget(gbFil);
    btNullstill = new QPushButton("&Nullstill med standardverdier", this);
    layout->addWidget(btNullstill);

    const TWizardButtons b =
        addWizardButtons(*this, *layout, kHelpRappUtskrifterTopic, registerKind);
    btForrige = b.btForrige;
    btNeste = b.btNeste;
    btAvbryt = b.btAvbryt;
    connect(btForrige, &QPushButton::clicked, this, [this] {
        takeSettings();
        done(reports::kStepBack);
    });
    connect(btNeste, &QPushButton::clicked, this, [this] {
        takeSettings();
        done(reports::kStepNext);
    });
    connect(btNullstill, &QPushButton::clicked, this, [this] { ResetSettings(); });
    connect(cbSkrivTilFil, &QCheckBox::toggled, this, [this](bool on) {
        if (showing_ || on == SkrivTilFil) return;
        takeSettings();
        SetSkrivTilFil(on, ui_);
    });
}

void TfoRappUtskrifter::takeSettings() {
    Sort = cbSortering->currentIndex();
    FontSize = cbFontSize->currentData().toInt();
    int* values[] = {&Settings.RightMargin,  &Settings.LeftMargin,      &Settings.TopMargin,
                     &Settings.BottomMargin, &Settings.LabelLeftMargin, &Settings.LabelTopMargin,
                     &Settings.LabelColumns};
    for (std::size_t i = 0; i < edSettings.size(); ++i) *values[i] = edSettings[i]->value();
    Settings.LabelHeight = edLabelHeight->value();
    NameOrder = rbFornavnEtternavn->isChecked() ? reports::TLabelNameOrder::FornavnEtternavn
                                                : reports::TLabelNameOrder::EtternavnFornavn;
    MedMedlemsnr = cbMedMedlemsnr->isChecked();
    MedRelasjoner = cbMedRelasjoner->isChecked();
    Separator = static_cast<reports::TSeparator>(cbSkilletegn->currentIndex());
}

void TfoRappUtskrifter::SettingsChanged() {
    showing_ = true;
    if (cbSortering->count() != static_cast<int>(SortEntries.size())) {
        cbSortering->clear();
        for (const std::string& entry : SortEntries) cbSortering->addItem(shownOf(entry));
    }
    cbSortering->setCurrentIndex(Sort);
    cbFontSize->setCurrentIndex(FontSize - reports::kMinFontSize);
    const int values[] = {Settings.RightMargin,  Settings.LeftMargin,      Settings.TopMargin,
                          Settings.BottomMargin, Settings.LabelLeftMargin, Settings.LabelTopMargin,
                          Settings.LabelColumns};
    for (std::size_t i = 0; i < edSettings.size(); ++i) edSettings[i]->setValue(values[i]);
    edLabelHeight->setValue(Settings.LabelHeight);
    (NameOrder == reports::TLabelNameOrder::FornavnEtternavn ? rbFornavnEtternavn
                                                             : rbEtternavnFornavn)
        ->setChecked(true);
    cbMedMedlemsnr->setChecked(MedMedlemsnr);
    cbMedRelasjoner->setChecked(MedRelasjoner);
    cbSkrivTilFil->setChecked(SkrivTilFil);
    laFilnavn->setText(q(FileName));
    laFilnavn->setVisible(SkrivTilFil);
    cbSkilletegn->setCurrentIndex(static_cast<int>(Separator));
    cbSkilletegn->setEnabled(SkrivTilFil);
    gbEtiketter->setVisible(LabelSettingsVisible());
    cbMedRelasjoner->setVisible(FileOutputVisible());
    gbFil->setVisible(FileOutputVisible());
    showing_ = false;
    adjustSize();
}

int TfoRappUtskrifter::Execute() {
    SettingsChanged();
    btNeste->setFocus();
    return exec();
}

// --- the factory and the output

std::unique_ptr<reports::TEgenDefStep> TQtReportSteps::CreateEgenDef() {
    return std::make_unique<TfoEgenDef>(ui_, registerKind_, parent_);
}

std::unique_ptr<reports::TRappUtskrifterStep> TQtReportSteps::CreateRappUtskrifter() {
    return std::make_unique<TfoRappUtskrifter>(ui_, registerKind_, parent_);
}

// "Skriver ut....." with its gauge and "Avbryt".
class TQtReportOutput::Progress {
public:
    explicit Progress(QWidget* parent) : dialog_("0% Fullført", "Avbryt", 0, 100, parent) {
        dialog_.setWindowTitle("Skriver ut.....");
        dialog_.setWindowModality(Qt::WindowModal);
        dialog_.setMinimumDuration(0);
    }
    bool set(int percent) {
        dialog_.setValue(percent);
        dialog_.setLabelText(QString("%1% Fullført").arg(percent));
        QApplication::processEvents();
        return !dialog_.wasCanceled();
    }

private:
    QProgressDialog dialog_;
};

TQtReportOutput::TQtReportOutput(Ui& ui, RegisterKind registerKind, QWidget* parent)
    : ui_(ui), registerKind_(registerKind), parent_(parent) {}

TQtReportOutput::~TQtReportOutput() = default;

void TQtReportOutput::ShowReport(const report::ReportLayout& layout,
                                 report::TReportRowSource& rows) {
    report::TReportPreview preview(layout, rows, ui_, kPreviewHelpTopic, registerKind_, parent_);
    preview.exec();
}

void TQtReportOutput::OpenTextFile(const std::string& file) {
    progress_.reset();
    // The desktop's own text editor, as the register's users know Notepad.
    QDesktopServices::openUrl(QUrl::fromLocalFile(q(file)));
}

bool TQtReportOutput::TextFileProgress(int percent) {
    if (!progress_) progress_ = std::make_unique<Progress>(parent_);
    return progress_->set(percent);
}

void RunMemberReport(reports::TRappKind kind, Ui& ui, data::TOrvDbMng& dbMng,
                     data::TOrvTable& organisations, data::TOrvTable& members,
                     RegisterKind registerKind, QWidget* parent) {
    TQtSelectionSteps selectionSteps(ui, registerKind, parent);
    TQtReportSteps reportSteps(ui, registerKind, parent);
    reports::TRapp rapp({ui, dbMng, selectionSteps, reportSteps, organisations, members,
                         registerKind, userSettingsFilePath()});
    TQtReportOutput output(ui, registerKind, parent);
    rapp.RunReport(kind, output);
}

}  // namespace lagrull
