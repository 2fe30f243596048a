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

// Reads "--name value" pairs; a flag has no value.
class OptionReader {
public:
    explicit OptionReader(const std::vector<std::string>& args) : args_(args) {}
    bool more() const { return pos_ < args_.size(); }
    const std::string& name() const { return args_[pos_]; }
    std::string value() {
        if (pos_ + 1 >= args_.size()) throw UsageError{args_[pos_] + " trenger en verdi"};
        pos_ += 2;
        return args_[pos_ - 1];
    }
    void flag() { ++pos_; }

private:
    const std::vector<std::string>& args_;
    std::size_t pos_ = 0;
};

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
    ClaimSpec spec;
    std::int64_t org = 0;
    for (OptionReader o(c.args); o.more();) {
        const std::string name = o.name();
        if (name == "--forfdato")
            spec.dueDate = storedDate(o.value());
        else if (name == "--tekst")
            spec.description = o.value();
        else if (name == "--kilde")
            spec.source = amountSource(o.value());
        else if (name == "--belop")
            spec.manualAmount = wholeNumber(o.value(), "--belop");
        else if (name == "--relasjon")
            spec.relations.push_back(o.value());
        else if (name == "--uten-kid")
            o.flag(), spec.withKid = false;
        else if (name == "--org")
            org = wholeNumber(o.value(), "--org");
        else
            throw UsageError{"ukjent argument: " + name};
    }
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
// merge field FELT; the number of the line, or 0 when `name` is no such option.
int textLineOption(const std::string& name) {
    if (name.rfind("--tekst", 0) != 0 || name.size() == 7) return 0;
    const std::string digits = name.substr(7);
    if (digits.find_first_not_of("0123456789") != std::string::npos) return 0;
    const int n = std::stoi(digits);
    return n >= 1 && n <= kGiroTextLines ? n : 0;
}

GiroPreset preset(const std::string& text) {
    if (text == "egendef") return GiroPreset::Egendef;
    if (text == "std") return GiroPreset::StdOppsett;
    if (text == "alle") return GiroPreset::AlleGrupper;
    throw UsageError{"ukjent oppsett: " + text};
}

int runGiro(Context& c) {
    GiroSpec spec;
    std::int64_t org = 0;
    GiroPreset chosen = GiroPreset::Egendef;
    std::vector<std::pair<int, std::string>> lines;
    std::string outFile;
    for (OptionReader o(c.args); o.more();) {
        const std::string name = o.name();
        if (name == "--forfdato")
            spec.dueDate = storedDate(o.value());
        else if (name == "--annen-betaling")
            o.flag(), spec.kind = GiroKind::AnnenBetaling;
        else if (name == "--navn") {
            const std::string form = o.value();
            if (form != "etternavn" && form != "fornavn")
                throw UsageError{"--navn er etternavn eller fornavn"};
            spec.name = form == "fornavn" ? GiroName::FornavnEtternavn : GiroName::EtternavnFornavn;
        } else if (name == "--oppsett")
            chosen = preset(o.value());
        else if (name == "--betalers-konto")
            o.flag(), spec.payerAccount = true;
        else if (name == "--ut")
            outFile = o.value();
        else if (name == "--org")
            org = wholeNumber(o.value(), "--org");
        else if (const int n = textLineOption(name))
            lines.emplace_back(n, o.value());
        else
            throw UsageError{"ukjent argument: " + name};
    }
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

}  // namespace

void addClaimsCommands(Commands& commands) {
    commands.add({"krav",
                  "krav --forfdato D [--tekst T] [--kilde kategori|medlem|manuelt|relasjon] "
                  "[--belop N] [--relasjon R]... [--uten-kid] [--org N]   genererer betalingskrav",
                  runKrav});
    commands.add({"giro",
                  "giro --forfdato D [--annen-betaling] [--navn etternavn|fornavn] "
                  "[--oppsett egendef|std|alle] [--tekstN TEKST|=FELT]... [--betalers-konto] "
                  "[--ut FIL] [--org N]   skriver girofilen BANKGIRO.TXT",
                  runGiro});
}

}  // namespace lagrull::cli
