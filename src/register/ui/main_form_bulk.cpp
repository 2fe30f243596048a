// The main window's bulk functions: the standard-list wizard and the member
// relation dialog behind the two relation panels, copying and deleting
// members, claim generation and giro printing from the "Funksjoner" menu
// and the tool bar, and the member import from a file.
#include <QHBoxLayout>
#include <QPushButton>

#include "common/app_paths.h"
#include "common/ui.h"
#include "data/data_store.h"
#include "data/field_access.h"
#include "payments/ui/claim_forms.h"
#include "payments/ui/giro_forms.h"
#include "register/ui/bulk_forms.h"
#include "register/ui/main_form.h"
#include "reports/ui/utvalgskriterier_form.h"
#include "services/member_import.h"
#include "services/ui/import_form.h"

namespace lagrull {

QWidget* TMainForm::relationNavigator(bool standard, QWidget* parent) {
    auto* row = new QWidget(parent);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    const char* hints[2][3] = {
        {"Ny post (CTRL+N)", "Slett post (CTRL+S)", "Endre post (CTRL+E)"},
        {"Ny gruppe/relasjon", "Slett gruppe/relasjon fra organisasjon og/eller medlemmer",
         "Rediger gruppe/relasjon og tilknyttede medlemmer"}};
    const char* captions[3] = {"Ny", "Slett", "Rediger"};
    std::array<QPushButton*, 3>& buttons = standard ? btRelStandard : btRelMedlem;
    for (int i = 0; i < 3; ++i) {
        auto* b = new QPushButton(captions[i], row);
        b->setToolTip(hints[standard ? 1 : 0][i]);
        b->setObjectName(QString(standard ? "btRelStandard" : "btRelMedlem") + captions[i]);
        layout->addWidget(b);
        buttons[static_cast<std::size_t>(i)] = b;
    }
    layout->addStretch();
    if (standard) {
        connect(buttons[0], &QPushButton::clicked, this,
                [this] { runGuarded([this] { standardRelation(TRelOperation::New); }); });
        connect(buttons[1], &QPushButton::clicked, this,
                [this] { runGuarded([this] { standardRelation(TRelOperation::Delete); }); });
        connect(buttons[2], &QPushButton::clicked, this,
                [this] { runGuarded([this] { standardRelation(TRelOperation::Edit); }); });
    } else {
        connect(buttons[0], &QPushButton::clicked, this,
                [this] { runGuarded([this] { memberRelation(false); }); });
        connect(buttons[1], &QPushButton::clicked, this,
                [this] { runGuarded([this] { deleteMemberRelation(); }); });
        connect(buttons[2], &QPushButton::clicked, this,
                [this] { runGuarded([this] { memberRelation(true); }); });
    }
    return row;
}

void TMainForm::standardRelation(TRelOperation operation) {
    data::RegisterTables& t = store_.tables();
    if (operation != TRelOperation::New &&
        (t.tbRelRegStandard.isEmpty() || data::FieldText(t.tbRelRegStandard, "RELASJON").empty()))
        return;
    TQtSelectionSteps steps(ui_, kind_, this);
    TRel rel(
        ui_, store_.dbMng(), steps, [this] { return std::make_unique<TfoRelasjoner>(kind_, this); },
        t.OrgTable, t.MedlTable);
    rel.Execute(operation, t.tbRelReg, t.tbRelRegStandard);
}

void TMainForm::memberRelation(bool edit) {
    data::RegisterTables& t = store_.tables();
    // A member not yet posted has no number to link the row to.
    if (t.MedlTable.isEmpty() || t.MedlTable.state() == data::DataSetState::Insert) return;
    if (edit) {
        if (t.tbRelReg.isEmpty()) return;
        t.tbRelReg.edit();
    } else {
        t.tbRelReg.insert();
    }
    TRelasjonDialog logic(ui_, t.tbRelReg, data::FieldInt(t.OrgTable, "ORGNR"));
    TfoRelasjon dialog(logic, kind_, this);
    dialog.exec();
    logic.Cancel();  // whatever way the window went, the row is not left half-done
    t.tbRelRegStandard.refresh();
}

void TMainForm::deleteMemberRelation() {
    data::TOrvTable& rel = store_.tables().tbRelReg;
    if (rel.isEmpty()) return;
    if (ui_.message("ADVARSEL!", "Vil du slette " + data::FieldText(rel, "RELASJON") + "?",
                    Buttons::YesNo, Icon::Warning) != Answer::Yes)
        return;
    rel.remove();
}

void TMainForm::kopier(TKopierMode mode) {
    data::RegisterTables& t = store_.tables();
    if (t.OrgTable.isEmpty()) return;
    TQtSelectionSteps steps(ui_, kind_, this);
    TKopier function(
        ui_, store_.dbMng(), steps,
        [this, mode] { return std::make_unique<TfoStartKopier>(mode, kind_, this); }, t.OrgTable,
        t.MedlTable);
    function.Execute(mode);
}

void TMainForm::importMembers() {
    PageControl->setCurrentIndex(static_cast<int>(MainPage::Members));
    TMemberImport import(ui_, store_.tables(), postal_);
    TQtImportFormStep window(ui_, kind_, this);
    if (import.Execute(window)) logic_->writeHeading();
}

void TMainForm::betalinger() {
    data::RegisterTables& t = store_.tables();
    if (t.OrgTable.isEmpty()) return;
    TQtSelectionSteps steps(ui_, kind_, this);
    TBetalinger run(
        ui_, store_.dbMng(), steps,
        [this] { return std::make_unique<TfoStartGen>(ui_, kind_, this); }, t.OrgTable, t.MedlTable,
        kind_);
    run.Run([this] { giro(); });
    if (t.BetTable.active()) t.BetTable.refresh();
}

void TMainForm::giro() {
    data::RegisterTables& t = store_.tables();
    if (t.OrgTable.isEmpty()) return;
    TQtSelectionSteps steps(ui_, kind_, this);
    TGiro run(
        ui_, store_.dbMng(), steps,
        [this] { return std::make_unique<TfoStartGiro>(ui_, kind_, this); }, t.OrgTable,
        t.MedlTable);
    run.Execute();
}

void TMainForm::giroutskrifter() {
    data::RegisterTables& t = store_.tables();
    if (t.OrgTable.isEmpty()) return;
    TfoDialogBetaling dialog(
        ui_, store_.dbLocal(), data::FieldInt(t.OrgTable, "ORGNR"), settingsFilePath(), kind_,
        [this] { giro(); }, this);
    dialog.exec();
    if (t.BetTable.active()) t.BetTable.refresh();
}

}  // namespace lagrull
