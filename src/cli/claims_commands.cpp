// lagrul-cli krav and giro: claim generation and the giro export file through
// the same wizards as the windows (TBetalinger, TGiro), with console steps
// that answer from the options. Both take the selection option group; as
// their own --forfdato is the claims' due date, the selection's due-date
// criterion is --utvalg-forfdato there. The relations an amount is summed
// from are --krav-relasjon, so --relasjon stays the selection's criterion.
//   krav: "N betalingsposter generert", then each member whose claim got no KID.
//   giro: "N giroer skrevet til FIL"; the giro printer is not started.
#include <algorithm>
#include <ostream>

#include "cli/command.h"
#include "cli/register_session.h"
#include "common/dates.h"
#include "common/error.h"
#include "common/ui.h"
#include "data/app_db_mng.h"
#include "payments/betalinger.h"
#include "payments/giro_export.h"
#include "payments/giro_wizard.h"

namespace lagrull::cli {

namespace {

AmountSource amountSource(const std::string& text) {
    if (text == "kategori") return AmountSource::Category;
    if (text == "medlem") return AmountSource::Member;
    if (text == "manuelt") return AmountSource::Manual;
    if (text == "relasjon") return AmountSource::Relations;
    throw UsageError{"ukjent beløpskilde: " + text};
}

GiroPreset preset(const std::string& text) {
    if (text == "egendef") return GiroPreset::Egendef;
    if (text == "std") return GiroPreset::StdOppsett;
    if (text == "alle") return GiroPreset::AlleGrupper;
    throw UsageError{"ukjent oppsett: " + text};
}

int indexOf(const std::vector<std::string>& list, const std::string& entry) {
    const auto it = std::find(list.begin(), list.end(), entry);
    return it == list.end() ? -1 : static_cast<int>(it - list.begin());
}

// The due date as the window shows it, "DD.MM.YYYY"; UsageError for no date.
std::string shownDate(const std::string& text) {
    const auto date = parseShownDate(text);
    if (!date) throw UsageError{"ugyldig dato: " + text};
    return date->shown();
}

// Step 1 of krav: a date of the helper is chosen from it (its claims'
// description comes along), a typed description wins.
class ConsoleStartGen : public TStartGenStep {
public:
    explicit ConsoleStartGen(const ParsedOptions& options) : options_(options) {}
    int ShowModal() override {
        const std::string date = shownDate(options_.value("forfdato").value_or(""));
        const int known = indexOf(ClaimDates(), date);
        if (known >= 0)
            ChooseClaimDate(known);
        else
            KontDato = date;
        if (auto v = options_.value("tekst")) TypeTekst(*v);
        KidRef = !options_.has("uten-kid");
        if (auto v = options_.value("kilde")) SetBelopskilde(amountSource(*v));
        if (auto v = options_.value("belop")) Belop = *v;
        for (const std::string& relation : options_.values("krav-relasjon"))
            if (!MoveToTil(indexOf(Fra(), relation)))
                throw Error("Relasjonen \"" + relation +
                            "\" finnes ikke i organisasjonen (--krav-relasjon).");
        return CheckNext() ? reports::kStepNext : reports::kStepCancel;
    }

private:
    const ParsedOptions& options_;
};

// Step 1 of giro: "--tekst3 TEKST" sets line 3's free text, "--tekst3 =FELT"
// makes it the merge field FELT.
class ConsoleStartGiro : public TStartGiroStep {
public:
    ConsoleStartGiro(const ParsedOptions& options, Ui& ui) : options_(options), ui_(ui) {}
    int ShowModal() override {
        const int date = indexOf(GiroDates(), shownDate(options_.value("forfdato").value_or("")));
        if (date < 0) {
            ui_.error("Ingen giro å skrive ut på valgt forfallsdato!", "FEIL!");
            return reports::kStepCancel;
        }
        ChooseDate(date);
        if (options_.has("annen-betaling")) OppdragsType = GiroKind::AnnenBetaling;
        if (auto form = options_.value("navn")) {
            if (*form != "etternavn" && *form != "fornavn")
                throw UsageError{"--navn er etternavn eller fornavn"};
            GiroNavn = *form == "fornavn" ? GiroName::FornavnEtternavn : GiroName::EtternavnFornavn;
        }
        ApplyOppsett(preset(options_.value("oppsett").value_or("egendef")));
        BetKonto = options_.has("betalers-konto");
        for (int n = 1; n <= kGiroTextLines; ++n)
            if (auto v = options_.value("tekst" + std::to_string(n))) {
                GiroTextLine& line = Lines[static_cast<std::size_t>(n - 1)];
                if (!v->empty() && v->front() == '=')
                    line = {TextLineKind::Flettefelt, {}, v->substr(1)};
                else
                    line = {TextLineKind::Fritekst, *v, {}};
            }
        return CheckNext() ? reports::kStepNext : reports::kStepCancel;
    }

private:
    const ParsedOptions& options_;
    Ui& ui_;
};

OptionSpecs kravOptions() {
    return {{"forfdato"},
            {"tekst"},
            {"kilde"},
            {"belop"},
            {"krav-relasjon", OptionKind::Repeated},
            {"uten-kid", OptionKind::Flag}};
}

OptionSpecs giroOptions() {
    OptionSpecs specs = {{"forfdato"}, {"annen-betaling", OptionKind::Flag}, {"navn"},
                         {"oppsett"},  {"betalers-konto", OptionKind::Flag}, {"ut"}};
    for (int n = 1; n <= kGiroTextLines; ++n) specs.push_back({"tekst" + std::to_string(n)});
    return specs;
}

int runKrav(Context& c) {
    if (!c.args.empty()) throw UsageError{"ukjent argument: " + c.args[0]};
    if (!c.options.has("forfdato")) throw UsageError{"krav trenger --forfdato"};
    shownDate(*c.options.value("forfdato"));
    RegisterSession r(c);
    ConsoleSelectionSteps steps(c.options, SelectionNames(kravOptions()));
    TBetalinger run(
        c.ui, r.store.dbMng(), steps, [&c] { return std::make_unique<ConsoleStartGen>(c.options); },
        r.tables().OrgTable, r.tables().MedlTable, r.store.appDbMng().RegisterKind());
    const TBetalingerOutcome out = run.Run();
    if (!out.generated) {
        c.out << "avbrutt\n";
        return 1;
    }
    c.out << out.result.written << " betalingsposter generert\n";
    for (const std::string& medlnr : out.result.withoutKid)
        c.out << "KID kan ikke genereres for " << medlnr << '\n';
    return 0;
}

int runGiro(Context& c) {
    if (!c.args.empty()) throw UsageError{"ukjent argument: " + c.args[0]};
    if (!c.options.has("forfdato")) throw UsageError{"giro trenger --forfdato"};
    shownDate(*c.options.value("forfdato"));
    RegisterSession r(c);
    ConsoleSelectionSteps steps(c.options, SelectionNames(giroOptions()));
    TGiro giro(
        c.ui, r.store.dbMng(), steps,
        [&c] { return std::make_unique<ConsoleStartGiro>(c.options, c.ui); }, r.tables().OrgTable,
        r.tables().MedlTable);
    if (!giro.RunWizard()) return 1;
    const std::filesystem::path file =
        c.options.has("ut") ? std::filesystem::path(*c.options.value("ut"))
                            : std::filesystem::path(r.store.dbMng().dataPath()) / kGiroFileName;
    const long long n = giro.WriteFile(file);
    c.out << n << " giroer skrevet til " << file.string() << '\n';
    return 0;
}

}  // namespace

void addClaimsCommands(Commands& commands) {
    commands.add({"krav",
                  "krav --forfdato D [--tekst T] [--kilde kategori|medlem|manuelt|relasjon] "
                  "[--belop N] [--krav-relasjon R]... [--uten-kid] " +
                      selectionUsage(SelectionNames(kravOptions())) + "   genererer betalingskrav",
                  runKrav, withSelectionOptions(kravOptions())});
    commands.add({"giro",
                  "giro --forfdato D [--annen-betaling] [--navn etternavn|fornavn] "
                  "[--oppsett egendef|std|alle] [--tekstN TEKST|=FELT]... [--betalers-konto] "
                  "[--ut FIL] " +
                      selectionUsage(SelectionNames(giroOptions())) +
                      "   skriver girofilen BANKGIRO.TXT",
                  runGiro, withSelectionOptions(giroOptions())});
}

}  // namespace lagrull::cli
