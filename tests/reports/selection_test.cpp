// The criteria window's logic: the lists InitSelection fills, the picking by
// hand, PersList, the conditions and parameters in their order.
#include <gtest/gtest.h>

#include "common/error.h"
#include "data/app_db_mng.h"
#include "data/norwegian_order.h"
#include "data/schema.h"
#include "selection_fixture.h"

using namespace lagrull;
using namespace lagrull::test;
using reports::TUtvalgskriterier;

namespace {

class CriteriaLogicTest : public SelectionTest {
protected:
    CriteriaLogicTest() : criteria(store->dbMng()) {
        criteria.InitSelection(tables().OrgTable, tables().MedlTable);
    }
    std::vector<std::string> persList() {
        data::TOrvQuery q(db());
        q.setSql("select kundenr, navn from perslist");
        q.open();
        std::vector<std::string> out;
        for (; !q.eof(); q.next())
            out.push_back(data::FieldText(q, "kundenr") + "=" + data::FieldText(q, "navn"));
        return out;
    }
    std::string paramLine() {
        std::string out;
        const reports::TQueryParamList& p = criteria.ParamItems();
        for (int i = 0; i < p.Count(); ++i)
            out += p.Items(i).Name + ":" + std::to_string(p.Items(i).Type) + "=" +
                   p.Items(i).Value + " ";
        return out;
    }
    TUtvalgskriterier criteria;
};

}  // namespace

TEST_F(CriteriaLogicTest, InitSelectionFillsTheListsOfTheOrganisation) {
    EXPECT_EQ(criteria.OrgNr(), 1);
    EXPECT_EQ(criteria.ForfDato().entries,
              (std::vector<std::string>{"INGEN", "ALLE", "15.03.2026", "15.09.2025"}));
    // The relations of the members and the organisation's standard ones, sorted.
    std::vector<std::string> relations;
    data::GetRelationNames(db(), 1, relations);
    relations.insert(relations.begin(), "INGEN");
    EXPECT_EQ(criteria.Relasjon.entries, relations);
    EXPECT_NE(std::find(relations.begin(), relations.end(), "Styret"), relations.end());
    ASSERT_GE(criteria.Kategori.entries.size(), 2u);
    EXPECT_EQ(criteria.Kategori.entries[0], "ALLE");
    EXPECT_EQ(criteria.Betaling.entries,
              (std::vector<std::string>{"ALLE[-1]", "Fast oppdrag[0]", "AvtaleGiro[1]", "Giro[2]",
                                        "Kontant[3]"}));
    EXPECT_EQ(criteria.EkstraNavn(0), "Lag/gruppe");
    EXPECT_TRUE(criteria.EkstraVisible(1));
    EXPECT_FALSE(criteria.EkstraVisible(3));
    EXPECT_TRUE(criteria.EkstraVisible(4));
    EXPECT_FALSE(criteria.BetStatusVisible());
    EXPECT_TRUE(criteria.AllMembersPanelVisible());
    EXPECT_FALSE(criteria.RemoveEnabled());
    EXPECT_EQ(tables().MedlTable.recNo(), 1);
    // PersList exists with its two fields.
    EXPECT_TRUE(db().tableExists("PersList"));
    EXPECT_EQ(tables().OrgTable.fieldDefs().size(), data::orgregDef().Fields.size());
}

TEST_F(CriteriaLogicTest, NoCriteriaGiveTheOrganisationOnly) {
    EXPECT_EQ(criteria.FromItems(), (reports::TStringList{"medlreg m"}));
    EXPECT_EQ(criteria.WhereItems(), (reports::TStringList{"m.orgnr = :orgnr"}));
    EXPECT_EQ(paramLine(), "orgnr:3=1 ");
    EXPECT_TRUE(criteria.SelectItems().empty());
    EXPECT_TRUE(criteria.OrderByItems().empty());
}

TEST_F(CriteriaLogicTest, EveryConditionInItsOrderWithItsParameter) {
    criteria.MedlnrFra = 3;
    criteria.MedlnrTil = 40;
    criteria.PostnrFra = "0100";
    criteria.PostnrTil = "9999";
    ASSERT_TRUE(criteria.Kategori.choose("Junior"));
    ASSERT_TRUE(criteria.Betaling.choose("Kontant"));
    criteria.Ekstra[0] = "ab%";
    criteria.Ekstra[9] = "x";
    criteria.MedlFraDato = "02.03.2001";
    criteria.DatoFra = "1.1.1950";
    criteria.DatoTil = "31.12.2000";
    pickMember(criteria, "46");
    ASSERT_TRUE(criteria.Relasjon.choose("Styret"));
    criteria.SetForfDato(3);  // 15.09.2025
    criteria.BetStatus.index = static_cast<int>(reports::TBetStatus::Betalt);
    EXPECT_EQ(criteria.FromItems(),
              (reports::TStringList{"medlreg m", "relreg r", "mbetreg b", "perslist pl"}));
    EXPECT_EQ(
        criteria.WhereItems(),
        (reports::TStringList{
            "m.orgnr = :orgnr",
            "m.nmedlnr >= :medlnrfra",
            "m.nmedlnr <= :medlnrtil",
            "m.postnr >= :postnrfra",
            "m.postnr <= :postnrtil",
            "m.kategori = :kategori",
            "m.betaling = :betaling",
            "Upper(m.ekstra1) LIKE Upper(:ekstra1)",
            "Upper(m.ekstra10) LIKE Upper(:ekstra10)",
            ("(substring(m.MEDLFRADATO from 5 for 4) || substring(m.MEDLFRADATO from 3 for 2) || "
             "substring(m.MEDLFRADATO from 1 for 2)) >= :MedlemSiden"),
            ("(substring(m.fdato from 5 for 4) || substring(m.fdato from 3 for 2) || "
             "substring(m.fdato from 1 for 2)) >= :minfdato"),
            ("(substring(m.fdato from 5 for 4) || substring(m.fdato from 3 for 2) || "
             "substring(m.fdato from 1 for 2)) <= :maxfdato"),
            "pl.kundenr = m.medlnr",
            "m.orgnr = r.orgnr",
            "m.medlnr = r.medlnr",
            "r.relasjon = :relasjon",
            "m.orgnr = b.orgnr",
            "m.medlnr = b.medlnr",
            "b.dato = :forfdato",
            "b.betflag = 'X'"}));
    EXPECT_EQ(paramLine(),
              "orgnr:3=1 relasjon:256=Styret medlnrfra:3=3 medlnrtil:3=40 ekstra1:256=ab% "
              "ekstra10:256=x MedlemSiden:256=20010302 minfdato:256=19500101 "
              "maxfdato:256=20001231 postnrfra:256=0100 postnrtil:256=9999 kategori:256=Junior "
              "betaling:3=3 forfdato:256=15092025 ");
}

TEST_F(CriteriaLogicTest, DueDateAndPaymentStatus) {
    criteria.BetStatus.index = 2;
    EXPECT_EQ(criteria.WhereItems().size(), 1u);  // hidden: no payment condition
    criteria.SetForfDato(1);                      // "ALLE"
    EXPECT_TRUE(criteria.BetStatusVisible());
    EXPECT_EQ(criteria.BetStatus.index, 0);  // reset to "ALLE"
    EXPECT_EQ(criteria.WhereItems(), (reports::TStringList{"m.orgnr = :orgnr", "m.orgnr = b.orgnr",
                                                           "m.medlnr = b.medlnr"}));
    EXPECT_EQ(criteria.ParamItems().IndexOfName("forfdato"), -1);
    criteria.BetStatus.index = 1;
    EXPECT_EQ(criteria.WhereItems().back(), "b.betflag = ''");
    criteria.SetForfDato(0);
    EXPECT_FALSE(criteria.BetStatusVisible());
    EXPECT_EQ(criteria.WhereItems().size(), 1u);
    EXPECT_EQ(criteria.FromItems().size(), 1u);
}

TEST_F(CriteriaLogicTest, PickingByHand) {
    pickMember(criteria, "46");
    pickMember(criteria, "8A");
    EXPECT_FALSE(criteria.PickCurrent());  // 8A again: listed once
    pickMember(criteria, "14");
    ASSERT_EQ(criteria.Picks().size(), 3u);
    EXPECT_EQ(criteria.SelectedPick(), 2);
    EXPECT_FALSE(criteria.AllMembersPanelVisible());
    EXPECT_TRUE(criteria.RemoveEnabled());
    criteria.SelectPick(1);
    criteria.RemoveSelected();  // 8A goes, 46 is selected
    EXPECT_EQ(criteria.SelectedPick(), 0);
    EXPECT_EQ(criteria.Picks()[1].nr, "14");
    criteria.RemoveSelected();  // the first goes: the new first is selected
    EXPECT_EQ(criteria.SelectedPick(), 0);
    EXPECT_EQ(criteria.Picks()[0].nr, "14");
    criteria.RemoveAll();
    EXPECT_TRUE(criteria.Picks().empty());
    EXPECT_EQ(criteria.SelectedPick(), -1);
    EXPECT_TRUE(criteria.AllMembersPanelVisible());
    criteria.RemoveSelected();  // nothing to remove: no harm
}

TEST_F(CriteriaLogicTest, ConfirmRefillsPersListInListOrder) {
    pickMember(criteria, "14");
    pickMember(criteria, "8A");
    const std::string name14 = criteria.Picks()[0].navn;
    EXPECT_FALSE(name14.empty());
    criteria.Confirm();
    EXPECT_EQ(persList(),
              (std::vector<std::string>{"14=" + name14, "8A=" + criteria.Picks()[1].navn}));
    criteria.RemoveAll();
    criteria.Confirm();
    EXPECT_TRUE(persList().empty());
    EXPECT_EQ(criteria.FromItems().size(), 1u);  // no "perslist pl" without picks
}

TEST_F(CriteriaLogicTest, PersListIsBroughtToItsStructure) {
    exec("drop table PersList", {});
    exec("create table PersList (KUNDENR varchar(5), ANNET integer)", {});
    exec("insert into PersList values ('12345', 1)", {});
    TUtvalgskriterier again(store->dbMng());
    again.InitSelection(tables().OrgTable, tables().MedlTable);
    std::vector<std::string> names;
    for (const data::TFieldInfo& f : data::readFieldDefs(db(), "PersList")) names.push_back(f.Name);
    EXPECT_EQ(names, (std::vector<std::string>{"KUNDENR", "NAVN"}));
}

TEST_F(CriteriaLogicTest, EntriesTheQueryCannotTake) {
    criteria.DatoFra = "31.02.2001";
    try {
        criteria.CheckEntries();
        FAIL() << "no error";
    } catch (const Error& e) {
        EXPECT_STREQ(e.what(), "\"31.02.2001\" i feltet F. dato fra er ikke en gyldig dato.");
    }
    criteria.DatoFra = "  .  .    ";  // the empty mask: no date
    EXPECT_NO_THROW(criteria.CheckEntries());
    EXPECT_EQ(criteria.WhereItems().size(), 1u);
    criteria.PostnrTil = "12345";
    EXPECT_THROW(criteria.CheckEntries(), Error);
}

TEST_F(CriteriaLogicTest, TheMemberListIsBackOnItsFirstRecordAfterwards) {
    {
        TUtvalgskriterier other(store->dbMng());
        other.InitSelection(tables().OrgTable, tables().MedlTable);
        tables().MedlTable.last();
        EXPECT_GT(tables().MedlTable.recNo(), 1);
    }
    EXPECT_EQ(tables().MedlTable.recNo(), 1);
}

TEST(CriteriaWindow, HeightFollowsTheExtraFieldPanel) {
    EXPECT_EQ(reports::UtvalgskriterierHeight(0), 340);
    EXPECT_EQ(reports::UtvalgskriterierHeight(38), 340);
    EXPECT_EQ(reports::UtvalgskriterierHeight(39), 341);
    EXPECT_EQ(reports::UtvalgskriterierHeight(250), 552);
}

TEST_F(SelectionTest, SelectionRowsComeOrderedByName) {
    const std::vector<std::string> rows = select([](TUtvalgskriterier& k) {
        for (const char* nr : {"46", "8A", "14", "32", "100"}) pickMember(k, nr);
    });
    std::vector<const MemberRow*> picked;
    for (const MemberRow& m : snapshot)
        for (const char* nr : {"46", "8A", "14", "32", "100"})
            if (m.orgnr == 1 && m.medlnr == nr) picked.push_back(&m);
    std::sort(picked.begin(), picked.end(), [](const MemberRow* a, const MemberRow* b) {
        if (int c = data::compareNorwegian(a->enavn, b->enavn)) return c < 0;
        if (int c = data::compareNorwegian(a->fornavn, b->fornavn)) return c < 0;
        return data::compareNorwegian(a->medlnr, b->medlnr) < 0;
    });
    std::vector<std::string> want;
    want.reserve(picked.size());
    for (const MemberRow* m : picked) want.push_back(m->medlnr);
    EXPECT_EQ(rows, want);
}
