#include <gtest/gtest.h>

#include "claim_fixture.h"
#include "data/orv_query.h"
#include "payments/payment_report.h"
#include "scripted_ui.h"
#include "temp_dir.h"

namespace lagrull::test {
namespace {

class PaymentTest : public ::testing::Test {
protected:
    explicit PaymentTest(RegisterKind registerKind = RegisterKind::Members)
        : reg(ui, dir.str(), registerKind) {
        reg.member("1", "Aas", "Kari");
        reg.member("2", "Berg", "Ola", "12345678903");
        reg.member("10", "Dahl", "");
        reg.claim({"1", "01032026", 300});
        reg.claim({"2", "01032026", 200, 1, "X", 200, "28022026"});
        reg.claim({"10", "01032026", 150, 3});
        reg.claim({"1", "01092025", 250});
        logic = std::make_unique<TPaymentRegistration>(reg.context(registerKind), ui);
        logic->prepareView(PaymentView::PerDueDate);
    }

    const PaymentRow& row(const std::string& medlnr) {
        for (const PaymentRow& r : logic->rows())
            if (r.medlNr == medlnr) return r;
        throw std::runtime_error("no row " + medlnr);
    }
    std::size_t index(const std::string& medlnr) {
        return static_cast<std::size_t>(&row(medlnr) - logic->rows().data());
    }
    std::string stored(const std::string& medlnr, const std::string& dato,
                       const std::string& fields) {
        data::TOrvQuery q(reg.db());
        q.setSql("select " + fields + " from mbetreg where medlnr = '" + medlnr + "' and dato = '" +
                 dato + "'");
        q.open();
        if (q.eof()) return "(borte)";
        std::string out;
        for (int f = 0; f < q.fieldCount(); ++f)
            out += (f ? "|" : "") + data::valueToText(q.field(f), q.value(f));
        return out;
    }
    long long claims() {
        data::TOrvQuery q(reg.db());
        q.setSql("select * from mbetreg");
        q.open();
        return q.recordCount();
    }
    std::vector<std::string> order() {
        std::vector<std::string> nr;
        for (const PaymentRow& r : logic->rows()) nr.push_back(r.medlNr);
        return nr;
    }

    TempDir dir;
    ScriptedUi ui;
    ClaimRegister reg;
    std::unique_ptr<TPaymentRegistration> logic;
};

TEST_F(PaymentTest, DateViewLoadsTheNewestDateByNameWithItsQueryLines) {
    EXPECT_EQ(logic->caption(), "Innbetalinger - Idrettslaget Ørn");
    EXPECT_EQ(logic->dueDates(), (std::vector<std::string>{"01.03.2026", "01.09.2025"}));
    EXPECT_EQ(logic->dueDate(), "01.03.2026");
    EXPECT_EQ(order(), (std::vector<std::string>{"1", "2", "10"}));
    const auto& lines = reg.queries->IBSelectQuery.sql();
    EXPECT_EQ(lines.at(6), "WHERE b.dato = :dato ");
    EXPECT_EQ(lines.at(9), "AND 1 = 1");
    EXPECT_EQ(lines.at(13), "order by odato, m.enavn,m.fornavn");
    EXPECT_EQ(ui.waits.back(),
              (std::pair<std::string, std::string>{"VENT!", "Henter betalingsposter...."}));
    EXPECT_EQ(row("2").navn, "Berg, Ola");
    EXPECT_EQ(row("10").navn, "Dahl");
    EXPECT_EQ(logic->firstText(), "Kontingent");
    EXPECT_EQ(logic->firstPaymentMethod(), "Giro");
    EXPECT_EQ(FormatAmount(logic->totals().krav), "650,00");
    EXPECT_EQ(FormatAmount(logic->totals().innbetalt), "200,00");
    EXPECT_EQ(FormatAmount(logic->totals().skyldig()), "-450,00");
}

TEST_F(PaymentTest, FiltersRewriteTheStatusLineAndTheMethodParameters) {
    logic->chooseStatus(PaymentStatus::Betalt);
    EXPECT_EQ(reg.queries->IBSelectQuery.sql().at(9), "AND betflag =  'X'");
    EXPECT_EQ(order(), (std::vector<std::string>{"2"}));
    logic->chooseStatus(PaymentStatus::IkkeBetalt);
    EXPECT_EQ(reg.queries->IBSelectQuery.sql().at(9), "AND betflag =  ''");
    EXPECT_EQ(order(), (std::vector<std::string>{"1", "10"}));
    logic->chooseStatus(PaymentStatus::Alle);
    logic->choosePaymentMethod(3);
    EXPECT_EQ(order(), (std::vector<std::string>{"10"}));
    logic->choosePaymentMethod(kAllPaymentMethods);
    EXPECT_EQ(order().size(), 3u);
}

TEST_F(PaymentTest, NrOrderIsByDueDateThenNumericMemberNumber) {
    logic->chooseOrder(PaymentOrder::Nr);
    EXPECT_EQ(reg.queries->IBSelectQuery.sql().at(13), "order by odato, m.nmedlnr");
    EXPECT_EQ(order(), (std::vector<std::string>{"1", "2", "10"}));
    reg.member("3", "Aaberg", "Per");
    reg.claim({"3", "01032026", 100});
    logic->chooseOrder(PaymentOrder::Navn);
    EXPECT_EQ(order(), (std::vector<std::string>{"3", "1", "2", "10"}));
    logic->chooseOrder(PaymentOrder::Nr);
    EXPECT_EQ(order(), (std::vector<std::string>{"1", "2", "3", "10"}));
}

TEST_F(PaymentTest, PartPaymentLeavesARedRestAndAnUncheckedBox) {
    logic->setInnbetalt(index("1"), Money::fromOre(20000));
    const PaymentRow& r = row("1");
    EXPECT_EQ(r.restText(), "100,00");
    EXPECT_EQ(r.restColour(), RestColour::Red);
    EXPECT_FALSE(r.betalt);
    EXPECT_TRUE(logic->pending());
    EXPECT_EQ(logic->save(), 0);
    EXPECT_EQ(stored("1", "01032026", "betbelop, differansebelop, betflag"), "200|100|");
    EXPECT_FALSE(logic->pending());
}

TEST_F(PaymentTest, OverpaymentLeavesABlueNegativeRestAndChecksTheBox) {
    logic->setInnbetalt(index("1"), Money::fromOre(35000));
    EXPECT_EQ(row("1").restText(), "-50,00");
    EXPECT_EQ(row("1").restColour(), RestColour::Blue);
    EXPECT_TRUE(row("1").betalt);
    logic->save();
    EXPECT_EQ(stored("1", "01032026", "betbelop, differansebelop, betflag"), "350|-50|X");
}

TEST_F(PaymentTest, TickingBetaltWithoutBbsDatePaysTheClaim) {
    logic->setBetalt(index("1"), true);
    EXPECT_EQ(row("1").innbetalt, Money::fromOre(30000));
    EXPECT_EQ(row("1").restText(), "");
    logic->save();
    EXPECT_EQ(stored("1", "01032026", "betbelop, differansebelop, betflag, betdato"), "300|0|X|");
    // Unticking it takes the payment back.
    logic->setBetalt(index("1"), false);
    EXPECT_EQ(row("1").innbetalt, Money());
}

TEST_F(PaymentTest, TickingBetaltWithBbsDateChangesOnlyTheMark) {
    logic->setBetalt(index("2"), false);
    EXPECT_EQ(row("2").innbetalt, Money::fromOre(20000));
    EXPECT_FALSE(row("2").betalt);
    logic->save();
    EXPECT_EQ(stored("2", "01032026", "betbelop, betflag, betdato"), "200||28022026");
}

TEST_F(PaymentTest, EditingKravbelopDoesNotRecomputeRest) {
    logic->setInnbetalt(index("1"), Money::fromOre(10000));
    logic->setKravbelop(index("1"), Money::fromOre(50000));
    EXPECT_EQ(row("1").restText(), "200,00");
    logic->save();
    EXPECT_EQ(stored("1", "01032026", "belop, differansebelop"), "500|200");
}

TEST_F(PaymentTest, DeletionRequestsLeftOutOfTotalsUntilAnEdit) {
    reg.member("4", "Eik", "Siri");
    reg.claim({"4", "01032026", 1000, 1, "", 0, "", 1});
    logic->load();
    EXPECT_EQ(FormatAmount(logic->totals().krav), "650,00");
    EXPECT_EQ(row("4").text(PaymentColumn::BbsSletteanm), "Behandles");
    logic->setKravbelop(index("1"), Money::fromOre(30000));
    EXPECT_EQ(FormatAmount(logic->totals().krav), "1.650,00");
}

TEST_F(PaymentTest, BulkActions) {
    logic->alleBetalt();
    for (const PaymentRow& r : logic->rows()) EXPECT_TRUE(r.betalt) << r.medlNr;
    EXPECT_EQ(row("1").innbetalt, row("1").krav);
    EXPECT_FALSE(row("2").changed);  // already paid through the clearing house
    logic->ingenBetalt();
    for (const PaymentRow& r : logic->rows()) {
        EXPECT_FALSE(r.betalt);
        EXPECT_EQ(r.innbetalt, Money());
        EXPECT_TRUE(r.changed);
    }
    logic->save();
    EXPECT_EQ(stored("2", "01032026", "betbelop, betflag, betdato"), "0||28022026");
}

TEST_F(PaymentTest, FilterChangeWithEditsAsksToSaveFirst) {
    logic->setInnbetalt(index("1"), Money::fromOre(100));
    ui.answers = {Answer::No};
    logic->choosePaymentMethod(2);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].caption, "ADVARSEL!");
    EXPECT_EQ(ui.messages[0].text, "Lagre endringer?");
    EXPECT_EQ(ui.messages[0].buttons, Buttons::YesNo);
    EXPECT_EQ(stored("1", "01032026", "betbelop"), "0");
    EXPECT_FALSE(logic->pending());

    logic->choosePaymentMethod(kAllPaymentMethods);
    logic->setInnbetalt(index("1"), Money::fromOre(100));
    ui.answers = {Answer::Yes};
    logic->chooseStatus(PaymentStatus::IkkeBetalt);
    EXPECT_EQ(stored("1", "01032026", "betbelop"), "1");
    EXPECT_EQ(order(), (std::vector<std::string>{"1", "10"}));
}

TEST_F(PaymentTest, SwitchingViewsDoesNotDropEditsUnasked) {
    logic->setInnbetalt(index("1"), Money::fromOre(100));
    ui.answers = {Answer::Yes};
    logic->prepareView(PaymentView::PerMember);
    EXPECT_EQ(ui.texts(), (std::vector<std::string>{"Lagre endringer?"}));
    EXPECT_EQ(stored("1", "01032026", "betbelop"), "1");
}

TEST_F(PaymentTest, AVanishedClaimIsSkippedAndReported) {
    logic->setInnbetalt(index("1"), Money::fromOre(30000));
    logic->setInnbetalt(index("10"), Money::fromOre(15000));
    reg.db().exec("DELETE FROM MBETREG WHERE MEDLNR = '10'");
    EXPECT_EQ(logic->save(), 1);
    EXPECT_EQ(stored("1", "01032026", "betflag"), "X");
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text,
              "1 betalingspost ble ikke lagret fordi kravet ikke lenger finnes i "
              "betalingsregisteret.");
}

TEST_F(PaymentTest, SlettAlleFollowsTheStatusFilterAndNamesTheCount) {
    logic->chooseStatus(PaymentStatus::IkkeBetalt);
    ui.answers = {Answer::No};
    EXPECT_FALSE(logic->deleteAll());
    EXPECT_EQ(ui.messages.back().text, "Skal betalingspostene slettes (2 poster)?");
    EXPECT_EQ(claims(), 4);
    ui.answers = {Answer::Yes};
    EXPECT_TRUE(logic->deleteAll());
    EXPECT_EQ(stored("1", "01032026", "belop"), "(borte)");
    EXPECT_EQ(stored("2", "01032026", "belop"), "200");  // paid: kept
    EXPECT_EQ(stored("1", "01092025", "belop"), "250");  // other date: kept
    EXPECT_TRUE(logic->rows().empty());

    logic->chooseStatus(PaymentStatus::Alle);
    ui.answers = {Answer::Yes};
    EXPECT_TRUE(logic->deleteAll());
    EXPECT_EQ(ui.messages.back().text, "Skal betalingsposten slettes (1 post)?");
    EXPECT_EQ(claims(), 1);
}

TEST_F(PaymentTest, SlettAlleInTheMemberViewTakesTheMembersClaims) {
    logic->chooseMember("1");  // not in this view yet: only remembered
    logic->prepareView(PaymentView::PerMember);
    EXPECT_EQ(reg.queries->IBSelectQuery.sql().at(6), "WHERE b.medlnr = :idnr ");
    EXPECT_EQ(logic->rows().size(), 2u);
    ui.answers = {Answer::Yes};
    EXPECT_TRUE(logic->deleteAll());
    EXPECT_EQ(reg.queries->IBDeleteQuery.sql().at(1), " WHERE medlnr = :idnr ");
    EXPECT_EQ(claims(), 2);
}

TEST_F(PaymentTest, CtrlDeleteNamesTheKeyColumnOfTheView) {
    ui.answers = {Answer::No};
    EXPECT_FALSE(logic->deleteRow(index("2")));
    EXPECT_EQ(ui.messages.back().text, "Vil du slette medl.nr 2 (kr 200,00) ? ");

    logic->chooseMember("1");
    logic->prepareView(PaymentView::PerMember);
    ui.answers = {Answer::Yes};
    EXPECT_TRUE(logic->deleteRow(0));
    EXPECT_EQ(ui.messages.back().caption, "ADVARSEL!");
    EXPECT_EQ(ui.messages.back().text, "Vil du slette forf.dato 01.09.2025 (kr 250,00) ? ");
    EXPECT_EQ(stored("1", "01092025", "belop"), "(borte)");
    EXPECT_EQ(stored("1", "01032026", "belop"), "300");
    EXPECT_EQ(logic->rows().size(), 1u);
}

TEST_F(PaymentTest, ColumnsOfTheTwoViews) {
    using C = PaymentColumn;
    EXPECT_TRUE(logic->columnVisible(C::MedlNr));
    EXPECT_FALSE(logic->columnVisible(C::ForfDato));
    EXPECT_FALSE(logic->columnVisible(C::Kid));
    EXPECT_FALSE(logic->columnVisible(C::BetMaate));
    logic->showColumn(C::Kontonr, true);
    EXPECT_TRUE(logic->columnVisible(C::Kontonr));
    EXPECT_EQ(row("2").text(C::Kontonr), "1234 56 78903");
    logic->prepareView(PaymentView::PerMember);
    EXPECT_FALSE(logic->columnVisible(C::MedlNr));
    EXPECT_FALSE(logic->columnVisible(C::Kontonr));
    EXPECT_TRUE(logic->columnVisible(C::ForfDato));
    EXPECT_TRUE(logic->columnVisible(C::Tekst));
}

TEST_F(PaymentTest, QuickSearchByName) {
    EXPECT_EQ(logic->typed("b", PaymentColumn::Navn), std::optional<std::size_t>(1));
    EXPECT_EQ(logic->typed("E", PaymentColumn::Navn), std::optional<std::size_t>(1));
    EXPECT_EQ(logic->searchText(), "bE");
    EXPECT_EQ(logic->typed("x", PaymentColumn::Navn), std::nullopt);
    logic->clearSearch();
    EXPECT_EQ(logic->typed("d", PaymentColumn::Innbetalt), std::nullopt);
    EXPECT_EQ(logic->searchText(), "");
    EXPECT_EQ(logic->typed(" ", PaymentColumn::Betalt), std::nullopt);
    EXPECT_EQ(logic->searchText(), "");
    EXPECT_EQ(logic->typed("d", PaymentColumn::Betalt), std::optional<std::size_t>(2));
}

TEST_F(PaymentTest, LeavingAsksAboutPendingEdits) {
    logic->leave();
    EXPECT_TRUE(ui.messages.empty());
    logic->setInnbetalt(index("1"), Money::fromOre(5000));
    ui.answers = {Answer::Yes};
    logic->leave();
    EXPECT_EQ(ui.texts(), (std::vector<std::string>{"Lagre endringer?"}));
    EXPECT_EQ(stored("1", "01032026", "betbelop"), "50");
}

TEST_F(PaymentTest, GridTextFileHasTheVisibleColumns) {
    logic->setInnbetalt(index("1"), Money::fromOre(123456));
    const std::string text = paymentGridText(*logic);
    EXPECT_EQ(text.substr(0, text.find("\r\n")),
              "Medl.nr\tNavn\tKravbeløp\tInnbetalt\tRest\tBetalt");
    EXPECT_NE(text.find("1\tAas, Kari\t300,00\t1.234,56\t-934,56\tX\r\n"), std::string::npos);
    ui.files = {dir.str() + "/rapport"};
    const auto file = savePaymentGridFile(*logic, ui);
    ASSERT_TRUE(file);
    EXPECT_EQ(*file, dir.str() + "/rapport.txt");
    EXPECT_EQ(dir.read("rapport.txt"), text);
}

TEST_F(PaymentTest, EmptyDateGivesNoRowsAndZeroTotals) {
    logic->chooseDueDate("24.12.2030");
    EXPECT_TRUE(logic->rows().empty());
    EXPECT_EQ(logic->totals().krav, Money());
    EXPECT_EQ(logic->firstText(), "");
}

class RentPaymentTest : public PaymentTest {
protected:
    RentPaymentTest() : PaymentTest(RegisterKind::Rent) {}
};

TEST_F(RentPaymentTest, TenantNumberHeaders) {
    EXPECT_EQ(paymentColumnHeader(PaymentColumn::MedlNr, RegisterKind::Rent), "Leietakernr");
    EXPECT_EQ(paymentGridText(*logic).substr(0, 12), "Leietakernr\t");
}

}  // namespace
}  // namespace lagrull::test
