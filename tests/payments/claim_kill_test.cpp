// Kills lagrul-cli krav over 20,000 members at random moments: afterwards the
// register opens and holds all claims of the killed run or none of them.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <random>
#include <thread>

#include "claims_fixture.h"

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

    // Starts `lagrul-cli krav` for a due date; its process id.
    pid_t start(const std::string& dueDate) {
        const std::string path = "/path=" + dir.str();
        const pid_t pid = fork();
        if (pid == 0) {
            freopen("/dev/null", "w", stdout);
            freopen("/dev/null", "w", stderr);
            execl(LAGRULL_CLI, LAGRULL_CLI, path.c_str(), "--yes", "krav", "--forfdato",
                  dueDate.c_str(), "--tekst", "Kontingent", static_cast<char*>(nullptr));
            _exit(127);
        }
        return pid;
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
    const auto t0 = std::chrono::steady_clock::now();
    int status = 0;
    waitpid(start("01012024"), &status, 0);
    const auto full = std::chrono::steady_clock::now() - t0;
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    ASSERT_EQ(claims("01012024"), kMembers);

    std::mt19937 random(std::random_device{}());
    std::uniform_int_distribution<long long> moment(
        0, std::chrono::duration_cast<std::chrono::microseconds>(full).count());
    int none = 0, all = 0;
    for (int run = 1; run <= 8; ++run) {
        const std::string date = "0" + std::to_string(run) + "022024";
        const pid_t pid = start(date);
        std::this_thread::sleep_for(std::chrono::microseconds(moment(random)));
        kill(pid, SIGKILL);
        waitpid(pid, &status, 0);
        const long long n = claims(date);
        EXPECT_TRUE(n == 0 || n == kMembers) << "run " << run << ": " << n << " claims";
        (n == 0 ? none : all) += 1;
    }
    RecordProperty("killed_with_none", none);
    RecordProperty("finished_before_kill", all);
}

}  // namespace
}  // namespace lagrull::test
