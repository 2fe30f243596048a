#pragma once
// TBetalinger: claim generation as the user runs it. Step 1 is the claim
// window (TStartGenStep, "Spesifiser betalingskrav"), step 2 asks whether to
// make a selection, step 3 is the selection window; then the confirmation,
// the generation pass and the closing question.
//
// Invariants:
// - Nothing is written before the user has passed every step and answered
//   Yes to the confirmation; cancelling anywhere writes nothing.
// - The member query is step 1's part followed by the selection's, and the
//   selection counts only when its step was last left forwards.
// - The description follows the chosen due date's claims until the user
//   types one; emptying the field lets it follow again.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "payments/claim_generation.h"
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

// The amount sources as "Beløp fra" shows them, in item order.
const std::vector<std::string>& BelopskildeCaptions();

// Step 1, "TfoStartGen": the settings of one run. The window shows them and
// writes the user's entries back; the rules are here.
class TStartGenStep : public reports::TWizardStep {
public:
    // Fills the due-date helper (the organisation's claim dates, newest
    // first) and the available relations.
    void Setup(Ui& ui, data::TDatabase& db, std::int64_t orgNr);

    std::string KontDato;  // "Forfallsdato" as typed, "DD.MM.YYYY"
    bool KidRef = true;    // "Generer med KID"
    std::string Belop;     // "Spesifikt beløp", a whole number as typed

    const std::vector<std::string>& ClaimDates() const { return claimDates_; }
    // A date of the helper: copied into the due date; unless the user has
    // typed a description, the first description of that date's claims is
    // taken.
    void ChooseClaimDate(int index);

    const std::string& Tekst() const { return tekst_; }
    // The user's typing: while the field is non-empty the description no
    // longer follows the chosen date.
    void TypeTekst(const std::string& text);

    AmountSource Belopskilde() const { return source_; }
    void SetBelopskilde(AmountSource source) { source_ = source; }
    // The amount field shows only for source 2, the relation lists only for 3.
    bool BelopVisible() const { return source_ == AmountSource::Manual; }
    bool RelationsVisible() const { return source_ == AmountSource::Relations; }

    // "lbFra" (available) and "lbTil" ("Valgte relasjoner", in column order).
    const std::vector<std::string>& Fra() const { return fra_; }
    const std::vector<std::string>& Til() const { return til_; }
    // Moves the entry to the end of the other list; false for no entry.
    bool MoveToTil(int index);
    bool MoveToFra(int index);

    // On "&Neste": true when the run may go on; otherwise the message has
    // been shown and the window stays (focus on the field named by
    // FailedField()).
    bool CheckNext();
    enum class Field { None, KontDato, Belop };
    Field FailedField() const { return failed_; }

    // The run's settings from the entries (after CheckNext passed).
    ClaimSpec Chosen(std::int64_t orgNr, RegisterKind registerKind) const;

protected:
    // The window shows the entries anew (after Setup, a chosen date).
    virtual void EntriesChanged() {}

private:
    Ui* ui_ = nullptr;
    data::TDatabase* db_ = nullptr;
    std::int64_t orgNr_ = 0;
    std::vector<std::string> claimDates_;
    std::string tekst_;
    bool typed_ = false;
    AmountSource source_ = AmountSource::Category;
    std::vector<std::string> fra_, til_;
    Field failed_ = Field::None;
};

using TStartGenStepFactory = std::function<std::unique_ptr<TStartGenStep>()>;

struct TBetalingerOutcome {
    bool generated = false;  // the pass ran
    ClaimResult result;
};

class TBetalinger : public reports::TQueryBuilder {
public:
    TBetalinger(Ui& ui, data::TOrvDbMng& dbMng, reports::TSelectionStepFactory& steps,
                TStartGenStepFactory start, data::TOrvTable& organisations,
                data::TOrvTable& members, RegisterKind registerKind);

    // The run. `giro` is the giro printing Yes to "Gå videre til
    // giroutskrift?" starts; without it the question is not asked.
    TBetalingerOutcome Run(const std::function<void()>& giro = {});

private:
    Ui& ui_;
    data::TOrvDbMng& dbMng_;
    data::TDatabase& db_;
    reports::TSelectionStepFactory& steps_;
    TStartGenStepFactory start_;
    data::TOrvTable& organisations_;
    data::TOrvTable& members_;
    RegisterKind registerKind_;
    ClaimSpec spec_;
};

}  // namespace lagrull
