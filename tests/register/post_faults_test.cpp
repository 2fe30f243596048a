// The main window's posts under injected faults: a member, an organisation
// and a category inserted, changed and deleted through the rules the window
// uses. After each fault the register holds the state before or after the
// post (a deleted member with its claims and relations, a deleted
// organisation with everything of it), never a part, and the user is told.
#include <gtest/gtest.h>

#include <fstream>

#include "data/data_store.h"
#include "data/field_access.h"
#include "data/orv_command.h"
#include "data/orv_query.h"
#include "fault_walk.h"
#include "register/main_form_logic.h"
#include "register_fixture.h"
#include "services/postnr.h"
#include "services/postnr_writer.h"

namespace lagrull::test {
namespace {

namespace fs = std::filesystem;
using data::Value;

// Two organisations, each with members, a category, claims and relations.
void writeRegister(const fs::path& dir) {
    std::ofstream(dir / "Postnr.num", std::ios::binary)
        << makePostnrFile({{150, "OSLO"}, {1337, "SANDVIKA"}});
    ScriptedUi ui;
    data::DataStore store(ui, "", dir.string());
    store.start();
    data::TDatabase& db = store.dbLocal();
    data::Transaction transaction(db);
    data::TOrvCommand org(db, "insert into orgreg (orgnr, orgnavn) values (:o, :navn)");
    data::TOrvCommand category(
        db, "insert into kontgrp (orgnr, kategori, belop) values (:o, 'Senior', 500)");
    data::TOrvCommand standard(
        db, "insert into relregstandard (orgnr, relasjon) values (:o, 'Styret')");
    data::TOrvCommand member(db,
                             "insert into medlreg (orgnr, medlnr, nmedlnr, enavn, fornavn, "
                             "kategori) values (:o, :m, :n, :enavn, 'Kari', 'Senior')");
    data::TOrvCommand claim(
        db, "insert into mbetreg (orgnr, medlnr, dato, belop) values (:o, :m, '01012026', 500)");
    data::TOrvCommand relation(
        db, "insert into relreg (orgnr, medlnr, relasjon) values (:o, :m, 'Styret')");
    for (const std::int64_t o : {1, 2}) {
        org.setParam("o", Value(o));
        org.setParam("navn", Value("Lag " + std::to_string(o)));
        org.execute();
        for (data::TOrvCommand* c : {&category, &standard}) {
            c->setParam("o", Value(o));
            c->execute();
        }
        for (int m = 1; m <= 12; ++m) {
            const std::string nr = std::to_string(m);
            member.setParam("n", Value(static_cast<double>(m)));
            member.setParam("enavn", Value("Etternavn" + nr));
            for (data::TOrvCommand* c : {&member, &claim, &relation}) {
                c->setParam("o", Value(o));
                c->setParam("m", Value(nr));
                c->execute();
            }
        }
    }
    transaction.commit();
}

// The main window's rules on the register, as the window opens it.
struct Window {
    Window(const fs::path& dir, Ui& ui) : postal(dir.string()), store(ui, "", dir.string()) {
        TMainFormLogic::prepareTables(store.tables());
        store.start();
        logic = std::make_unique<TMainFormLogic>(store, ui, view, postal);
        logic->attach();
    }
    data::TOrvTable& org() { return store.tables().OrgTable; }
    data::TOrvTable& medl() { return store.tables().MedlTable; }
    data::TOrvTable& kont() { return store.tables().KontTable; }
    // The second organisation and its member 7.
    void onMember() {
        if (!org().findKey(std::vector<std::string>{"Lag 2"}))
            throw Error("Fant ikke organisasjonen");
        if (!medl().findKey({Value(std::int64_t{2}), Value("Etternavn7"), Value("Kari")}))
            throw Error("Fant ikke medlemmet");
    }

    TPostNr postal;
    RecordingView view;
    data::DataStore store;
    std::unique_ptr<TMainFormLogic> logic;
};

// A post the rules stopped is a fault of the test, not of the register.
void mustPost(data::TOrvTable& t) {
    if (!t.post()) throw Error("Posten ble stoppet");
}

void walkPost(const char* name, const std::function<void(Window&)>& post) {
    walkFaultPlans(name, {writeRegister, [&](const fs::path& dir, Ui& ui) {
                              Window w(dir, ui);
                              post(w);
                          }});
}

TEST(PostFaults, Member) {
    walkPost("nytt medlem", [](Window& w) {
        w.onMember();
        w.medl().insert();
        data::SetFieldText(w.medl(), "MEDLNR", "40");
        data::SetFieldText(w.medl(), "ENAVN", "Ny");
        mustPost(w.medl());
    });
    walkPost("endret medlem", [](Window& w) {
        w.onMember();
        w.medl().edit();
        data::SetFieldText(w.medl(), "ADRESSE", "Ny vei 1");
        mustPost(w.medl());
    });
    walkPost("slettet medlem", [](Window& w) {
        w.onMember();
        if (!w.medl().remove()) throw Error("Slettingen ble stoppet");
    });
}

TEST(PostFaults, Organisation) {
    walkPost("ny organisasjon", [](Window& w) {
        w.org().insert();
        data::SetFieldText(w.org(), "ORGNAVN", "Nytt lag");
        mustPost(w.org());
    });
    walkPost("endret organisasjon", [](Window& w) {
        w.onMember();
        w.org().edit();
        data::SetFieldText(w.org(), "ADRESSE", "Klubbhuset");
        mustPost(w.org());
    });
    walkPost("slettet organisasjon", [](Window& w) {
        w.onMember();
        if (!w.org().remove()) throw Error("Slettingen ble stoppet");
    });
}

TEST(PostFaults, Category) {
    walkPost("ny kategori", [](Window& w) {
        w.onMember();
        w.kont().insert();
        data::SetFieldText(w.kont(), "KATEGORI", "Junior");
        mustPost(w.kont());
    });
    walkPost("endret kategori", [](Window& w) {
        w.onMember();
        w.kont().edit();
        data::SetFieldFloat(w.kont(), "BELOP", 650);
        mustPost(w.kont());
    });
    walkPost("slettet kategori", [](Window& w) {
        w.onMember();
        if (!w.kont().remove()) throw Error("Slettingen ble stoppet");
    });
}

}  // namespace
}  // namespace lagrull::test
