// Saving payments under SIGKILL: a process that saves every claim of a due
// date as paid is killed at random moments; the register then holds all of
// the save or none of it, never a part.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <random>
#include <thread>

#include "claim_fixture.h"
#include "data/field_access.h"
#include "data/orv_query.h"
#include "scripted_ui.h"
#include "temp_dir.h"

namespace lagrull::test {
namespace {

constexpr int kClaims = 10000;

// In the child: every claim of the date paid and saved; never returns.
[[noreturn]] void saveAllPaid(const std::string& directory) {
    try {
        ScriptedUi ui;
        ClaimRegister reg(ui, directory, RegisterKind::Members, false);
        TPaymentRegistration window(reg.context(), ui);
        window.prepareView(PaymentView::PerDueDate);
        window.alleBetalt();
        window.save();
    } catch (...) {
        _exit(2);
    }
    _exit(0);
}

long long paidClaims(const std::string& directory) {
    ScriptedUi ui;
    ClaimRegister reg(ui, directory, RegisterKind::Members, false);
    data::TOrvQuery q(reg.db());
    q.setSql("select count(*) as n from mbetreg where betflag = 'X'");
    q.open();
    return data::FieldInt(q, "n");
}

void unpayAll(const std::string& directory) {
    ScriptedUi ui;
    ClaimRegister reg(ui, directory, RegisterKind::Members, false);
    reg.db().exec("UPDATE MBETREG SET BETFLAG = '', BETBELOP = 0");
}

TEST(PaymentKill, SavingIsAllOrNothing) {
    TempDir dir;
    {
        ScriptedUi ui;
        ClaimRegister reg(ui, dir.str());
        reg.fill(kClaims, "01032026");
    }
    // One undisturbed run gives the time a save takes.
    const auto start = std::chrono::steady_clock::now();
    pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) saveAllPaid(dir.str());
    int status = 0;
    waitpid(pid, &status, 0);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    const auto whole = std::chrono::steady_clock::now() - start;
    ASSERT_EQ(paidClaims(dir.str()), kClaims);

    std::mt19937 random(20261209);
    int interrupted = 0;
    for (int round = 0; round < 8; ++round) {
        unpayAll(dir.str());
        const auto delay = std::chrono::duration_cast<std::chrono::microseconds>(whole) *
                           std::uniform_int_distribution<int>(5, 95)(random) / 100;
        pid = fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) saveAllPaid(dir.str());
        std::this_thread::sleep_for(delay);
        kill(pid, SIGKILL);
        waitpid(pid, &status, 0);
        if (WIFSIGNALED(status)) ++interrupted;
        const long long paid = paidClaims(dir.str());
        EXPECT_TRUE(paid == 0 || paid == kClaims) << "round " << round << ": " << paid;
    }
    EXPECT_GT(interrupted, 0);
}

}  // namespace
}  // namespace lagrull::test
