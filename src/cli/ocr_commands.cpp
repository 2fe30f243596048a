// lagrul-cli ocr-import: a return file read into the register as the menu
// does it, with the import report as tab-separated lines and a summary;
// avtalegiro and sletteanmodning: the AvtaleGiro window's files.
#include <ostream>

#include "clearing/avtalegiro.h"
#include "clearing/bbs_sequence.h"
#include "clearing/bbs_transmission.h"
#include "clearing/medl_liste.h"
#include "clearing/ocr_import.h"
#include "clearing/ocr_report.h"
#include "cli/command.h"
#include "common/app_paths.h"
#include "common/error.h"
#include "common/ui.h"
#include "data/data_store.h"
#include "data/field_access.h"
#include "data/orv_query.h"

namespace lagrull::cli {

namespace {

using namespace lagrull::clearing;

class ConsoleReport : public TBBSRapportMottaker {
public:
    explicit ConsoleReport(std::ostream& out) : out_(out) {}
    void AddLine(const TBBSRapportLinje& line) override {
        const auto columns = rapportKolonner(line);
        for (std::size_t i = 0; i < columns.size(); ++i) out_ << (i ? "\t" : "") << columns[i];
        out_ << '\n';
    }

private:
    std::ostream& out_;
};

int runOcrImport(Context& c) {
    if (c.args.size() != 1) throw UsageError{"Oppgi én returfil."};
    data::DataStore store(c.ui);
    store.start();
    ConsoleReport report(c.out);
    const auto result = importOcrFile(c.ui, store.dbLocal(), store.dbLocal().path(), c.args[0],
                                      [&]() -> TBBSRapportMottaker& { return report; });
    if (!result) return 1;
    c.out << "Innbetalinger\t" << result->betalinger << '\n'
          << "Registrert\t" << result->matchet << '\n'
          << "Uten betalingspost\t" << result->umatchet << '\n'
          << "Tilbakeføringer\t" << result->tilbakeforinger << '\n'
          << "Avtaleendringer\t" << result->avtaleendringer << '\n'
          << "Endret etter avtaleliste\t" << result->statusendringer << '\n';
    return result->feil ? 1 : 0;
}

// The options of avtalegiro and sletteanmodning.
struct AvtaleGiroArgs {
    std::optional<Date> forfall;
    std::string ut;
    bool leggTil = false, alle = false;
    std::vector<std::string> kids;
    std::int64_t org = -1;
};

AvtaleGiroArgs avtaleGiroArgs(const Context& c) {
    if (!c.args.empty()) throw UsageError{"ukjent argument: " + c.args[0]};
    AvtaleGiroArgs a;
    a.leggTil = c.options.has("legg-til");
    a.alle = c.options.has("alle");
    a.kids = c.options.values("kid");
    if (const auto v = c.options.value("forfdato")) {
        a.forfall = parseShownDate(*v);
        if (!a.forfall) throw UsageError{"Ugyldig forfallsdato: " + *v};
    }
    a.ut = c.options.value("ut").value_or("");
    if (const auto v = c.options.value("org")) {
        try {
            a.org = std::stoll(*v);
        } catch (const std::exception&) {
            throw UsageError{"--org trenger et organisasjonsnummer: " + *v};
        }
    }
    if (!a.forfall || a.ut.empty()) throw UsageError{"Oppgi --forfdato og --ut."};
    return a;
}

// --org, else the first organisation.
std::int64_t organisation(data::TDatabase& db, std::int64_t given) {
    data::TOrvQuery q(db);
    q.setSql(given >= 0 ? "select orgnr from orgreg where orgnr = :orgnr"
                        : "select orgnr from orgreg order by orgnr");
    q.setParamInt("orgnr", given);
    q.open();
    if (q.eof())
        throw Error(given >= 0 ? "Finner ikke organisasjon " + std::to_string(given)
                               : "Registeret har ingen organisasjon.");
    return data::FieldInt(q, "ORGNR");
}

void printList(std::ostream& out, const TAvtaleGiroListe& liste) {
    for (const TBetalingspost& p : liste.poster)
        out << p.navn << '\t' << FormatAmount(p.belop) << '\t' << p.tekst << '\t' << p.kid << '\t'
            << (p.slettes.empty() ? std::to_string(p.egetVarsel) : p.slettes) << '\n';
    out << "Antall\t" << liste.Antall() << "\nSum Totalt\t" << FormatAmount(liste.Sum()) << '\n';
}

int runAvtaleGiro(Context& c) {
    const AvtaleGiroArgs a = avtaleGiroArgs(c);
    if (!erDirdebNavn(a.ut)) {
        c.ui.error("BBS-fil må ha navn dirdeb.bbs!");
        return 1;
    }
    data::DataStore store(c.ui);
    store.start();
    const std::int64_t org = organisation(store.dbLocal(), a.org);
    const auto liste = hentAvtaleGiroListe(c.ui, store.dbLocal(), org, *a.forfall);
    if (!liste) return 1;
    printList(c.out, *liste);
    TBBS bbs;
    const auto number =
        lagKravfil(c.ui, store.dbLocal(), *liste, a.ut,
                   a.leggTil ? TidligereFil::LeggTil : TidligereFil::Erstatt,
                   lesAvtaleGiroOppsett(store.dbLocal(), org, settingsFilePath()), bbs);
    waitForClearingNumbers();  // the next run must not issue these numbers again
    return number ? 0 : 1;
}

int runSletteanmodning(Context& c) {
    const AvtaleGiroArgs a = avtaleGiroArgs(c);
    if (a.alle == !a.kids.empty()) throw UsageError{"Oppgi enten --alle eller --kid K ..."};
    data::DataStore store(c.ui);
    store.start();
    const std::int64_t org = organisation(store.dbLocal(), a.org);
    auto liste = hentAvtaleGiroListe(c.ui, store.dbLocal(), org, *a.forfall);
    if (!liste) return 1;
    if (a.alle) liste->SlettAlle();
    for (TBetalingspost& p : liste->poster)
        for (const std::string& kid : a.kids)
            if (p.kid == kid) p.slettes = "1";
    printList(c.out, *liste);
    TBBS bbs;
    const auto number =
        lagSletteanmodning(c.ui, store.dbLocal(), *liste, a.ut,
                           lesAvtaleGiroOppsett(store.dbLocal(), org, settingsFilePath()), bbs);
    waitForClearingNumbers();
    return number ? 0 : 1;
}

void printRows(std::ostream& out, const char* title,
               const std::vector<std::vector<std::string>>& rows) {
    out << title << '\n';
    for (const auto& row : rows) {
        for (std::size_t i = 0; i < row.size(); ++i) out << (i ? "\t" : "") << row[i];
        out << '\n';
    }
}

int runOcrRapport(Context& c) {
    if (c.args.size() != 1) throw UsageError{"Oppgi én returfil."};
    if (c.ui.message("Advarsel!", "Henter fram ocr fila og lager en rapport av den, fortsette ?",
                     Buttons::YesNo) != Answer::Yes)
        return 1;
    data::DataStore store(c.ui);
    store.start();
    TBBSReturAlle reader(c.ui, store.dbLocal().path());
    reader.LoadFromFile(c.args[0]);
    const TMedlListe list(store.dbLocal());
    const TBBSData data = fyllBBSData(reader, list);
    printRows(c.out, "Innbetalt", data.innbetalt);
    printRows(c.out, "Avtaleendringer", data.endringer);
    printRows(c.out, "Avtalestatusliste", data.status);
    return 0;
}

}  // namespace

void addOcrCommands(Commands& commands) {
    commands.add({"ocr-import",
                  "ocr-import FIL   leser en OCR-returfil inn i innbetalingsregistret (spørsmålet "
                  "besvares med --yes/--no) og skriver importrapporten",
                  runOcrImport});
    commands.add({"ocr-rapport",
                  "ocr-rapport FIL   viser innbetalinger, avtaleendringer og avtalestatus i en "
                  "returfil med medlemmene KID-ene peker på (spørsmålet besvares med --yes)",
                  runOcrRapport});
    commands.add({"avtalegiro",
                  "avtalegiro --forfdato D --ut dirdeb.bbs [--legg-til] [--org N]   skriver "
                  "AvtaleGiro-kravene for forfallsdatoen som BBS-fil",
                  runAvtaleGiro,
                  {{"forfdato"}, {"ut"}, {"legg-til", OptionKind::Flag}, {"org"}}});
    commands.add({"sletteanmodning",
                  "sletteanmodning --forfdato D (--kid K ... | --alle) --ut FIL [--org N]   "
                  "skriver sletteanmodning for AvtaleGiro-krav",
                  runSletteanmodning,
                  {{"forfdato"},
                   {"ut"},
                   {"kid", OptionKind::Repeated},
                   {"alle", OptionKind::Flag},
                   {"org"}}});
}

}  // namespace lagrull::cli
