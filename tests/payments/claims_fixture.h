#pragma once
// A data store on a fresh directory with one organisation, and helpers to
// put members, categories, relations and claims into it and read claims back.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "data/data_store.h"
#include "data/orv_query.h"
#include "scripted_ui.h"
#include "temp_dir.h"

namespace lagrull::test {

class ClaimsTest : public ::testing::Test {
protected:
    static constexpr std::int64_t kOrg = 1;

    explicit ClaimsTest(RegisterKind registerKind = RegisterKind::Members) {
        if (registerKind == RegisterKind::Rent)
            dir.write("lagrul.ini", "[Setup]\r\nRegister=1\r\n");
        store = std::make_unique<data::DataStore>(ui, dir.str() + "/lagrul.ini", dir.str());
        store->start();
        exec(
            "insert into orgreg (orgnr, orgnavn, adresse, postnr, poststed, bankkonto) "
            "values (1, 'Idrettslaget Ørn', 'Postboks 7', '0150', 'OSLO', '12345678903')");
        ui.messages.clear();
    }

    data::TDatabase& db() { return store->dbLocal(); }

    int exec(const std::string& sql,
             const std::vector<std::pair<std::string, data::Value>>& params = {}) {
        data::TOrvQuery q(db());
        q.setSql(sql);
        for (const auto& [name, value] : params) q.setParam(name, value);
        return q.execSQL();
    }

    // Rows of a query, each row's fields joined by "|".
    std::vector<std::string> rows(const std::string& sql) {
        data::TOrvQuery q(db());
        q.setSql(sql);
        q.open();
        std::vector<std::string> out;
        for (; !q.eof(); q.next()) {
            std::string line;
            for (int f = 0; f < q.fieldCount(); ++f)
                line += (f ? "|" : "") + data::valueToText(q.field(f), q.value(f));
            out.push_back(line);
        }
        return out;
    }

    std::string one(const std::string& sql) {
        const auto r = rows(sql);
        return r.empty() ? "<ingen>" : r.front();
    }

    void category(const std::string& name, double amount, bool fixed) {
        exec("insert into kontgrp (orgnr, kategori, belop, fastbelop) values (1, :k, :b, :f)",
             {{"k", data::Value(name)},
              {"b", data::Value(amount)},
              {"f", data::Value(std::int64_t(fixed))}});
    }

    struct Member {
        std::string medlnr{}, enavn{}, fornavn{}, kategori{};
        data::Value betaling = std::int64_t(2), belop = 0.0;
        std::int64_t varsling = 0;
        std::string adresse{}, postnr{}, poststed{}, adresse3{}, bankkonto{};
        std::int64_t orgnr = kOrg;
    };
    void member(const Member& m) {
        exec(
            "insert into medlreg (orgnr, medlnr, nmedlnr, enavn, fornavn, kategori, betaling, "
            "belop, varsling, adresse, postnr, poststed, adresse3, bankkonto) values (:o, :m, "
            ":n, :e, :f, :k, :bet, :b, :v, :a, :p, :ps, :a3, :konto)",
            {{"o", data::Value(m.orgnr)},
             {"m", data::Value(m.medlnr)},
             {"n", data::Value(std::atof(m.medlnr.c_str()))},
             {"e", data::Value(m.enavn)},
             {"f", data::Value(m.fornavn)},
             {"k", data::Value(m.kategori)},
             {"bet", m.betaling},
             {"b", m.belop},
             {"v", data::Value(m.varsling)},
             {"a", data::Value(m.adresse)},
             {"p", data::Value(m.postnr)},
             {"ps", data::Value(m.poststed)},
             {"a3", data::Value(m.adresse3)},
             {"konto", data::Value(m.bankkonto)}});
    }

    void relation(const std::string& medlnr, const std::string& name, double amount) {
        exec("insert into relreg (orgnr, medlnr, relasjon, belop) values (1, :m, :r, :b)",
             {{"m", data::Value(medlnr)}, {"r", data::Value(name)}, {"b", data::Value(amount)}});
    }

    TempDir dir;
    ScriptedUi ui;
    std::unique_ptr<data::DataStore> store;
};

}  // namespace lagrull::test
