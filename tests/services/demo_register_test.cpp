#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <iostream>
#include <random>
#include <set>
#include <thread>

#include "common/check_digits.h"
#include "common/error.h"
#include "data/data_store.h"
#include "data/field_access.h"
#include "data/orv_query.h"
#include "demo_store.h"
#include "payments/kid.h"
#include "scripted_ui.h"
#include "services/postnr.h"
#include "temp_dir.h"

using namespace lagrull;
using lagrull::test::TempDir;

namespace {

using Rows = std::vector<std::vector<std::string>>;

// The rows of a local SQL query on the register in `dir`, every field as text.
Rows query(const TempDir& dir, const std::string& sql) {
    data::TDatabase db;
    db.setPath(dir.str());
    db.connect();
    data::TOrvQuery q(db);
    q.setSql(sql);
    q.open();
    Rows out;
    for (; !q.eof(); q.next()) {
        std::vector<std::string> row;
        row.reserve(static_cast<std::size_t>(q.fieldCount()));
        for (int f = 0; f < q.fieldCount(); ++f) row.push_back(data::FieldText(q, q.field(f).name));
        out.push_back(row);
    }
    return out;
}

long long count(const TempDir& dir, const std::string& sqlTail) {
    return std::stoll(query(dir, "select count(*) as n from " + sqlTail).at(0).at(0));
}

// Every row of every register table, in key order.
std::string wholeRegister(const TempDir& dir) {
    std::string out;
    for (const char* sql :
         {"select * from orgreg order by orgnr", "select * from kontgrp order by orgnr, kategori",
          "select * from relregstandard order by orgnr, relasjon",
          "select * from medlreg order by orgnr, medlnr",
          "select * from relreg order by orgnr, medlnr, relasjon",
          "select * from mbetreg order by orgnr, medlnr, dato"})
        for (const auto& row : query(dir, sql)) {
            for (const std::string& v : row) out += v + '|';
            out += '\n';
        }
    return out;
}

bool allDigits(const std::string& s) {
    return std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

demo::DemoOptions options(long long members, int organisations, bool claims,
                          std::uint64_t seed = 1) {
    demo::DemoOptions o;
    o.members = members;
    o.organisations = organisations;
    o.claims = claims;
    o.seed = seed;
    return o;
}

// One demo of 400 members in three organisations with claims, shared by the
// checks of its content.
class DemoContent : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        dir_ = new TempDir;
        counts_ = test::makeDemoStore(dir_->path(), options(400, 3, true));
    }
    static void TearDownTestSuite() {
        delete dir_;
        dir_ = nullptr;
    }
    static const TempDir& dir() { return *dir_; }
    static inline TempDir* dir_ = nullptr;
    static inline demo::DemoCounts counts_;
};

}  // namespace

TEST(DemoRegister, SameSeedGivesTheSameRegisterAndAnotherSeedAnotherOne) {
    TempDir a, b, c;
    test::makeDemoStore(a.path(), options(300, 2, true, 7));
    test::makeDemoStore(b.path(), options(300, 2, true, 7));
    test::makeDemoStore(c.path(), options(300, 2, true, 8));
    const std::string first = wholeRegister(a);
    EXPECT_GT(first.size(), 10000u);
    EXPECT_EQ(first, wholeRegister(b));
    EXPECT_NE(first, wholeRegister(c));
}

TEST(DemoRegister, RefusesARegisterThatHoldsMembers) {
    TempDir dir;
    test::makeDemoStore(dir.path(), options(5, 1, false));
    const std::string before = wholeRegister(dir);

    test::ScriptedUi ui;
    data::DataStore store(ui, "", dir.str());
    store.start();
    TPostNr postal(test::builtPostalDirectory().string());
    EXPECT_FALSE(demo::makeDemoRegister(ui, store.dbLocal(), postal, options(50, 2, true)));
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].caption, "Demoregister");
    EXPECT_EQ(ui.messages[0].text,
              "Registeret inneholder allerede medlemmer.\nDemoregisteret lages bare i et tomt "
              "register; velg en annen datakatalog.");
    EXPECT_EQ(ui.messages[0].icon, Icon::Warning);
    EXPECT_EQ(wholeRegister(dir), before);
    // The test support reports the refusal as a failure.
    EXPECT_THROW(test::makeDemoStore(dir.path(), options(5, 1, false)), Error);
}

TEST(DemoRegister, OrganisationsWithoutMembersGetNumbersAfterTheExistingOnes) {
    TempDir dir;
    {
        test::ScriptedUi ui;
        data::DataStore store(ui, "", dir.str());
        store.start();
        data::TOrvQuery q(store.dbLocal());
        q.setSql("insert into orgreg (orgnr, orgnavn) values (4, 'Eksisterende lag')");
        q.execSQL();
    }
    test::makeDemoStore(dir.path(), options(10, 2, true));
    EXPECT_EQ(query(dir, "select orgnr from orgreg order by orgnr"), (Rows{{"4"}, {"5"}, {"6"}}));
    EXPECT_EQ(count(dir, "medlreg where orgnr = 4"), 0);
    EXPECT_EQ(count(dir, "medlreg where orgnr = 5"), 5);
    // The KID's organisation part is the organisation number plus one.
    for (const auto& row : query(dir, "select orgnr, kid from mbetreg where kid <> ''"))
        EXPECT_EQ(row[1].substr(0, 3), "00" + std::to_string(std::stoi(row[0]) + 1));
}

TEST(DemoRegister, AFailureHalfwayLeavesNothingBehind) {
    // A Ui whose progress gauge fails at 50 %: the pass stops mid-way.
    struct FailingUi : test::ScriptedUi {
        void progressSet(int percent) override {
            if (percent >= 50) throw Error("avbrutt");
        }
    };
    TempDir dir;
    FailingUi ui;
    data::DataStore store(ui, "", dir.str());
    store.start();
    TPostNr postal(test::builtPostalDirectory().string());
    EXPECT_THROW(demo::makeDemoRegister(ui, store.dbLocal(), postal, options(200, 2, true)), Error);
    EXPECT_EQ(count(dir, "orgreg"), 0);
    EXPECT_EQ(count(dir, "medlreg"), 0);
    EXPECT_EQ(count(dir, "mbetreg"), 0);
    EXPECT_EQ(ui.busyDepth, 0);
}

TEST(DemoRegister, ShowsProgressAndSharesMembersAmongTheOrganisations) {
    TempDir dir;
    test::ScriptedUi ui;
    data::DataStore store(ui, "", dir.str());
    store.start();
    TPostNr postal(test::builtPostalDirectory().string());
    const auto counts = demo::makeDemoRegister(ui, store.dbLocal(), postal, options(11, 3, false));
    ASSERT_TRUE(counts);
    EXPECT_EQ(counts->members, 11);
    EXPECT_EQ(counts->claims, 0);
    EXPECT_EQ(ui.progressWindows, 1);
    EXPECT_EQ(ui.progress.back(), 100);
    EXPECT_EQ(query(dir, "select orgnr, count(*) from medlreg group by orgnr order by orgnr"),
              (Rows{{"1", "4"}, {"2", "4"}, {"3", "3"}}));
    EXPECT_EQ(count(dir, "mbetreg"), 0);
}

TEST_F(DemoContent, CountsMatchTheTables) {
    EXPECT_EQ(counts_.organisations, count(dir(), "orgreg"));
    EXPECT_EQ(counts_.categories, count(dir(), "kontgrp"));
    EXPECT_EQ(counts_.standardRelations, count(dir(), "relregstandard"));
    EXPECT_EQ(counts_.members, 400);
    EXPECT_EQ(counts_.members, count(dir(), "medlreg"));
    EXPECT_EQ(counts_.relations, count(dir(), "relreg"));
    EXPECT_EQ(counts_.claims, 800);
    EXPECT_EQ(counts_.claims, count(dir(), "mbetreg"));
}

TEST_F(DemoContent, EveryPaymentMethodAndNoticeCodeInEveryOrganisation) {
    for (const char* org : {"1", "2", "3"}) {
        std::set<std::string> payments, notices;
        for (const auto& row :
             query(dir(),
                   std::string("select betaling, varsling from medlreg where orgnr = ") + org)) {
            payments.insert(row[0]);
            notices.insert(row[1]);
        }
        EXPECT_EQ(payments, (std::set<std::string>{"0", "1", "2", "3"})) << org;
        EXPECT_EQ(notices, (std::set<std::string>{"0", "1", "2"})) << org;
    }
}

TEST_F(DemoContent, AccountNumbersAreValid) {
    for (const auto& row : query(dir(),
                                 "select bankkonto from medlreg where bankkonto <> '' "
                                 "union all select bankkonto from orgreg"))
        EXPECT_TRUE(IsValidAccountNumber(row[0])) << row[0];
    // Direct-debit payers need an account.
    EXPECT_EQ(count(dir(), "medlreg where betaling = 1 and bankkonto = ''"), 0);
    EXPECT_GT(count(dir(), "medlreg where bankkonto <> ''"), 100);
}

TEST_F(DemoContent, PostalPlacesComeFromThePostalRegister) {
    TPostNr postal(test::builtPostalDirectory().string());
    for (const auto& row : query(dir(),
                                 "select postnr, poststed from medlreg "
                                 "union all select postnr, poststed from orgreg")) {
        ASSERT_EQ(row[0].size(), 4u);
        EXPECT_FALSE(row[1].empty());
        EXPECT_EQ(postal.lookUpPlace(row[0]), row[1]);
    }
}

TEST_F(DemoContent, MemberNumbersAreUniqueAndAFewAreNotNumeric) {
    const Rows rows = query(dir(), "select orgnr, medlnr, nmedlnr from medlreg");
    std::set<std::pair<std::string, std::string>> keys;
    int notNumeric = 0;
    for (const auto& row : rows) {
        keys.insert({row[0], row[1]});
        if (!allDigits(row[1]))
            ++notNumeric;
        else
            EXPECT_EQ(row[2], row[1]);
    }
    EXPECT_EQ(keys.size(), rows.size());
    EXPECT_GE(notNumeric, 6);
    EXPECT_LE(notNumeric, 20);
    EXPECT_EQ(query(dir(), "select nmedlnr from medlreg where orgnr = 1 and medlnr = '8A'"),
              (Rows{{"8"}}));
    EXPECT_EQ(query(dir(), "select nmedlnr from medlreg where orgnr = 1 and medlnr = 'R24'"),
              (Rows{{"0"}}));
}

TEST_F(DemoContent, CategoriesRelationsAndExtraFields) {
    EXPECT_GT(count(dir(), "kontgrp where fastbelop = 1"), 0);
    EXPECT_GT(count(dir(), "kontgrp where fastbelop = 0"), 0);
    // Members of fixed-amount categories pay nothing of their own; some
    // members have no category and pay their own amount.
    EXPECT_EQ(count(dir(),
                    "medlreg m, kontgrp k where m.orgnr = k.orgnr and m.kategori = "
                    "k.kategori and k.fastbelop = 1 and m.belop <> 0"),
              0);
    EXPECT_GT(count(dir(), "medlreg where kategori = '' and belop > 0"), 0);
    EXPECT_EQ(count(dir(),
                    "medlreg m where m.kategori <> '' and not exists (select * from "
                    "kontgrp k where k.orgnr = m.orgnr and k.kategori = m.kategori)"),
              0);
    // Standard relations and relations of the members' own, with amounts.
    const long long own = count(dir(),
                                "relreg r where not exists (select * from relregstandard s "
                                "where s.orgnr = r.orgnr and s.relasjon = r.relasjon)");
    EXPECT_GT(own, 0);
    EXPECT_GT(count(dir(), "relreg") - own, 0);
    EXPECT_GT(count(dir(), "relreg where belop > 0"), 0);
    // Named extra fields, filled where named.
    EXPECT_EQ(query(dir(), "select ekstranavn1, ekstranavn2 from orgreg where orgnr = 2"),
              (Rows{{"Stemmegruppe", "Instrument"}}));
    EXPECT_GT(count(dir(), "medlreg where orgnr = 2 and ekstra1 <> ''"), 0);
    EXPECT_EQ(count(dir(), "medlreg where orgnr = 2 and ekstra3 <> ''"), 0);
}

TEST_F(DemoContent, ClaimsCarryValidKidsAndTheCategoryAmount) {
    const Rows claims = query(dir(),
                              "select b.orgnr, b.medlnr, b.dato, b.kid, b.belop as krav, "
                              "b.betaling as kravbet, m.betaling as medlbet, m.belop as "
                              "eget, k.belop as kat, k.fastbelop "
                              "from mbetreg b, medlreg m left join kontgrp k on "
                              "k.orgnr = m.orgnr and k.kategori = m.kategori "
                              "where m.orgnr = b.orgnr and m.medlnr = b.medlnr");
    ASSERT_EQ(claims.size(), 800u);
    for (const auto& c : claims) {
        const std::string& number = c[1];
        if (allDigits(number)) {
            EXPECT_EQ(c[3], MakeKid(std::to_string(std::stoi(c[0]) + 1), number, c[2],
                                    RegisterKind::Members));
            EXPECT_EQ(c[3].back(), Mod10CheckDigit(c[3].substr(0, c[3].size() - 1)));
        } else {
            EXPECT_EQ(c[3], "") << number;
        }
        EXPECT_EQ(c[5], c[6]);  // the member's payment method
        const double own = std::stod(c[7]);
        const bool hasCategory = !c[8].empty();
        const double expected = !hasCategory                   ? own
                                : (c[9] == "True" || own <= 0) ? std::stod(c[8])
                                                               : own;
        EXPECT_DOUBLE_EQ(std::stod(c[4]), expected) << number;
    }
    EXPECT_EQ(query(dir(), "select distinct dato from mbetreg order by dato"),
              (Rows{{demo::kDemoSecondDueDate}, {demo::kDemoFirstDueDate}}));
}

TEST_F(DemoContent, ClaimsArePaidPartlyPaidOpenOrMarkedForDeletion) {
    for (const char* org : {"1", "2", "3"}) {
        const std::string where = std::string("mbetreg where orgnr = ") + org + " and ";
        EXPECT_GT(count(dir(), where + "betflag = 'X' and betbelop = belop"), 0) << org;
        EXPECT_GT(count(dir(), where + "betflag = '' and betbelop > 0"), 0) << org;  // partly
        EXPECT_GT(count(dir(), where + "differansebelop < 0"), 0) << org;            // overpaid
        EXPECT_GT(count(dir(), where + "betflag = '' and betdato = ''"), 0) << org;  // open
        EXPECT_GT(count(dir(), where + "sletteflag = 1"), 0) << org;
    }
    // Paid amounts and differences agree; only unpaid AvtaleGiro claims are
    // marked for deletion.
    EXPECT_EQ(count(dir(), "mbetreg where betdato <> '' and differansebelop <> belop - betbelop"),
              0);
    EXPECT_EQ(count(dir(), "mbetreg where sletteflag = 1 and (betaling <> 1 or betflag = 'X')"), 0);
    EXPECT_EQ(count(dir(), "mbetreg where betflag = 'X' and betbelop < belop"), 0);
}

TEST(DemoRegister, RentRegisterKidsCarryItsDigit) {
    TempDir dir;
    demo::DemoOptions o = options(8, 1, true);
    o.registerKind = RegisterKind::Rent;
    test::makeDemoStore(dir.path(), o);
    for (const auto& row : query(dir, "select kid from mbetreg where kid <> ''"))
        EXPECT_EQ(row[0][14], '3') << row[0];
}

// lagrul-cli demo killed at random moments: afterwards the register holds
// the whole demo or nothing of it.
TEST(DemoRegister, KilledAtAnyMomentLeavesAllOrNothing) {
    constexpr long long kMembers = 20000;
    std::mt19937 random(20261209);
    int whole = 0, empty = 0;
    constexpr int kRuns = 8;
    for (int run = 0; run < kRuns; ++run) {
        TempDir dir;
        const std::string path = "/path=" + dir.str();
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            setenv("HOME", dir.str().c_str(), 1);
            const int devNull = open("/dev/null", O_WRONLY);
            dup2(devNull, STDOUT_FILENO);
            dup2(devNull, STDERR_FILENO);
            execl(LAGRULL_CLI, LAGRULL_CLI, path.c_str(), "demo", "--medlemmer",
                  std::to_string(kMembers).c_str(), "--krav", static_cast<char*>(nullptr));
            _exit(127);
        }
        // The last run is not killed: it must leave the whole demo.
        if (run + 1 < kRuns) {
            std::this_thread::sleep_for(
                std::chrono::milliseconds(std::uniform_int_distribution<int>(20, 3500)(random)));
            kill(child, SIGKILL);
        }
        int status = 0;
        waitpid(child, &status, 0);
        if (run + 1 == kRuns) {
            ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
        }
        {  // the next start-up of the program: creates what an early kill left out
            test::ScriptedUi ui;
            data::DataStore store(ui, "", dir.str());
            store.start();
        }
        const long long members = count(dir, "medlreg");
        EXPECT_TRUE(members == 0 || members == kMembers) << members;
        EXPECT_EQ(count(dir, "mbetreg"), 2 * members);
        EXPECT_EQ(count(dir, "orgreg"), members == 0 ? 0 : 1);
        (members == 0 ? empty : whole) += 1;
    }
    EXPECT_GE(whole, 1);
    std::cout << "killed runs: " << empty << " left nothing, " << whole << " left the whole demo\n";
}
