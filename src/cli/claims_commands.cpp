// lagrul-cli krav: claim generation from the command line, through the same
// steps as the wizard (confirmation, pass, KID warnings).
#include <ostream>

#include "cli/command.h"
#include "common/dates.h"
#include "common/ui.h"
#include "data/app_db_mng.h"
#include "data/data_store.h"
#include "data/orv_query.h"
#include "payments/claim_generation.h"
#include "payments/giro_export.h"
#include "payments/giro_run.h"

namespace lagrull::cli {

namespace {

std::string storedDate(const std::string& text) {
    const auto date = parseShownDate(text);
    if (!date) throw UsageError{"ugyldig dato: " + text};
    return date->stored();
}

std::int64_t wholeNumber(const std::string& text, const char* what) {
    try {
        std::size_t used = 0;
        const long long n = std::stoll(text, &used);
        if (used == text.size()) return n;
    } catch (const std::exception&) {
    }
    throw UsageError{std::string(what) + " må være et heltall: " + text};
}

AmountSource amountSource(const std::string& text) {
    if (text == "kategori") return AmountSource::Category;
    if (text == "medlem") return AmountSource::Member;
    if (text == "manuelt") return AmountSource::Manual;
    if (text == "relasjon") return AmountSource::Relations;
    throw UsageError{"ukjent beløpskilde: " + text};
}

// The organisation a command works on: --org, else the first one.
std::int64_t organisation(data::TDatabase& db, std::int64_t given) {
    data::TOrvQuery q(db);
    q.setSql(given > 0 ? "select orgnr from orgreg where orgnr = :orgnr"
                       : "select orgnr from orgreg order by orgnr");
    q.setParamInt("orgnr", given);
    q.open();
    if (q.eof())
        throw Error(given > 0 ? "Organisasjon " + std::to_string(given) + " finnes ikke."
                              : "Registeret har ingen organisasjon.");
    return std::get<std::int64_t>(q.value(0));
}

int runKrav(Context& c) {
    if (!c.args.empty()) throw UsageError{"ukjent argument: " + c.args[0]};
    ClaimSpec spec;
    if (auto v = c.options.value("forfdato")) spec.dueDate = storedDate(*v);
    spec.description = c.options.value("tekst").value_or("");
    if (auto v = c.options.value("kilde")) spec.source = amountSource(*v);
    if (auto v = c.options.value("belop")) spec.manualAmount = wholeNumber(*v, "--belop");
    spec.relations = c.options.values("relasjon");
    spec.withKid = !c.options.has("uten-kid");
    const std::int64_t org =
        c.options.value("org") ? wholeNumber(*c.options.value("org"), "--org") : 0;
    if (spec.dueDate.empty()) throw UsageError{"krav trenger --forfdato"};
    data::DataStore store(c.ui);
    store.start();
    data::TDatabase& db = store.dbLocal();
    spec.orgNr = organisation(db, org);
    spec.registerKind = store.appDbMng().RegisterKind();
    std::vector<std::string> dates;
    data::GetClaimDates(db, spec.orgNr, dates);
    if (!confirmClaimGeneration(c.ui, spec, dates)) {
        c.out << "avbrutt\n";
        return 1;
    }
    const ClaimResult result = generateClaims(db, c.ui, spec, claimMemberQuery(spec));
    if (result.written == 0) c.ui.information({}, "Ingen poster generert!");
    c.out << result.written << " betalingsposter generert\n";
    for (const std::string& medlnr : result.withoutKid)
        c.out << "KID kan ikke genereres for " << medlnr << '\n';
    return 0;
}

// "--tekst3 TEKST" sets line 3's free text, "--tekst3 =FELT" makes it the
// merge field FELT.
GiroPreset preset(const std::string& text) {
    if (text == "egendef") return GiroPreset::Egendef;
    if (text == "std") return GiroPreset::StdOppsett;
    if (text == "alle") return GiroPreset::AlleGrupper;
    throw UsageError{"ukjent oppsett: " + text};
}

int runGiro(Context& c) {
    if (!c.args.empty()) throw UsageError{"ukjent argument: " + c.args[0]};
    GiroSpec spec;
    if (auto v = c.options.value("forfdato")) spec.dueDate = storedDate(*v);
    if (c.options.has("annen-betaling")) spec.kind = GiroKind::AnnenBetaling;
    if (auto form = c.options.value("navn")) {
        if (*form != "etternavn" && *form != "fornavn")
            throw UsageError{"--navn er etternavn eller fornavn"};
        spec.name = *form == "fornavn" ? GiroName::FornavnEtternavn : GiroName::EtternavnFornavn;
    }
    const GiroPreset chosen = preset(c.options.value("oppsett").value_or("egendef"));
    spec.payerAccount = c.options.has("betalers-konto");
    const std::string outFile = c.options.value("ut").value_or("");
    const std::int64_t org =
        c.options.value("org") ? wholeNumber(*c.options.value("org"), "--org") : 0;
    std::vector<std::pair<int, std::string>> lines;
    for (int n = 1; n <= kGiroTextLines; ++n)
        if (auto v = c.options.value("tekst" + std::to_string(n))) lines.emplace_back(n, *v);
    if (spec.dueDate.empty()) throw UsageError{"giro trenger --forfdato"};
    data::DataStore store(c.ui);
    store.start();
    data::TDatabase& db = store.dbLocal();
    spec.orgNr = organisation(db, org);
    const auto description = claimDescription(db, spec.orgNr, spec.dueDate);
    if (!description) {
        c.ui.error("Ingen giro å skrive ut på valgt forfallsdato!", "FEIL!");
        return 1;
    }
    // As the window opens: line 1 holds the date's description.
    spec.lines[0].text = *description;
    applyPreset(spec, chosen, *description);
    for (const auto& [n, value] : lines) {
        GiroTextLine& line = spec.lines[static_cast<std::size_t>(n - 1)];
        if (!value.empty() && value.front() == '=')
            line = {TextLineKind::Flettefelt, {}, value.substr(1)};
        else
            line = {TextLineKind::Fritekst, value, {}};
    }
    const std::filesystem::path file = outFile.empty()
                                           ? std::filesystem::path(db.path()) / kGiroFileName
                                           : std::filesystem::path(outFile);
    const long long n =
        writeGiroFile(db, c.ui, spec, giroQuery(spec), readPayee(db, spec.orgNr), file);
    c.out << n << " giroer skrevet til " << file.string() << '\n';
    return 0;
}

OptionSpecs giroOptions() {
    OptionSpecs specs = {{"forfdato", OptionKind::Value},
                         {"annen-betaling", OptionKind::Flag},
                         {"navn", OptionKind::Value},
                         {"oppsett", OptionKind::Value},
                         {"betalers-konto", OptionKind::Flag},
                         {"ut", OptionKind::Value},
                         {"org", OptionKind::Value}};
    for (int n = 1; n <= kGiroTextLines; ++n)
        specs.push_back({"tekst" + std::to_string(n), OptionKind::Value});
    return specs;
}

}  // namespace

void addClaimsCommands(Commands& commands) {
    commands.add({"krav",
                  "krav --forfdato D [--tekst T] [--kilde kategori|medlem|manuelt|relasjon] "
                  "[--belop N] [--relasjon R]... [--uten-kid] [--org N]   genererer betalingskrav",
                  runKrav,
                  {{"forfdato", OptionKind::Value},
                   {"tekst", OptionKind::Value},
                   {"kilde", OptionKind::Value},
                   {"belop", OptionKind::Value},
                   {"relasjon", OptionKind::Repeated},
                   {"uten-kid", OptionKind::Flag},
                   {"org", OptionKind::Value}}});
    commands.add({"giro",
                  "giro --forfdato D [--annen-betaling] [--navn etternavn|fornavn] "
                  "[--oppsett egendef|std|alle] [--tekstN TEKST|=FELT]... [--betalers-konto] "
                  "[--ut FIL] [--org N]   skriver girofilen BANKGIRO.TXT",
                  runGiro, giroOptions()});
}

}  // namespace lagrull::cli
