// Member numbering and the quick searches of the main window.
#include <cmath>
#include <cstdio>

#include "common/error.h"
#include "common/ui.h"
#include "data/field_access.h"
#include "data/orv_query.h"
#include "data/schema.h"
#include "register/main_form_logic.h"
#include "register/main_form_view.h"
#include "register/variants.h"

namespace lagrull {

using data::FieldBool;
using data::FieldFloat;
using data::FieldInt;
using data::FieldText;
using data::TOrvQuery;
using data::TOrvTable;
using data::Value;

namespace {

// A whole number as decimal text without decimals.
std::string wholeNumber(double n) {
    char buf[40];
    std::snprintf(buf, sizeof buf, "%.0f", n);
    return buf;
}

}  // namespace

bool TMainFormLogic::numberMember(TOrvTable& t) {
    auto& org = tables().OrgTable;
    if (FieldBool(org, "AUTONR") && FieldText(t, "MEDLNR").empty()) {
        TOrvQuery q(store_.dbLocal());
        q.setSql("select max(nmedlnr) as maxnr from medlreg where orgnr = " +
                 std::to_string(FieldInt(t, "ORGNR")));
        q.open();
        const double n = std::floor(FieldFloat(q, "MAXNR")) + 1;
        data::SetFieldFloat(t, "NMEDLNR", n);
        data::SetFieldText(t, "MEDLNR", wholeNumber(n));
        return true;
    }
    if (!memberNumberEditable_) return true;
    const std::string number = FieldText(t, "MEDLNR");
    if (number.empty()) {
        ui_.error("Posten må fylles ut!", "FEIL!");
        view_.focusField(FormField::MedlNr);
        return false;
    }
    TOrvQuery q(store_.dbLocal());
    q.setSql("select medlnr\nfrom medlreg\nwhere orgnr = :orgnr\nand medlnr = :medlnr");
    q.setParamInt("orgnr", FieldInt(t, "ORGNR"));
    q.setParamText("medlnr", number);
    q.open();
    if (!q.eof()) {
        ui_.error("Medlemsnr er ibruk!", "Feil!");
        view_.focusField(FormField::MedlNr);
        return false;
    }
    data::SetFieldFloat(t, "NMEDLNR", FieldFloat(t, "MEDLNR"));
    return true;
}

void TMainFormLogic::search(SearchKind kind) {
    const RegisterCaptions& captions = registerCaptions(kind_);
    std::string prompt;
    if (page_ == MainPage::Organisations)
        prompt = "Org.navn :";
    else if (kind == SearchKind::Surname)
        prompt = "Etternavn :";
    else if (kind == SearchKind::MemberNumber)
        prompt = captions.memberNumberLabel;
    else
        prompt = "Firma";
    const auto text = ui_.inputBox("Søk", prompt, "");
    if (!text) return;
    if (page_ == MainPage::Organisations) return searchOrganisation(*text);
    switch (kind) {
        case SearchKind::Surname: return searchSurname(*text);
        case SearchKind::MemberNumber: return searchNumber(*text);
        case SearchKind::Company: return searchCompany(*text);
    }
}

void TMainFormLogic::searchOrganisation(const std::string& text) {
    auto& org = tables().OrgTable;
    if (org.editing()) org.post();
    org.findNearest({Value(text)});
}

void TMainFormLogic::searchSurname(const std::string& text) {
    auto& medl = tables().MedlTable;
    if (medl.editing()) medl.post();
    medl.findNearest({Value(orgNr()), Value(text)});
}

// Looks the number up exactly and moves the member list to that member's
// name; false when the organisation has no such number.
bool TMainFormLogic::positionOnNumber(const std::string& number) {
    TOrvTable byNumber(store_.dbLocal(), data::medlregDef().TableName);
    byNumber.open();
    if (!byNumber.findKey({Value(orgNr()), Value(number)})) return false;
    const std::string surname = FieldText(byNumber, "ENAVN");
    const std::string firstName = FieldText(byNumber, "FORNAVN");
    byNumber.close();
    auto& medl = tables().MedlTable;
    if (medl.editing()) medl.post();
    medl.findKey({Value(orgNr()), Value(surname), Value(firstName)});
    return true;
}

void TMainFormLogic::searchNumber(const std::string& text) {
    const std::string& label = registerCaptions(kind_).memberNumberLabel;
    if (!positionOnNumber(text)) ui_.information("", label + " " + text + " finnes ikke!");
}

void TMainFormLogic::searchCompany(const std::string& text) {
    const std::string label = "Firma";
    try {
        TOrvQuery q(store_.dbLocal());
        q.setSql("SELECT medlnr\nFROM Medlreg\nWHERE Upper(medlreg.firma) LIKE Upper(:firma)");
        q.setParamText("firma", text);
        q.open();
        // The first hit's number must be a whole number.
        const std::string found = q.eof() ? std::string() : FieldText(q, "MEDLNR");
        bool whole = !found.empty();
        for (const char c : found) whole = whole && c >= '0' && c <= '9';
        if (!whole || found.size() > 18) {
            ui_.error("Finner ikke " + label + " " + text, "Feil");
            return;
        }
        const std::string number = std::to_string(std::stoll(found));
        if (!positionOnNumber(number)) ui_.information("", label + " " + text + " finnes ikke!");
    } catch (const std::exception& e) {
        ui_.error(e.what());
    }
}

}  // namespace lagrull
