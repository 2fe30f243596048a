#include "payments/betalinger.h"

#include <charconv>

#include "common/dates.h"
#include "common/error.h"
#include "common/ui.h"
#include "data/app_db_mng.h"
#include "data/field_access.h"
#include "data/orv_table.h"
#include "payments/giro_run.h"

namespace lagrull {

namespace {

constexpr int kStepStart = 1, kStepHvem = 2, kStepUtvalg = 3;

// A typed date without its mask's dots and blanks is no date at all.
bool blankDate(const std::string& typed) {
    return typed.find_first_not_of(". ") == std::string::npos;
}

bool moveEntry(std::vector<std::string>& from, std::vector<std::string>& to, int index) {
    if (index < 0 || index >= static_cast<int>(from.size())) return false;
    to.push_back(from[static_cast<std::size_t>(index)]);
    from.erase(from.begin() + index);
    return true;
}

std::optional<std::int64_t> wholeNumber(const std::string& text) {
    std::int64_t value = 0;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    if (text.empty() || error != std::errc() || stop != end) return std::nullopt;
    return value;
}

}  // namespace

const std::vector<std::string>& BelopskildeCaptions() {
    static const std::vector<std::string> captions = {"tilknyttet kategori  ", "medlemsregister  ",
                                                      "manuelt angitt beløp  ",
                                                      "tilknyttet gruppe/relasjon  "};
    return captions;
}

// --- step 1 ---------------------------------------------------------------

void TStartGenStep::Setup(Ui& ui, data::TDatabase& db, std::int64_t orgNr) {
    ui_ = &ui;
    db_ = &db;
    orgNr_ = orgNr;
    claimDates_.clear();
    data::GetClaimDates(db, orgNr, claimDates_);
    data::GetRelationNames(db, orgNr, fra_);
    til_.clear();
    EntriesChanged();
}

void TStartGenStep::ChooseClaimDate(int index) {
    if (index < 0 || index >= static_cast<int>(claimDates_.size())) return;
    KontDato = claimDates_[static_cast<std::size_t>(index)];
    if (!typed_ && db_)
        if (auto description = claimDescription(*db_, orgNr_, shownToStored(KontDato)))
            tekst_ = *description;
    EntriesChanged();
}

void TStartGenStep::TypeTekst(const std::string& text) {
    tekst_ = text;
    typed_ = !text.empty();
}

bool TStartGenStep::MoveToTil(int index) { return moveEntry(fra_, til_, index); }

bool TStartGenStep::MoveToFra(int index) { return moveEntry(til_, fra_, index); }

bool TStartGenStep::CheckNext() {
    failed_ = Field::None;
    if (blankDate(KontDato)) {
        failed_ = Field::KontDato;
        ui_->error("Forfallsdato må angis.", "Feil!");
    } else if (!parseShownDate(KontDato)) {
        failed_ = Field::KontDato;
        ui_->error("Forfallsdatoen " + KontDato + " er ikke en gyldig dato.", "Feil!");
    } else if (source_ == AmountSource::Manual && !wholeNumber(Belop)) {
        failed_ = Field::Belop;
        ui_->error("Beløpet må være et heltall, for eksempel 350 eller -50.", "Feil!");
    }
    return failed_ == Field::None;
}

ClaimSpec TStartGenStep::Chosen(std::int64_t orgNr, RegisterKind registerKind) const {
    ClaimSpec job;
    job.orgNr = orgNr;
    if (const auto date = parseShownDate(KontDato)) job.dueDate = date->stored();
    job.withKid = KidRef;
    job.description = tekst_;
    job.source = source_;
    if (source_ == AmountSource::Manual) job.manualAmount = wholeNumber(Belop).value_or(0);
    if (source_ == AmountSource::Relations) job.relations = til_;
    job.registerKind = registerKind;
    return job;
}

// --- the run --------------------------------------------------------------

TBetalinger::TBetalinger(Ui& ui, data::TOrvDbMng& dbMng, reports::TSelectionStepFactory& steps,
                         TStartGenStepFactory start, data::TOrvTable& organisations,
                         data::TOrvTable& members, RegisterKind registerKind)
    : ui_(ui),
      dbMng_(dbMng),
      db_(members.database()),
      steps_(steps),
      start_(std::move(start)),
      organisations_(organisations),
      members_(members),
      registerKind_(registerKind) {}

TBetalingerOutcome TBetalinger::Run(const std::function<void()>& giro) {
    const std::int64_t orgNr = data::FieldInt(organisations_, "ORGNR");
    reports::TWizard wizard(kStepStart, kStepUtvalg);
    wizard.SetStep(kStepStart, {[this, orgNr]() -> std::unique_ptr<reports::TWizardStep> {
                                    std::unique_ptr<TStartGenStep> w = start_();
                                    w->Setup(ui_, db_, orgNr);
                                    return w;
                                },
                                [this, orgNr](reports::TWizardStep& w, int result) {
                                    if (result != reports::kStepNext)
                                        return reports::TWizard::kAbort;
                                    spec_ =
                                        static_cast<TStartGenStep&>(w).Chosen(orgNr, registerKind_);
                                    return kStepHvem;
                                }});
    wizard.SetStep(kStepHvem,
                   reports::WhoStep(steps_, "Hvem skal ha betalingskravet?",
                                    {"Alle medlemmer", "Utvalg"}, kStepStart, kStepUtvalg));
    wizard.SetStep(kStepUtvalg, reports::CriteriaStep(steps_, dbMng_, organisations_, members_));

    // Step 1's part of the query, from the settings its window was last
    // left forwards with.
    TClaimQuery own(spec_);
    if (!wizard.Run(*this, &own)) return {};

    std::vector<std::string> dates = wizard.Window<TStartGenStep>(kStepStart)->ClaimDates();
    if (!confirmClaimGeneration(ui_, spec_, dates)) return {};
    TBetalingerOutcome out;
    out.result = generateClaims(db_, ui_, spec_, *this);
    out.generated = true;
    if (out.result.written == 0) {
        ui_.information("", "Ingen poster generert!");
    } else if (giro && ui_.confirm("Betalingsposter er generert", "Gå videre til giroutskrift?")) {
        giro();
    }
    return out;
}

}  // namespace lagrull
