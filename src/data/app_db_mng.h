#pragma once
// The application's data store: the main window's table objects, the
// manager that opens them at start, the current organisation, and the
// shared look-up lists.

#include <memory>
#include <string>
#include <vector>

#include "common/settings_keys.h"
#include "data/db_manager.h"
#include "data/orv_table.h"

namespace lagrull::data {

// The table objects the main window owns, named as it names them.
struct RegisterTables {
    explicit RegisterTables(TDatabase& db);
    TOrvTable CpTab;             // COPYTAB.DB
    TOrvTable KontTable;         // KONTGRP.DB
    TOrvTable BetTable;          // MBETREG.DB
    TOrvTable tbRelReg;          // RELREG.DB
    TOrvTable tbRelRegStandard;  // RelregStandard.db
    TOrvTable OrgTable;          // ORGREG.DB
    TOrvTable MedlTable;         // MEDLREG.DB
};

// The current organisation: the organisation table's current row, read at
// the moment of each call.
class TOrganisasjon {
public:
    explicit TOrganisasjon(TOrvTable& orgTable) : table_(orgTable) {}
    std::int64_t OrgNr() const;
    std::string OrgNavn() const;
    std::string Adresse() const;
    std::string Adresse2() const;
    std::string PostNr() const;
    std::string PostSted() const;
    std::string Bankkonto() const;
    std::string EkstraNavn(int number) const;  // 1 … 10

private:
    TOrvTable& table_;
};

class TAppDbMng {
public:
    // Reads RegisterKind from the settings file (section "Setup", key
    // "Register"; 0 when missing).
    TAppDbMng(TOrvDbMng& dbMng, const std::string& settingsFile);

    lagrull::RegisterKind RegisterKind() const { return registerKind_; }
    TOrvDbMng& dbMng() { return dbMng_; }

    // Creates, repairs and upgrades the seven tables in their fixed order,
    // under the wait window, and binds Organisasjon to the organisation table.
    void OpenTables(RegisterTables& tables);
    // Rebuilds the indexes of all tables; the tables that failed, by name.
    std::vector<std::string> Reindex(RegisterTables& tables);

    // After OpenTables; nullptr before.
    TOrganisasjon* Organisasjon() { return organisasjon_.get(); }

private:
    TOrvDbMng& dbMng_;
    lagrull::RegisterKind registerKind_ = lagrull::RegisterKind::Members;
    std::unique_ptr<TOrganisasjon> organisasjon_;
};

// The distinct relation names of RELREG and RelregStandard, merged and
// sorted; they replace the list.
void GetRelationNames(TDatabase& db, std::int64_t orgNr, std::vector<std::string>& list);
// "MEDLNR=ENAVN, FORNAVN" per member, by name; the list is cleared first.
void GetMemberList(TDatabase& db, std::int64_t orgNr, std::vector<std::string>& list);
// The claim dates as "DD.MM.YYYY", newest first, added to the list.
void GetClaimDates(TDatabase& db, std::int64_t orgNr, std::vector<std::string>& list);

}  // namespace lagrull::data
