// Building transmissions in memory: numbers, totals, notice text lines,
// own notice and the clock-based sequence numbers.
#include <gtest/gtest.h>

#include <random>

#include "clearing/bbs_sequence.h"
#include "clearing/bbs_transmission.h"
#include "common/error.h"
#include "scripted_ui.h"

using namespace lagrull;
using namespace lagrull::clearing;

namespace {

// Numbers from a counter of its own, so that tests do not touch the
// program's clock counters.
class TestBBS : public TBBS {
public:
    using TBBS::TBBS;
    std::string NyttOppdragsnr() override { return std::to_string(1000 + ++assignments); }
    std::string NyttForsendelsesnr() override { return std::to_string(500 + ++transmissions); }
    int assignments = 0;
    int transmissions = 0;
};

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    for (std::size_t pos = 0; pos < text.size();) {
        const std::size_t end = text.find("\r\n", pos);
        lines.push_back(text.substr(pos, end - pos));
        pos = end + 2;
    }
    return lines;
}

std::string part(const std::string& line, int first, int last) {
    return line.substr(static_cast<std::size_t>(first - 1),
                       static_cast<std::size_t>(last - first + 1));
}

}  // namespace

TEST(Transmission, EmptyAssignmentIsNumberedAndFramed) {
    TestBBS bbs;
    EXPECT_EQ(bbs.Start().Forsendelsesnr(), 0);
    auto& oppdrag = bbs.NyttOppdrag<TBBSBetalingsOppdrag>();
    EXPECT_EQ(bbs.GetForsendelsesnr(), "501");
    EXPECT_EQ(oppdrag.GetOppdragsnr(), "0001001");
    EXPECT_EQ(oppdrag.Index(), 0);

    test::ScriptedUi ui;
    const auto lines = linesOf(bbs.ToText(ui));
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0], "NY000010        000050100008080" + std::string(49, '0'));
    EXPECT_EQ(lines[1],
              "NY210020"
              "000000000"
              "0001001" +
                  std::string(11, ' ') + std::string(45, '0'));
    // 0 transactions, 0 records, sum 0, both dates absent ("000000").
    EXPECT_EQ(lines[2], "NY210088" + std::string(8, '0') + std::string(8, '0') +
                            std::string(17, '0') + std::string(12, '0') + std::string(27, '0'));
    // The transmission counts every record in the file: four.
    EXPECT_EQ(lines[3], "NY000089" + std::string(8, '0') + "00000004" + std::string(17, '0') +
                            std::string(6, '0') + std::string(33, '0'));
    // A transaction added later: its records join the empty assignment's two.
    oppdrag.NyBetaling().SetBelop(100.0);
    EXPECT_EQ(bbs.Slutt().AntallRecords(), 6);
    EXPECT_EQ(oppdrag.Slutt().AntallRecords(), 4);
    for (const auto& line : lines) EXPECT_EQ(line.size(), 80u);
    EXPECT_TRUE(ui.messages.empty());
}

TEST(Transmission, GivenNumbersAreKept) {
    TestBBS bbs("4711");
    auto& oppdrag = bbs.NyttOppdrag<TBBSSlettingsOppdrag>("77");
    EXPECT_EQ(bbs.GetForsendelsesnr(), "4711");
    EXPECT_EQ(oppdrag.GetOppdragsnr(), "0000077");
    EXPECT_EQ(bbs.transmissions + bbs.assignments, 0);
}

TEST(Transmission, CountsRecordsOfTransactions) {
    TestBBS bbs;
    auto& oppdrag = bbs.NyttOppdrag<TBBSBetalingsOppdrag>();
    auto& first = oppdrag.NyBetaling();
    auto& second = oppdrag.NyBetaling();
    first.SetBelop(Money::fromOre(35000));
    second.SetBelop(Money::fromOre(50000));
    EXPECT_EQ(first.Belopspost1().Transaksjonsnr(), 1);
    EXPECT_EQ(second.Belopspost2().Transaksjonsnr(), 2);
    EXPECT_EQ(oppdrag.Slutt().AntallTransaksjoner(), 2);
    EXPECT_EQ(oppdrag.Slutt().AntallRecords(), 6);
    EXPECT_EQ(oppdrag.Slutt().Sum(), Money::fromOre(85000));
    EXPECT_EQ(bbs.Slutt().AntallTransaksjoner(), 2);
    EXPECT_EQ(bbs.Slutt().AntallRecords(), 8);
    EXPECT_EQ(bbs.Slutt().Sum(), Money::fromOre(85000));

    // Three short lines of notice text: 2 + 3 records; a line of 41 to 80
    // characters gives two records.
    first.SetSpesifikasjon({"Kontingent", "Grasrot", "Takk"});
    EXPECT_EQ(first.AntallRecords(), 5);
    first.AddSpesifikasjonslinje(std::string(41, 'x'));
    EXPECT_EQ(first.AntallRecords(), 7);
    EXPECT_EQ(oppdrag.Slutt().AntallRecords(), 11);
    EXPECT_EQ(bbs.Slutt().AntallRecords(), 13);
}

TEST(Transmission, EarliestAndLatestDueDates) {
    TestBBS bbs;
    auto& a = bbs.NyttOppdrag<TBBSBetalingsOppdrag>();
    a.NyBetaling().SetForfallsdato(Date{2024, 2, 1});
    auto& later = a.NyBetaling();
    later.SetForfallsdato(Date{2024, 1, 15});
    a.NyBetaling();  // no date: never the earliest
    EXPECT_EQ(part(a.Slutt().Line(), 42, 53), "150124010224");

    auto& b = bbs.NyttOppdrag<TBBSBetalingsOppdrag>();
    b.NyBetaling().SetForfallsdato(Date{2024, 1, 10});
    EXPECT_EQ(part(bbs.Slutt().Line(), 42, 47), "100124");
    // Moving a date is followed by the totals.
    later.SetForfallsdato(Date{2024, 3, 1});
    EXPECT_EQ(part(a.Slutt().Line(), 42, 53), "010224010324");
    b.Transaksjon(0).SetForfallsdato(std::nullopt);
    EXPECT_EQ(part(b.Slutt().Line(), 42, 53), std::string(12, '0'));
    EXPECT_EQ(part(bbs.Slutt().Line(), 42, 47), "010224");
}

TEST(Transmission, SumsBeyondThirtyTwoBits) {
    TestBBS bbs;
    auto& a = bbs.NyttOppdrag<TBBSBetalingsOppdrag>();
    for (int i = 0; i < 3; ++i) a.NyBetaling().SetBelop(Money::fromKroner(15000000.0));
    EXPECT_EQ(a.Slutt().Sum(), Money::fromOre(4500000000LL));
    EXPECT_EQ(part(bbs.Slutt().Line(), 25, 41), "00000004500000000");
}

TEST(Transmission, RunningTotalsEqualACountFromScratch) {
    TestBBS bbs;
    std::vector<TBBSOppdrag*> assignments{&bbs.NyttOppdrag<TBBSBetalingsOppdrag>(),
                                          &bbs.NyttOppdrag<TBBSSlettingsOppdrag>()};
    std::mt19937 random(7);
    auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    for (int step = 0; step < 400; ++step) {
        auto& o = *assignments[static_cast<std::size_t>(pick(2))];
        if (o.TransaksjonCount() == 0 || pick(4) == 0) {
            if (o.kind() == TBBSOppdrag::Kind::Betaling)
                static_cast<TBBSBetalingsOppdrag&>(o).NyBetaling();
            else
                static_cast<TBBSSlettingsOppdrag&>(o).NySletting();
            continue;
        }
        auto& t = o.Transaksjon(pick(o.TransaksjonCount()));
        switch (pick(3)) {
            case 0: t.SetBelop(Money::fromOre(pick(100000))); break;
            case 1:
                t.SetForfallsdato(
                    pick(5) == 0 ? std::nullopt
                                 : std::optional<Date>(Date{2024, 1 + pick(12), 1 + pick(28)}));
                break;
            default:
                if (auto* p = dynamic_cast<TBBSTransaksjon*>(&t))
                    p->SetSpesifikasjon(
                        std::vector<std::string>(static_cast<std::size_t>(pick(4)), "linje"));
        }
    }
    const std::string a0 = assignments[0]->Slutt().Line(), a1 = assignments[1]->Slutt().Line();
    const std::string total = bbs.Slutt().Line();
    for (auto* o : assignments) o->Recalculate();
    bbs.Recalculate();
    EXPECT_EQ(assignments[0]->Slutt().Line(), a0);
    EXPECT_EQ(assignments[1]->Slutt().Line(), a1);
    EXPECT_EQ(bbs.Slutt().Line(), total);
    EXPECT_EQ(bbs.Slutt().AntallTransaksjoner(),
              assignments[0]->TransaksjonCount() + assignments[1]->TransaksjonCount());
}

TEST(Transaction, NameKIDAndReference) {
    TestBBS bbs;
    auto& t = bbs.NyttOppdrag<TBBSBetalingsOppdrag>().NyBetaling();
    t.SetNavn("Hansen Kari Anne");
    t.SetKid("0020000000012329408018");
    t.SetFremmedreferanse("Kontingent 2024");
    EXPECT_EQ(t.Navn(), "Hansen Kari Anne");
    EXPECT_EQ(t.GetKid(), "0020000000012329408018");
    EXPECT_EQ(part(t.Belopspost1().Line(), 50, 52), "   ");
    EXPECT_EQ(part(t.Belopspost2().Line(), 16, 25), "H K ANNE  ");
    EXPECT_EQ(t.Belopspost2().Fremmedreferanse(), "Kontingent 2024");
}

TEST(Transaction, CharactersTheClearingHouseLacksAreRefused) {
    TestBBS bbs;
    auto& t = bbs.NyttOppdrag<TBBSBetalingsOppdrag>().NyBetaling();
    t.SetNavn("Ørnes Åse");  // ISO-8859-1 letters are fine
    EXPECT_EQ(t.Belopspost2().GetField(16, 25), "Ø ÅSE");
    try {
        t.SetFremmedreferanse("Kontingent 20€");
        FAIL() << "no failure";
    } catch (const FormatError& e) {
        EXPECT_EQ(std::string(e.what()),
                  "Tegnet «€» kan ikke skrives i en BBS-fil (post 31 i transaksjon 1, felt 51–75: "
                  "«Kontingent 20€»)");
    }
    EXPECT_THROW(t.SetNavn("Anna Szőke"), FormatError);
    EXPECT_EQ(t.Belopspost2().Fremmedreferanse(), "");
    EXPECT_EQ(t.Belopspost2().GetField(16, 25), "Ø ÅSE");
}

TEST(NoticeText, TabsAlignTheTextBehindThem) {
    TestBBS bbs;
    auto& t = bbs.NyttOppdrag<TBBSBetalingsOppdrag>().NyBetaling();
    t.SetSpesifikasjonTekst("Kontingent\t250,00\r\nGrasrot\t5,00\n\nTakk for støtten");
    const auto& records = t.Spesifikasjonsrecords();
    ASSERT_EQ(records.Count(), 3);
    EXPECT_EQ(records.Items(0).Tekst(), "Kontingent   250,00");
    EXPECT_EQ(records.Items(1).Tekst(), "Grasrot        5,00");
    // The empty third line makes no record but keeps its number.
    EXPECT_EQ(records.Items(2).Linjenr(), 4);
    EXPECT_EQ(records.Items(2).Tekst(), "Takk for støtten");
    EXPECT_EQ(records.Items(0).Transaksjonsnr(), 1);
    EXPECT_EQ(part(records.Items(1).Line(), 1, 20), "NY212149000000140021");
}

TEST(NoticeText, LongLinesFillTwoColumnsAndTheRestIsDropped) {
    TestBBS bbs;
    auto& t = bbs.NyttOppdrag<TBBSBetalingsOppdrag>().NyBetaling();
    t.SetSpesifikasjon({std::string(40, 'a') + std::string(40, 'b') + "dropped"});
    const auto& records = t.Spesifikasjonsrecords();
    ASSERT_EQ(records.Count(), 2);
    EXPECT_EQ(records.Items(0).Kolonne(), 1);
    EXPECT_EQ(records.Items(0).Tekst(), std::string(40, 'a'));
    EXPECT_EQ(records.Items(1).Kolonne(), 2);
    EXPECT_EQ(records.Items(1).Tekst(), std::string(40, 'b'));
}

TEST(NoticeText, MoreThanFortyTwoLinesFail) {
    TestBBS bbs;
    auto& oppdrag = bbs.NyttOppdrag<TBBSBetalingsOppdrag>();
    auto& t = oppdrag.NyBetaling();
    t.SetSpesifikasjon(std::vector<std::string>(42, "linje"));
    EXPECT_EQ(t.AntallRecords(), 44);
    try {
        t.SetSpesifikasjon(std::vector<std::string>(43, "linje"));
        FAIL() << "43 lines accepted";
    } catch (const FormatError& e) {
        EXPECT_STREQ(e.what(), "Avtalegirospesifikasjon kan ikke overstige 42 linjer");
    }
    EXPECT_EQ(t.Spesifikasjonsrecords().Count(), 0);
    EXPECT_TRUE(t.Spesifikasjon().empty());
    // The totals follow the records that are left.
    EXPECT_EQ(oppdrag.Slutt().AntallRecords(), 4);
}

TEST(NoticeText, OwnNoticeChangesTheTypeOfEveryRecord) {
    TestBBS bbs;
    auto& t = bbs.NyttOppdrag<TBBSBetalingsOppdrag>().NyBetaling();
    t.SetSpesifikasjon({"Kontingent"});
    EXPECT_FALSE(t.HarEgetVarsel());
    t.SetEgetVarsel(true);
    EXPECT_TRUE(t.HarEgetVarsel());
    EXPECT_EQ(part(t.Belopspost1().Line(), 1, 8), "NY210230");
    EXPECT_EQ(part(t.Belopspost2().Line(), 1, 8), "NY210231");
    EXPECT_EQ(part(t.Spesifikasjonsrecords().Items(0).Line(), 1, 8), "NY210249");
    // New text records take the type of the transaction.
    t.SetSpesifikasjon({"a", "b"});
    EXPECT_EQ(part(t.Spesifikasjonsrecords().Items(1).Line(), 1, 8), "NY210249");
    t.SetEgetVarsel(false);
    EXPECT_EQ(part(t.Belopspost1().Line(), 1, 8), "NY212130");
    EXPECT_EQ(part(t.Spesifikasjonsrecords().Items(1).Line(), 1, 8), "NY212149");
}

TEST(Remittance, AddressRecordsCarryNumberAndFullName) {
    TestBBS bbs;
    auto& oppdrag = bbs.NyttOppdrag<TBBSRemitteringsOppdrag>("", "123456789");
    EXPECT_EQ(part(oppdrag.Start().Line(), 1, 17), "NY040020123456789");
    oppdrag.NyRemittering();
    auto& t = oppdrag.NyRemittering();
    t.SetNavn("Berg-Olsen Per Christian");
    t.SetSpesifikasjon({"Faktura 17"});
    EXPECT_EQ(t.AntallRecords(), 5);
    EXPECT_EQ(t.Adresse1().Navn(), "Berg-Olsen Per Christian");
    EXPECT_EQ(t.Adresse1().Transaksjonsnr(), 2);
    EXPECT_EQ(t.Adresse2().Transaksjonsnr(), 2);
    EXPECT_EQ(part(t.Spesifikasjonsrecords().Items(0).Line(), 1, 19), "NY04034900000020011");

    test::ScriptedUi ui;
    const auto lines = linesOf(bbs.ToText(ui));
    ASSERT_EQ(lines.size(), 13u);  // two frames, 4 + 5 records
    EXPECT_EQ(part(lines[6], 7, 8), "30");
    EXPECT_EQ(part(lines[7], 7, 8), "31");
    EXPECT_EQ(part(lines[8], 7, 8), "40");
    EXPECT_EQ(part(lines[9], 7, 8), "41");
    EXPECT_EQ(part(lines[10], 7, 8), "49");
    EXPECT_EQ(part(lines[11], 17, 24), "00000011");
}

TEST(Transmission, AssignmentWithoutNumberIsReportedWhenWritten) {
    class Blank : public TestBBS {
    public:
        std::string NyttOppdragsnr() override { return "       "; }
    } bbs;
    bbs.NyttOppdrag<TBBSBetalingsOppdrag>();
    test::ScriptedUi ui;
    const auto lines = linesOf(bbs.ToText(ui));
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].caption, "Oppdrag[0]");
    EXPECT_EQ(ui.messages[0].text, "Oppdragsnummer er ikke gitt!");
    EXPECT_EQ(ui.messages[0].icon, Icon::Error);
    EXPECT_EQ(lines.size(), 4u);
}

// ---- Sequence numbers ------------------------------------------------------

TEST(Sequence, ClockValueOfTheYear) {
    EXPECT_EQ(clearingClockValue(1, 1, 0, 0, 0), 0);
    EXPECT_EQ(clearingClockValue(1, 1, 0, 0, 7), 1);
    EXPECT_EQ(clearingClockValue(12, 31, 23, 59, 59), 8035199);
}

TEST(Sequence, NumbersNeverRepeatNorGoBack) {
    ClockReading now{2024, 1000};
    ClearingSequence sequence([&] { return now; });
    EXPECT_EQ(sequence.NyttForsendelsesnr(), "0001000");
    EXPECT_EQ(sequence.NyttForsendelsesnr(), "0001001");  // same four seconds
    EXPECT_EQ(sequence.NyttOppdragsnr(), "0001000");      // a counter of its own
    now.value = 900;                                      // clock set back
    EXPECT_EQ(sequence.NyttForsendelsesnr(), "0001002");
    now.value = 5000;
    EXPECT_EQ(sequence.NyttForsendelsesnr(), "0005000");
}

TEST(Sequence, TheEndWaitsUntilTheClockHasPassedTheNumbers) {
    ClockReading now{2024, 100};
    ClearingSequence sequence([&] { return now; });
    EXPECT_FALSE(sequence.mustWait());
    for (int i = 0; i < 3; ++i) sequence.NyttOppdragsnr();  // 100, 101, 102
    sequence.NyttForsendelsesnr();                          // 100
    int sleeps = 0;
    sequence.waitUntilPassed([&](std::chrono::milliseconds) {
        ++sleeps;
        ++now.value;
    });
    EXPECT_EQ(now.value, 102);
    EXPECT_EQ(sleeps, 2);

    // Numbers of the old year do not hold the program into the new one.
    sequence.NyttOppdragsnr();  // 103
    sequence.NyttOppdragsnr();  // 104
    now = ClockReading{2025, 0};
    EXPECT_FALSE(sequence.mustWait());
}
