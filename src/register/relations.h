#pragma once
// TRel: one run of the standard-list wizard of groups and relations. A new,
// edited or deleted standard relation is applied to many members at once:
// step 1 names the relation (TRelasjonerStep), step 2 asks whom it concerns
// (the who-step), step 3 is the selection window when a selection choice was
// made.
//
// Invariants:
// - Before the wizard, every relation name used by a member of the
//   organisation is in its standard list (RepairStandardList); when a name
//   had to be added the run ends, so the user sees the list first.
// - ApplyRelation runs in one transaction: the standard row, the existing
//   links and the members' rows change together or not at all.
// - Names reach the SQL only as parameters, so a name with quotes in it
//   (O'Brien's) neither fails nor matches other rows.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "reports/selection_steps.h"

namespace lagrull {
class Ui;
}
namespace lagrull::data {
class TDatabase;
class TOrvDbMng;
class TOrvTable;
}  // namespace lagrull::data

namespace lagrull {

enum class TRelOperation { New, Delete, Edit };

// The choices of the who-step, by position, per operation.
enum TRelChoice : int {
    kRelAlle = 0,               // "Alle" / "Slett gruppe/relasjon og alle tilknytninger"
    kRelUtvalg = 1,             // new and delete: "Utvalg" / "Slett for spesifikt utvalg"
    kRelKunEksisterende = 1,    // edit: "Kun for eksisterende tilknytninger"
    kRelEksisterendePluss = 2,  // edit: "For eksisterende tilknytninger + nytt utvalg"
    kRelNyttUtvalg = 3,         // edit: "Nytt utvalg (og fjern eksisterende)"
};

// The standard row being worked on.
struct TRelValues {
    std::string navn, tekst;
    double belop = 0;
};

// Step 1, "TfoRelasjoner": the relation's name, description and amount.
class TRelasjonerStep : public reports::TWizardStep {
public:
    void Setup(TRelOperation operation, const TRelValues& old);
    const std::string& Caption() const { return caption_; }
    // Deleting shows the fields without letting them change.
    bool FieldsEnabled() const { return operation_ != TRelOperation::Delete; }
    TRelValues Values;

protected:
    virtual void SetupChanged() {}

private:
    TRelOperation operation_ = TRelOperation::New;
    std::string caption_;
};

using TRelasjonerStepFactory = std::function<std::unique_ptr<TRelasjonerStep>()>;

// The who-step's caption and choices for an operation.
std::string RelWhoCaption(TRelOperation operation);
std::vector<std::string> RelWhoChoices(TRelOperation operation);

// What ApplyRelation did, for the report and the tests.
struct TRelOutcome {
    bool applied = false;
    int count = 0;    // rows added, updated or removed for the members
    int removed = 0;  // old links removed by "Nytt utvalg (og fjern eksisterende)"
};

class TRel : public reports::TQueryBuilder, private reports::TSelectionContributor {
public:
    TRel(Ui& ui, data::TOrvDbMng& dbMng, reports::TSelectionStepFactory& steps,
         TRelasjonerStepFactory relasjoner, data::TOrvTable& organisations,
         data::TOrvTable& members);

    // From the standard list's navigator: the current standard row (for
    // edit and delete) gives the old values; both tables are refreshed at
    // the end on every path.
    TRelOutcome Execute(TRelOperation operation, data::TOrvTable& relReg,
                        data::TOrvTable& standard);
    // The same with the old values given.
    TRelOutcome Run(TRelOperation operation, const TRelValues& old);

    // Adds the missing names of members' relations to the standard list and
    // drops nameless standard rows; true when a name was added (the
    // "Operasjon avbrutt!" box has then been shown).
    bool RepairStandardList();
    // Applies the wizard's outcome (see the rules in relations.cpp).
    TRelOutcome ApplyRelation(TRelOperation operation, int choice, const TRelValues& old,
                              const TRelValues& now, bool selectionMade);

private:
    const reports::TStringList& SelectItems() override;
    const reports::TStringList& FromItems() override;
    const reports::TStringList& WhereItems() override;
    const reports::TQueryParamList& ParamItems() override;
    const reports::TStringList& OrderByItems() override;

    std::vector<std::string> selectedMembers();

    Ui& ui_;
    data::TOrvDbMng& dbMng_;
    data::TDatabase& db_;
    reports::TSelectionStepFactory& steps_;
    TRelasjonerStepFactory relasjoner_;
    data::TOrvTable& organisations_;
    data::TOrvTable& members_;
    std::int64_t orgNr_ = 0;

    reports::TStringList select_, from_, where_, orderBy_;
    reports::TQueryParamList params_;
};

// The organisation's standard list: whether it holds the name, and a row
// added to it.
bool StandardRelationExists(data::TDatabase& db, std::int64_t orgNr, const std::string& name);
void AddStandardRelation(data::TDatabase& db, std::int64_t orgNr, const TRelValues& values);

// Which who-step choices are which (see the header note).
bool RelChoiceIsSelection(TRelOperation operation, int choice);
bool RelChoiceKeepsExisting(TRelOperation operation, int choice);

}  // namespace lagrull
