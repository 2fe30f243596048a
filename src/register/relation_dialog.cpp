#include "register/relation_dialog.h"

#include "common/ui.h"
#include "data/app_db_mng.h"
#include "data/database.h"
#include "data/field_access.h"
#include "data/orv_command.h"
#include "data/orv_table.h"
#include "register/relations.h"

namespace lagrull {

using data::Value;

TRelasjonDialog::TRelasjonDialog(Ui& ui, data::TOrvTable& relReg, std::int64_t orgNr)
    : ui_(ui),
      relReg_(relReg),
      orgNr_(orgNr),
      inserting_(relReg.state() == data::DataSetState::Insert) {
    WaitWindow wait(ui_, "VENT!", "Henter relasjoner.....");
    data::GetRelationNames(relReg_.database(), orgNr_, names_);
    Navn = data::FieldText(relReg_, "RELASJON");
    Tekst = data::FieldText(relReg_, "TEKST");
    Belop = data::FieldFloat(relReg_, "BELOP");
    caption_ = inserting_ ? "Legg til relasjon" : "Oppdater relasjon";
    okEnabled_ = !Navn.empty();
}

void TRelasjonDialog::NameChanged(const std::string& name) {
    Navn = name;
    for (const char* table : {"relregstandard", "relreg"}) {
        data::TOrvCommand find(relReg_.database(),
                               std::string("SELECT tekst,belop FROM ") + table +
                                   " WHERE ORGNR =:Orgnr AND relasjon =:relasjon");
        find.setParam("Orgnr", Value(orgNr_));
        find.setParam("relasjon", Value(name));
        const std::vector<Value> row = find.firstRow();
        if (row.empty()) continue;
        const auto* text = std::get_if<std::string>(&row[0]);
        Tekst = text ? *text : std::string();
        if (const auto* d = std::get_if<double>(&row[1]))
            Belop = *d;
        else if (const auto* i = std::get_if<std::int64_t>(&row[1]))
            Belop = static_cast<double>(*i);
        else
            Belop = 0;
        okEnabled_ = true;
        return;
    }
    Belop = 0;
    Tekst.clear();
    okEnabled_ = !name.empty();
}

TRelasjonDialog::Close TRelasjonDialog::Ok() {
    if (!relReg_.editing()) return Close::Closed;
    if (inserting_) data::SetFieldText(relReg_, "RELASJON", Navn);
    data::SetFieldText(relReg_, "TEKST", Tekst);
    data::SetFieldFloat(relReg_, "BELOP", Belop);
    try {
        if (!relReg_.post()) return Close::StayOpen;
    } catch (const data::EDatabaseError& e) {
        if (!e.duplicateKey()) throw;
        if (ui_.message("Advarsel!",
                        "Relasjonen " + Navn + " finnes fra før!~Avbryt oppretting av relasjon?",
                        Buttons::YesNo, Icon::Warning) == Answer::Yes) {
            relReg_.cancel();
            return Close::Closed;
        }
        return Close::StayOpen;
    }
    try {
        if (!StandardRelationExists(relReg_.database(), orgNr_, Navn))
            AddStandardRelation(relReg_.database(), orgNr_, {Navn, Tekst, Belop});
    } catch (const Error&) {
        // The member's row stands; the next wizard run repairs the list.
    }
    return Close::Closed;
}

void TRelasjonDialog::Cancel() {
    if (relReg_.editing()) relReg_.cancel();
}

}  // namespace lagrull
