#include "data/app_db_mng.h"

#include "common/settings_keys.h"
#include "common/ui.h"
#include "data/conversions.h"
#include "data/field_access.h"
#include "data/schema.h"

namespace lagrull::data {

RegisterTables::RegisterTables(TDatabase& db)
    : CpTab(db, copytabDef().TableName),
      KontTable(db, kontgrpDef().TableName),
      BetTable(db, mbetregDef().TableName),
      tbRelReg(db, relregDef().TableName),
      tbRelRegStandard(db, relregStandardDef().TableName),
      OrgTable(db, orgregDef().TableName),
      MedlTable(db, medlregDef().TableName) {}

std::int64_t TOrganisasjon::OrgNr() const { return FieldInt(table_, "ORGNR"); }
std::string TOrganisasjon::OrgNavn() const { return FieldText(table_, "ORGNAVN"); }
std::string TOrganisasjon::Adresse() const { return FieldText(table_, "ADRESSE"); }
std::string TOrganisasjon::Adresse2() const { return FieldText(table_, "ADRESSE2"); }
std::string TOrganisasjon::PostNr() const { return FieldText(table_, "POSTNR"); }
std::string TOrganisasjon::PostSted() const { return FieldText(table_, "POSTSTED"); }
std::string TOrganisasjon::Bankkonto() const { return FieldText(table_, "BANKKONTO"); }

std::string TOrganisasjon::EkstraNavn(int number) const {
    if (number < 1 || number > 10)
        throw EOrvTableException("Ekstrafelt " + std::to_string(number) + " finnes ikke");
    return FieldText(table_, "EKSTRANAVN" + std::to_string(number));
}

TAppDbMng::TAppDbMng(TOrvDbMng& dbMng, const std::string& settingsFile)
    : dbMng_(dbMng), registerKind_(registerKindSetting(settingsFile)) {}

void TAppDbMng::OpenTables(RegisterTables& t) {
    WaitWindow wait(dbMng_.ui(), "VENT!", "Initialiserer.....kan ta tid..");
    dbMng_.OpenOrCreateTable(t.CpTab, copytabDef(), false);
    dbMng_.OpenOrCreateTable(t.KontTable, kontgrpDef(), true);
    dbMng_.OpenOrCreateTable(t.BetTable, mbetregDef(), false);
    dbMng_.OpenOrCreateTable(t.tbRelReg, relregDef(), true);
    dbMng_.OpenOrCreateTable(t.tbRelRegStandard, relregStandardDef(), true);
    dbMng_.OpenOrCreateTable(t.OrgTable, orgregDef(), true, ConvertOrganisation);
    dbMng_.OpenOrCreateTable(t.MedlTable, medlregDef(), true, ConvertMember);
    organisasjon_ = std::make_unique<TOrganisasjon>(t.OrgTable);
}

std::vector<std::string> TAppDbMng::Reindex(RegisterTables& t) {
    WaitWindow wait(dbMng_.ui(), "VENT!", "Reindekserer......");
    std::vector<std::string> failed;
    for (TOrvTable* table : {&t.CpTab, &t.KontTable, &t.BetTable, &t.tbRelReg, &t.tbRelRegStandard,
                             &t.OrgTable, &t.MedlTable})
        if (!dbMng_.RebuildIndexes(*table)) failed.push_back(table->tableName());
    return failed;
}

}  // namespace lagrull::data
