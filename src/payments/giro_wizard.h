#pragma once
// TGiro: giro printing as the user runs it. Step 1 is the giro window
// (TStartGiroStep, "Send til giroutskrift"), step 2 asks which claims to
// print, step 3 is the selection window (its payment method preset to Giro
// in a fee run); then the giro pass writes BANKGIRO.TXT and the giro printer
// is started with it.
//
// Invariants:
// - "Neste" of step 1 leads on only with a date that has claims.
// - The giro-payer condition of a fee run holds only when the selection
//   step was not used (last left backwards or never reached).
// - Without a giro printer nothing is written.

#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "payments/giro_run.h"
#include "reports/selection_steps.h"

namespace lagrull::data {
class TDatabase;
class TOrvDbMng;
class TOrvTable;
}  // namespace lagrull::data

namespace lagrull {

// The captions of " Oppdragstype ", " Vis navn som " and " Girotekst
// oppsett ", in item order.
const std::vector<std::string>& OppdragsTypeCaptions();
const std::vector<std::string>& GiroNameCaptions();
const std::vector<std::string>& OppsettCaptions();
// The kinds of a text line as its drop-down shows them.
const std::vector<std::string>& LineKindCaptions();

// Step 1, "TfoStartGiro".
class TStartGiroStep : public reports::TWizardStep {
public:
    // Fills the due dates (newest first), chooses the newest and refreshes.
    void Setup(Ui& ui, data::TDatabase& db, std::int64_t orgNr);

    const std::vector<std::string>& GiroDates() const { return dates_; }  // "DD.MM.YYYY"
    int GiroDate() const { return date_; }  // index in GiroDates(), -1 when none
    // A date chosen: line 1 gets the date's description; without claims on
    // the date HasClaims() is false and "Neste" is disabled.
    void ChooseDate(int index);
    bool HasClaims() const { return hasClaims_; }
    const std::string& Description() const { return description_; }

    bool BetKonto = false;  // "Betalers kontonr. på giro"
    GiroKind OppdragsType = GiroKind::Kontingent;
    GiroName GiroNavn = GiroName::EtternavnFornavn;
    GiroPreset Oppsett = GiroPreset::Egendef;
    std::array<GiroTextLine, kGiroTextLines> Lines;

    // A preset radio button: the lines as the preset gives them.
    void ApplyOppsett(GiroPreset preset);
    // A line's kind changed by hand; "Fritekst" starts empty.
    void SetLineKind(int line, TextLineKind kind);

    // On "Neste": false, after the message, when no date is chosen.
    bool CheckNext();
    GiroSpec Chosen(std::int64_t orgNr) const;

protected:
    // The window shows the entries anew (after Setup, a date, a preset).
    virtual void EntriesChanged() {}

private:
    Ui* ui_ = nullptr;
    data::TDatabase* db_ = nullptr;
    std::int64_t orgNr_ = 0;
    std::vector<std::string> dates_;
    int date_ = -1;
    bool hasClaims_ = false;
    std::string description_;
};

using TStartGiroStepFactory = std::function<std::unique_ptr<TStartGiroStep>()>;

class TGiro : public reports::TQueryBuilder {
public:
    TGiro(Ui& ui, data::TOrvDbMng& dbMng, reports::TSelectionStepFactory& steps,
          TStartGiroStepFactory start, data::TOrvTable& organisations, data::TOrvTable& members);

    // The wizard; true when it was finished and the query is built.
    bool RunWizard();
    const GiroSpec& Chosen() const { return spec_; }
    // The giro pass into `file` after RunWizard: the number of giros.
    long long WriteFile(const std::filesystem::path& file);

    // The whole run as the register does it: the wizard, then, with a giro
    // printer installed, BANKGIRO.TXT in the database directory and the
    // printer started with it. `program` finds the printer.
    void Execute(const std::function<std::filesystem::path()>& program = findGiroProgram);

private:
    Ui& ui_;
    data::TOrvDbMng& dbMng_;
    data::TDatabase& db_;
    reports::TSelectionStepFactory& steps_;
    TStartGiroStepFactory start_;
    data::TOrvTable& organisations_;
    data::TOrvTable& members_;
    GiroSpec spec_;
};

// The AvtaleGiro buttons of "Giroutskrifter" need the organisation's
// customer unit (KundeenhetsID in section Setup of the settings file);
// false, after the message, when it is missing or empty.
bool kundeenhetsIdGiven(Ui& ui, const std::string& settingsFile);

}  // namespace lagrull
