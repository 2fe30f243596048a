// The OCR import against a register: the payment rules, the KID look-up with
// its organisation, agreement changes and full lists, the report lines, the
// question and the failures.
#include <gtest/gtest.h>

#include "clearing/ocr_import.h"
#include "ocr_file.h"
#include "register_fixture.h"

using namespace lagrull;
using namespace lagrull::clearing;

namespace {

struct CollectedReport : TBBSRapportMottaker {
    std::vector<TBBSRapportLinje> lines;
    void AddLine(const TBBSRapportLinje& line) override { lines.push_back(line); }
    std::vector<std::string> row(std::size_t i) const {
        const auto c = rapportKolonner(lines.at(i));
        return {c.begin(), c.end()};
    }
};

class OcrImport : public test::RegisterTest {
protected:
    OcrImport() {
        organisation(0, "Idrettslaget");
        organisation(1, "Korpset");
        member(0, "7", "Hansen", "Kari");
        member(1, "123", "Olsen", "Per");
        kid = claim(1, "123", "15032024", 200);
    }

    // Imports the file, answering the question Yes; a new report each time.
    TOcrImportResultat import(const test::OcrFile& file, CollectedReport& report) {
        ui.answers.push_back(Answer::Yes);
        const auto path = writeFile("ocr" + std::to_string(++files) + ".txt", file.text());
        const auto result = importOcrFile(ui, db(), dir.path(), path,
                                          [&]() -> TBBSRapportMottaker& { return report; });
        EXPECT_TRUE(result.has_value());
        return result.value_or(TOcrImportResultat{});
    }
    TOcrImportResultat import(const test::OcrFile& file) {
        CollectedReport report;
        return import(file, report);
    }

    std::string kid;
    int files = 0;
};

}  // namespace

TEST_F(OcrImport, PaymentEqualToTheClaimSettlesIt) {
    CollectedReport report;
    const auto r = import(test::OcrFile().payment(kid, 20000, "180324"), report);
    EXPECT_EQ(r.matchet, 1);
    EXPECT_EQ(claimField(kid, "BETFLAG"), "X");
    EXPECT_EQ(claimField(kid, "BETBELOP"), "200");
    EXPECT_EQ(claimField(kid, "BETDATO"), "18032024");
    EXPECT_EQ(claimField(kid, "DIFFERANSEBELOP"), "");  // unchanged
    EXPECT_EQ(claimField(kid, "SLETTEFLAG"), "0");
    ASSERT_EQ(report.lines.size(), 1u);
    EXPECT_EQ(report.row(0), (std::vector<std::string>{"123 : Olsen, Per", "Korpset", kid,
                                                       "15.03.2024", "18.03.2024", "200,00"}));
}

TEST_F(OcrImport, PartialOverAndSecondPayments) {
    import(test::OcrFile().payment(kid, 15000));
    EXPECT_EQ(claimField(kid, "DIFFERANSEBELOP"), "50");
    EXPECT_EQ(claimField(kid, "BETFLAG"), "");
    EXPECT_EQ(claimField(kid, "BETBELOP"), "150");

    // a second payment describes itself, never adds to the first
    import(test::OcrFile().payment(kid, 5000, "200324"));
    EXPECT_EQ(claimField(kid, "BETBELOP"), "50");
    EXPECT_EQ(claimField(kid, "DIFFERANSEBELOP"), "150");
    EXPECT_EQ(claimField(kid, "BETFLAG"), "");
    EXPECT_EQ(claimField(kid, "BETDATO"), "20032024");

    const std::string other = claim(0, "7", "15032024", 200);
    import(test::OcrFile().payment(other, 25000));
    EXPECT_EQ(claimField(other, "DIFFERANSEBELOP"), "-50");
    EXPECT_EQ(claimField(other, "BETFLAG"), "X");
}

TEST_F(OcrImport, SettledClaimStaysSettledAndPaymentsOfOneFileApplyInOrder) {
    // full, then partial in the same file: the last one is described, the
    // claim stays settled
    const auto r = import(test::OcrFile().payment(kid, 20000).payment(kid, 5000, "190324"));
    EXPECT_EQ(r.matchet, 2);
    EXPECT_EQ(claimField(kid, "BETFLAG"), "X");
    EXPECT_EQ(claimField(kid, "BETBELOP"), "50");
    EXPECT_EQ(claimField(kid, "DIFFERANSEBELOP"), "150");
    EXPECT_EQ(claimField(kid, "BETDATO"), "19032024");
}

TEST_F(OcrImport, ManyClaimsEachGetTheirOwnPaymentsInFileOrder) {
    // More claims than one write takes, paid in reverse order: odd ones in
    // full, even ones in part, the first one a second time in full.
    constexpr int kClaims = 150;
    std::vector<std::string> kids;
    for (int i = 0; i < kClaims; ++i) {
        const std::string nr = std::to_string(1000 + i);
        member(1, nr, "Navn" + nr, "Fornavn");
        kids.push_back(claim(1, nr, "15032024", 100));
    }
    test::OcrFile file;
    for (int i = kClaims - 1; i >= 0; --i) file.payment(kids[i], i % 2 ? 10000 : 4000, "180324");
    file.payment(kids[0], 10000, "190324");
    CollectedReport report;
    const auto r = import(file, report);
    EXPECT_EQ(r.matchet, kClaims + 1);
    for (int i = 1; i < kClaims; ++i) {
        EXPECT_EQ(claimField(kids[i], "BETFLAG"), i % 2 ? "X" : "") << i;
        EXPECT_EQ(claimField(kids[i], "BETBELOP"), i % 2 ? "100" : "40") << i;
        EXPECT_EQ(claimField(kids[i], "DIFFERANSEBELOP"), i % 2 ? "" : "60") << i;
        EXPECT_EQ(claimField(kids[i], "BETDATO"), "18032024") << i;
    }
    EXPECT_EQ(claimField(kids[0], "BETFLAG"), "X");
    EXPECT_EQ(claimField(kids[0], "BETBELOP"), "100");
    EXPECT_EQ(claimField(kids[0], "DIFFERANSEBELOP"), "60");  // from the first payment
    EXPECT_EQ(claimField(kids[0], "BETDATO"), "19032024");
    ASSERT_EQ(report.lines.size(), std::size_t{kClaims + 1});
    EXPECT_EQ(report.lines.front().kid, kids[kClaims - 1]);
    EXPECT_EQ(report.lines.back().betaltDato, "19032024");
    EXPECT_EQ(report.lines.back().forfallsdato, "15032024");
}

TEST_F(OcrImport, SameFileTwiceRegistersTheSameValuesAndListsTwice) {
    const test::OcrFile file = test::OcrFile().payment(kid, 15000);
    CollectedReport first, second;
    import(file, first);
    const std::string afterFirst = claimField(kid, "BETBELOP") + claimField(kid, "DIFFERANSEBELOP");
    import(file, second);
    EXPECT_EQ(claimField(kid, "BETBELOP") + claimField(kid, "DIFFERANSEBELOP"), afterFirst);
    EXPECT_EQ(first.lines.size(), 1u);
    EXPECT_EQ(second.lines.size(), 1u);
}

TEST_F(OcrImport, ZeroKronerShowsOnlyWhoAndKid) {
    CollectedReport report;
    import(test::OcrFile().payment(kid, 0), report);
    EXPECT_EQ(claimField(kid, "BETBELOP"), "0");
    EXPECT_EQ(claimField(kid, "DIFFERANSEBELOP"), "200");
    EXPECT_EQ(claimField(kid, "BETDATO"), "15032024");
    EXPECT_EQ(claimField(kid, "BETFLAG"), "");
    EXPECT_EQ(report.row(0),
              (std::vector<std::string>{"123 : Olsen, Per", "Korpset", kid, "", "", ""}));
}

// A reversal (type 18, "-" in the sign position) must never settle the claim
// its KID names: it is listed and counted, and the claim stays as it was.
TEST_F(OcrImport, ReversalIsListedAndRegistersNothing) {
    CollectedReport report;
    const auto r = import(test::OcrFile().payment(kid, -20000), report);
    EXPECT_EQ(r.tilbakeforinger, 1);
    EXPECT_EQ(r.matchet, 0);
    EXPECT_EQ(claimField(kid, "BETFLAG"), "");
    EXPECT_EQ(claimField(kid, "BETBELOP"), "");
    EXPECT_EQ(claimField(kid, "BETDATO"), "");
    ASSERT_EQ(report.lines.size(), 1u);
    EXPECT_EQ(report.row(0)[2], "Tilbakeføring " + kid);
    EXPECT_EQ(report.row(0)[5], "-200,00");
}

TEST_F(OcrImport, PaidDeletionMarkedClaimLosesItsMark) {
    exec("update mbetreg set sletteflag = 1 where kid = '" + kid + "'");
    import(test::OcrFile().payment(kid, 20000));
    EXPECT_EQ(claimField(kid, "SLETTEFLAG"), "0");
}

TEST_F(OcrImport, KidNamesOrganisationAndPaddedMemberNumber) {
    ASSERT_EQ(kid.substr(0, 14), "00200000000123");
    CollectedReport report;
    import(test::OcrFile().payment(kid, 100), report);
    EXPECT_EQ(report.lines.at(0).orgNavn, "Korpset");
    EXPECT_EQ(report.lines.at(0).medlem, "123 : Olsen, Per");
}

TEST_F(OcrImport, MemberNumberSharedByTwoOrganisationsNamesTheRightOne) {
    // organisation 0 has a member 123 too, and comes first in key order
    member(0, "123", "Feil", "Person");
    CollectedReport report;
    import(test::OcrFile().payment(kid, 20000).agreement('1', kid, 'J'), report);
    EXPECT_EQ(report.lines.at(0).medlem, "123 : Olsen, Per");
    EXPECT_EQ(memberField(1, "123", "BETALING"), "1");
    EXPECT_EQ(memberField(0, "123", "BETALING"), "2");  // untouched
}

TEST_F(OcrImport, UnknownKidsAreListedAndChangeNothing) {
    CollectedReport report;
    const std::string stranger = "0990000000099932345018";  // organisation 98, member 999
    const auto r = import(test::OcrFile().payment(stranger, 10000), report);
    EXPECT_EQ(r.umatchet, 1);
    EXPECT_EQ(report.row(0),
              (std::vector<std::string>{" : Feil: Ukjent kunde!!", "Feil: Ukjent organisasjon!!",
                                        stranger, "", "15.03.2024", "100,00"}));
    EXPECT_EQ(claimField(kid, "BETDATO"), "");

    // a claim whose member is gone is still matched by its KID
    exec("delete from medlreg where orgnr = 1");
    CollectedReport second;
    import(test::OcrFile().payment(kid, 20000), second);
    EXPECT_EQ(second.lines.at(0).medlem, " : Feil: Ukjent kunde!!");
    EXPECT_EQ(claimField(kid, "BETFLAG"), "X");
}

TEST_F(OcrImport, AgreementChanges) {
    member(1, "124", "Berg", "Ola", 2, 0);
    member(1, "125", "Dahl", "Lise", 1, 1);
    const std::string k123 = MakeKid("2", "123", "15032024", RegisterKind::Members);
    const std::string k124 = MakeKid("2", "124", "15032024", RegisterKind::Members);
    const std::string k125 = MakeKid("2", "125", "15032024", RegisterKind::Members);
    CollectedReport report;
    const auto r = import(test::OcrFile()
                              .agreement('1', k123, 'J')
                              .agreement('1', k124, 'N')
                              .agreement('2', k125, 'J')
                              .agreement('1', "0020000000099912345018", 'J'),
                          report);
    EXPECT_EQ(r.avtaleendringer, 3);
    EXPECT_TRUE(report.lines.empty());
    EXPECT_EQ(memberField(1, "123", "BETALING") + memberField(1, "123", "VARSLING"), "11");
    EXPECT_EQ(memberField(1, "124", "BETALING") + memberField(1, "124", "VARSLING"), "12");
    EXPECT_EQ(memberField(1, "125", "BETALING") + memberField(1, "125", "VARSLING"), "21");
}

TEST_F(OcrImport, FullListChangesOnlyTheOrganisationsItNames) {
    member(1, "124", "Berg", "Ola", 1, 1);   // AvtaleGiro, not in the list
    member(1, "125", "Dahl", "Lise", 3, 0);  // cash, in the list
    member(0, "8", "Lie", "Anne", 1, 1);     // other organisation, not named
    const auto r =
        import(test::OcrFile()
                   .agreement('0', MakeKid("2", "123", "15032024", RegisterKind::Members), 'J')
                   .agreement('0', MakeKid("2", "125", "15032024", RegisterKind::Members), 'N'));
    EXPECT_EQ(r.statusendringer, 3);
    EXPECT_EQ(memberField(1, "123", "BETALING"), "1");
    EXPECT_EQ(memberField(1, "124", "BETALING"), "2");
    EXPECT_EQ(memberField(1, "125", "BETALING"), "1");
    EXPECT_EQ(memberField(0, "8", "BETALING"), "1");
}

TEST_F(OcrImport, AnsweringNoChangesNothing) {
    ui.answers.push_back(Answer::No);
    bool opened = false;
    CollectedReport report;
    const auto path = writeFile("ocr.txt", test::OcrFile().payment(kid, 20000).text());
    const auto result = importOcrFile(ui, db(), dir.path(), path, [&]() -> TBBSRapportMottaker& {
        opened = true;
        return report;
    });
    EXPECT_FALSE(result);
    EXPECT_FALSE(opened);
    EXPECT_EQ(claimField(kid, "BETFLAG"), "");
    EXPECT_EQ(ui.messages.at(0).caption, "Advarsel!");
    EXPECT_EQ(ui.messages.at(0).text, "Innbetalingsregistret vil bli oppdatert! Fortsette ?");
}

TEST_F(OcrImport, UnreadableFileIsReportedAndChangesNothing) {
    // a payment whose date cannot be read spoils the whole file
    const std::string text = test::OcrFile().payment(kid, 20000).payment(kid, 100, "320324").text();
    ui.answers.push_back(Answer::Yes);
    CollectedReport report;
    const auto result = importOcrFile(ui, db(), dir.path(), writeFile("bad.txt", text),
                                      [&]() -> TBBSRapportMottaker& { return report; });
    ASSERT_TRUE(result);
    EXPECT_TRUE(result->feil);
    EXPECT_EQ(ui.messages.back().caption, "Feil!");
    EXPECT_TRUE(report.lines.empty());
    EXPECT_EQ(claimField(kid, "BETFLAG"), "");
}

namespace {

// Fails the import at the first move of the gauge past 0 %: with every
// payment matched, that is right after the first batch of claims is written.
struct FailingGaugeUi : test::ScriptedUi {
    void progressSet(int percent) override {
        if (percent > 0) throw Error("Måleren svikter");
        ScriptedUi::progressSet(percent);
    }
};

}  // namespace

TEST_F(OcrImport, AfterAFailureTheReportListsExactlyTheClaimsThatWereWritten) {
    // Claims are looked up one by one when few of many are paid, read in one
    // pass when most are. Either way they are written in batches of 100 in
    // rowid order; the payments come in reverse order, and a failure after
    // the first batch keeps that batch and lists just its payments.
    struct Case {
        int claims, paid;
    };
    int next = 1000;
    for (const Case c : {Case{250, 250}, Case{2000, 120}}) {
        SCOPED_TRACE(c.claims);
        exec("delete from mbetreg");
        std::vector<std::string> kids;
        for (int i = 0; i < c.claims; ++i) {
            const std::string nr = std::to_string(next++);
            member(1, nr, "Navn" + nr, "Fornavn");
            kids.push_back(claim(1, nr, "15032024", 100));
        }
        test::OcrFile file;
        for (int i = c.paid - 1; i >= 0; --i) file.payment(kids[i], 10000, "180324");
        FailingGaugeUi failing;
        TBBSReturAlle reader(failing, dir.path());
        reader.LoadFromFile(writeFile("delvis" + std::to_string(c.claims) + ".txt", file.text()));
        CollectedReport report;
        const TOcrImportResultat r = registerReturnData(failing, db(), reader, report);
        ASSERT_TRUE(r.feil);
        EXPECT_EQ(*r.feil, "Måleren svikter");
        EXPECT_EQ(r.matchet, 100);
        EXPECT_EQ(value("select count(*) as n from mbetreg where betflag = 'X'", "n"), "100");
        for (int i = 0; i < 100; ++i) EXPECT_EQ(claimField(kids[i], "BETFLAG"), "X") << i;
        ASSERT_EQ(report.lines.size(), 100u);
        for (const TBBSRapportLinje& line : report.lines) {
            EXPECT_EQ(claimField(line.kid, "BETFLAG"), "X") << line.kid;
            EXPECT_EQ(line.forfallsdato, "15032024");
        }
    }
}
