#pragma once
// A register on a fresh data directory with the main window's tables linked
// as the window links them, filled with a small deterministic club: members
// of two organisations with every kind of value the criteria look at
// (non-numeric member numbers, empty dates, extra fields in mixed case,
// relations, claims of two due dates, paid and unpaid). A snapshot read back
// with plain SQL lets a test compute what a selection must yield without
// the query builder.

#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "data/data_store.h"
#include "data/field_access.h"
#include "data/orv_query.h"
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
        store = std::make_unique<data::DataStore>(ui, dir.str() + "/lagrul.ini", dir.str());
        TMainFormLogic::prepareTables(tables());
        store->start();
        fill();
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
    void fill();
    std::vector<MemberRow> readSnapshot();
};

inline void SelectionTest::fill() {
    using data::Value;
    auto text = [](const std::string& s) { return Value(s); };
    auto num = [](std::int64_t n) { return Value(n); };
    exec(
        "insert into orgreg (orgnr, orgnavn, ekstranavn1, ekstranavn2) values (:p0, :p1, :p2, "
        ":p3)",
        {num(1), text("Idrettslaget Ørn"), text("Farge"), text("Lag")});
    exec("insert into orgreg (orgnr, orgnavn) values (:p0, :p1)", {num(2), text("Korpset")});
    const std::vector<std::string> postnrs{"0150", "0151", "1337", "5003", "7010", "9990", ""};
    const std::vector<std::string> categories{"Senior", "Junior", "Familie", "Æresmedlem", ""};
    const std::vector<std::string> colours{"ab", "AB", "Abc", "xab", "aB%", "", "b"};
    const std::vector<std::string> teams{"rød", "RØD", "blå", "", "Rødt"};
    const std::vector<std::string> surnames{"Ås", "Berg", "Dahl", "Øvre", "Aas", "Lie"};
    const std::vector<std::string> firstNames{"Per", "Kari", "Ola", "Åse", "Nils"};
    std::uint32_t seed = 20261209;
    auto next = [&seed](std::uint32_t n) {
        seed = seed * 1664525u + 1013904223u;
        return (seed >> 8) % n;
    };
    auto date = [&next](int fromYear, int years) {
        char buf[9];
        std::snprintf(buf, sizeof buf, "%02u%02u%04u", next(28) + 1, next(12) + 1,
                      static_cast<unsigned>(fromYear) + next(static_cast<std::uint32_t>(years)));
        return std::string(buf);
    };
    for (int i = 1; i <= 78; ++i) {
        const std::int64_t org = i > 70 ? 2 : 1;
        const bool numeric = i % 13 != 0;
        const std::string nr = numeric ? std::to_string(i) : "A" + std::to_string(i);
        exec(
            "insert into medlreg (orgnr, medlnr, nmedlnr, enavn, fornavn, postnr, kategori, "
            "betaling, ekstra1, ekstra2, fdato, medlfradato) values (:p0, :p1, :p2, :p3, :p4, "
            ":p5, :p6, :p7, :p8, :p9, :p10, :p11)",
            {num(org), text(nr), Value(numeric ? static_cast<double>(i) : 0.0),
             text(surnames[next(6)]), text(firstNames[next(5)]), text(postnrs[next(7)]),
             text(categories[next(5)]), num(next(4)), text(colours[next(7)]), text(teams[next(5)]),
             text(i % 9 == 0 ? std::string() : date(1940, 75)),
             text(i % 7 == 0 ? std::string() : date(1990, 35))});
        if (i % 5 == 0)
            exec("insert into relreg (orgnr, medlnr, relasjon) values (:p0, :p1, :p2)",
                 {num(org), text(nr), text("Styret")});
        if (i % 3 == 0)
            exec("insert into relreg (orgnr, medlnr, relasjon) values (:p0, :p1, :p2)",
                 {num(org), text(nr), text("Dugnad")});
        if (i % 2 == 0)
            exec("insert into mbetreg (orgnr, medlnr, dato, betflag) values (:p0, :p1, :p2, :p3)",
                 {num(org), text(nr), text("15032025"), text(i % 4 == 0 ? "X" : "")});
        if (i % 3 == 0)
            exec("insert into mbetreg (orgnr, medlnr, dato, betflag) values (:p0, :p1, :p2, :p3)",
                 {num(org), text(nr), text("01102025"), text(i % 6 == 0 ? "" : "X")});
    }
    exec("insert into relregstandard (orgnr, relasjon) values (:p0, :p1)", {num(1), text("Kiosk")});
    exec("insert into relregstandard (orgnr, relasjon) values (:p0, :p1)", {num(2), text("Kor")});
}

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
