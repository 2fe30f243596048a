#pragma once
// TKopier: copying the chosen members into another organisation (or giving
// them a new category or payment method within their own), and deleting the
// chosen members. Step 1 is the copy/delete window (TStartKopierStep), step
// 2 asks whether to make a selection, step 3 is the selection window.
//
// Invariants:
// - Nothing changes before the user has confirmed; then the categories
//   created in the target and every member row change in one transaction,
//   all or none.
// - Deleting removes member rows only; the members' claims and relations
//   stay, and the closing message says how many stay.
// - A copy writes the member's own fields and leaves the target row's
//   e-mail, notice code, company and member-since date as they were.

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
class TOrvQuery;
class TOrvTable;
}  // namespace lagrull::data

namespace lagrull {

enum class TKopierMode { Copy = 0, Delete = 1 };

inline constexpr const char* kUendret = "<UENDRET>";

// The payment-method entries of the copy window and their BETALING codes;
// "<UENDRET>" (code -1) keeps each member's own.
struct TBetalingEntry {
    const char* text;
    int code;
};
const std::vector<TBetalingEntry>& KopierBetalingEntries();

struct TOrgEntry {
    std::int64_t orgNr = 0;
    std::string navn;
};

// Step 1, "TfoStartKopier".
class TStartKopierStep : public reports::TWizardStep {
public:
    // Fills the lists: every organisation, the current one as the target,
    // its categories.
    void Setup(data::TDatabase& db, TKopierMode mode, std::int64_t orgNr, const std::string& navn);
    TKopierMode Mode() const { return mode_; }
    const std::string& Caption() const { return caption_; }
    const std::string& FraNavn() const { return fraNavn_; }
    int HelpTopic() const { return mode_ == TKopierMode::Copy ? 31 : 26; }

    const std::vector<TOrgEntry>& Organisations() const { return organisations_; }
    int Target() const { return target_; }  // index in Organisations()
    // A new target refills the categories ("<UENDRET>" first) and chooses
    // "<UENDRET>".
    void SetTarget(int index);
    const TOrgEntry& TargetOrg() const {
        return organisations_.at(static_cast<std::size_t>(target_));
    }

    reports::TChoiceSelection Kategori;  // "<UENDRET>", the target's categories
    int Betaling = 0;                    // index in KopierBetalingEntries()

protected:
    virtual void SetupChanged() {}
    virtual void CategoriesChanged() {}

private:
    data::TDatabase* db_ = nullptr;
    TKopierMode mode_ = TKopierMode::Copy;
    std::string caption_, fraNavn_;
    std::vector<TOrgEntry> organisations_;
    int target_ = 0;
};

using TStartKopierStepFactory = std::function<std::unique_ptr<TStartKopierStep>()>;

// The choices of the copy window, for Run without the wizard.
struct TKopierChoice {
    std::int64_t targetOrgNr = 0;
    std::string targetNavn;
    std::string kategori = kUendret;
    int betaling = -1;  // code, -1 unchanged
};

struct TKopierOutcome {
    bool done = false;
    int count = 0;                // deleted or copied
    long long claimsLeft = 0;     // delete: claims of the deleted members still held
    long long relationsLeft = 0;  // delete: their relations still held
};

class TKopier : public reports::TQueryBuilder, private reports::TSelectionContributor {
public:
    TKopier(Ui& ui, data::TOrvDbMng& dbMng, reports::TSelectionStepFactory& steps,
            TStartKopierStepFactory start, data::TOrvTable& organisations,
            data::TOrvTable& members);

    // The whole function: the wizard, the confirmation, the pass; the member
    // table is refreshed at the end.
    TKopierOutcome Execute(TKopierMode mode);

    // After the wizard: refuses a copy that changes nothing, confirms and
    // runs. `criteria` is the selection window's state when it was passed.
    TKopierOutcome Run(TKopierMode mode, const TKopierChoice& choice,
                       const reports::TUtvalgskriterier* criteria);

private:
    const reports::TStringList& SelectItems() override;
    const reports::TStringList& FromItems() override;
    const reports::TStringList& WhereItems() override;
    const reports::TQueryParamList& ParamItems() override;
    const reports::TStringList& OrderByItems() override;

    void createMissingCategories(std::int64_t target);
    void copyMembers(data::TOrvQuery& query, const TKopierChoice& choice, TKopierOutcome& out);
    void deleteMembers(data::TOrvQuery& query, TKopierOutcome& out);

    Ui& ui_;
    data::TOrvDbMng& dbMng_;
    data::TDatabase& db_;
    reports::TSelectionStepFactory& steps_;
    TStartKopierStepFactory start_;
    data::TOrvTable& organisations_;
    data::TOrvTable& members_;
    std::int64_t orgNr_ = 0;
    std::string orgNavn_;
    TKopierMode mode_ = TKopierMode::Copy;  // what the member query is read for

    reports::TStringList select_, from_, where_, orderBy_;
    reports::TQueryParamList params_;
};

// Whether a copy into the member's own organisation changes anything: a
// category or payment method other than "<UENDRET>" and other than the one
// the selection picked its members by.
bool KopierChangesSomething(const TKopierChoice& choice,
                            const reports::TUtvalgskriterier* criteria);

}  // namespace lagrull
