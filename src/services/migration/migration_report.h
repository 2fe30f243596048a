#pragma once
// What a migration from an older register's Paradox tables did: per table
// the rows read and taken, every row not taken with its reason, the files
// and settings taken over, and the checks made on the new register.

#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace lagrull::migration {

struct RefusedRow {
    long long record = 0;  // 1-based record number in the source file
    std::string reason;    // Norwegian, names the row's key when known
};

struct TableOutcome {
    std::string table;         // "MEDLREG.DB"
    bool found = false;        // present in the source directory
    std::string codePage;      // "1252" or "865"
    bool upgraded = false;     // an older layout, brought up by the upgrade
    long long sourceRows = 0;  // records the source file holds
    long long taken = 0;       // rows stored
    long long droppedByUpgrade = 0;
    long long registerRows = 0;  // rows in the register afterwards
    std::vector<RefusedRow> refused;
};

// Sums of one organisation's claims of one due date, in øre.
struct ClaimSums {
    std::int64_t claimed = 0;
    std::int64_t paid = 0;
    long long claims = 0;
    bool operator==(const ClaimSums&) const = default;
};
using ClaimKey = std::pair<std::int64_t, std::string>;  // ORGNR, DATO
using ClaimSumMap = std::map<ClaimKey, ClaimSums>;

struct SumDifference {
    ClaimKey key;
    ClaimSums source, target;
};

struct MigrationChecks {
    bool countsEqual = true;
    long long kidsChecked = 0;
    long long claimsWithoutKid = 0;
    std::vector<std::string> kidFaults;  // one line per claim whose KID does not match
    long long sumGroups = 0;             // organisation and due date pairs compared
    std::vector<SumDifference> sumDifferences;
    bool passed() const { return countsEqual && kidFaults.empty() && sumDifferences.empty(); }
};

struct MigrationReport {
    std::string sourceDirectory;
    bool cancelled = false;
    std::string backupFile;  // the replaced register, kept beside the new one
    std::vector<TableOutcome> tables;
    std::vector<std::string> settingsTaken;  // "Setup/FONTSIZE"
    std::vector<std::string> filesCopied;    // target paths
    std::vector<std::string> filesKept;      // earlier files moved aside, by their new names
    bool registerKindChanged = false;
    MigrationChecks checks;

    long long refusedRows() const;
};

// The report as text lines (stable, for lagrul-cli and the report file).
// `maxRefused` limits the rows named per table (0: all); ranges of
// neighbouring records refused for the same reason are named once.
std::string reportText(const MigrationReport& report, std::size_t maxRefused = 0);
// A short form for a message box: tables, checks, and where the rest is.
std::string reportSummary(const MigrationReport& report, const std::string& reportFile);

}  // namespace lagrull::migration
