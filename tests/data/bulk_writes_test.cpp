// The bulk writers of the claim table, which run without the fitting
// triggers: what they write is cut as the triggers would cut it, and the
// triggers are back for every statement once they are done.
#include <gtest/gtest.h>

#include <utility>

#include "data/claim_rows.h"
#include "data/orv_table.h"
#include "data/payment_rows.h"
#include "data/schema.h"
#include "data/table_def.h"
#include "store_fixture.h"

namespace lagrull::data {
namespace {

using test::StoreTest;

class BulkWrites : public StoreTest {
protected:
    void SetUp() override {
        TOrvTable t(db, mbetregDef().TableName);
        t.createTable(mbetregDef().Fields, mbetregDef().Indexes);
        exec(
            "insert into mbetreg (orgnr, medlnr, dato, belop, betaling, kid, tekst) values "
            "(1, '1', '15012026', 250, 2, '0010000010150126', 'Kontingent 2026')");
    }

    void setBetflag(const std::string& value) {
        Statement s = db.prepare("UPDATE MBETREG SET BETFLAG = ?1");
        s.bind(1, Value(value));
        s.execute();
    }
};

TEST(FittedText, CutsToTheWidthInCharacters) {
    EXPECT_EQ(fittedText("ÆØÅæøå", 4), "ÆØÅæ");
    EXPECT_EQ(fittedText("ÆØ", 4), "ÆØ");
    EXPECT_EQ(fittedText("12345678901234", 11), "12345678901");
    EXPECT_EQ(fittedText("uten grense", 0), "uten grense");
    EXPECT_EQ(textWidth(mbetregDef(), "kid"), kKidFieldSize);
    EXPECT_EQ(textWidth(mbetregDef(), "BELOP"), 0);  // not a text
}

TEST_F(BulkWrites, TriggersAreOffOnlyWhileTheGuardLives) {
    {
        const WritesWithoutTriggers outer(db);
        {
            const WritesWithoutTriggers inner(db);
            setBetflag("XY");
        }
        // The inner guard gives back the state it found: still off.
        setBetflag("XYZ");
        EXPECT_EQ(rows("select betflag from mbetreg"), (std::vector<std::string>{"XYZ"}));
    }
    // The cached statement, prepared without the triggers, fires them again.
    setBetflag("ZW");
    EXPECT_EQ(rows("select betflag from mbetreg"), (std::vector<std::string>{"Z"}));
}

TEST_F(BulkWrites, ClaimWriterCutsItsTextsAndLeavesTheTriggersOn) {
    const std::string longText(45, 'a');
    const std::string longLetters = "Ærlig " + std::string(40, 'x');  // 46 characters
    {
        TClaimWriter writer(db, 1, "15012026", longLetters);
        ClaimRow claim;
        claim.medlnr = "123456789012";  // one more than the column holds
        claim.belop = 300;
        claim.betaling = 2;
        claim.kid = "123456789012345678901234567890";
        claim.rel[0] = longLetters;
        claim.rel[5] = longText;
        writer.write(claim);
        // The rewrite of the existing claim: REL6 not given keeps its value.
        claim.rel[5].reset();
        claim.belop = 350;
        writer.write(claim);
        ClaimRow known;
        known.medlnr = "1";
        known.belop = 100;
        writer.write(known);
    }
    const std::string cut40 = "Ærlig " + std::string(34, 'x');
    EXPECT_EQ(rows("select medlnr, belop, kid, tekst, rel1, rel6 from mbetreg order by medlnr"),
              (std::vector<std::string>{"1|100||" + cut40 + "||",
                                        "12345678901|350|1234567890123456789012345|" + cut40 + "|" +
                                            cut40 + "|" + std::string(40, 'a')}));
    setBetflag("XY");
    EXPECT_EQ(rows("select distinct betflag from mbetreg"), (std::vector<std::string>{"X"}));
}

TEST_F(BulkWrites, PaymentsAreWrittenInBatchesAndCut) {
    db.exec(
        "WITH RECURSIVE n(v) AS (SELECT 1 UNION ALL SELECT v + 1 FROM n WHERE v < 249) "
        "INSERT INTO MBETREG (ORGNR, MEDLNR, DATO, BELOP, KID) "
        "SELECT 1, 'm' || v, '15012026', 100, 'k' || v FROM n");
    std::vector<ClaimState> claims;
    TClaimsByKid byKid(db);
    byKid.readAll([&claims](std::string_view) { return &claims.emplace_back(); });
    ASSERT_EQ(claims.size(), 250u);
    std::vector<const ClaimState*> states;
    for (ClaimState& c : claims) {
        c.betflag = "XY";
        c.betdato = "311220269";
        c.betbelop = 100;
        states.push_back(&c);
    }
    std::vector<std::pair<std::size_t, std::size_t>> batches;
    byKid.writePayments(states, [&batches](std::size_t first, std::size_t end) {
        batches.emplace_back(first, end);
    });
    EXPECT_EQ(batches,
              (std::vector<std::pair<std::size_t, std::size_t>>{{0, 100}, {100, 200}, {200, 250}}));
    EXPECT_EQ(rows("select betflag, betdato, betbelop, count(*) from mbetreg group by 1, 2, 3"),
              (std::vector<std::string>{"X|31122026|100|250"}));
    setBetflag("ZW");
    EXPECT_EQ(rows("select distinct betflag from mbetreg"), (std::vector<std::string>{"Z"}));
}

}  // namespace
}  // namespace lagrull::data
