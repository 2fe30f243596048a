#include "services/member_import.h"

#include <string>
#include <unordered_map>

#include "common/ui.h"
#include "data/app_db_mng.h"
#include "data/dataset.h"
#include "data/field_access.h"
#include "data/orv_command.h"
#include "data/schema.h"
#include "data/table_scan.h"
#include "services/file_trans.h"
#include "services/import_form_logic.h"
#include "services/postnr.h"

namespace lagrull {

using data::Value;

namespace {

// The staged fields a member takes over by name; the transfer adds ORGNR,
// NMEDLNR, POSTSTED and BETALING.
constexpr const char* kTakenOver[] = {
    "MEDLNR",  "FORNAVN",   "ENAVN",   "ADRESSE",  "ADRESSE2", "ADRESSE3", "EMAIL",   "POSTNR",
    "TELEFON", "BANKKONTO", "FDATO",   "KATEGORI", "BELOP",    "TEKST",    "EKSTRA1", "EKSTRA2",
    "EKSTRA3", "EKSTRA4",   "EKSTRA5", "EKSTRA6",  "EKSTRA7",  "EKSTRA8",  "EKSTRA9", "EKSTRA10"};
constexpr std::int64_t kBetalingGiro = 2;
// Fields whose text is cleaned to letters and digits.
constexpr const char* kCleaned[] = {"MEDLNR", "TELEFON", "BANKKONTO", "FDATO"};

// The member's own texts an import leaves empty; written as '' so that no
// row needs the store's clean-up of unwritten texts.
constexpr const char* kLeftEmpty = "navn, oldpostnr, firma, medlfradato";

std::string insertSql() {
    std::string names = std::string("orgnr, nmedlnr, poststed, betaling, ") + kLeftEmpty,
                values = ":orgnr, :nmedlnr, :poststed, :betaling, '', '', '', ''";
    for (const char* f : kTakenOver) {
        names += std::string(", ") + f;
        values += std::string(", :") + f;
    }
    return "insert into medlreg (" + names + ") values (" + values + ")";
}

// Keeps the postal register open for a whole pass.
class PostalUse {
public:
    explicit PostalUse(TPostNr& postal) : postal_(postal) { postal_.acquire(); }
    ~PostalUse() { postal_.release(); }
    PostalUse(const PostalUse&) = delete;
    PostalUse& operator=(const PostalUse&) = delete;
    // An unknown number, or no postal register at all, gives no place.
    const std::string& place(const std::string& number) {
        auto [it, added] = places_.try_emplace(number);
        if (added && postal_.isOpen()) it->second = postal_.lookUpPlace(number);
        return it->second;
    }

private:
    TPostNr& postal_;
    std::unordered_map<std::string, std::string> places_;
};

}  // namespace

TMemberImport::TMemberImport(Ui& ui, data::RegisterTables& tables, TPostNr& postal)
    : ui_(ui), tables_(tables), postal_(postal) {}

void TMemberImport::EmptyStaging() {
    data::TOrvCommand(tables_.CpTab.database(), "delete from copytab").execute();
}

bool TMemberImport::Execute(TImportFormStep& window) {
    data::TOrvTable& org = tables_.OrgTable;
    if (!org.isOpen() || org.isEmpty()) {
        ui_.error("Organisasjon må opprettes først!");
        return false;
    }
    const std::int64_t orgNr = data::FieldInt(org, "ORGNR");
    EmptyStaging();
    tFileTrans trans(tables_.CpTab.database(), data::copytabDef());
    for (const char* f : kCleaned) trans.CleanedFields.insert(f);
    TImportFormLogic logic(ui_, trans);
    logic.Title = "Medlemsregister " + data::FieldText(org, "ORGNAVN") + " fra fil";
    logic.HelpTopic = kImportHelpTopic;
    if (!window.ShowModal(logic)) {
        EmptyStaging();
        return false;
    }
    transferred_ = Transfer(orgNr);
    if (tables_.MedlTable.isOpen()) tables_.MedlTable.refresh();
    return true;
}

TTransferCounts TMemberImport::Transfer(std::int64_t orgNr) {
    WaitWindow wait(ui_, "VENT!", "Importerer.........");
    data::TDatabase& db = tables_.CpTab.database();
    TTransferCounts counts;
    PostalUse postal(postal_);
    EventPump pump(ui_);
    data::Transaction transaction(db);
    data::TOrvCommand drop(
        db, "delete from medlreg where orgnr = :orgnr and medlnr in (select medlnr from copytab)");
    drop.setParam("orgnr", Value(orgNr));
    counts.replaced = drop.execute();

    data::TOrvCommand insert(db, insertSql());
    insert.setParam("orgnr", Value(orgNr));
    insert.setParam("betaling", Value(kBetalingGiro));
    data::TTableScan staged(db, data::copytabDef().TableName);
    staged.open();
    std::vector<int> fields;
    for (const char* f : kTakenOver) fields.push_back(staged.fieldIndex(f));
    for (; !staged.eof(); staged.next()) {
        std::size_t i = 0;
        for (const char* f : kTakenOver) insert.setParam(f, staged.value(fields[i++]));
        insert.setParam("nmedlnr", Value(data::leadingDecimal(data::FieldText(staged, "MEDLNR"))));
        insert.setParam("poststed", Value(postal.place(data::FieldText(staged, "POSTNR"))));
        insert.execute();
        ++counts.members;
        pump.tick();
    }
    staged.close();
    EmptyStaging();
    transaction.commit();
    return counts;
}

}  // namespace lagrull
