// The standard-list wizard and the member relation dialog on the demo
// register, with fake windows and the scripted Ui.
#include "bulk_fixture.h"
#include "register/relation_dialog.h"

using namespace lagrull;
using namespace lagrull::test;
using data::Value;

namespace {

class RelationsTest : public BulkTest {
protected:
    RelationsTest() {
        chooseOrg(1);
        // The demo register has names its members use that its list lacks.
        TRel repair(
            ui, store->dbMng(), steps, [] { return nullptr; }, tables().OrgTable,
            tables().MedlTable);
        EXPECT_TRUE(repair.RepairStandardList());
        ui.messages.clear();
        // A standard relation of organisation 1 that some members have.
        data::TOrvQuery q(db());
        q.setSql(
            "select relasjon, count(*) as n from relreg where orgnr = 1 group by relasjon "
            "order by relasjon");
        q.open();
        name = data::FieldText(q, "relasjon");
        links = data::FieldInt(q, "n");
    }

    // Runs the wizard with step 1 answering `answer` and the who-step `choice`.
    TRelOutcome run(TRelOperation op, const TRelValues& old, int choice,
                    const std::function<int(TRelasjonerStep&)>& answer) {
        steps.choice = choice;
        TRel rel(
            ui, store->dbMng(), steps,
            [answer] { return std::make_unique<ScriptedRelasjoner>(answer); }, tables().OrgTable,
            tables().MedlTable);
        return rel.Run(op, old);
    }
    TRelValues standard(const std::string& n) {
        data::TOrvQuery q(db());
        q.setSql("select * from relregstandard where orgnr = 1 and relasjon = :r");
        q.setParamText("r", n);
        q.open();
        return {data::FieldText(q, "relasjon"), data::FieldText(q, "tekst"),
                data::FieldFloat(q, "belop")};
    }
    std::int64_t linksOf(const std::string& n) {
        return count("select count(*) from relreg where orgnr = 1 and relasjon = :p0", {Value(n)});
    }
    std::int64_t standardRows(const std::string& n) {
        return count("select count(*) from relregstandard where orgnr = 1 and relasjon = :p0",
                     {Value(n)});
    }

    std::string name;
    std::int64_t links = 0;
};

auto renameTo(const std::string& n) {
    return [n](TRelasjonerStep& w) {
        w.Values.navn = n;
        return reports::kStepNext;
    };
}

}  // namespace

TEST_F(RelationsTest, EditForAllRenamesTheStandardRowAndLinksEveryMember) {
    ASSERT_GT(links, 0);
    const TRelValues old = standard(name);
    const TRelOutcome out = run(TRelOperation::Edit, old, kRelAlle, renameTo("Nytt navn"));
    EXPECT_TRUE(out.applied);
    EXPECT_EQ(standardRows(name), 0);
    EXPECT_EQ(standard("Nytt navn").tekst, old.tekst);
    EXPECT_EQ(linksOf("Nytt navn"), members(1));
    EXPECT_EQ(linksOf(name), links);  // the old rows stay
    EXPECT_EQ(
        ui.messages.back().text,
        "Antall tilknytninger som ble oppdatert på gruppe/relasjon: " + std::to_string(members(1)));
    EXPECT_EQ(ui.progress.back(), 100);
}

TEST_F(RelationsTest, EditForExistingLinksRenamesExactlyThoseRows) {
    const std::int64_t before = count("select count(*) from relreg where orgnr = 1");
    const TRelOutcome out =
        run(TRelOperation::Edit, standard(name), kRelKunEksisterende, [](TRelasjonerStep& w) {
            w.Values.navn = "Omdøpt";
            w.Values.belop = 12.5;
            return reports::kStepNext;
        });
    EXPECT_EQ(out.count, links);
    EXPECT_EQ(linksOf(name), 0);
    EXPECT_EQ(linksOf("Omdøpt"), links);
    EXPECT_EQ(count("select count(*) from relreg where orgnr = 1"), before);
    EXPECT_EQ(count("select count(*) from relreg where orgnr = 1 and relasjon = 'Omdøpt' and "
                    "belop = 12.5"),
              links);
    EXPECT_EQ(
        ui.messages.back().text,
        "Antall tilknytninger som ble oppdatert på gruppe/relasjon: " + std::to_string(links));
}

TEST_F(RelationsTest, NewSelectionReplacesTheOldLinksAndCountsBoth) {
    steps.set = [](reports::TUtvalgskriterier& c) { c.MedlnrTil = 10; };
    const std::int64_t chosen =
        count("select count(*) from medlreg where orgnr = 1 and nmedlnr <= 10");
    const TRelOutcome out = run(TRelOperation::Edit, standard(name), kRelNyttUtvalg,
                                [](TRelasjonerStep&) { return reports::kStepNext; });
    EXPECT_EQ(out.removed, links);
    EXPECT_EQ(out.count, chosen);
    EXPECT_EQ(linksOf(name), chosen);
    EXPECT_EQ(ui.messages.back().text,
              "Utført:\n\n- Tidligere tilknytninger til gruppe/relasjon ble fjernet (" +
                  std::to_string(links) +
                  " stk)\n- Nye tilknytninger for gruppe/relasjon er lagt til (" +
                  std::to_string(chosen) + " stk)");
}

TEST_F(RelationsTest, DeleteForASelectionKeepsTheStandardRow) {
    // Every member of organisation 1 with the relation, picked by number range.
    steps.set = [](reports::TUtvalgskriterier& c) { c.MedlnrTil = 40; };
    const std::int64_t selected = count(
        "select count(*) from relreg r, medlreg m where r.orgnr = 1 and r.relasjon = :p0 "
        "and m.orgnr = 1 and m.medlnr = r.medlnr and m.nmedlnr <= 40",
        {Value(name)});
    const TRelOutcome out =
        run(TRelOperation::Delete, standard(name), kRelUtvalg, [](TRelasjonerStep& w) {
            EXPECT_FALSE(w.FieldsEnabled());
            EXPECT_EQ(w.Caption(), "Slett relasjon/gruppe");
            return reports::kStepNext;
        });
    EXPECT_EQ(out.count, selected);
    EXPECT_EQ(linksOf(name), links - selected);
    EXPECT_EQ(standardRows(name), 1);
    EXPECT_EQ(
        ui.messages.back().text,
        "Antall tilknytninger som ble fjernet fra gruppe/relasjon: " + std::to_string(selected));
}

TEST_F(RelationsTest, DeleteForAllRemovesTheRowAndEveryLinkEvenOfDeletedMembers) {
    // A link whose member is gone would bring the name back at the next run.
    exec("insert into relreg (orgnr, medlnr, relasjon) values (1, 'GONE', :p0)", {Value(name)});
    run(TRelOperation::Delete, standard(name), kRelAlle,
        [](TRelasjonerStep&) { return reports::kStepNext; });
    EXPECT_EQ(standardRows(name), 0);
    EXPECT_EQ(linksOf(name), 0);
    EXPECT_EQ(ui.messages.back().text, "Gruppe/relasjon er slettet sammen med alle tilknytninger");
    TRel again(
        ui, store->dbMng(), steps, [] { return nullptr; }, tables().OrgTable, tables().MedlTable);
    EXPECT_FALSE(again.RepairStandardList());
    EXPECT_EQ(standardRows(name), 0);
}

TEST_F(RelationsTest, ANewNameWithQuotesLinksAllAndMatchesNothingElse) {
    const std::string quoted = "O'Brien's \"lag\"";
    const TRelOutcome out = run(TRelOperation::New, {}, kRelAlle, [&](TRelasjonerStep& w) {
        EXPECT_EQ(w.Caption(), "Opprett ny gruppe/relasjon");
        w.Values = {quoted, "Tekst", 50};
        return reports::kStepNext;
    });
    EXPECT_EQ(out.count, members(1));
    EXPECT_EQ(linksOf(quoted), members(1));
    EXPECT_EQ(standard(quoted).belop, 50);
    EXPECT_EQ(linksOf(name), links);
    EXPECT_EQ(ui.messages.back().text, "Antall tilknytninger som ble lagt til gruppe/relasjon: " +
                                           std::to_string(members(1)));
    run(TRelOperation::Delete, standard(quoted), kRelAlle,
        [](TRelasjonerStep&) { return reports::kStepNext; });
    EXPECT_EQ(linksOf(quoted), 0);
    EXPECT_EQ(linksOf(name), links);
}

TEST_F(RelationsTest, ANameMissingFromTheStandardListStopsTheRunAfterAddingIt) {
    exec(
        "insert into relreg (orgnr, medlnr, relasjon, tekst, belop) values (1, '1', 'Ukjent', "
        "'fra medlem', 7)",
        {});
    bool shown = false;
    const TRelOutcome out = run(TRelOperation::New, {}, kRelAlle, [&](TRelasjonerStep&) {
        shown = true;
        return reports::kStepNext;
    });
    EXPECT_FALSE(out.applied);
    EXPECT_FALSE(shown);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].caption, "Operasjon avbrutt!");
    EXPECT_EQ(ui.messages[0].text,
              "Listen over standard grupper/relasjoner var ute av synkronisering med relasjoner "
              "opprettet på medlemmer. Standardlisten på organisasjon er blitt reparert.\n\n"
              "Sjekk listen etter reperasjon, og evt. gjenta operasjon som ble avbrutt.");
    EXPECT_EQ(standard("Ukjent").tekst, "fra medlem");
}

TEST_F(RelationsTest, CancelOrAnEmptyNameChangesNothing) {
    const std::int64_t before = count("select count(*) from relreg");
    EXPECT_FALSE(run(TRelOperation::New, {}, kRelAlle, [](TRelasjonerStep&) {
                     return reports::kStepCancel;
                 }).applied);
    steps.whoResults = {reports::kStepBack, reports::kStepCancel};
    EXPECT_FALSE(run(TRelOperation::New, {}, kRelAlle, renameTo("X")).applied);
    EXPECT_TRUE(ui.messages.empty());
    run(TRelOperation::New, {}, kRelAlle, renameTo(""));
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].caption, "Feil!");
    EXPECT_EQ(ui.messages[0].text,
              "Du har ikke valgt en relasjon, eller finnes det i det hele tatt noen relasjoner å "
              "slette?");
    EXPECT_EQ(count("select count(*) from relreg"), before);
}

TEST_F(RelationsTest, ANewNameThatExistsIsRefusedAndNothingChanges) {
    const std::int64_t before = count("select count(*) from relreg");
    EXPECT_THROW(run(TRelOperation::New, {}, kRelAlle, renameTo(name)), Error);
    EXPECT_EQ(count("select count(*) from relreg"), before);
    EXPECT_EQ(ui.progress.back() < 100, true);
}

// --- the member relation dialog

class RelationDialogTest : public RelationsTest {
protected:
    RelationDialogTest() {
        data::TOrvTable& m = tables().MedlTable;
        for (m.first(); !m.eof(); m.next())
            if (!tables().tbRelReg.isEmpty()) break;
        member = data::FieldText(m, "MEDLNR");
        existing = data::FieldText(tables().tbRelReg, "RELASJON");
    }
    std::string member, existing;
};

TEST_F(RelationDialogTest, ANewNameIsAddedToTheStandardList) {
    tables().tbRelReg.insert();
    TRelasjonDialog dialog(ui, tables().tbRelReg, 1);
    EXPECT_EQ(dialog.Caption(), "Legg til relasjon");
    EXPECT_TRUE(dialog.NameEnabled());
    EXPECT_FALSE(dialog.OkEnabled());
    EXPECT_EQ(ui.waits.back().second, "Henter relasjoner.....");
    dialog.NameChanged("Dugnad");
    EXPECT_TRUE(dialog.OkEnabled());
    EXPECT_EQ(dialog.Belop, 0);
    dialog.Tekst = "Vår";
    dialog.Belop = 100;
    EXPECT_EQ(dialog.Ok(), TRelasjonDialog::Close::Closed);
    EXPECT_EQ(standard("Dugnad").tekst, "Vår");
    EXPECT_EQ(standard("Dugnad").belop, 100);
    EXPECT_EQ(count("select count(*) from relreg where orgnr = 1 and medlnr = :p0 and relasjon = "
                    "'Dugnad'",
                    {Value(member)}),
              1);
}

TEST_F(RelationDialogTest, AKnownNameBringsItsTextAndAmount) {
    tables().tbRelReg.insert();
    TRelasjonDialog dialog(ui, tables().tbRelReg, 1);
    const TRelValues std = standard(name);
    dialog.NameChanged(name);
    EXPECT_EQ(dialog.Tekst, std.tekst);
    EXPECT_EQ(dialog.Belop, std.belop);
    dialog.NameChanged("");
    EXPECT_FALSE(dialog.OkEnabled());
    dialog.Cancel();
    EXPECT_EQ(tables().tbRelReg.state(), data::DataSetState::Browse);
}

TEST_F(RelationDialogTest, ADuplicateNameAsksWhetherToGiveUp) {
    tables().tbRelReg.insert();
    TRelasjonDialog dialog(ui, tables().tbRelReg, 1);
    dialog.NameChanged(existing);
    ui.answers = {Answer::No, Answer::Yes};
    EXPECT_EQ(dialog.Ok(), TRelasjonDialog::Close::StayOpen);
    EXPECT_EQ(ui.messages.back().caption, "Advarsel!");
    EXPECT_EQ(ui.messages.back().text,
              "Relasjonen " + existing + " finnes fra før!\nAvbryt oppretting av relasjon?");
    EXPECT_TRUE(tables().tbRelReg.editing());
    EXPECT_EQ(dialog.Ok(), TRelasjonDialog::Close::Closed);
    EXPECT_FALSE(tables().tbRelReg.editing());
}

TEST_F(RelationDialogTest, EditingKeepsTheNameAndWritesTextAndAmount) {
    tables().tbRelReg.edit();
    TRelasjonDialog dialog(ui, tables().tbRelReg, 1);
    EXPECT_EQ(dialog.Caption(), "Oppdater relasjon");
    EXPECT_FALSE(dialog.NameEnabled());
    EXPECT_EQ(dialog.Navn, existing);
    dialog.Tekst = "endret";
    EXPECT_EQ(dialog.Ok(), TRelasjonDialog::Close::Closed);
    EXPECT_EQ(count("select count(*) from relreg where orgnr = 1 and medlnr = :p0 and relasjon = "
                    ":p1 and tekst = 'endret'",
                    {Value(member), Value(existing)}),
              1);
}
