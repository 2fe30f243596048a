// PersList is refilled in one transaction: a process killed at any moment
// of the refill leaves the picks of one whole confirmation, never a part.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <random>
#include <thread>

#include "selection_fixture.h"

using namespace lagrull;
using namespace lagrull::test;

namespace {

class PersListKillTest : public SelectionTest {};

}  // namespace

TEST_F(PersListKillTest, AKilledRefillLeavesOneWholeSelection) {
    std::vector<std::string> first, second;
    for (const MemberRow& m : snapshot)
        if (m.orgnr == 1) (first.size() < 35 ? first : second).push_back(m.medlnr);
    std::mt19937 random(12);
    for (int round = 0; round < 20; ++round) {
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            // The child confirms the two halves by turns, on a connection of its own.
            ScriptedUi childUi;
            data::DataStore own(childUi, dir.str() + "/lagrul.ini", dir.str());
            TMainFormLogic::prepareTables(own.tables());
            own.start();
            TMainFormLogic::linkTables(own.tables());
            reports::TUtvalgskriterier criteria(own.dbMng());
            criteria.InitSelection(own.tables().OrgTable, own.tables().MedlTable);
            for (int turn = 0;; ++turn) {
                criteria.RemoveAll();
                for (const std::string& nr : turn % 2 ? second : first) pickMember(criteria, nr);
                criteria.Confirm();
            }
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(40 + random() % 120));
        kill(child, SIGKILL);
        int status = 0;
        waitpid(child, &status, 0);
        ASSERT_TRUE(WIFSIGNALED(status));

        data::TDatabase check;
        check.setPath(dir.str());
        check.connect();
        std::vector<std::string> held;
        if (check.tableExists("PersList")) {
            data::TOrvQuery q(check);
            q.setSql("select kundenr from perslist");
            q.open();
            for (; !q.eof(); q.next()) held.push_back(data::FieldText(q, "kundenr"));
        }
        EXPECT_TRUE(held.empty() || held == first || held == second)
            << "round " << round << ": " << held.size() << " picks";
    }
}
