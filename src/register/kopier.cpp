#include "register/kopier.h"

#include <array>
#include <string>
#include <unordered_set>

#include "common/choice_list.h"
#include "common/error.h"
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

constexpr int kStepStart = 1, kStepHvem = 2, kStepUtvalg = 3;

// The fields a copy writes besides ORGNR and MEDLNR (KATEGORI and BETALING
// by the choices). E-mail, notice code, company and member-since date stay.
constexpr std::array<const char*, 22> kCopiedFields = {
    "nmedlnr", "enavn",     "fornavn", "adresse", "adresse2", "adresse3", "postnr",  "poststed",
    "telefon", "bankkonto", "fdato",   "belop",   "tekst",    "ekstra1",  "ekstra2", "ekstra3",
    "ekstra4", "ekstra5",   "ekstra6", "ekstra7", "ekstra8",  "ekstra9"};
constexpr const char* kLastCopied = "ekstra10";

std::string copyUpdateSql() {
    std::string sql = "update medlreg set kategori = :kategori, betaling = :betaling";
    for (const char* f : kCopiedFields) sql += std::string(", ") + f + " = :" + f;
    sql += std::string(", ") + kLastCopied + " = :" + kLastCopied;
    return sql + " where orgnr = :orgnr and medlnr = :medlnr";
}

std::string copyInsertSql() {
    std::string names = "orgnr, medlnr, kategori, betaling",
                values = ":orgnr, :medlnr, :kategori, :betaling";
    for (const char* f : kCopiedFields) {
        names += std::string(", ") + f;
        values += std::string(", :") + f;
    }
    names += std::string(", ") + kLastCopied;
    values += std::string(", :") + kLastCopied;
    return "insert into medlreg (" + names + ") values (" + values + ")";
}

std::int64_t countOf(TOrvCommand& c) { return std::get<std::int64_t>(c.firstRow().at(0)); }

}  // namespace

const std::vector<TBetalingEntry>& KopierBetalingEntries() {
    static const std::vector<TBetalingEntry> entries = {{kUendret, -1},  {"Fast oppdrag", 0},
                                                        {"Autogiro", 1}, {"Giro", 2},
                                                        {"Kontant", 3},  {"AvtaleGiro", 1}};
    return entries;
}

// --- step 1 ---------------------------------------------------------------

void TStartKopierStep::Setup(data::TDatabase& db, TKopierMode mode, std::int64_t orgNr,
                             const std::string& navn) {
    db_ = &db;
    mode_ = mode;
    caption_ = mode == TKopierMode::Copy ? "Kopiering" : "Sletting";
    fraNavn_ = navn;
    organisations_.clear();
    data::TOrvQuery q(db);
    q.setSql("select distinct orgnr, orgnavn from orgreg");
    q.open();
    int current = 0;
    for (; !q.eof(); q.next()) {
        if (data::FieldInt(q, "orgnr") == orgNr) current = static_cast<int>(organisations_.size());
        organisations_.push_back({data::FieldInt(q, "orgnr"), data::FieldText(q, "orgnavn")});
    }
    Betaling = 0;
    SetupChanged();
    SetTarget(current);
}

void TStartKopierStep::SetTarget(int index) {
    if (index < 0 || index >= static_cast<int>(organisations_.size())) return;
    target_ = index;
    Kategori.entries = {kUendret};
    Kategori.index = 0;
    data::TOrvQuery q(*db_);
    q.setSql("select kategori from kontgrp where orgnr = :orgnr order by kategori");
    q.setParamInt("orgnr", TargetOrg().orgNr);
    q.open();
    for (; !q.eof(); q.next()) Kategori.entries.push_back(data::FieldText(q, "kategori"));
    CategoriesChanged();
}

// --- the run --------------------------------------------------------------

bool KopierChangesSomething(const TKopierChoice& choice,
                            const reports::TUtvalgskriterier* criteria) {
    const bool anyCategory = !criteria || criteria->Kategori.index == 0;
    const bool anyPayment = !criteria || criteria->Betaling.index == 0;
    const bool category = choice.kategori != kUendret &&
                          (anyCategory || choice.kategori != criteria->Kategori.chosen());
    const bool payment =
        choice.betaling >= 0 &&
        (anyPayment || choice.betaling != std::stoi(choiceCode(criteria->Betaling.chosen())));
    return category || payment;
}

TKopier::TKopier(Ui& ui, data::TOrvDbMng& dbMng, reports::TSelectionStepFactory& steps,
                 TStartKopierStepFactory start, data::TOrvTable& organisations,
                 data::TOrvTable& members)
    : ui_(ui),
      dbMng_(dbMng),
      db_(members.database()),
      steps_(steps),
      start_(std::move(start)),
      organisations_(organisations),
      members_(members) {}

TKopierOutcome TKopier::Execute(TKopierMode mode) {
    mode_ = mode;
    orgNr_ = data::FieldInt(organisations_, "ORGNR");
    orgNavn_ = data::FieldText(organisations_, "ORGNAVN");
    struct Refresh {
        data::TOrvTable& t;
        ~Refresh() {
            if (t.isOpen()) t.refresh();
        }
    } refresh{members_};

    reports::TWizard wizard(kStepStart, kStepUtvalg);
    wizard.SetStep(kStepStart, {[this, mode]() -> std::unique_ptr<reports::TWizardStep> {
                                    std::unique_ptr<TStartKopierStep> w = start_();
                                    w->Setup(db_, mode, orgNr_, orgNavn_);
                                    return w;
                                },
                                [](reports::TWizardStep&, int result) {
                                    return result == reports::kStepNext ? kStepHvem
                                                                        : reports::TWizard::kAbort;
                                }});
    wizard.SetStep(kStepHvem, reports::WhoStep(steps_, "Ønsker du å gøre et utvalg?",
                                               {"Alle", "Utvalg"}, kStepStart, kStepUtvalg));
    wizard.SetStep(kStepUtvalg, reports::CriteriaStep(steps_, dbMng_, organisations_, members_));
    if (!wizard.Run(*this, this)) return {};

    const TStartKopierStep& start = *wizard.Window<TStartKopierStep>(kStepStart);
    TKopierChoice choice;
    choice.targetOrgNr = start.TargetOrg().orgNr;
    choice.targetNavn = start.TargetOrg().navn;
    choice.kategori = start.Kategori.chosen();
    choice.betaling = KopierBetalingEntries().at(static_cast<std::size_t>(start.Betaling)).code;
    reports::TUtvalgskriterierStep* criteria =
        wizard.LeftForwards(kStepUtvalg)
            ? wizard.Window<reports::TUtvalgskriterierStep>(kStepUtvalg)
            : nullptr;
    return Run(mode, choice, criteria ? &criteria->Criteria() : nullptr);
}

TKopierOutcome TKopier::Run(TKopierMode mode, const TKopierChoice& choice,
                            const reports::TUtvalgskriterier* criteria) {
    if (orgNr_ == 0) {
        orgNr_ = data::FieldInt(organisations_, "ORGNR");
        orgNavn_ = data::FieldText(organisations_, "ORGNAVN");
    }
    if (mode == TKopierMode::Copy) {
        if (choice.targetOrgNr == orgNr_ && !KopierChangesSomething(choice, criteria)) {
            ui_.error("Kan ikke kopiere fra/til samme poster!");
            return {};
        }
        if (!ui_.confirm("Bekreft kopiering",
                         "Kopiere fra " + orgNavn_ + " til " + choice.targetNavn))
            return {};
    } else if (!ui_.confirm("Bekreft sletting",
                            "Skal det angitte utvalget slettes fra " + orgNavn_ + "?")) {
        return {};
    }
    if (!Changed()) {  // no wizard: every member
        mode_ = mode;
        AddContribution(*this, *this);
    }

    TKopierOutcome out;
    {
        data::TOrvQuery query(db_);
        PrepareQuery(query);
        query.open();
        data::Transaction transaction(db_);
        if (mode == TKopierMode::Copy) {
            if (choice.kategori == kUendret) createMissingCategories(choice.targetOrgNr);
            copyMembers(query, choice, out);
        } else {
            deleteMembers(query, out);
        }
        transaction.commit();
    }
    out.done = true;
    if (mode == TKopierMode::Copy) {
        ui_.information("", "Antall kopiert : " + std::to_string(out.count));
    } else {
        ui_.information("", "Antall slettet : " + std::to_string(out.count) +
                                "~~Krav som står igjen i registeret for de slettede "
                                "medlemmene: " +
                                std::to_string(out.claimsLeft) +
                                "~Relasjoner som står igjen i registeret for de slettede "
                                "medlemmene: " +
                                std::to_string(out.relationsLeft));
    }
    return out;
}

void TKopier::createMissingCategories(std::int64_t target) {
    data::TOrvQuery used(db_);
    used.setSql("select distinct kategori from medlreg where orgnr = " + std::to_string(orgNr_));
    used.open();
    TOrvCommand exists(
        db_, "select count(*) from kontgrp where orgnr = :orgnr and kategori = :kategori");
    TOrvCommand source(db_,
                       "select belop, fastbelop from kontgrp where orgnr = :orgnr and "
                       "kategori = :kategori");
    TOrvCommand add(db_,
                    "insert into kontgrp (orgnr, kategori, belop, fastbelop) "
                    "values (:orgnr, :kategori, :belop, :fastbelop)");
    exists.setParam("orgnr", Value(target));
    source.setParam("orgnr", Value(orgNr_));
    add.setParam("orgnr", Value(target));
    for (; !used.eof(); used.next()) {
        const Value name(data::FieldText(used, "kategori"));
        exists.setParam("kategori", name);
        if (countOf(exists) > 0) continue;
        source.setParam("kategori", name);
        const std::vector<Value> row = source.firstRow();
        add.setParam("kategori", name);
        add.setParam("belop", row.empty() || data::isNull(row[0]) ? Value(0.0) : row[0]);
        add.setParam("fastbelop",
                     row.empty() || data::isNull(row[1]) ? Value(std::int64_t{0}) : row[1]);
        try {
            add.execute();
        } catch (const data::EDatabaseError&) {
            // A category that cannot be written is left out; the members keep the name.
        }
    }
}

void TKopier::copyMembers(data::TOrvQuery& query, const TKopierChoice& choice,
                          TKopierOutcome& out) {
    TOrvCommand update(db_, copyUpdateSql());
    TOrvCommand insert(db_, copyInsertSql());
    for (TOrvCommand* c : {&update, &insert}) c->setParam("orgnr", Value(choice.targetOrgNr));
    // Each field's column in the query and parameter in either statement,
    // looked up once for the whole pass.
    struct Slot {
        int field, update, insert;
    };
    const auto slot = [&](const char* name) {
        return Slot{query.fieldIndex(name), update.paramIndex(name), insert.paramIndex(name)};
    };
    std::vector<Slot> copied;
    copied.reserve(kCopiedFields.size() + 2);
    copied.push_back(slot("medlnr"));  // the member number first
    copied.push_back(slot(kLastCopied));
    for (const char* f : kCopiedFields) copied.push_back(slot(f));
    const Slot kategori = slot("kategori"), betaling = slot("betaling");
    const bool ownCategory = choice.kategori == kUendret, ownPayment = choice.betaling < 0;
    const Value chosenCategory(choice.kategori), chosenPayment(std::int64_t{choice.betaling});
    const auto bind = [&](TOrvCommand& c, int Slot::*param) {
        for (const Slot& s : copied) c.setParamRef(s.*param, query.value(s.field));
        c.setParamRef(kategori.*param, ownCategory ? query.value(kategori.field) : chosenCategory);
        c.setParamRef(betaling.*param, ownPayment ? query.value(betaling.field) : chosenPayment);
    };

    // The target's member numbers. Texts of the register are equal only when
    // identical, so this set tells which members the target has, and a new
    // member is inserted without first running an update that finds nothing.
    std::unordered_set<std::string> present;
    {
        data::TOrvQuery target(db_);
        target.setSql("select medlnr from medlreg where orgnr = :orgnr");
        target.setParamInt("orgnr", choice.targetOrgNr);
        for (data::TOrvCursor c(target); c.next();) present.insert(c.text(0));
    }

    ProgressWindow progress(ui_, query.recordCount());
    for (; !query.eof(); query.next()) {
        const std::string* nr = std::get_if<std::string>(&query.value(copied.front().field));
        bool updated = false;
        if (!nr || present.contains(*nr)) {
            bind(update, &Slot::update);
            updated = update.execute() > 0;
        }
        if (!updated) {
            bind(insert, &Slot::insert);
            insert.execute();
            if (nr) present.insert(*nr);
        }
        ++out.count;
        progress.step();
    }
    progress.finish();
}

void TKopier::deleteMembers(data::TOrvQuery& query, TKopierOutcome& out) {
    TOrvCommand drop(db_, "delete from medlreg where orgnr = :orgnr and medlnr = :medlnr");
    TOrvCommand claims(db_,
                       "select count(*) from mbetreg where orgnr = :orgnr and medlnr = :medlnr");
    TOrvCommand relations(db_,
                          "select count(*) from relreg where orgnr = :orgnr and medlnr = :medlnr");
    for (TOrvCommand* c : {&drop, &claims, &relations}) c->setParam("orgnr", Value(orgNr_));
    const int medlnr = query.fieldIndex("medlnr");
    const int dropNr = drop.paramIndex("medlnr"), claimsNr = claims.paramIndex("medlnr"),
              relationsNr = relations.paramIndex("medlnr");
    ProgressWindow progress(ui_, query.recordCount());
    for (; !query.eof(); query.next()) {
        drop.setParamRef(dropNr, query.value(medlnr));
        if (drop.execute() > 0) {
            ++out.count;
            claims.setParamRef(claimsNr, query.value(medlnr));
            relations.setParamRef(relationsNr, query.value(medlnr));
            out.claimsLeft += countOf(claims);
            out.relationsLeft += countOf(relations);
        }
        progress.step();
    }
    progress.finish();
}

// The member query reads only what the pass uses: a delete needs the member
// number alone, which the key index holds, so no member row is read.
const reports::TStringList& TKopier::SelectItems() {
    std::string items = "m.medlnr";
    if (mode_ == TKopierMode::Copy) {
        items += ",m.kategori,m.betaling," + std::string("m.") + kLastCopied;
        for (const char* f : kCopiedFields) items += std::string(",m.") + f;
    }
    select_ = {items};
    return select_;
}

const reports::TStringList& TKopier::FromItems() {
    from_ = {"medlreg m"};
    return from_;
}

const reports::TStringList& TKopier::WhereItems() {
    where_ = {"m.orgnr = :orgnr"};
    return where_;
}

const reports::TQueryParamList& TKopier::ParamItems() {
    params_.Clear();
    params_.AddInteger("orgnr", orgNr_);
    return params_;
}

const reports::TStringList& TKopier::OrderByItems() {
    orderBy_.clear();
    return orderBy_;
}

}  // namespace lagrull
