// lagrul-cli relasjon, kopier and slett-medlemmer: the member register's bulk
// functions run through the same wizards as the windows, with console steps
// that answer from the options. The messages go to standard error as every
// box does; standard output ends with the state the function left:
//   relasjon: the organisation's standard list, "NAVN<TAB>links<TAB>amount";
//   kopier, slett-medlemmer: "ORGNR<TAB>members" per organisation.
#include <ostream>

#include "cli/command.h"
#include "cli/register_session.h"
#include "cli/selection_options.h"
#include "common/error.h"
#include "data/field_access.h"
#include "data/orv_query.h"
#include "register/kopier.h"
#include "register/relations.h"

namespace lagrull::cli {

namespace {

// The who-step with a choice fixed by the command.
class FixedWho : public reports::TKravTilHvemStep {
public:
    explicit FixedWho(int choice) : choice_(choice) {}
    int ShowModal() override {
        SetChoice(choice_);
        return reports::kStepNext;
    }

private:
    int choice_;
};

class FixedWhoSteps : public ConsoleSelectionSteps {
public:
    FixedWhoSteps(const ParsedOptions& options, int choice)
        : ConsoleSelectionSteps(options), choice_(choice) {}
    std::unique_ptr<reports::TKravTilHvemStep> CreateKravTilHvem() override {
        return std::make_unique<FixedWho>(choice_);
    }

private:
    int choice_;
};

class ConsoleRelasjoner : public TRelasjonerStep {
public:
    explicit ConsoleRelasjoner(const ParsedOptions& options) : options_(options) {}
    int ShowModal() override {
        if (!FieldsEnabled()) return reports::kStepNext;
        if (auto v = options_.value("nytt-navn")) Values.navn = *v;
        if (auto v = options_.value("tekst")) Values.tekst = *v;
        if (auto v = options_.value("belop")) Values.belop = data::leadingDecimal(*v);
        return reports::kStepNext;
    }

private:
    const ParsedOptions& options_;
};

class ConsoleStartKopier : public TStartKopierStep {
public:
    explicit ConsoleStartKopier(const ParsedOptions& options) : options_(options) {}
    int ShowModal() override;

private:
    const ParsedOptions& options_;
};

int ConsoleStartKopier::ShowModal() {
    if (Mode() == TKopierMode::Delete) return reports::kStepNext;
    const std::string til = options_.value("til").value_or("");
    bool found = false;
    for (std::size_t i = 0; i < Organisations().size(); ++i)
        if (std::to_string(Organisations()[i].orgNr) == til) {
            SetTarget(static_cast<int>(i));
            found = true;
        }
    if (!found) throw Error("Organisasjon " + til + " finnes ikke (--til).");
    const std::string kategori = options_.value("til-kategori").value_or("UENDRET");
    if (kategori != "UENDRET" && !Kategori.choose(kategori))
        throw Error("Kategori \"" + kategori + "\" finnes ikke i organisasjon " + til +
                    " (--til-kategori).");
    const std::string betaling = options_.value("til-betaling").value_or("UENDRET");
    if (betaling != "UENDRET") {
        const auto& entries = KopierBetalingEntries();
        Betaling = -1;
        for (std::size_t i = 1; i < entries.size(); ++i)
            if (betaling == entries[i].text) Betaling = static_cast<int>(i);
        if (Betaling < 0)
            throw UsageError{
                "--til-betaling vil ha UENDRET, \"Fast oppdrag\", Autogiro, Giro, "
                "Kontant eller AvtaleGiro."};
    }
    return reports::kStepNext;
}

void printStandardList(Context& c, data::TDatabase& db, std::int64_t orgNr) {
    data::TOrvQuery q(db);
    q.setSql(
        "select s.relasjon, s.belop, (select count(*) from relreg r where r.orgnr = s.orgnr and "
        "r.relasjon = s.relasjon) as antall from relregstandard s where s.orgnr = :orgnr "
        "order by s.relasjon");
    q.setParamInt("orgnr", orgNr);
    q.open();
    for (; !q.eof(); q.next())
        c.out << data::FieldText(q, "relasjon") << '\t' << data::FieldText(q, "antall") << '\t'
              << data::FieldText(q, "belop") << '\n';
}

void printMemberCounts(Context& c, data::TDatabase& db) {
    data::TOrvQuery q(db);
    q.setSql(
        "select o.orgnr, (select count(*) from medlreg m where m.orgnr = o.orgnr) as antall "
        "from orgreg o order by o.orgnr");
    q.open();
    for (; !q.eof(); q.next())
        c.out << data::FieldText(q, "orgnr") << '\t' << data::FieldText(q, "antall") << '\n';
}

int editChoice(const ParsedOptions& options) {
    const std::string hvem =
        options.value("hvem").value_or(selectionGiven(options) ? "eksisterende+utvalg" : "alle");
    if (hvem == "alle") return kRelAlle;
    if (hvem == "eksisterende") return kRelKunEksisterende;
    if (hvem == "eksisterende+utvalg") return kRelEksisterendePluss;
    if (hvem == "nytt-utvalg") return kRelNyttUtvalg;
    throw UsageError{"--hvem vil ha alle, eksisterende, eksisterende+utvalg eller nytt-utvalg."};
}

// The standard list brought in step with the members' relations, as each
// run of the wizard does first.
int runRepair(Context& c) {
    RegisterSession r(c);
    FixedWhoSteps steps(c.options, kRelAlle);
    TRel rel(
        c.ui, r.store.dbMng(), steps, [] { return nullptr; }, r.tables().OrgTable,
        r.tables().MedlTable);
    rel.RepairStandardList();
    printStandardList(c, r.store.dbLocal(), data::FieldInt(r.tables().OrgTable, "ORGNR"));
    return 0;
}

int runRelasjon(Context& c) {
    if (c.args.size() != 1)
        throw UsageError{"relasjon vil ha legg-til, oppdater, fjern eller reparer."};
    const std::string& verb = c.args[0];
    if (verb == "reparer") return runRepair(c);
    TRelOperation operation;
    if (verb == "legg-til")
        operation = TRelOperation::New;
    else if (verb == "oppdater")
        operation = TRelOperation::Edit;
    else if (verb == "fjern")
        operation = TRelOperation::Delete;
    else
        throw UsageError{"relasjon vil ha legg-til, oppdater, fjern eller reparer, ikke \"" + verb +
                         "\"."};
    const std::optional<std::string> navn = c.options.value("navn");
    if (!navn) throw UsageError{"relasjon vil ha --navn."};
    if (operation != TRelOperation::Edit && (c.options.has("hvem") || c.options.has("nytt-navn")))
        throw UsageError{"--hvem og --nytt-navn gjelder bare oppdater."};

    RegisterSession r(c);
    data::TDatabase& db = r.store.dbLocal();
    const std::int64_t orgNr = data::FieldInt(r.tables().OrgTable, "ORGNR");
    TRelValues old;
    if (operation == TRelOperation::New) {
        old.navn = *navn;
    } else {
        data::TOrvQuery q(db);
        q.setSql("select * from relregstandard where orgnr = :orgnr and relasjon = :relasjon");
        q.setParamInt("orgnr", orgNr);
        q.setParamText("relasjon", *navn);
        q.open();
        if (q.eof()) throw Error("Gruppe/relasjon \"" + *navn + "\" finnes ikke.");
        old = {data::FieldText(q, "relasjon"), data::FieldText(q, "tekst"),
               data::FieldFloat(q, "belop")};
    }
    const int choice = operation == TRelOperation::Edit ? editChoice(c.options)
                       : selectionGiven(c.options)      ? kRelUtvalg
                                                        : kRelAlle;
    FixedWhoSteps steps(c.options, choice);
    TRel rel(
        c.ui, r.store.dbMng(), steps,
        [&c] { return std::make_unique<ConsoleRelasjoner>(c.options); }, r.tables().OrgTable,
        r.tables().MedlTable);
    const TRelOutcome out = rel.Run(operation, old);
    printStandardList(c, db, orgNr);
    return out.applied ? 0 : 1;
}

int runKopier(Context& c, TKopierMode mode) {
    if (!c.args.empty()) throw UsageError{"ingen argumenter her."};
    if (mode == TKopierMode::Copy && !c.options.has("til"))
        throw UsageError{"kopier vil ha --til ORGNR."};
    RegisterSession r(c);
    FixedWhoSteps steps(c.options, selectionGiven(c.options) ? 1 : 0);
    TKopier kopier(
        c.ui, r.store.dbMng(), steps,
        [&c] { return std::make_unique<ConsoleStartKopier>(c.options); }, r.tables().OrgTable,
        r.tables().MedlTable);
    const TKopierOutcome out = kopier.Execute(mode);
    printMemberCounts(c, r.store.dbLocal());
    return out.done ? 0 : 1;
}

}  // namespace

void addRegisterCommands(Commands& commands) {
    commands.add({"relasjon",
                  std::string("relasjon legg-til|oppdater|fjern|reparer --navn R [--nytt-navn N] "
                              "[--tekst T] [--belop B] "
                              "[--hvem alle|eksisterende|eksisterende+utvalg|nytt-utvalg] ") +
                      kSelectionUsage + "  en standardrelasjon brukt på et utvalg",
                  runRelasjon,
                  withSelectionOptions({{"navn"}, {"nytt-navn"}, {"tekst"}, {"belop"}, {"hvem"}})});
    commands.add({"kopier",
                  std::string("kopier --til ORGNR [--til-kategori K|UENDRET] "
                              "[--til-betaling B|UENDRET] ") +
                      kSelectionUsage + "  kopierer et utvalg medlemmer",
                  [](Context& c) { return runKopier(c, TKopierMode::Copy); },
                  withSelectionOptions({{"til"}, {"til-kategori"}, {"til-betaling"}})});
    commands.add({"slett-medlemmer",
                  std::string("slett-medlemmer ") + kSelectionUsage +
                      "  sletter et utvalg medlemmer (svar med --yes/--no)",
                  [](Context& c) { return runKopier(c, TKopierMode::Delete); },
                  withSelectionOptions({})});
}

}  // namespace lagrull::cli
