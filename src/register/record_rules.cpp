// The record rules of the main window's three tables: what a new row gets,
// what must hold before a row is saved, and what goes with a deleted row.
#include "common/dates.h"
#include "common/ui.h"
#include "data/field_access.h"
#include "data/orv_query.h"
#include "register/main_form_logic.h"
#include "register/main_form_view.h"
#include "register/variants.h"

namespace lagrull {

using data::FieldBool;
using data::FieldInt;
using data::FieldText;
using data::SetFieldBool;
using data::SetFieldInt;
using data::SetFieldText;
using data::TOrvQuery;
using data::TOrvTable;

namespace {

const char* const kFillIn = "Posten må fylles ut!";

}  // namespace

void TMainFormLogic::installOrganisationRules() {
    auto& org = tables().OrgTable;
    org.onNewRecord = [this](TOrvTable& t) {
        TOrvQuery q(store_.dbLocal());
        q.setSql("select max(orgnr) as maxnr\nfrom orgreg;");
        q.open();
        SetFieldInt(t, "ORGNR", FieldInt(q, "MAXNR") + 1);
        SetFieldBool(t, "AUTONR", false);
        view_.focusField(FormField::OrgNavn);
    };
    org.beforePost = [this](TOrvTable& t) {
        if (!FieldText(t, "ORGNAVN").empty()) return true;
        ui_.error(kFillIn, "FEIL!");
        view_.focusField(FormField::OrgNavn);
        return false;
    };
    org.beforeDelete = [this](TOrvTable& t) { return organisationBeforeDelete(t); };
    org.deleteDependents = [this](TOrvTable& t) { organisationDependentsDelete(t); };
}

bool TMainFormLogic::organisationBeforeDelete(TOrvTable& t) {
    const std::string name = FieldText(t, "ORGNAVN");
    return ui_.message("Advarsel!", "Vil du slette " + name + "?", Buttons::YesNo, Icon::Warning) ==
           Answer::Yes;
}

void TMainFormLogic::organisationDependentsDelete(TOrvTable& t) {
    WaitWindow wait(ui_, "VENT!", "Sletter " + FieldText(t, "ORGNAVN") + "...");
    const std::string nr = std::to_string(FieldInt(t, "ORGNR"));
    // Standard relations go too: a new organisation that gets the number
    // back must not inherit them.
    for (const char* table : {"medlreg", "kontgrp", "mbetreg", "relreg", "relregstandard"}) {
        TOrvQuery q(store_.dbLocal());
        q.setSql(std::string("delete from ") + table + " where orgnr = " + nr);
        q.execSQL();
    }
}

void TMainFormLogic::installMemberRules() {
    auto& medl = tables().MedlTable;
    medl.onNewRecord = [this](TOrvTable& t) {
        SetFieldInt(t, "BETALING", 2);
        SetFieldText(t, "MEDLFRADATO", Date::today().stored());
        if (FieldBool(tables().OrgTable, "AUTONR")) {
            view_.focusField(FormField::Fornavn);
        } else {
            setMemberNumberEditable(true);
            view_.focusField(FormField::MedlNr);
        }
        // A new member has no category yet: the amount field shows the
        // new record's own (empty) amount, not the last member's fixed one.
        applyCategoryLock(std::string());
        paymentMethodChanged();
    };
    medl.beforePost = [this](TOrvTable& t) { return memberBeforePost(t); };
    medl.afterPost = [this](TOrvTable&) {
        setMemberNumberEditable(false);
        writeHeading();
        memberRowMoved();
    };
    medl.afterCancel = [this](TOrvTable&) {
        setMemberNumberEditable(false);
        memberRowMoved();
    };
    medl.beforeDelete = [this](TOrvTable& t) { return memberBeforeDelete(t); };
    medl.deleteDependents = [this](TOrvTable& t) { memberDependentsDelete(t); };
    medl.afterDelete = [this](TOrvTable&) {
        writeHeading();
        memberRowMoved();
    };
}

bool TMainFormLogic::memberBeforeDelete(TOrvTable& t) {
    const std::string name = FieldText(t, "NAVN");
    return ui_.message("Advarsel!", "Vil du slette " + name + "?", Buttons::YesNo, Icon::Warning) ==
           Answer::Yes;
}

void TMainFormLogic::memberDependentsDelete(TOrvTable& t) {
    // A claim or relation that cannot go keeps the member too: no claims
    // are left behind without their member.
    WaitWindow wait(ui_, "VENT!", "Sletter " + FieldText(t, "NAVN") + "...");
    for (const char* table : {"mbetreg", "relreg"}) {
        TOrvQuery q(store_.dbLocal());
        q.setSql(std::string("delete from ") + table +
                 " where orgnr = :orgnr and medlnr = :medlnr");
        q.setParamInt("orgnr", FieldInt(t, "ORGNR"));
        q.setParamText("medlnr", FieldText(t, "MEDLNR"));
        q.execSQL();
    }
}

void TMainFormLogic::installCategoryRules() {
    auto& kont = tables().KontTable;
    kont.onNewRecord = [this](TOrvTable& t) {
        view_.setCategoryStrip(true, true);
        view_.focusField(FormField::Kategori);
        SetFieldBool(t, "FASTBELOP", registerCaptions(kind_).newCategoryFixedAmount);
    };
    kont.beforePost = [this](TOrvTable& t) {
        if (t.state() != data::DataSetState::Insert) return true;
        if (FieldText(t, "KATEGORI").empty()) {
            ui_.error(kFillIn, "FEIL!");
            view_.focusField(FormField::Kategori);
            return false;
        }
        TOrvQuery q(store_.dbLocal());
        q.setSql("select kategori\nfrom kontgrp\nwhere orgnr  = :orgnr\nand kategori = :kategori");
        q.setParamInt("orgnr", FieldInt(t, "ORGNR"));
        q.setParamText("kategori", FieldText(t, "KATEGORI"));
        q.open();
        if (q.eof()) return true;
        ui_.error("Kategori er ibruk!", "Feil!");
        view_.focusField(FormField::Kategori);
        return false;
    };
    kont.beforeDelete = [this](TOrvTable& t) {
        return ui_.message("Advarsel!", "Vil du slette kategori " + FieldText(t, "KATEGORI") + "?",
                           Buttons::YesNo, Icon::Warning) == Answer::Yes;
    };
    kont.afterPost = [this](TOrvTable&) { view_.setCategoryStrip(false, false); };
    kont.afterCancel = [this](TOrvTable&) { view_.setCategoryStrip(false, false); };
}

bool TMainFormLogic::memberBeforePost(TOrvTable& t) { return numberMember(t); }

}  // namespace lagrull
