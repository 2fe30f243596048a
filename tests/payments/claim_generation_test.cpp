#include "payments/claim_generation.h"

#include "claims_fixture.h"
#include "common/error.h"

namespace lagrull::test {
namespace {

class ClaimGeneration : public ClaimsTest {
protected:
    ClaimSpec job(AmountSource source = AmountSource::Category) {
        ClaimSpec s;
        s.orgNr = kOrg;
        s.dueDate = "15032024";
        s.description = "Kontingent 2024";
        s.source = source;
        return s;
    }
    static reports::TQueryBuilder query(const ClaimSpec& s) {
        reports::TQueryBuilder q;
        addClaimQuery(q, s);
        return q;
    }
    ClaimResult run(const ClaimSpec& s) { return generateClaims(db(), ui, s, query(s)); }
    ClaimResult run(const ClaimSpec& s, const std::string& extraCondition) {
        reports::TQueryBuilder q = query(s);
        q.AddWhere({extraCondition});
        return generateClaims(db(), ui, s, q);
    }
    std::string claim(const std::string& medlnr, const std::string& columns) {
        return one("select " + columns + " from mbetreg where medlnr = '" + medlnr + "'");
    }
};

TEST_F(ClaimGeneration, CategorySourceFollowsTheFixedAmountRule) {
    category("Fast", 350, true);
    category("Fri", 200, false);
    member({.medlnr = "1", .kategori = "Fast", .belop = 500.0});         // fixed: category wins
    member({.medlnr = "2", .kategori = "Fri", .belop = 500.0});          // own positive amount
    member({.medlnr = "3", .kategori = "Fri", .belop = 0.0});            // own 0: category
    member({.medlnr = "4", .kategori = "Fri", .belop = data::Value()});  // empty: category
    member({.medlnr = "5", .kategori = "Ukjent", .belop = 90.0});  // no category row: no claim
    const ClaimResult r = run(job());
    EXPECT_EQ(r.written, 4);
    EXPECT_EQ(rows("select medlnr, belop from mbetreg order by medlnr"),
              (std::vector<std::string>{"1|350", "2|500", "3|200", "4|200"}));
    EXPECT_EQ(claim("1", "dato, kid, tekst, betflag"),
              "15032024|0020000000000129408015|Kontingent 2024|");
    EXPECT_TRUE(r.withoutKid.empty());
    EXPECT_EQ(ui.progressWindows, 1);
    ASSERT_FALSE(ui.progress.empty());
    EXPECT_EQ(ui.progress.back(), 100);
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(ClaimGeneration, PaymentMethodComesFromTheMemberAndEmptyIsZero) {
    category("Senior", 350, false);
    member({.medlnr = "1", .kategori = "Senior", .betaling = std::int64_t(3)});
    member({.medlnr = "2", .kategori = "Senior", .betaling = data::Value()});
    run(job());
    EXPECT_EQ(claim("1", "betaling"), "3");
    EXPECT_EQ(claim("2", "betaling"), "0");
}

TEST_F(ClaimGeneration, RegenerationRewritesClaimsAndKeepsTheLaterRelations) {
    category("Senior", 350, false);
    member({.medlnr = "1", .kategori = "Senior"});
    member({.medlnr = "2", .kategori = "Senior"});
    member({.medlnr = "3", .kategori = "Senior"});
    exec(
        "insert into mbetreg (orgnr, medlnr, dato, belop, betflag, betaling, betdato, betbelop, "
        "kid, tekst, sletteflag, bbsoppdragsnr, differansebelop, rel1, rel5, rel6, rel14) values "
        "(1, '1', '15032024', 99, 'X', 1, '01042024', 99, '123', 'Gammel', 1, 77, 4, 'r1', "
        "'r5', 'r6', 'r14')");
    exec(
        "insert into mbetreg (orgnr, medlnr, dato, belop, tekst) values "
        "(1, '3', '15032024', 10, 'Utenfor')");
    const ClaimResult r = run(job(), "m.medlnr <> '3'");
    EXPECT_EQ(r.written, 2);
    EXPECT_EQ(claim("1",
                    "belop, betflag, betaling, betdato, betbelop, kid, tekst, sletteflag, "
                    "bbsoppdragsnr, differansebelop, rel1, rel5, rel6, rel14"),
              "350||2|||0020000000000129408015|Kontingent 2024||||||r6|r14");
    EXPECT_EQ(claim("2", "belop, tekst"), "350|Kontingent 2024");
    EXPECT_EQ(claim("3", "belop, tekst"), "10|Utenfor");  // outside the new selection
    EXPECT_EQ(one("select count(*) from mbetreg"), "3");
}

TEST_F(ClaimGeneration, RerunChangesWhatDiffersEvenInLetterCaseOnly) {
    category("Senior", 350, false);
    member({.medlnr = "1", .kategori = "Senior"});
    member({.medlnr = "2", .kategori = "Senior"});
    run(job());
    run(job());  // nothing differs: the claims stay as they are
    EXPECT_EQ(rows("select medlnr, belop, tekst from mbetreg order by medlnr"),
              (std::vector<std::string>{"1|350|Kontingent 2024", "2|350|Kontingent 2024"}));
    exec("update mbetreg set rel3 = 'gammel' where medlnr = '2'");
    ClaimSpec s = job();
    s.description = "KONTINGENT 2024";
    EXPECT_EQ(run(s).written, 2);
    EXPECT_EQ(rows("select medlnr, tekst, rel3 from mbetreg order by medlnr"),
              (std::vector<std::string>{"1|KONTINGENT 2024|", "2|KONTINGENT 2024|"}));
}

TEST_F(ClaimGeneration, RelationSourceSumsFoundRelationsAndKeepsPositions) {
    member({.medlnr = "1"});
    member({.medlnr = "2"});
    relation("1", "A-lag", 100);
    relation("1", "Cup", 1234.5);
    relation("2", "Båtplass", 50);
    // Member 2 has an older claim whose REL2 and REL7 stay.
    exec(
        "insert into mbetreg (orgnr, medlnr, dato, rel2, rel7) values "
        "(1, '2', '15032024', 'gammel 2', 'gammel 7')");
    ClaimSpec s = job(AmountSource::Relations);
    s.relations = {"A-lag", "Båtplass", "Cup"};
    run(s);
    EXPECT_EQ(claim("1", "belop, rel1, rel2, rel3"),
              "1334,5|A-lag                  100,00||Cup                    1.234,50");
    EXPECT_EQ(claim("2", "belop, rel1, rel2, rel3, rel7"),
              "50||Båtplass               50,00||gammel 7");
}

TEST_F(ClaimGeneration, FifteenthRelationCountsWithoutAColumn) {
    member({.medlnr = "1"});
    ClaimSpec s = job(AmountSource::Relations);
    for (int n = 1; n <= 15; ++n) {
        s.relations.push_back("R" + std::to_string(n));
        relation("1", "R" + std::to_string(n), n);
    }
    run(s);
    EXPECT_EQ(claim("1", "belop, rel14"), "120|R14                    14,00");
}

TEST_F(ClaimGeneration, MemberWithoutAnyChosenRelationOwesNothing) {
    member({.medlnr = "1"});
    ClaimSpec s = job(AmountSource::Relations);
    s.relations = {"Finnes ikke"};
    run(s);
    EXPECT_EQ(claim("1", "belop, rel1"), "0|");
}

TEST_F(ClaimGeneration, ManualAndMemberSources) {
    member({.medlnr = "1", .belop = 275.5});
    ClaimSpec s = job(AmountSource::Manual);
    s.manualAmount = -50;
    run(s);
    EXPECT_EQ(claim("1", "belop"), "-50");
    run(job(AmountSource::Member));
    EXPECT_EQ(claim("1", "belop"), "275,5");
}

TEST_F(ClaimGeneration, NonNumericMemberNumberGetsNoKidAndOneWarningForAll) {
    member({.medlnr = "12A"});
    member({.medlnr = "7"});
    member({.medlnr = "B-3"});
    ClaimSpec s = job(AmountSource::Manual);
    const ClaimResult r = run(s);
    EXPECT_EQ(r.written, 3);
    EXPECT_EQ(r.withoutKid, (std::vector<std::string>{"12A", "B-3"}));
    EXPECT_EQ(claim("12A", "kid"), "");
    EXPECT_EQ(claim("7", "kid"), "0020000000000729408019");
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].caption, "ADVARSEL!");
    EXPECT_EQ(ui.messages[0].text,
              "KID kan ikke genereres for 2 medlemmer; postene er skrevet uten KID:\n12A, B-3");
}

TEST_F(ClaimGeneration, SingleWarningKeepsTheClassicText) {
    member({.medlnr = "12A"});
    run(job(AmountSource::Manual));
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, "KID kan ikke genereres for 12A");
}

TEST_F(ClaimGeneration, WithoutKidNoWarningAndNoKid) {
    member({.medlnr = "12A"});
    member({.medlnr = "7"});
    ClaimSpec s = job(AmountSource::Manual);
    s.withKid = false;
    const ClaimResult r = run(s);
    EXPECT_TRUE(r.withoutKid.empty());
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(rows("select kid from mbetreg"), (std::vector<std::string>{"", ""}));
}

TEST_F(ClaimGeneration, KidTooLongForTheFieldIsReportedNeverCut) {
    exec("insert into orgreg (orgnr, orgnavn) values (99999, 'Stor')");
    member({.medlnr = "12345678901", .orgnr = 99999});
    ClaimSpec s = job(AmountSource::Manual);
    s.orgNr = 99999;
    s.dueDate = "01012026";  // five-digit day number: 6 + 11 + 1 + 5 + 2 + 1 = 26
    const ClaimResult r = run(s);
    EXPECT_EQ(r.withoutKid, (std::vector<std::string>{"12345678901"}));
    EXPECT_EQ(one("select kid from mbetreg"), "");
    s.dueDate = "01012025";  // 25 characters fit
    run(s);
    EXPECT_EQ(one("select length(kid) from mbetreg where dato = '01012025'"), "25");
}

TEST_F(ClaimGeneration, ManyWarningsAreListedShortly) {
    std::vector<std::string> numbers;
    numbers.reserve(45);
    for (int i = 0; i < 45; ++i) numbers.push_back("X" + std::to_string(i));
    const std::string text = kidWarningText(numbers);
    EXPECT_NE(text.find("for 45 medlemmer"), std::string::npos);
    EXPECT_NE(text.find("X39 og 5 til"), std::string::npos);
    EXPECT_EQ(text.find("X40"), std::string::npos);
}

TEST_F(ClaimGeneration, FailurePartWayKeepsTheClaimsWrittenBefore) {
    // A query without the organisation condition gives a member of another
    // organisation after those of this one: the pass stops there.
    exec("insert into orgreg (orgnr, orgnavn) values (2, 'Annen')");
    member({.medlnr = "1"});
    member({.medlnr = "2"});
    member({.medlnr = "3", .orgnr = 2});
    ClaimSpec s = job(AmountSource::Manual);
    reports::TQueryBuilder q;
    q.AddSelect({"m.orgnr", "m.medlnr", "m.betaling", "m.belop as mbelop"});
    q.AddFrom({"medlreg m"});
    q.AddOrderBy({"m.orgnr", "m.medlnr"});
    EXPECT_THROW(generateClaims(db(), ui, s, q), Error);
    EXPECT_EQ(rows("select medlnr from mbetreg order by medlnr"),
              (std::vector<std::string>{"1", "2"}));
    EXPECT_FALSE(db().inTransaction());
}

TEST_F(ClaimGeneration, ConfirmationTexts) {
    ClaimSpec s = job();
    ui.answers = {Answer::No};
    EXPECT_FALSE(confirmClaimGeneration(ui, s, {"01.01.2024"}));
    EXPECT_EQ(ui.messages.back().caption, "ADVARSEL!");
    EXPECT_EQ(ui.messages.back().text, "Nye betalingsposter blir generert.\nVil du fortsette ?");
    EXPECT_EQ(ui.messages.back().buttons, Buttons::YesNo);
    ui.answers = {Answer::Yes};
    EXPECT_TRUE(confirmClaimGeneration(ui, s, {"01.01.2024", "15.03.2024"}));
    EXPECT_EQ(ui.messages.back().text,
              "Det finnes allerede betalingsposter generert for forfallsdato 15.03.2024.\n\n"
              "Tidligere genererte poster vil bli overskrevet for medlemmer som finnes i begge "
              "utvalg.\n\nBetalingsposter vil bli lagt til for nye medlemmer. \n\nFortsett?");
    s.registerKind = RegisterKind::Rent;
    confirmClaimGeneration(ui, s, {"15.03.2024"});
    EXPECT_NE(ui.messages.back().text.find("overskrevet for leietakere"), std::string::npos);
    EXPECT_NE(ui.messages.back().text.find("for nye leietakere"), std::string::npos);
}

TEST_F(ClaimGeneration, MemberQueryOfEachSource) {
    ClaimSpec s = job();
    EXPECT_EQ(query(s).BuildSql(),
              "select m.orgnr,m.medlnr,m.betaling,m.belop as mbelop,k.fastbelop,"
              "k.belop as belop from medlreg m,kontgrp k where m.orgnr = :orgnr AND "
              "m.orgnr = k.orgnr AND m.kategori = k.kategori ");
    s.source = AmountSource::Relations;
    EXPECT_EQ(query(s).BuildSql(),
              "select m.orgnr,m.medlnr,m.betaling,m.belop as mbelop from medlreg m where "
              "m.orgnr = :orgnr ");
    s.source = AmountSource::Manual;
    EXPECT_EQ(query(s).SelectItems().back(), "m.belop as belop");
    EXPECT_EQ(query(s).Params().Items(0).Name, "orgnr");
    EXPECT_EQ(query(s).Params().Items(0).Value, "1");
}

}  // namespace
}  // namespace lagrull::test
