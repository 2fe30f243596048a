#pragma once
// Claim generation: one claim (MBETREG row) per member of a member query and
// one due date, with amount, payment method, KID and description.
//
// Invariants of the pass:
// - It runs in one transaction: a killed process leaves all claims of the
//   run or none. A failure part-way keeps (commits) the claims written
//   before it and is passed on, as the treasurer expects of a pass that
//   writes each claim as soon as it is computed.
// - An existing claim of the member and date is rewritten: BELOP through
//   REL5 are replaced or cleared (a paid claim becomes unpaid again),
//   REL6–REL14 keep their values unless a chosen relation fills them.
// - A KID is written only when it is whole: a member number that is not all
//   digits, or a KID too long for the field, gives a claim without KID and
//   a warning; the warnings of a run are shown once, as one list.

#include <cstdint>
#include <string>
#include <vector>

#include "common/settings_keys.h"
#include "reports/wizard.h"

namespace lagrull {
class Ui;
namespace data {
class TDatabase;
}

enum class AmountSource { Category = 0, Member = 1, Manual = 2, Relations = 3 };

struct ClaimSpec {
    std::int64_t orgNr = 0;
    std::string dueDate;  // "DDMMYYYY"
    bool withKid = true;
    std::string description;
    AmountSource source = AmountSource::Category;
    std::int64_t manualAmount = 0;       // whole kroner, with AmountSource::Manual
    std::vector<std::string> relations;  // with AmountSource::Relations, in column order
    RegisterKind registerKind = RegisterKind::Members;
};

// What step 1 of the wizard gives the query builder: the member, its
// amounts and, for the category source, the category row. Reads the run's
// choices when the builder asks, so it may be made before they are.
class TClaimQuery : public reports::TSelectionContributor {
public:
    explicit TClaimQuery(const ClaimSpec& job) : spec_(job) {}
    const reports::TStringList& SelectItems() override;
    const reports::TStringList& FromItems() override;
    const reports::TStringList& WhereItems() override;
    const reports::TQueryParamList& ParamItems() override;
    const reports::TStringList& OrderByItems() override;

private:
    const ClaimSpec& spec_;
    reports::TStringList select_, from_, where_, orderBy_;
    reports::TQueryParamList params_;
};

// Feeds step 1's part of the member query to `builder`.
void addClaimQuery(reports::TQueryBuilder& builder, const ClaimSpec& job);

// The warning before anything is written; `claimDates` are the dates that
// already have claims ("DD.MM.YYYY"). False when the user answered No.
bool confirmClaimGeneration(Ui& ui, const ClaimSpec& job,
                            const std::vector<std::string>& claimDates);

struct ClaimResult {
    long long written = 0;
    std::vector<std::string> withoutKid;  // member numbers whose claim got no KID
};

// The generation pass over the member query the builder holds, under the
// progress window. Shows the KID warnings once at the end.
ClaimResult generateClaims(data::TDatabase& db, Ui& ui, const ClaimSpec& job,
                           const reports::TQueryBuilder& memberQuery);

// The one box that lists the members whose claim got no KID.
void showKidWarnings(Ui& ui, const std::vector<std::string>& memberNumbers);
std::string kidWarningText(const std::vector<std::string>& memberNumbers);

}  // namespace lagrull
