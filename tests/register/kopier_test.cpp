// Copying and deleting members on the demo register, with fake windows and
// the scripted Ui.
#include "bulk_fixture.h"

using namespace lagrull;
using namespace lagrull::test;
using data::Value;

namespace {

class KopierTest : public BulkTest {
protected:
    KopierTest() { chooseOrg(1); }

    // Runs the wizard; the copy window answers through `set`.
    TKopierOutcome run(TKopierMode mode, const std::function<void(TStartKopierStep&)>& set,
                       int choice = 0) {
        steps.choice = choice;
        TKopier kopier(
            ui, store->dbMng(), steps,
            [set] {
                return std::make_unique<ScriptedStartKopier>([set](TStartKopierStep& w) {
                    set(w);
                    return reports::kStepNext;
                });
            },
            tables().OrgTable, tables().MedlTable);
        return kopier.Execute(mode);
    }
    static void target(TStartKopierStep& w, std::int64_t org) {
        for (std::size_t i = 0; i < w.Organisations().size(); ++i)
            if (w.Organisations()[i].orgNr == org) w.SetTarget(static_cast<int>(i));
    }
    std::string field(std::int64_t org, const std::string& nr, const std::string& f) {
        data::TOrvQuery q(db());
        q.setSql("select " + f + " from medlreg where orgnr = :o and medlnr = :n");
        q.setParamInt("o", org);
        q.setParamText("n", nr);
        q.open();
        return q.eof() ? "<none>" : data::FieldText(q, f);
    }
};

}  // namespace

TEST_F(KopierTest, CopyingOverwritesTheCopiedFieldsAndKeepsTheOthers) {
    // Member 1 exists in both organisations: the copy keeps organisation 2's
    // e-mail, notice code, company and member-since date.
    exec(
        "update medlreg set email = 'to@lag.no', varsling = 2, firma = 'Firma 2', "
        "medlfradato = '01012001' where orgnr = 2 and medlnr = '1'",
        {});
    exec(
        "update medlreg set email = 'en@lag.no', varsling = 1, firma = 'Firma 1', "
        "ekstra10 = 'X10' where orgnr = 1 and medlnr = '1'",
        {});
    ASSERT_NE(field(2, "1", "enavn"), "<none>");
    const TKopierOutcome out = run(TKopierMode::Copy, [](TStartKopierStep& w) {
        EXPECT_EQ(w.Caption(), "Kopiering");
        target(w, 2);
    });
    EXPECT_EQ(out.count, members(1));
    for (const char* f : {"enavn", "fornavn", "adresse", "postnr", "kategori", "betaling",
                          "ekstra10", "fdato", "belop"})
        EXPECT_EQ(field(2, "1", f), field(1, "1", f)) << f;
    EXPECT_EQ(field(2, "1", "email"), "to@lag.no");
    EXPECT_EQ(field(2, "1", "varsling"), "2");
    EXPECT_EQ(field(2, "1", "firma"), "Firma 2");
    EXPECT_EQ(field(2, "1", "medlfradato"), "01012001");
    EXPECT_EQ(ui.messages.back().text, "Antall kopiert : " + std::to_string(members(1)));
    EXPECT_EQ(ui.messages[ui.messages.size() - 2].caption, "Bekreft kopiering");
    // Relations and claims are not copied.
    EXPECT_EQ(count("select count(*) from relreg where orgnr = 2 and medlnr not in (select "
                    "medlnr from relreg where orgnr = 2)"),
              0);
}

TEST_F(KopierTest, CopyingUnchangedCreatesTheMissingCategoriesWithTheirAmounts) {
    exec("insert into kontgrp (orgnr, kategori, belop, fastbelop) values (1, 'Æresmedlem', 0, 1)",
         {});
    exec("update medlreg set kategori = 'Æresmedlem' where orgnr = 1 and medlnr = '2'", {});
    exec("update medlreg set kategori = '' where orgnr = 1 and medlnr = '3'", {});
    exec("insert into orgreg (orgnr, orgnavn) values (9, 'Tomt lag')", {});
    const std::int64_t used = count("select count(distinct kategori) from medlreg where orgnr = 1");
    run(TKopierMode::Copy, [](TStartKopierStep& w) {
        target(w, 9);
        EXPECT_EQ(w.Kategori.entries, std::vector<std::string>{kUendret});
    });
    EXPECT_EQ(count("select count(*) from kontgrp where orgnr = 9"), used);
    EXPECT_EQ(count("select count(*) from kontgrp where orgnr = 9 and kategori = 'Æresmedlem' "
                    "and fastbelop = 1"),
              1);
    EXPECT_EQ(count("select count(*) from kontgrp k, kontgrp s where k.orgnr = 9 and s.orgnr = 1 "
                    "and k.kategori = s.kategori and k.belop = s.belop"),
              used - 1);  // the empty name has no row in the source
    EXPECT_EQ(field(9, "3", "kategori"), "");
    EXPECT_EQ(members(9), members(1));
}

TEST_F(KopierTest, CopyingIntoTheSameOrganisationNeedsAChange) {
    const TKopierOutcome refused =
        run(TKopierMode::Copy, [](TStartKopierStep& w) { target(w, 1); });
    EXPECT_FALSE(refused.done);
    EXPECT_EQ(ui.messages.back().text, "Kan ikke kopiere fra/til samme poster!");

    // A new payment method for the Giro payers changes them in place.
    steps.set = [](reports::TUtvalgskriterier& c) { ASSERT_TRUE(c.Betaling.choose("Giro")); };
    const std::int64_t giro =
        count("select count(*) from medlreg where orgnr = 1 and betaling = 2");
    const std::int64_t before = members(1);
    const TKopierOutcome out = run(
        TKopierMode::Copy,
        [](TStartKopierStep& w) {
            target(w, 1);
            w.Betaling = 4;  // "Kontant"
        },
        1);
    EXPECT_EQ(out.count, giro);
    EXPECT_EQ(count("select count(*) from medlreg where orgnr = 1 and betaling = 2"), 0);
    EXPECT_EQ(members(1), before);

    // The same payment method as the selection's changes nothing: refused.
    steps.set = [](reports::TUtvalgskriterier& c) { ASSERT_TRUE(c.Betaling.choose("Kontant")); };
    EXPECT_FALSE(run(
                     TKopierMode::Copy,
                     [](TStartKopierStep& w) {
                         target(w, 1);
                         w.Betaling = 4;
                     },
                     1)
                     .done);
}

TEST_F(KopierTest, KopierChangesSomethingComparesChoicesNotPositions) {
    TKopierChoice choice;
    EXPECT_FALSE(KopierChangesSomething(choice, nullptr));
    choice.kategori = "Junior";
    EXPECT_TRUE(KopierChangesSomething(choice, nullptr));
    choice.kategori = kUendret;
    choice.betaling = 1;
    EXPECT_TRUE(KopierChangesSomething(choice, nullptr));
}

TEST_F(KopierTest, DeletingAllLeavesClaimsAndRelations) {
    const std::int64_t claims = count("select count(*) from mbetreg where orgnr = 1");
    const std::int64_t relations = count("select count(*) from relreg where orgnr = 1");
    const std::int64_t all = members(1);
    const TKopierOutcome out = run(TKopierMode::Delete, [](TStartKopierStep& w) {
        EXPECT_EQ(w.Caption(), "Sletting");
        EXPECT_EQ(w.HelpTopic(), 26);
    });
    EXPECT_EQ(out.count, all);
    EXPECT_EQ(members(1), 0);
    EXPECT_GT(members(2), 0);
    EXPECT_EQ(count("select count(*) from mbetreg where orgnr = 1"), claims);
    EXPECT_EQ(count("select count(*) from relreg where orgnr = 1"), relations);
    EXPECT_EQ(ui.messages[0].caption, "Bekreft sletting");
    EXPECT_EQ(ui.messages[0].text, "Skal det angitte utvalget slettes fra " +
                                       data::FieldText(tables().OrgTable, "ORGNAVN") + "?");
    EXPECT_EQ(ui.messages.back().text,
              "Antall slettet : " + std::to_string(all) +
                  "\n\nKrav som står igjen i registeret for de slettede medlemmene: " +
                  std::to_string(claims) +
                  "\nRelasjoner som står igjen i registeret for de slettede medlemmene: " +
                  std::to_string(relations));
}

TEST_F(KopierTest, NoToTheConfirmationOrCancelChangesNothing) {
    ui.answers = {Answer::No};
    EXPECT_FALSE(run(TKopierMode::Delete, [](TStartKopierStep&) {}).done);
    ui.answers = {Answer::No};
    exec("insert into orgreg (orgnr, orgnavn) values (9, 'Tomt lag')", {});
    EXPECT_FALSE(run(TKopierMode::Copy, [](TStartKopierStep& w) { target(w, 9); }).done);
    EXPECT_EQ(count("select count(*) from kontgrp where orgnr = 9"), 0);
    steps.whoResults = {reports::kStepCancel};
    EXPECT_FALSE(run(TKopierMode::Delete, [](TStartKopierStep&) {}).done);
    EXPECT_EQ(members(9), 0);
    EXPECT_EQ(members(1), static_cast<std::int64_t>(
                              std::count_if(snapshot.begin(), snapshot.end(),
                                            [](const MemberRow& m) { return m.orgnr == 1; })));
}

TEST_F(KopierTest, DeletingASelectionRemovesOnlyThoseMembers) {
    steps.set = [](reports::TUtvalgskriterier& c) { c.MedlnrTil = 20; };
    const std::int64_t chosen =
        count("select count(*) from medlreg where orgnr = 1 and nmedlnr <= 20");
    const std::int64_t all = members(1);
    EXPECT_EQ(run(
                  TKopierMode::Delete, [](TStartKopierStep&) {}, 1)
                  .count,
              chosen);
    EXPECT_EQ(members(1), all - chosen);
}
