#include "register/relations.h"

#include "common/error.h"
#include "common/text_codec.h"
#include "common/ui.h"
#include "data/database.h"
#include "data/field_access.h"
#include "data/orv_command.h"
#include "data/orv_query.h"
#include "data/orv_table.h"

namespace lagrull {

using data::TOrvCommand;
using data::Value;

namespace {

constexpr int kStepRelasjoner = 1, kStepHvem = 2, kStepUtvalg = 3;

const char* const kIndexWarning =
    "Mistanke om feil i tabellindeks. Kjør menyvalget \"Funksjoner - Reindeksering\". "
    "Ta kontakt med support dersom meldingen kommer igjen.";

// A pass of two halves (existing links, then members) over one gauge.
class HalvesProgress {
public:
    explicit HalvesProgress(Ui& ui) : window_(ui, kScale) {}
    // Moves to `done` of `total` within the half that spans [from, from + span).
    void at(double from, double span, long long done, long long total) {
        if (total > 0) window_.step(static_cast<long long>((from + span * done / total) * kScale));
    }
    void finish() { window_.finish(); }

private:
    static constexpr long long kScale = 1000000;
    ProgressWindow window_;
};

}  // namespace

// --- step 1 ---------------------------------------------------------------

void TRelasjonerStep::Setup(TRelOperation operation, const TRelValues& old) {
    operation_ = operation;
    switch (operation) {
        case TRelOperation::New: caption_ = "Opprett ny gruppe/relasjon"; break;
        case TRelOperation::Edit: caption_ = "Rediger gruppe/relasjon"; break;
        case TRelOperation::Delete: caption_ = "Slett relasjon/gruppe"; break;
    }
    Values = old;
    SetupChanged();
}

std::string RelWhoCaption(TRelOperation operation) {
    switch (operation) {
        case TRelOperation::New: return "Hvem skal tilknyttes gruppen/relasjonen?";
        case TRelOperation::Delete: return "For hvem skal gruppe/relasjon slettes?";
        case TRelOperation::Edit: break;
    }
    return "For hvem skal gruppen/relasjonen gjelde for?";
}

std::vector<std::string> RelWhoChoices(TRelOperation operation) {
    switch (operation) {
        case TRelOperation::New: return {"Alle", "Utvalg"};
        case TRelOperation::Delete:
            return {"Slett gruppe/relasjon og alle tilknytninger", "Slett for spesifikt utvalg"};
        case TRelOperation::Edit: break;
    }
    return {"Alle", "Kun for eksisterende tilknytninger",
            "For eksisterende tilknytninger + nytt utvalg", "Nytt utvalg (og fjern eksisterende)"};
}

bool RelChoiceIsSelection(TRelOperation operation, int choice) {
    if (operation == TRelOperation::Edit)
        return choice == kRelEksisterendePluss || choice == kRelNyttUtvalg;
    return choice == kRelUtvalg;
}

bool RelChoiceKeepsExisting(TRelOperation operation, int choice) {
    return operation == TRelOperation::Edit &&
           (choice == kRelKunEksisterende || choice == kRelEksisterendePluss);
}

bool StandardRelationExists(data::TDatabase& db, std::int64_t orgNr, const std::string& name) {
    TOrvCommand find(db,
                     "select count(*) from relregstandard where orgnr = :orgnr and "
                     "relasjon = :relasjon");
    find.setParam("orgnr", Value(orgNr));
    find.setParam("relasjon", Value(name));
    return std::get<std::int64_t>(find.firstRow().at(0)) > 0;
}

void AddStandardRelation(data::TDatabase& db, std::int64_t orgNr, const TRelValues& values) {
    TOrvCommand add(db,
                    "insert into relregstandard (orgnr, relasjon, tekst, belop) "
                    "values (:orgnr, :relasjon, :tekst, :belop)");
    add.setParam("orgnr", Value(orgNr));
    add.setParam("relasjon", Value(values.navn));
    add.setParam("tekst", Value(values.tekst));
    add.setParam("belop", Value(values.belop));
    add.execute();
}

// --- the run --------------------------------------------------------------

TRel::TRel(Ui& ui, data::TOrvDbMng& dbMng, reports::TSelectionStepFactory& steps,
           TRelasjonerStepFactory relasjoner, data::TOrvTable& organisations,
           data::TOrvTable& members)
    : ui_(ui),
      dbMng_(dbMng),
      db_(members.database()),
      steps_(steps),
      relasjoner_(std::move(relasjoner)),
      organisations_(organisations),
      members_(members) {}

TRelOutcome TRel::Execute(TRelOperation operation, data::TOrvTable& relReg,
                          data::TOrvTable& standard) {
    TRelValues old;
    if (operation != TRelOperation::New && standard.isOpen() && !standard.isEmpty()) {
        old.navn = data::FieldText(standard, "RELASJON");
        old.tekst = data::FieldText(standard, "TEKST");
        old.belop = data::FieldFloat(standard, "BELOP");
    }
    if (relReg.editing()) relReg.cancel();
    if (standard.editing()) standard.cancel();
    struct Refresh {
        data::TOrvTable &a, &b;
        ~Refresh() {
            if (a.isOpen()) a.refresh();
            if (b.isOpen()) b.refresh();
        }
    } refresh{relReg, standard};
    if (relReg.isOpen()) relReg.refresh();
    return Run(operation, old);
}

TRelOutcome TRel::Run(TRelOperation operation, const TRelValues& old) {
    if (RepairStandardList()) return {};

    reports::TWizard wizard(kStepRelasjoner, kStepUtvalg);
    wizard.SetStep(kStepRelasjoner,
                   {[this, operation, &old]() -> std::unique_ptr<reports::TWizardStep> {
                        std::unique_ptr<TRelasjonerStep> w = relasjoner_();
                        w->Setup(operation, old);
                        return w;
                    },
                    [](reports::TWizardStep&, int result) {
                        return result == reports::kStepNext ? kStepHvem : reports::TWizard::kAbort;
                    }});
    wizard.SetStep(kStepHvem,
                   {[this, operation]() -> std::unique_ptr<reports::TWizardStep> {
                        std::unique_ptr<reports::TKravTilHvemStep> w = steps_.CreateKravTilHvem();
                        w->Setup(RelWhoCaption(operation), RelWhoChoices(operation));
                        return w;
                    },
                    [operation](reports::TWizardStep& w, int result) {
                        if (result == reports::kStepBack) return kStepRelasjoner;
                        if (result != reports::kStepNext) return reports::TWizard::kAbort;
                        const int choice = static_cast<reports::TKravTilHvemStep&>(w).Choice();
                        return RelChoiceIsSelection(operation, choice) ? kStepUtvalg
                                                                       : kStepUtvalg + 1;
                    }});
    wizard.SetStep(kStepUtvalg, reports::CriteriaStep(steps_, dbMng_, organisations_, members_));
    if (!wizard.Run(*this, this)) return {};

    const TRelValues now = wizard.Window<TRelasjonerStep>(kStepRelasjoner)->Values;
    const int choice = wizard.Window<reports::TKravTilHvemStep>(kStepHvem)->Choice();
    return ApplyRelation(operation, choice, old, now, wizard.LeftForwards(kStepUtvalg));
}

bool TRel::RepairStandardList() {
    orgNr_ = data::FieldInt(organisations_, "ORGNR");
    data::Transaction transaction(db_);
    data::TOrvQuery used(db_);
    used.setSql(
        "select relasjon, tekst, belop from relreg where orgnr = :orgnr "
        "order by medlnr, relasjon");
    used.setParamInt("orgnr", orgNr_);
    used.open();
    bool added = false;
    for (; !used.eof(); used.next()) {
        const std::string name = data::FieldText(used, "relasjon");
        if (StandardRelationExists(db_, orgNr_, name)) continue;
        AddStandardRelation(
            db_, orgNr_, {name, data::FieldText(used, "tekst"), data::FieldFloat(used, "belop")});
        added = true;
    }
    TOrvCommand nameless(db_,
                         "delete from relregstandard where orgnr = :orgnr and "
                         "(relasjon = '' or relasjon is null)");
    nameless.setParam("orgnr", Value(orgNr_));
    nameless.execute();
    transaction.commit();
    if (added)
        ui_.information("Operasjon avbrutt!",
                        "Listen over standard grupper/relasjoner var ute av synkronisering med "
                        "relasjoner opprettet på medlemmer. Standardlisten på organisasjon er "
                        "blitt reparert.~~Sjekk listen etter reperasjon, og evt. gjenta operasjon "
                        "som ble avbrutt.");
    return added;
}

// The member query: every member of the organisation, or the selection.
const reports::TStringList& TRel::SelectItems() {
    select_ = {
        "distinct m.medlnr,substring(m.fdato from 5 for 4) || substring(m.fdato from 3 for 2) "
        "|| substring(m.fdato from 1 for 2) as dato "};
    return select_;
}

const reports::TStringList& TRel::FromItems() {
    from_ = {"medlreg m"};
    return from_;
}

const reports::TStringList& TRel::WhereItems() {
    where_ = {"m.orgnr = :orgnr"};
    return where_;
}

const reports::TQueryParamList& TRel::ParamItems() {
    params_.Clear();
    params_.AddInteger("orgnr", orgNr_);
    return params_;
}

const reports::TStringList& TRel::OrderByItems() {
    orderBy_.clear();
    return orderBy_;
}

std::vector<std::string> TRel::selectedMembers() {
    if (!Changed()) {
        // Called without the wizard (tests, lagrul-cli's plain runs): all members.
        AddContribution(*this, *this);
    }
    data::TOrvQuery query(db_);
    PrepareQuery(query);
    query.open();
    std::vector<std::string> out;
    out.reserve(static_cast<std::size_t>(query.recordCount()));
    for (; !query.eof(); query.next()) out.push_back(data::FieldText(query, "medlnr"));
    return out;
}

// The rules of applying (the numbers are the order of the work):
// 1. the standard row: new inserts it, edit rewrites the old one, delete with
//    the all choice removes it; deleting for a selection keeps it;
// 2. editing for other than the all choice visits the old name's links: the
//    keep-existing choices rename them, "Nytt utvalg" removes them;
// 3. unless only existing links were wanted, each member of the query gets a
//    row with the new name (new, edit) or loses it (delete).
TRelOutcome TRel::ApplyRelation(TRelOperation operation, int choice, const TRelValues& old,
                                const TRelValues& now, bool selectionMade) {
    orgNr_ = data::FieldInt(organisations_, "ORGNR");
    if (now.navn.empty()) {
        ui_.error(
            "Du har ikke valgt en relasjon, eller finnes det i det hele tatt noen relasjoner å "
            "slette?");
        return {};
    }
    const bool all = choice == kRelAlle;
    const bool keep = RelChoiceKeepsExisting(operation, choice);
    const bool selection = RelChoiceIsSelection(operation, choice) && selectionMade;
    // A rename that changes only the case is the same row to the register.
    const bool renamed = upperCase(now.navn) != upperCase(old.navn);
    const Value org(orgNr_);

    TRelOutcome outcome;
    HalvesProgress progress(ui_);
    data::Transaction transaction(db_);

    // 1. the standard list
    if (operation == TRelOperation::New ||
        (operation == TRelOperation::Edit && !StandardRelationExists(db_, orgNr_, old.navn))) {
        if (StandardRelationExists(db_, orgNr_, now.navn))
            throw Error("Gruppe/relasjon \"" + now.navn + "\" finnes fra før.");
        AddStandardRelation(db_, orgNr_, now);
    } else if (operation == TRelOperation::Edit) {
        if (renamed && StandardRelationExists(db_, orgNr_, now.navn))
            throw Error("Gruppe/relasjon \"" + now.navn + "\" finnes fra før.");
        TOrvCommand edit(db_,
                         "update relregstandard set relasjon = :ny, tekst = :tekst, "
                         "belop = :belop where orgnr = :orgnr and relasjon = :gammel");
        edit.setParam("orgnr", org);
        edit.setParam("gammel", Value(old.navn));
        edit.setParam("ny", Value(now.navn));
        edit.setParam("tekst", Value(now.tekst));
        edit.setParam("belop", Value(now.belop));
        edit.execute();
    } else if (all) {
        TOrvCommand drop(
            db_, "delete from relregstandard where orgnr = :orgnr and relasjon = :relasjon");
        drop.setParam("orgnr", org);
        drop.setParam("relasjon", Value(old.navn));
        drop.execute();
    }

    // 2. the old name's links
    bool halves = false;
    if (operation == TRelOperation::Edit && !all) {
        halves = true;
        data::TOrvQuery links(db_);
        links.setSql(
            "select medlnr, relasjon from relreg where orgnr = :orgnr and relasjon = :relasjon");
        links.setParamInt("orgnr", orgNr_);
        links.setParamText("relasjon", old.navn);
        links.open();
        TOrvCommand dropNew(db_,
                            "delete from relreg where orgnr = :orgnr and medlnr = :medlnr and "
                            "relasjon = :relasjon");
        TOrvCommand rename(db_,
                           "update relreg set relasjon = :ny, tekst = :tekst, belop = :belop "
                           "where orgnr = :orgnr and medlnr = :medlnr and relasjon = :gammel");
        dropNew.setParam("orgnr", org);
        rename.setParam("orgnr", org);
        rename.setParam("gammel", Value(old.navn));
        rename.setParam("ny", Value(now.navn));
        rename.setParam("tekst", Value(now.tekst));
        rename.setParam("belop", Value(now.belop));
        const long long total = links.recordCount();
        bool warned = false;
        long long done = 0;
        for (; !links.eof(); links.next()) {
            const Value medlnr(data::FieldText(links, "medlnr"));
            if (data::FieldText(links, "relasjon") != old.navn) {
                // The old name in another case: the index and the rows disagree.
                if (!warned) ui_.information("Advarsel!", kIndexWarning);
                warned = true;
            } else if (keep) {
                if (renamed) {
                    dropNew.setParam("medlnr", medlnr);
                    dropNew.setParam("relasjon", Value(now.navn));
                    dropNew.execute();
                }
                rename.setParam("medlnr", medlnr);
                rename.execute();
                ++outcome.count;
            } else {
                dropNew.setParam("medlnr", medlnr);
                dropNew.setParam("relasjon", Value(old.navn));
                outcome.removed += dropNew.execute();
            }
            progress.at(0, 0.5, ++done, total);
        }
    }

    // 3. the members
    if (!keep || selection) {
        const std::vector<std::string> members = selectedMembers();
        TOrvCommand update(db_,
                           "update relreg set tekst = :tekst, belop = :belop where orgnr = "
                           ":orgnr and medlnr = :medlnr and relasjon = :relasjon");
        TOrvCommand insert(db_,
                           "insert into relreg (orgnr, medlnr, relasjon, tekst, belop) "
                           "values (:orgnr, :medlnr, :relasjon, :tekst, :belop)");
        TOrvCommand drop(db_,
                         "delete from relreg where orgnr = :orgnr and medlnr = :medlnr and "
                         "relasjon = :relasjon");
        for (TOrvCommand* c : {&update, &insert, &drop}) {
            c->setParam("orgnr", org);
            c->setParam("relasjon", Value(now.navn));
        }
        for (TOrvCommand* c : {&update, &insert}) {
            c->setParam("tekst", Value(now.tekst));
            c->setParam("belop", Value(now.belop));
        }
        const long long total = static_cast<long long>(members.size());
        long long done = 0;
        for (const std::string& nr : members) {
            const Value medlnr(nr);
            if (operation == TRelOperation::Delete) {
                drop.setParam("medlnr", medlnr);
                outcome.count += drop.execute();
            } else {
                update.setParam("medlnr", medlnr);
                const bool found = update.execute() > 0;
                if (!found) {
                    insert.setParam("medlnr", medlnr);
                    insert.execute();
                }
                if (!(found && keep)) ++outcome.count;
            }
            progress.at(halves ? 0.5 : 0, halves ? 0.5 : 1, ++done, total);
        }
    }
    if (operation == TRelOperation::Delete && all) {
        // Rows of members no longer in the register go too: left behind they
        // would bring the name back into the standard list at the next run.
        TOrvCommand orphans(db_,
                            "delete from relreg where orgnr = :orgnr and relasjon = :relasjon");
        orphans.setParam("orgnr", org);
        orphans.setParam("relasjon", Value(old.navn));
        orphans.execute();
    }
    transaction.commit();
    progress.finish();
    outcome.applied = true;

    std::string report;
    if (operation == TRelOperation::New) {
        report = "Antall tilknytninger som ble lagt til gruppe/relasjon: " +
                 std::to_string(outcome.count);
    } else if (operation == TRelOperation::Delete) {
        report = all ? "Gruppe/relasjon er slettet sammen med alle tilknytninger"
                     : "Antall tilknytninger som ble fjernet fra gruppe/relasjon: " +
                           std::to_string(outcome.count);
    } else if (choice == kRelNyttUtvalg) {
        report = "Utført:~~- Tidligere tilknytninger til gruppe/relasjon ble fjernet (" +
                 std::to_string(outcome.removed) +
                 " stk)~- Nye tilknytninger for gruppe/relasjon er lagt til (" +
                 std::to_string(outcome.count) + " stk)";
    } else {
        report = "Antall tilknytninger som ble oppdatert på gruppe/relasjon: " +
                 std::to_string(outcome.count);
    }
    ui_.information("", report);
    return outcome;
}

}  // namespace lagrull
