#include "register/main_form_logic.h"

#include "common/ui.h"
#include "data/field_access.h"
#include "data/orv_query.h"
#include "register/main_form_view.h"
#include "register/variants.h"
#include "services/postnr.h"

namespace lagrull {

using data::FieldBool;
using data::FieldFloat;
using data::FieldInt;
using data::FieldText;
using data::SetFieldText;
using data::TableEvent;
using data::TOrvTable;

TMainFormLogic::TMainFormLogic(data::DataStore& store, Ui& ui, MainFormView& view, TPostNr& postal)
    : store_(store),
      ui_(ui),
      view_(view),
      postal_(postal),
      kind_(store.appDbMng().RegisterKind()) {}

TMainFormLogic::~TMainFormLogic() {
    // The tables outlive the rules: leave no handler that points here.
    auto& t = tables();
    for (TOrvTable* table : {&t.OrgTable, &t.MedlTable, &t.KontTable}) {
        table->beforePost = nullptr;
        table->beforeDelete = nullptr;
        table->deleteDependents = nullptr;
        table->afterPost = nullptr;
        table->afterCancel = nullptr;
        table->afterDelete = nullptr;
        table->onNewRecord = nullptr;
    }
    t.MedlTable.onCalcFields = nullptr;
}

std::string TMainFormLogic::memberDisplayName(const std::string& surname,
                                              const std::string& firstName) {
    if (surname.empty()) return firstName;
    if (firstName.empty()) return surname;
    return surname + ", " + firstName;
}

void TMainFormLogic::prepareTables(data::RegisterTables& t) {
    t.MedlTable.addCalculatedField("NAVN", data::FieldType::String, 62);
    t.MedlTable.onCalcFields = [](data::TDataSet& ds) {
        ds.setValue(ds.fieldIndex("NAVN"),
                    memberDisplayName(FieldText(ds, "ENAVN"), FieldText(ds, "FORNAVN")));
    };
}

void TMainFormLogic::linkTables(data::RegisterTables& t) {
    t.OrgTable.setIndexName("NAVNINDEX");
    t.MedlTable.setIndexName("NAVNINDEX");
    t.MedlTable.setMasterSource(&t.OrgTable, "ORGNR");
    t.KontTable.setIndexFieldNames("ORGNR;KATEGORI");
    t.KontTable.setMasterSource(&t.OrgTable, "ORGNR");
    t.tbRelRegStandard.setIndexFieldNames("ORGNR;RELASJON");
    t.tbRelRegStandard.setMasterSource(&t.OrgTable, "ORGNR");
    t.tbRelReg.setIndexFieldNames("ORGNR;MEDLNR;RELASJON");
    t.tbRelReg.setMasterSource(&t.MedlTable, "ORGNR;MEDLNR");
    t.OrgTable.first();
}

void TMainFormLogic::attach() {
    auto& t = tables();
    linkTables(t);
    installOrganisationRules();
    installMemberRules();
    installCategoryRules();
    memberMoves_ = t.MedlTable.subscribe([this](TableEvent e) {
        if (e == TableEvent::Scrolled || e == TableEvent::Reset) memberRowMoved();
    });
    organisationMoves_ = t.OrgTable.subscribe([this](TableEvent e) {
        if (e == TableEvent::Scrolled || e == TableEvent::Reset) writeHeading();
    });
    writeHeading();
    memberRowMoved();
}

std::int64_t TMainFormLogic::orgNr() {
    auto& org = tables().OrgTable;
    return org.recordCount() > 0 || org.editing() ? FieldInt(org, "ORGNR") : 0;
}

std::string TMainFormLogic::heading() {
    auto& t = tables();
    const std::string name = t.OrgTable.recordCount() > 0 ? FieldText(t.OrgTable, "ORGNAVN") : "";
    return name + " (" + std::to_string(t.MedlTable.recordCount()) + " stk)";
}

void TMainFormLogic::writeHeading() {
    // A table is closed for a moment while its indexes are rebuilt.
    if (tables().OrgTable.active() && tables().MedlTable.active()) view_.setHeading(heading());
}

void TMainFormLogic::changePage(MainPage newPage) {
    auto& t = tables();
    writeHeading();
    if (newPage == MainPage::Organisations) {
        if (t.MedlTable.editing()) t.MedlTable.post();
        view_.setSearchSubmenu(false);
    } else {
        if (t.OrgTable.editing()) t.OrgTable.post();
        if (t.KontTable.editing()) t.KontTable.post();
        // The categories in the category table's own order, read without
        // moving its cursor.
        std::vector<std::string> names;
        const int field = t.KontTable.fieldIndex("KATEGORI");
        for (long long n = 1; n <= t.KontTable.recordCount(); ++n)
            names.push_back(
                data::valueToText(t.KontTable.field(field), t.KontTable.rowAt(n)[field]));
        const std::string current =
            t.MedlTable.recordCount() > 0 ? FieldText(t.MedlTable, "KATEGORI") : std::string();
        view_.setCategoryNames(names, current);
        applyCategoryLock(current);
        view_.setSearchSubmenu(true);
        setMemberNumberEditable(false);
        std::array<std::string, 10> labels;
        if (t.OrgTable.recordCount() > 0)
            for (int n = 1; n <= 10; ++n)
                labels[n - 1] = FieldText(t.OrgTable, "EKSTRANAVN" + std::to_string(n));
        view_.setExtraFieldLabels(labels);
        paymentMethodChanged();
    }
    page_ = newPage;
}

void TMainFormLogic::applyCategoryLock(const std::string& category) {
    auto& medl = tables().MedlTable;
    data::TOrvQuery q(store_.dbLocal());
    q.setSql("select belop, fastbelop from kontgrp where orgnr = :orgnr and kategori = :kategori");
    q.setParamInt("orgnr", orgNr());
    q.setParamText("kategori", category);
    q.open();
    if (!q.eof() && FieldBool(q, "FASTBELOP")) {
        if (medl.editing()) data::SetFieldFloat(medl, "BELOP", 0);
        view_.setMemberAmountFromCategory(true, FieldFloat(q, "BELOP"));
    } else {
        view_.setMemberAmountFromCategory(false, 0);
    }
}

void TMainFormLogic::categoryChosen(const std::string& category) {
    auto& medl = tables().MedlTable;
    if (medl.active() && (medl.editing() || medl.recordCount() > 0)) {
        medl.edit();
        SetFieldText(medl, "KATEGORI", category);
    }
    applyCategoryLock(category);
}

void TMainFormLogic::memberRowMoved() {
    auto& medl = tables().MedlTable;
    if (!medl.active() || !tables().OrgTable.active() || medl.editing() || inMemberMove_) return;
    inMemberMove_ = true;
    applyCategoryLock(medl.recordCount() > 0 ? FieldText(medl, "KATEGORI") : std::string());
    view_.setMemberCount(medl.recordCount());
    paymentMethodChanged();
    inMemberMove_ = false;
}

void TMainFormLogic::paymentMethodChanged() {
    auto& medl = tables().MedlTable;
    const bool hasRow = medl.editing() || medl.recordCount() > 0;
    const bool avtalegiro =
        hasRow && FieldInt(medl, "BETALING") == 1 && !FieldText(medl, "BETALING").empty();
    view_.setNoticeVisible(avtalegiro);
    if (avtalegiro && medl.editing() && FieldText(medl, "VARSLING").empty())
        data::SetFieldInt(medl, "VARSLING", 0);  // "Bankvarsel"
}

void TMainFormLogic::postalCodeEntered(bool member, const std::string& text) {
    (member ? memberPostalAtEntry_ : orgPostalAtEntry_) = text;
}

void TMainFormLogic::postalCodeLeft(bool member, const std::string& text) {
    const std::string& before = member ? memberPostalAtEntry_ : orgPostalAtEntry_;
    if (text == before) return;
    TOrvTable& table = member ? tables().MedlTable : tables().OrgTable;
    if (!table.active()) return;
    const std::string place = text.empty() ? std::string() : postal_.lookUpPlace(text);
    table.edit();
    SetFieldText(table, "POSTSTED", place);
    (member ? memberPostalAtEntry_ : orgPostalAtEntry_) = text;
}

bool TMainFormLogic::postalCodeUnknown(const std::string& text) {
    return !text.empty() && postal_.lookUpPlace(text).empty();
}

void TMainFormLogic::leavingOrganisationFields() {
    auto& org = tables().OrgTable;
    if (org.editing()) org.post();
}

void TMainFormLogic::editCategory() {
    auto& kont = tables().KontTable;
    if (kont.recordCount() == 0) return;
    kont.edit();
    view_.setCategoryStrip(true, false);
    view_.focusField(FormField::KategoriBelop);
}

void TMainFormLogic::setMemberNumberEditable(bool editable) {
    memberNumberEditable_ = editable;
    view_.setMemberNumberEditable(editable);
}

}  // namespace lagrull
