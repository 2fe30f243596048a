#pragma once
// A register in a directory of the test's own, filled by SQL: organisations,
// members and claims with the KIDs the claim pass gives them.

#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "data/data_store.h"
#include "data/field_access.h"
#include "data/orv_query.h"
#include "payments/kid.h"
#include "scripted_ui.h"
#include "temp_dir.h"

namespace lagrull::test {

class RegisterTest : public ::testing::Test {
protected:
    RegisterTest() : store(ui, "", dir.str()) { store.start(); }

    data::TDatabase& db() { return store.dbLocal(); }

    int exec(const std::string& sql) {
        data::TOrvQuery q(db());
        q.setSql(sql);
        return q.execSQL();
    }
    void organisation(std::int64_t orgnr, const std::string& name,
                      const std::string& account = "12345678903") {
        exec("insert into orgreg (orgnr, orgnavn, bankkonto) values (" + std::to_string(orgnr) +
             ", '" + name + "', '" + account + "')");
    }
    void member(std::int64_t orgnr, const std::string& medlnr, const std::string& enavn,
                const std::string& fornavn, int betaling = 2, int varsling = 0) {
        exec("insert into medlreg (orgnr, medlnr, enavn, fornavn, betaling, varsling) values (" +
             std::to_string(orgnr) + ", '" + medlnr + "', '" + enavn + "', '" + fornavn + "', " +
             std::to_string(betaling) + ", " + std::to_string(varsling) + ")");
    }
    // A claim of `belop` kroner due `dato` ("DDMMYYYY"); returns its KID.
    std::string claim(std::int64_t orgnr, const std::string& medlnr, const std::string& dato,
                      double belop, int betaling = 2, const std::string& tekst = "Kontingent") {
        std::string kid = MakeKid(std::to_string(orgnr + 1), medlnr, dato, RegisterKind::Members);
        exec(
            "insert into mbetreg (orgnr, medlnr, dato, belop, betaling, kid, tekst, betflag, "
            "betdato) values (" +
            std::to_string(orgnr) + ", '" + medlnr + "', '" + dato + "', " + std::to_string(belop) +
            ", " + std::to_string(betaling) + ", '" + kid + "', '" + tekst + "', '', '')");
        return kid;
    }
    // One field of one row of a local SQL query, as text.
    std::string value(const std::string& sql, const std::string& field) {
        data::TOrvQuery q(db());
        q.setSql(sql);
        q.open();
        return q.eof() ? std::string("<ingen rad>") : data::FieldText(q, field);
    }
    std::string claimField(const std::string& kid, const std::string& field) {
        return value("select * from mbetreg where kid = '" + kid + "'", field);
    }
    std::string memberField(std::int64_t orgnr, const std::string& medlnr,
                            const std::string& field) {
        return value("select * from medlreg where orgnr = " + std::to_string(orgnr) +
                         " and medlnr = '" + medlnr + "'",
                     field);
    }
    std::filesystem::path writeFile(const std::string& name, const std::string& text) {
        auto path = dir.path() / name;
        std::ofstream(path, std::ios::binary) << text;
        return path;
    }

    TempDir dir;
    ScriptedUi ui;
    data::DataStore store;
};

}  // namespace lagrull::test
