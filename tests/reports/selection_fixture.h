#pragma once
// The demo register (two organisations, claims of both due dates) on a
// fresh data directory, with the main window's tables linked as the window
// links them. A snapshot read back with plain SQL lets a test compute what a
// selection must yield without the query builder.

#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "data/data_store.h"
#include "data/field_access.h"
#include "data/orv_query.h"
#include "demo_store.h"
#include "register/main_form_logic.h"
#include "reports/member_selection.h"
#include "scripted_ui.h"
#include "temp_dir.h"

namespace lagrull::test {

struct ClaimRow {
    std::string dato, betflag;
};

struct MemberRow {
    std::int64_t orgnr = 0;
    std::string medlnr, enavn, fornavn, postnr, kategori, fdato, medlfradato;
    double nmedlnr = 0;
    std::int64_t betaling = 0;
    std::array<std::string, 10> ekstra;
    std::set<std::string> relations;
    std::vector<ClaimRow> claims;
};

// A criteria step that sets the criteria by a function and goes on.
class ScriptedCriteriaStep : public reports::TUtvalgskriterierStep {
public:
    ScriptedCriteriaStep(data::TOrvDbMng& dbMng,
                         std::function<void(reports::TUtvalgskriterier&)> set)
        : TUtvalgskriterierStep(dbMng), set_(std::move(set)) {}

protected:
    int Execute() override {
        set_(Criteria());
        Criteria().CheckEntries();
        return reports::kStepNext;
    }

private:
    std::function<void(reports::TUtvalgskriterier&)> set_;
};

class ScriptedSteps : public reports::TSelectionStepFactory {
public:
    std::function<void(reports::TUtvalgskriterier&)> set = [](reports::TUtvalgskriterier&) {};
    std::unique_ptr<reports::TKravTilHvemStep> CreateKravTilHvem() override { return nullptr; }
    std::unique_ptr<reports::TUtvalgskriterierStep> CreateUtvalgskriterier(
        data::TOrvDbMng& dbMng) override {
        return std::make_unique<ScriptedCriteriaStep>(dbMng, set);
    }
};

// Picks a member as a click in the member grid does.
inline void pickMember(reports::TUtvalgskriterier& c, const std::string& nr) {
    data::TOrvTable& m = *c.Members();
    for (m.first(); !m.eof(); m.next())
        if (data::FieldText(m, "MEDLNR") == nr) {
            c.PickCurrent();
            return;
        }
    ADD_FAILURE() << "no member " << nr;
}

class SelectionTest : public ::testing::Test {
protected:
    SelectionTest() {
        demo::DemoOptions options;
        options.organisations = 2;
        options.claims = true;
        makeDemoStore(dir.path(), options);
        store = std::make_unique<data::DataStore>(ui, dir.str() + "/lagrul.ini", dir.str());
        TMainFormLogic::prepareTables(tables());
        store->start();
        TMainFormLogic::linkTables(tables());
        snapshot = readSnapshot();
    }

    data::RegisterTables& tables() { return store->tables(); }
    data::TDatabase& db() { return store->dbLocal(); }

    void exec(const std::string& sql, const std::vector<data::Value>& values) {
        data::TOrvQuery q(db());
        q.setSql(sql);
        for (std::size_t i = 0; i < values.size(); ++i)
            q.setParam("p" + std::to_string(i), values[i]);
        q.execSQL();
    }

    // The member numbers a selection yields, one per row, in query order.
    std::vector<std::string> select(std::function<void(reports::TUtvalgskriterier&)> set) {
        ScriptedSteps steps;
        steps.set = std::move(set);
        reports::TMedlemsutvalg selection(steps, store->dbMng(), tables().OrgTable,
                                          tables().MedlTable);
        EXPECT_TRUE(selection.Execute());
        data::TOrvQuery q(db());
        selection.PrepareQuery(q);
        q.open();
        std::vector<std::string> out;
        for (; !q.eof(); q.next()) out.push_back(data::FieldText(q, "medlnr"));
        return out;
    }

    ScriptedUi ui;
    TempDir dir;
    std::unique_ptr<data::DataStore> store;
    std::vector<MemberRow> snapshot;

private:
    std::vector<MemberRow> readSnapshot();
};

inline std::vector<MemberRow> SelectionTest::readSnapshot() {
    std::vector<MemberRow> out;
    data::TOrvQuery q(db());
    q.setSql("select * from medlreg");
    q.open();
    for (; !q.eof(); q.next()) {
        MemberRow m;
        m.orgnr = data::FieldInt(q, "orgnr");
        m.medlnr = data::FieldText(q, "medlnr");
        m.enavn = data::FieldText(q, "enavn");
        m.fornavn = data::FieldText(q, "fornavn");
        m.postnr = data::FieldText(q, "postnr");
        m.kategori = data::FieldText(q, "kategori");
        m.fdato = data::FieldText(q, "fdato");
        m.medlfradato = data::FieldText(q, "medlfradato");
        m.nmedlnr = data::FieldFloat(q, "nmedlnr");
        m.betaling = data::FieldInt(q, "betaling");
        for (int i = 0; i < 10; ++i)
            m.ekstra[static_cast<std::size_t>(i)] =
                data::FieldText(q, "ekstra" + std::to_string(i + 1));
        out.push_back(std::move(m));
    }
    auto find = [&out](std::int64_t org, const std::string& nr) -> MemberRow& {
        for (MemberRow& m : out)
            if (m.orgnr == org && m.medlnr == nr) return m;
        throw std::runtime_error("orphan row " + nr);
    };
    data::TOrvQuery r(db());
    r.setSql("select orgnr, medlnr, relasjon from relreg");
    r.open();
    for (; !r.eof(); r.next())
        find(data::FieldInt(r, "orgnr"), data::FieldText(r, "medlnr"))
            .relations.insert(data::FieldText(r, "relasjon"));
    data::TOrvQuery b(db());
    b.setSql("select orgnr, medlnr, dato, betflag from mbetreg");
    b.open();
    for (; !b.eof(); b.next())
        find(data::FieldInt(b, "orgnr"), data::FieldText(b, "medlnr"))
            .claims.push_back({data::FieldText(b, "dato"), data::FieldText(b, "betflag")});
    return out;
}

}  // namespace lagrull::test
