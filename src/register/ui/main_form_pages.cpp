// The two pages of the main window and the binding of their fields.
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QScrollArea>
#include <QSplitter>
#include <QStackedWidget>
#include <QVBoxLayout>

#include "common/choice_list.h"
#include "common/money.h"
#include "data/field_access.h"
#include "data/ui/data_aware.h"
#include "data/ui/db_grid.h"
#include "data/ui/db_navigator.h"
#include "register/ui/main_form.h"
#include "register/variants.h"

namespace lagrull {

namespace {

QString q(const std::string& s) { return QString::fromStdString(s); }

TMalDB* field(QWidget* parent, const char* name, EditKind kind = EditKind::mkCustom,
              const std::string& mask = {}) {
    auto* e = new TMalDB(parent, kind, mask);  // owned by `parent`
    e->setObjectName(name);
    return e;
}

// A masked field of a form: where the window keeps it, its object name,
// kind and mask, and its widest width (0: as wide as the form).
struct FieldSpec {
    TMalDB** slot;
    const char* name;
    EditKind kind = EditKind::mkCustom;
    int maxWidth = 0;
    const char* mask = "";
};

// One row of a form: its caption, its fields side by side and, after them,
// a widget of the window's own (a hint that comes and goes).
struct FieldRow {
    QString caption;
    std::vector<FieldSpec> fields;
    QWidget* after = nullptr;
};

// The rows' fields are made in order (their tab order) and added to `form`.
void addFieldRows(QWidget* box, QFormLayout* form, const std::vector<FieldRow>& rows) {
    for (const FieldRow& row : rows) {
        for (const FieldSpec& f : row.fields) {
            *f.slot = field(box, f.name, f.kind, f.mask);
            if (f.maxWidth > 0) (*f.slot)->setMaximumWidth(f.maxWidth);
        }
        if (row.fields.size() == 1 && !row.after) {
            form->addRow(row.caption, *row.fields.front().slot);
            continue;
        }
        auto* line = new QHBoxLayout;
        for (const FieldSpec& f : row.fields) line->addWidget(*f.slot);
        if (row.after) line->addWidget(row.after);
        form->addRow(row.caption, line);
    }
}

QString amountText(const std::string& stored) {
    return stored.empty() ? QString() : q(FormatAmount(data::leadingDecimal(stored)));
}

QLabel* heading(const QString& text, QWidget* parent) {
    auto* l = new QLabel(text, parent);
    QFont f = l->font();
    f.setBold(true);
    l->setFont(f);
    return l;
}

// The relations of a table (standard or a member's own); the grid is read-only,
// its navigator changes them.
TDBGrid* relationGrid(data::TOrvTable& table, QWidget* parent) {
    auto* grid =
        new TDBGrid(table,
                    {{"RELASJON", "Relasjon", 150, {}, Qt::AlignLeft | Qt::AlignVCenter},
                     {"TEKST", "Tekst", 0, {}, Qt::AlignLeft | Qt::AlignVCenter},
                     {"BELOP", "Beløp", 90, amountText, Qt::AlignRight | Qt::AlignVCenter}},
                    parent);
    grid->setMaximumHeight(115);
    return grid;
}

// A left list and a right column of panels that scrolls when the window is small.
QWidget* page(QWidget* left, QWidget* right) {
    auto* splitter = new QSplitter(Qt::Horizontal);
    splitter->addWidget(left);
    auto* scroll = new QScrollArea;
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidget(right);
    splitter->addWidget(scroll);
    splitter->setStretchFactor(0, 2);
    splitter->setStretchFactor(1, 5);
    return splitter;
}

// A widget that comes and goes keeps its place, so the fields around it
// do not move.
void keepPlaceWhenHidden(QWidget* w) {
    QSizePolicy p = w->sizePolicy();
    p.setRetainSizeWhenHidden(true);
    w->setSizePolicy(p);
}

// Beside the place: the postal register does not know the code.
QLabel* unknownPostalCode(QWidget* parent, const char* name) {
    auto* l = new QLabel("Ukjent postnr.", parent);
    l->setObjectName(name);
    l->setToolTip("Postnummeret finnes ikke i postnummerregisteret; skriv stedet selv");
    l->setStyleSheet("color: #a04000;");
    l->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);  // the row keeps its height
    keepPlaceWhenHidden(l);
    l->hide();
    return l;
}

}  // namespace

QWidget* TMainForm::buildOrganisationPage() {
    const RegisterCaptions& c = registerCaptions(kind_);
    auto& t = store_.tables();
    auto* left = new QWidget;
    auto* leftLayout = new QVBoxLayout(left);
    leftLayout->addWidget(heading("Registrerte organisasjoner", left));
    grOrg = new TDBGrid(t.OrgTable, {{"ORGNAVN", "Navn", 0, {}, Qt::AlignLeft | Qt::AlignVCenter}},
                        left);
    grOrg->setObjectName("grOrg");
    leftLayout->addWidget(grOrg);

    auto* right = new QWidget;
    auto* column = new QGridLayout(right);
    auto* orgBox = new QGroupBox("Organisasjon", right);
    auto* form = new QFormLayout(orgBox);
    laPostnrUkjent = unknownPostalCode(orgBox, "laPostnrUkjent");
    addFieldRows(
        orgBox, form,
        {{"Org.navn", {{&EditORGNAVN, "EditORGNAVN"}}},
         {"Adresse1", {{&EditADRESSE, "EditADRESSE"}}},
         {"Adresse2", {{&EditADRESSE2, "EditADRESSE2"}}},
         {"Postnr",
          {{&EditPOSTNR, "EditPOSTNR", EditKind::mkPostNr, 60}, {&EditPOSTSTED, "EditPOSTSTED"}},
          laPostnrUkjent},
         {"Telefon", {{&EditTELEFON, "EditTELEFON", EditKind::mkPhone, 120}}},
         {"Kontonr", {{&EditBANKKONTO, "EditBANKKONTO", EditKind::mkAccount, 140}}}});
    laAntMedl = new QLabel(q(c.memberCountLabel), orgBox);
    laAntall = new QLabel(orgBox);
    laAntall->setObjectName("laAntall");
    cbAUTONR = new TDBCheckBox(q(c.autoNumberBox), orgBox);
    cbAUTONR->setObjectName("cbAUTONR");
    cbAUTONR->setToolTip(
        "Merk av her hvis medlemsnummer skal deles ut automatisk i stigende rekkefølge fra 0");
    EditTEKST = new TDBMemo(orgBox);
    EditTEKST->setObjectName("EditTEKST");
    EditTEKST->setMaximumHeight(60);
    form->addRow(laAntMedl, laAntall);
    form->addRow("", cbAUTONR);
    form->addRow("Merknad", EditTEKST);
    laVeiledning = new QLabel(firstStartGuidance(), right);
    laVeiledning->setObjectName("laVeiledning");
    column->addWidget(laVeiledning, 0, 0, 1, 2);
    column->addWidget(orgBox, 1, 0);
    column->addWidget(buildCategoryPanel(), 1, 1);

    auto* extra = new QGroupBox("   Egendefinerte ekstrafelt for medlemsinfo.", right);
    auto* extraGrid = new QGridLayout(extra);
    for (int n = 0; n < 10; ++n) {
        EditEKSTRANAVN[n] = field(extra, ("EditEKSTRANAVN" + std::to_string(n + 1)).c_str());
        extraGrid->addWidget(new QLabel("Feltnavn " + QString::number(n + 1), extra), n % 5,
                             (n / 5) * 2);
        extraGrid->addWidget(EditEKSTRANAVN[n], n % 5, (n / 5) * 2 + 1);
    }
    column->addWidget(extra, 2, 0);

    pnRelStandard = new QGroupBox("Grupper/Relasjoner", right);
    pnRelStandard->setObjectName("pnRelStandard");
    auto* relLayout = new QVBoxLayout(pnRelStandard);
    relLayout->addWidget(relationGrid(t.tbRelRegStandard, pnRelStandard));
    relLayout->addWidget(relationNavigator(true, pnRelStandard));
    column->addWidget(pnRelStandard, 2, 1);
    column->setRowStretch(3, 1);
    return page(left, right);
}

QGroupBox* TMainForm::buildCategoryPanel() {
    const RegisterCaptions& c = registerCaptions(kind_);
    auto& t = store_.tables();
    pnKontingent = new QGroupBox(q(c.categoryPanel));
    pnKontingent->setObjectName("pnKontingent");
    auto* layout = new QVBoxLayout(pnKontingent);
    DBNavigatorKont = new TDBNavigator({{NavButton::Insert, "Ny kategori"},
                                        {NavButton::Delete, "Slett kategori"},
                                        {NavButton::Edit, "Endre kategori"},
                                        {NavButton::Post, "Lagre kategori (Ctrl+S)"},
                                        {NavButton::Cancel, "Avbryt (Esc)"}},
                                       pnKontingent);
    DBNavigatorKont->setObjectName("DBNavigatorKont");
    DBNavigatorKont->setTable(&t.KontTable);
    DBNavigatorKont->setHandler(NavButton::Edit,
                                [this] { runGuarded([this] { logic_->editCategory(); }); });
    layout->addWidget(DBNavigatorKont);
    grKont =
        new TDBGrid(t.KontTable,
                    {{"KATEGORI", "Kategori", 0, {}, Qt::AlignLeft | Qt::AlignVCenter},
                     {"BELOP", "Beløp", 100, amountText, Qt::AlignRight | Qt::AlignVCenter},
                     {"FASTBELOP", "Fast", 50,
                      [](const std::string& v) { return QString(data::textIsTrue(v) ? "X" : ""); },
                      Qt::AlignCenter}},
                    pnKontingent);
    grKont->setObjectName("grKont");
    grKont->setMaximumHeight(140);
    layout->addWidget(grKont);
    pnKontEdit = new QWidget(pnKontingent);
    pnKontEdit->setObjectName("pnKontEdit");
    auto* strip = new QHBoxLayout(pnKontEdit);
    strip->setContentsMargins(0, 0, 0, 0);
    EditKATEGORI = field(pnKontEdit, "EditKATEGORI");
    EditBELOP = new TNumDB(pnKontEdit, "T2");
    EditBELOP->setObjectName("EditBELOP");
    cbFASTBELOP = new TDBCheckBox("Fast beløp for alle", pnKontEdit);
    cbFASTBELOP->setObjectName("cbFASTBELOP");
    strip->addWidget(new QLabel("Kategori", pnKontEdit));
    strip->addWidget(EditKATEGORI);
    strip->addWidget(new QLabel("Beløp", pnKontEdit));
    strip->addWidget(EditBELOP);
    strip->addWidget(cbFASTBELOP);
    layout->addWidget(pnKontEdit);
    keepPlaceWhenHidden(pnKontEdit);
    layout->addStretch();
    return pnKontingent;
}

QWidget* TMainForm::buildMemberPage() {
    const RegisterCaptions& c = registerCaptions(kind_);
    auto& t = store_.tables();
    auto* left = new QWidget;
    auto* leftLayout = new QVBoxLayout(left);
    laHeading = heading("", left);
    laHeading->setObjectName("laHeading");
    leftLayout->addWidget(laHeading);
    grMedl =
        new TDBGrid(t.MedlTable, {{"NAVN", "Navn", 0, {}, Qt::AlignLeft | Qt::AlignVCenter}}, left);
    grMedl->setObjectName("grMedl");
    leftLayout->addWidget(grMedl);

    auto* right = new QWidget;
    auto* column = new QGridLayout(right);
    auto* person = new QGroupBox(right);
    auto* form = new QFormLayout(person);
    EditMEDLNR = field(person, "EditMEDLNR");
    EditMEDLNR->setReadOnly(true);
    EditMEDLNR->setMaximumWidth(140);
    laMedlNr = new QLabel(q(c.memberNumberLabel), person);
    form->addRow(laMedlNr, EditMEDLNR);
    laMPostnrUkjent = unknownPostalCode(person, "laMPostnrUkjent");
    addFieldRows(person, form,
                 {{"Etternavn", {{&EditENAVN, "EditENAVN"}}},
                  {"Fornavn", {{&EditFORNAVN, "EditFORNAVN"}}},
                  {"Adresse", {{&EditMADRESSE, "EditMADRESSE"}}},
                  {"", {{&EditMADRESSE2, "EditMADRESSE2"}}},
                  {"", {{&EditMADRESSE3, "EditMADRESSE3"}}},
                  {"P.nr/sted",
                   {{&EditMPOSTNR, "EditMPOSTNR", EditKind::mkPostNr, 60},
                    {&EditMPOSTSTED, "EditMPOSTSTED"}},
                   laMPostnrUkjent},
                  {"Telefon", {{&EditMTELEFON, "EditMTELEFON", EditKind::mkPhone, 120}}},
                  {"Email", {{&EditEMAIL, "EditEMAIL"}}},
                  {"Firma", {{&EditFIRMA, "EditFIRMA"}}}});
    EditMTEKST = new TDBMemo(person);
    EditMTEKST->setObjectName("EditMTEKST");
    EditMTEKST->setMaximumHeight(60);
    form->addRow("Kommentarer", EditMTEKST);
    column->addWidget(person, 0, 0, 2, 1);

    auto* pay = new QGroupBox("Betaling", right);
    auto* payForm = new QFormLayout(pay);
    cbKATEGORI = new QComboBox(pay);
    cbKATEGORI->setObjectName("cbKATEGORI");
    cbKATEGORI->setEditable(true);
    cbKATEGORI->setInsertPolicy(QComboBox::NoInsert);
    EditKONTINGENT = new TNumDB(pay, "T2");
    EditKONTINGENT->setObjectName("EditKONTINGENT");
    EditKONTINGENT->setMaximumWidth(140);
    cbBETALING = new TChoiceBoxDB(pay);
    cbBETALING->setObjectName("cbBETALING");
    cbBETALING->setChoiceItems(
        TChoiceList{"Giro[2]", "Kontant[3]", "Fast oppdrag[0]", "Avtalegiro[1]"});
    cbVARSLING = new TChoiceBoxDB(pay);
    cbVARSLING->setObjectName("cbVARSLING");
    cbVARSLING->setChoiceItems(TChoiceList{"Bankvarsel[0]", "Eget varsel[1]", "Ikke varsel[2]"});
    laVARSLING = new QLabel("Varsel", pay);
    keepPlaceWhenHidden(laVARSLING);
    // The notice row keeps its height when only "Avtalegiro" shows it.
    pnVarsel = new QStackedWidget(pay);
    pnVarsel->addWidget(new QWidget(pnVarsel));
    pnVarsel->addWidget(cbVARSLING);
    payForm->addRow(q(c.categoryLabel), cbKATEGORI);
    payForm->addRow(q(c.amountLabel), EditKONTINGENT);
    payForm->addRow("Betalingsmåte", cbBETALING);
    payForm->addRow(laVARSLING, pnVarsel);
    addFieldRows(pay, payForm,
                 {{"Fødselsdato", {{&EditFDATO, "EditFDATO", EditKind::mkDate, 110, "##.##.####"}}},
                  {q(c.memberSinceLabel),
                   {{&EditMEDLFRADATO, "EditMEDLFRADATO", EditKind::mkDate, 110, "##.##.####"}}},
                  {"Bankkonto", {{&EditMBANKKONTO, "EditMBANKKONTO", EditKind::mkAccount, 140}}}});
    column->addWidget(pay, 0, 1);

    auto* relations = new QGroupBox("Grupperinger / Relasjoner", right);
    auto* relLayout = new QVBoxLayout(relations);
    relLayout->addWidget(relationGrid(t.tbRelReg, relations));
    relLayout->addWidget(relationNavigator(false, relations));
    column->addWidget(relations, 1, 1);

    pnEkstra = new QGroupBox(q(c.extraPanel), right);
    pnEkstra->setObjectName("pnEkstra");
    auto* extraForm = new QGridLayout(pnEkstra);
    laIngenEkstra = new QLabel("Ingen ekstrafelt er definert", pnEkstra);
    laIngenEkstra->setObjectName("laIngenEkstra");
    extraForm->addWidget(laIngenEkstra, 0, 0, 1, 4);
    for (int n = 0; n < 10; ++n) {
        laEKSTRA[n] = new QLabel(pnEkstra);
        EditEKSTRA[n] = field(pnEkstra, ("EditEKSTRA" + std::to_string(n + 1)).c_str());
        extraForm->addWidget(laEKSTRA[n], n % 5 + 1, (n / 5) * 2);
        extraForm->addWidget(EditEKSTRA[n], n % 5 + 1, (n / 5) * 2 + 1);
    }
    column->addWidget(pnEkstra, 2, 0, 1, 2);
    column->setRowStretch(3, 1);
    return page(left, right);
}

void TMainForm::bindFields() {
    auto& t = store_.tables();
    auto bind = [&](TMalDB* e, data::TOrvTable& table, const char* name) {
        e->setUi(&ui_);
        e->setDataField(&table, name);
    };
    bind(EditORGNAVN, t.OrgTable, "ORGNAVN");
    bind(EditADRESSE, t.OrgTable, "ADRESSE");
    bind(EditADRESSE2, t.OrgTable, "ADRESSE2");
    bind(EditPOSTNR, t.OrgTable, "POSTNR");
    bind(EditPOSTSTED, t.OrgTable, "POSTSTED");
    bind(EditTELEFON, t.OrgTable, "TELEFON");
    bind(EditBANKKONTO, t.OrgTable, "BANKKONTO");
    cbAUTONR->setDataField(&t.OrgTable, "AUTONR");
    EditTEKST->setDataField(&t.OrgTable, "TEKST");
    for (int n = 0; n < 10; ++n) {
        bind(EditEKSTRANAVN[n], t.OrgTable, ("EKSTRANAVN" + std::to_string(n + 1)).c_str());
        bind(EditEKSTRA[n], t.MedlTable, ("EKSTRA" + std::to_string(n + 1)).c_str());
    }
    bind(EditKATEGORI, t.KontTable, "KATEGORI");
    EditBELOP->setUi(&ui_);
    EditBELOP->setDataField(&t.KontTable, "BELOP");
    cbFASTBELOP->setDataField(&t.KontTable, "FASTBELOP");

    bind(EditMEDLNR, t.MedlTable, "MEDLNR");
    bind(EditENAVN, t.MedlTable, "ENAVN");
    bind(EditFORNAVN, t.MedlTable, "FORNAVN");
    bind(EditMADRESSE, t.MedlTable, "ADRESSE");
    bind(EditMADRESSE2, t.MedlTable, "ADRESSE2");
    bind(EditMADRESSE3, t.MedlTable, "ADRESSE3");
    bind(EditMPOSTNR, t.MedlTable, "POSTNR");
    bind(EditMPOSTSTED, t.MedlTable, "POSTSTED");
    bind(EditMTELEFON, t.MedlTable, "TELEFON");
    bind(EditEMAIL, t.MedlTable, "EMAIL");
    bind(EditFIRMA, t.MedlTable, "FIRMA");
    EditMTEKST->setDataField(&t.MedlTable, "TEKST");
    EditKONTINGENT->setUi(&ui_);
    EditKONTINGENT->setDataField(&t.MedlTable, "BELOP");
    cbBETALING->setDataField(&t.MedlTable, "BETALING");
    cbVARSLING->setDataField(&t.MedlTable, "VARSLING");
    bind(EditFDATO, t.MedlTable, "FDATO");
    bind(EditMEDLFRADATO, t.MedlTable, "MEDLFRADATO");
    bind(EditMBANKKONTO, t.MedlTable, "BANKKONTO");

    // The postal code fields tell the rules when they are entered (the
    // window filters the application's events) and left.
    connect(EditPOSTNR, &TFastEdit::leftField, this, [this] {
        runGuarded([this] { logic_->postalCodeLeft(false, EditPOSTNR->text().toStdString()); });
        updatePostalHints();
    });
    connect(EditMPOSTNR, &TFastEdit::leftField, this, [this] {
        runGuarded([this] { logic_->postalCodeLeft(true, EditMPOSTNR->text().toStdString()); });
        updatePostalHints();
    });
    connect(cbBETALING, &QComboBox::activated, this,
            [this] { runGuarded([this] { logic_->paymentMethodChanged(); }); });

    // The category drop-down follows the member's category and applies the
    // lock with what the user chose or typed.
    categoryLink_ = std::make_unique<FieldLink>();
    categoryLink_->bind(&t.MedlTable, "KATEGORI", [this](const std::string& v) {
        if (refreshingCategory_) return;
        refreshingCategory_ = true;
        cbKATEGORI->setCurrentText(q(v));
        refreshingCategory_ = false;
    });
    auto chosen = [this] {
        if (refreshingCategory_) return;
        const std::string text = cbKATEGORI->currentText().toStdString();
        if (text == categoryLink_->read()) return;
        refreshingCategory_ = true;
        runGuarded([&] { logic_->categoryChosen(text); });
        refreshingCategory_ = false;
    };
    connect(cbKATEGORI, &QComboBox::activated, this, chosen);
    connect(cbKATEGORI->lineEdit(), &QLineEdit::editingFinished, this, chosen);
}

}  // namespace lagrull
