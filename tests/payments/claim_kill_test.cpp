// Kills lagrul-cli krav over 20,000 members at random moments: afterwards the
// register opens and holds all claims of the killed run or none of them.
#include "claims_fixture.h"
#include "kill_rounds.h"

namespace lagrull::test {
namespace {

constexpr int kMembers = 20000;

class ClaimKill : public ClaimsTest {
protected:
    ClaimKill() {
        category("Senior", 350, false);
        data::Transaction t(db());
        data::TOrvQuery q(db());
        q.setSql(
            "insert into medlreg (orgnr, medlnr, nmedlnr, enavn, kategori, betaling) "
            "values (1, :m, :n, 'Medlem', 'Senior', 2)");
        for (int i = 1; i <= kMembers; ++i) {
            q.setParamText("m", std::to_string(i));
            q.setParam("n", data::Value(double(i)));
            q.execSQL();
        }
        t.commit();
        store.reset();  // the child has the register to itself
    }

    long long claims(const std::string& dueDate) {
        data::DataStore reopened(ui, dir.str() + "/lagrul.ini", dir.str());
        reopened.start();
        data::TOrvQuery q(reopened.dbLocal());
        q.setSql("select count(*) from mbetreg where dato = :d");
        q.setParamText("d", dueDate);
        q.open();
        return std::get<std::int64_t>(q.value(0));
    }
};

TEST_F(ClaimKill, KilledRunLeavesAllClaimsOrNone) {
    constexpr const char* kDue = "01022024";
    const KillRoundsOutcome out = runCliKillRounds(
        9, 20240201, LAGRULL_CLI,
        {"/path=" + dir.str(), "--yes", "krav", "--forfdato", kDue, "--tekst", "Kontingent"},
        dir.str(),
        [&](int round) {
            const long long n = claims(kDue);
            EXPECT_TRUE(n == 0 || n == kMembers) << "round " << round << ": " << n << " claims";
            return n == kMembers;
        },
        [&] {
            data::DataStore reopened(ui, dir.str() + "/lagrul.ini", dir.str());
            reopened.start();
            data::TOrvQuery q(reopened.dbLocal());
            q.setSql("delete from mbetreg where dato = :d");
            q.setParamText("d", kDue);
            q.execSQL();
        });
    EXPECT_GE(out.finished, 1);  // round 0 at least
    RecordProperty("killed_with_none", out.unfinished);
    RecordProperty("finished_before_kill", out.finished);
}

}  // namespace
}  // namespace lagrull::test
