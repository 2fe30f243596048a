#include "payments/giro_wizard.h"

#include "common/dates.h"
#include "common/error.h"
#include "common/ini.h"
#include "common/ui.h"
#include "data/app_db_mng.h"
#include "data/db_manager.h"
#include "data/field_access.h"
#include "data/orv_table.h"
#include "payments/giro_export.h"

namespace lagrull {

namespace {

constexpr int kStepStart = 1, kStepHvem = 2, kStepUtvalg = 3;
// "Giro[2]" of the selection window's payment methods.
constexpr int kBetalingGiro = 2;

}  // namespace

const std::vector<std::string>& OppdragsTypeCaptions() {
    static const std::vector<std::string> captions = {"Kontingent ", "Annen betaling "};
    return captions;
}

const std::vector<std::string>& GiroNameCaptions() {
    static const std::vector<std::string> captions = {"<Etternavn>, <Fornavn> ",
                                                      "<Fornavn> <Etternavn> "};
    return captions;
}

const std::vector<std::string>& OppsettCaptions() {
    static const std::vector<std::string> captions = {"Egendef.", "Std. oppsett",
                                                      "Alle grupper/relasj."};
    return captions;
}

const std::vector<std::string>& LineKindCaptions() {
    static const std::vector<std::string> captions = {"Fritekst", "Flettefelt"};
    return captions;
}

// --- step 1 ---------------------------------------------------------------

void TStartGiroStep::Setup(Ui& ui, data::TDatabase& db, std::int64_t orgNr) {
    ui_ = &ui;
    db_ = &db;
    orgNr_ = orgNr;
    dates_.clear();
    data::GetClaimDates(db, orgNr, dates_);
    // Every line starts as free text, its merge-field list on the first item.
    for (GiroTextLine& line : Lines) line = {TextLineKind::Fritekst, {}, "MEDLNR"};
    ChooseDate(dates_.empty() ? -1 : 0);
}

void TStartGiroStep::ChooseDate(int index) {
    date_ = index >= 0 && index < static_cast<int>(dates_.size()) ? index : -1;
    std::optional<std::string> description;
    if (date_ >= 0 && db_)
        description =
            claimDescription(*db_, orgNr_, shownToStored(dates_[static_cast<std::size_t>(date_)]));
    hasClaims_ = description.has_value();
    description_ = description.value_or("");
    Lines[0].text = description_;
    EntriesChanged();
}

void TStartGiroStep::ApplyOppsett(GiroPreset preset) {
    Oppsett = preset;
    GiroSpec lines;
    lines.lines = Lines;
    applyPreset(lines, preset, description_);
    Lines = lines.lines;
    EntriesChanged();
}

void TStartGiroStep::SetLineKind(int line, TextLineKind kind) {
    if (line < 0 || line >= kGiroTextLines) return;
    GiroTextLine& l = Lines[static_cast<std::size_t>(line)];
    if (l.kind != kind && kind == TextLineKind::Fritekst) l.text.clear();
    l.kind = kind;
}

bool TStartGiroStep::CheckNext() {
    if (date_ < 0) {
        ui_->error("Forfallsdato må angis.", "FEIL!");
        return false;
    }
    // The window disables "Neste" instead; a console step gets the panel's text.
    if (!hasClaims_) {
        ui_->error("Ingen giro å skrive ut på valgt forfallsdato!", "FEIL!");
        return false;
    }
    return true;
}

GiroSpec TStartGiroStep::Chosen(std::int64_t orgNr) const {
    GiroSpec job;
    job.orgNr = orgNr;
    if (date_ >= 0) job.dueDate = shownToStored(dates_[static_cast<std::size_t>(date_)]);
    job.payerAccount = BetKonto;
    job.kind = OppdragsType;
    job.name = GiroNavn;
    job.lines = Lines;
    return job;
}

// --- the run --------------------------------------------------------------

TGiro::TGiro(Ui& ui, data::TOrvDbMng& dbMng, reports::TSelectionStepFactory& steps,
             TStartGiroStepFactory start, data::TOrvTable& organisations, data::TOrvTable& members)
    : ui_(ui),
      dbMng_(dbMng),
      db_(members.database()),
      steps_(steps),
      start_(std::move(start)),
      organisations_(organisations),
      members_(members) {}

bool TGiro::RunWizard() {
    const std::int64_t orgNr = data::FieldInt(organisations_, "ORGNR");
    reports::TWizard wizard(kStepStart, kStepUtvalg);
    wizard.SetStep(kStepStart, {[this, orgNr]() -> std::unique_ptr<reports::TWizardStep> {
                                    std::unique_ptr<TStartGiroStep> w = start_();
                                    w->Setup(ui_, db_, orgNr);
                                    return w;
                                },
                                [this, orgNr](reports::TWizardStep& w, int result) {
                                    if (result != reports::kStepNext)
                                        return reports::TWizard::kAbort;
                                    spec_ = static_cast<TStartGiroStep&>(w).Chosen(orgNr);
                                    return kStepHvem;
                                }});
    wizard.SetStep(kStepHvem,
                   reports::WhoStep(steps_, "Hvilke betalingsposter skal skrives ut?",
                                    {"Alle betalingsposter på gitt forfall", "Utvalg"}, kStepStart,
                                    kStepUtvalg, [this](int) { spec_.selectionUsed = false; }));
    reports::TWizard::Step criteria = reports::CriteriaStep(
        steps_, dbMng_, organisations_, members_, [this](reports::TWizardStep&, int result) {
            if (result == reports::kStepBack) return kStepHvem;
            if (result != reports::kStepNext) return reports::TWizard::kAbort;
            spec_.selectionUsed = true;
            return kStepUtvalg + 1;
        });
    // A fee run prints giros for giro payers: the selection starts there.
    criteria.create = [this, create = criteria.create]() {
        std::unique_ptr<reports::TWizardStep> w = create();
        if (spec_.kind == GiroKind::Kontingent)
            static_cast<reports::TUtvalgskriterierStep&>(*w).PresetBetaling(kBetalingGiro);
        return w;
    };
    wizard.SetStep(kStepUtvalg, std::move(criteria));
    TGiroQuery own(spec_);
    return wizard.Run(*this, &own);
}

long long TGiro::WriteFile(const std::filesystem::path& file) {
    return writeGiroFile(db_, ui_, spec_, *this, readPayee(db_, spec_.orgNr), file);
}

void TGiro::Execute(const std::function<std::filesystem::path()>& program) {
    if (!RunWizard()) return;
    const std::filesystem::path printer = program();
    if (printer.empty()) {
        ui_.error("Palvik er ikke installert", "FEIL!");
        return;
    }
    const std::filesystem::path file = std::filesystem::path(dbMng_.dataPath()) / kGiroFileName;
    WriteFile(file);
    startGiroProgram(ui_, printer, file);
}

bool kundeenhetsIdGiven(Ui& ui, const std::string& settingsFile) {
    std::string id;
    try {
        TOrvIni ini(settingsFile, IniMode::Read);
        ini.useSection("Setup");
        id = ini.readText("KundeenhetsID", "");
    } catch (const FileError&) {
        // no settings file: no customer unit either
    }
    if (!id.empty()) return true;
    ui.error("KundeEnhetsID for Organisasjonen må angis for å kunne generere AvtaleGiroer!",
             "Feil!");
    return false;
}

}  // namespace lagrull
