#include "reports/rapp.h"

#include <algorithm>
#include <cctype>

#include "common/error.h"
#include "common/ini.h"
#include "common/ui.h"
#include "data/field_access.h"
#include "data/orv_query.h"
#include "data/orv_table.h"

namespace lagrull::reports {

namespace {

enum TRappStep { kStepEgenDef = 1, kStepHvem = 2, kStepUtvalg = 3, kStepUtskrifter = 4 };

constexpr const char* kSmrSection = "DATA";

bool holds(const TStringList& list, const std::string& item) {
    return std::find(list.begin(), list.end(), item) != list.end();
}

}  // namespace

// --- TRapport

const TStringList& TRapport::SelectItems() {
    select_.clear();
    for (const char* f :
         {"ORGNR",    "MEDLNR",    "FORNAVN",   "ENAVN",    "ADRESSE",    "ADRESSE2", "POSTNR",
          "POSTSTED", "TELEFON",   "BANKKONTO", "KATEGORI", "BETALING",   "NAVN",     "FDATO",
          "TEKST",    "BELOP",     "NMEDLNR",   "ADRESSE3", "EMAIL",      "EKSTRA1",  "EKSTRA2",
          "EKSTRA3",  "EKSTRA4",   "EKSTRA5",   "EKSTRA6",  "EKSTRA7",    "EKSTRA8",  "EKSTRA9",
          "EKSTRA10", "OLDPOSTNR", "VARSLING",  "FIRMA",    "MEDLFRADATO"})
        select_.push_back(std::string("m.") + f);
    select_.push_back(
        " substring(m.fdato from 5 for 4) || substring(m.fdato from 3 for 2)  || "
        "substring(m.fdato from 1 for 2) as fdato2 ");
    if (ClaimsJoined)
        select_.insert(select_.end(), {"b.dato as forfdato", "b.kid", "b.belop", "b.betdato",
                                       "b.betbelop", "b.betflag"});
    if (RelationsJoined)
        select_.insert(select_.end(),
                       {"r.belop as relbelop", "r.relasjon as relnavn", "r.tekst as reltekst"});
    return select_;
}

const TStringList& TRapport::FromItems() {
    from_ = {"medlreg m"};
    if (ClaimsJoined) from_.push_back("mbetreg b");
    if (RelationsJoined) from_.push_back("relreg r");
    return from_;
}

const TStringList& TRapport::WhereItems() {
    where_ = {"m.orgnr = :orgnr"};
    return where_;
}

const TQueryParamList& TRapport::ParamItems() {
    params_.Clear();
    params_.AddInteger("orgnr", orgNr_);
    return params_;
}

const TStringList& TRapport::OrderByItems() {
    orderBy_.clear();
    return orderBy_;
}

// --- TEgenDefStep

void TEgenDefStep::Setup(RegisterKind kind, const TExtraNames& extraNames) {
    catalogue_ = EgenDefCatalogue(kind, extraNames);
    for (int i = 0; i < kEgenDefRows; ++i) Rows[static_cast<std::size_t>(i)] = {0, i * 10};
    RowsChanged();
}

TReportColumn TEgenDefStep::Column(int row) const {
    const Row& r = Rows.at(static_cast<std::size_t>(row));
    TReportColumn c;
    if (r.entry > 0 && r.entry < static_cast<int>(catalogue_.size()))
        c.field = ParseCatalogueEntry(catalogue_[static_cast<std::size_t>(r.entry)]);
    c.position = r.position;
    return c;
}

bool TEgenDefStep::Uses(TTableGroup group) const {
    for (int i = 0; i < kEgenDefRows; ++i)
        if (Column(i).field.group == group) return true;
    return false;
}

std::filesystem::path TEgenDefStep::LayoutFileName(const std::filesystem::path& chosen) {
    std::string name = chosen.filename().string();
    std::transform(name.begin(), name.end(), name.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return chosen.parent_path() / name;
}

void TEgenDefStep::SaveLayout(const std::filesystem::path& file) const {
    TOrvIni ini(LayoutFileName(file), IniMode::Write);
    ini.useSection(kSmrSection);
    for (int i = 0; i < kEgenDefRows; ++i) {
        const Row& r = Rows[static_cast<std::size_t>(i)];
        const std::string n = std::to_string(i + 1);
        ini.writeText("FIELD" + n, catalogue_.at(static_cast<std::size_t>(
                                       std::clamp(r.entry, 0, int(catalogue_.size()) - 1))));
        ini.writeInteger("POS" + n, r.position);
    }
}

void TEgenDefStep::LoadLayout(const std::filesystem::path& file) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(file, ec))
        throw FileError("Finner ikke filen " + file.string() + ".");
    TOrvIni ini(file, IniMode::Read);
    ini.useSection(kSmrSection);
    for (int i = 0; i < kEgenDefRows; ++i) {
        const std::string n = std::to_string(i + 1);
        Row& r = Rows[static_cast<std::size_t>(i)];
        r.position = static_cast<int>(std::max(0LL, ini.readInteger("POS" + n, 0)));
        const std::string entry = ini.readText("FIELD" + n, "0");
        const auto it = std::find(catalogue_.begin(), catalogue_.end(), entry);
        // An entry the catalogue no longer has (an extra field the
        // organisation stopped naming) leaves the row empty.
        r.entry = it == catalogue_.end() ? 0 : static_cast<int>(it - catalogue_.begin());
    }
    RowsChanged();
}

const TStringList& TEgenDefStep::SelectItems() {
    select_.clear();
    if (Uses(TTableGroup::Mbetreg)) select_.push_back("b.belop as genbelop");
    return select_;
}

const TStringList& TEgenDefStep::FromItems() {
    from_ = {"medlreg m"};
    if (Uses(TTableGroup::Relreg)) from_.push_back("relreg r");
    if (Uses(TTableGroup::Mbetreg)) from_.push_back("mbetreg b");
    return from_;
}

const TStringList& TEgenDefStep::WhereItems() {
    where_ = {"m.orgnr = :orgnr"};
    if (Uses(TTableGroup::Relreg))
        where_.insert(where_.end(), {"m.orgnr = r.orgnr", "m.medlnr = r.medlnr"});
    if (Uses(TTableGroup::Mbetreg))
        where_.insert(where_.end(), {"m.orgnr = b.orgnr", "m.medlnr = b.medlnr"});
    return where_;
}

const TQueryParamList& TEgenDefStep::ParamItems() {
    params_.Clear();
    params_.AddString("orgnr", std::to_string(orgNr_));
    return params_;
}

const TStringList& TEgenDefStep::OrderByItems() {
    orderBy_.clear();
    return orderBy_;
}

// --- TRappUtskrifterStep

void TRappUtskrifterStep::Setup(TRappKind kind, RegisterKind registerKind,
                                const TExtraNames& extraNames, std::filesystem::path settingsFile) {
    kind_ = kind;
    settingsFile_ = std::move(settingsFile);
    SortEntries = RappSortEntries(registerKind, extraNames);
    Sort = 0;
    FontSize = kDefaultReportFontSize;
    NameOrder = TLabelNameOrder::EtternavnFornavn;
    MedRelasjoner = SkrivTilFil = false;
    MedMedlemsnr = true;
    Separator = kDefaultSeparator;
    LoadPrintSettings(settingsFile_, Settings);
    SettingsChanged();
}

void TRappUtskrifterStep::ResetSettings() {
    LoadPrintSettings(settingsFile_, Settings);
    SettingsChanged();
}

void TRappUtskrifterStep::SetSkrivTilFil(bool on, Ui& ui) {
    SkrivTilFil = false;
    if (on) {
        const auto file = ui.saveFileName({"Lagre som", "Tekst-fil|*.txt", {}, FileName});
        if (file && !file->empty()) {
            FileName = *file;
            if (std::filesystem::path(FileName).extension().empty()) FileName += ".TXT";
            SkrivTilFil = true;
        }
    }
    SettingsChanged();
}

int TRappUtskrifterStep::ShowModal() {
    const int result = Execute();
    if (result == kStepNext) SavePrintSettings(settingsFile_, Settings);
    return result;
}

const TStringList& TRappUtskrifterStep::SelectItems() { return empty_; }
const TStringList& TRappUtskrifterStep::FromItems() { return empty_; }
const TStringList& TRappUtskrifterStep::WhereItems() { return empty_; }
const TQueryParamList& TRappUtskrifterStep::ParamItems() { return params_; }

const TStringList& TRappUtskrifterStep::OrderByItems() {
    orderBy_.clear();
    if (Sort >= 0 && Sort < static_cast<int>(SortEntries.size()))
        orderBy_.push_back(SortKeyOrderBy(SortEntries[static_cast<std::size_t>(Sort)]));
    return orderBy_;
}

// --- TRapp

TRapp::TRapp(const TRappContext& context)
    : c_(context),
      orgNr_(data::FieldInt(context.organisations, "ORGNR")),
      orgNavn_(data::FieldText(context.organisations, "ORGNAVN")),
      own_(orgNr_) {
    for (int i = 0; i < kExtraNames; ++i)
        extraNames_[static_cast<std::size_t>(i)] =
            data::FieldText(c_.organisations, "EKSTRANAVN" + std::to_string(i + 1));
}

TRapp::~TRapp() = default;

void TRapp::setSteps(TRappKind kind) {
    wizard_ = std::make_unique<TWizard>(kStepEgenDef, kStepUtskrifter);
    TWizard& w = *wizard_;
    w.SetStep(kStepEgenDef, {[this]() -> std::unique_ptr<TWizardStep> {
                                 std::unique_ptr<TEgenDefStep> s = c_.reportSteps.CreateEgenDef();
                                 s->orgNr_ = orgNr_;
                                 s->Setup(c_.registerKind, extraNames_);
                                 return s;
                             },
                             [this](TWizardStep& s, int result) {
                                 if (result != kStepNext) return TWizard::kAbort;
                                 const auto& egenDef = static_cast<TEgenDefStep&>(s);
                                 if (egenDef.Uses(TTableGroup::Mbetreg)) own_.ClaimsJoined = true;
                                 if (egenDef.Uses(TTableGroup::Relreg)) own_.RelationsJoined = true;
                                 return static_cast<int>(kStepHvem);
                             }});
    w.SetStep(kStepHvem, {[this, kind]() -> std::unique_ptr<TWizardStep> {
                              std::unique_ptr<TKravTilHvemStep> s =
                                  c_.selectionSteps.CreateKravTilHvem();
                              s->Setup("Ønsker du å gøre et utvalg?", {"Alle medlemmer", "Utvalg"},
                                       kind == TRappKind::EgenDefinert);
                              return s;
                          },
                          [kind](TWizardStep& s, int result) {
                              if (result == kStepBack && kind == TRappKind::EgenDefinert)
                                  return static_cast<int>(kStepEgenDef);
                              if (result != kStepNext) return TWizard::kAbort;
                              return static_cast<TKravTilHvemStep&>(s).Choice() != 0
                                         ? static_cast<int>(kStepUtvalg)
                                         : static_cast<int>(kStepUtskrifter);
                          }});
    w.SetStep(kStepUtvalg, CriteriaStep(c_.selectionSteps, c_.dbMng, c_.organisations, c_.members,
                                        [this](TWizardStep& s, int result) {
                                            if (result == kStepBack)
                                                return static_cast<int>(kStepHvem);
                                            if (result != kStepNext) return TWizard::kAbort;
                                            const TStringList& from = s.Contributor()->FromItems();
                                            if (holds(from, "mbetreg b")) own_.ClaimsJoined = true;
                                            if (holds(from, "relreg r"))
                                                own_.RelationsJoined = true;
                                            return static_cast<int>(kStepUtskrifter);
                                        }));
    w.SetStep(kStepUtskrifter,
              {[this, kind]() -> std::unique_ptr<TWizardStep> {
                   std::unique_ptr<TRappUtskrifterStep> s = c_.reportSteps.CreateRappUtskrifter();
                   s->Setup(kind, c_.registerKind, extraNames_, c_.settingsFile);
                   return s;
               },
               [this](TWizardStep&, int result) {
                   if (result == kStepNext) return kStepUtskrifter + 1;
                   if (result != kStepBack) return TWizard::kAbort;
                   const auto* hvem = wizard_->Window<TKravTilHvemStep>(kStepHvem);
                   return hvem && hvem->Choice() != 0 ? static_cast<int>(kStepUtvalg)
                                                      : static_cast<int>(kStepHvem);
               }});
}

TRappOutcome TRapp::RunReport(TRappKind kind, TReportOutput& output) {
    setSteps(kind);
    const int start = kind == TRappKind::EgenDefinert ? kStepEgenDef : kStepHvem;
    if (!wizard_->Run(*this, &own_, start)) return TRappOutcome::Cancelled;
    return runReport(kind, output);
}

TRappOutcome TRapp::runReport(TRappKind kind, TReportOutput& output) {
    const TRappUtskrifterStep& settings = *wizard_->Window<TRappUtskrifterStep>(kStepUtskrifter);
    TMemberReportSpec job;
    job.kind = kind;
    job.registerKind = c_.registerKind;
    job.orgNavn = orgNavn_;
    job.fontSize = settings.FontSize;
    job.settings = settings.Settings;
    job.medRelasjoner = settings.MedRelasjoner && settings.FileOutputVisible();
    job.medMedlemsnr = settings.MedMedlemsnr;
    job.nameOrder =
        kind == TRappKind::Etiketter ? settings.NameOrder : TLabelNameOrder::EtternavnFornavn;
    if (const auto* egenDef = wizard_->Window<TEgenDefStep>(kStepEgenDef))
        for (int i = 0; i < kEgenDefRows; ++i)
            job.columns[static_cast<std::size_t>(i)] = egenDef->Column(i);

    data::TOrvQuery query(c_.members.database());
    PrepareQuery(query);
    TMemberReportRows rows(query, own_.ClaimsJoined, own_.RelationsJoined, job.nameOrder,
                           job.medRelasjoner);
    long long count = 0;
    {
        WaitWindow wait(c_.ui, "VENT!", "Forbereder rapport...");
        count = rows.count();
    }
    if (count == 0) {
        c_.ui.information("Informasjon", "Ingen poster funnet for dette utvalget!");
        return TRappOutcome::Empty;
    }
    if (settings.SkrivTilFil && settings.FileOutputVisible()) {
        WriteSeparatedFile(rows, TextFileFields(job), SeparatorChar(settings.Separator), count,
                           settings.FileName,
                           [&output](int percent) { return output.TextFileProgress(percent); });
        output.OpenTextFile(settings.FileName);
        return TRappOutcome::FileWritten;
    }
    const report::ReportLayout layout = MemberReportLayout(job, count);
    rows.rewind();
    output.ShowReport(layout, rows);
    return TRappOutcome::Shown;
}

}  // namespace lagrull::reports
