// Deleting 50,000 members runs in one transaction: a process killed at any
// moment of the pass leaves all of them or none.
#include <gtest/gtest.h>

#include <filesystem>

#include "bulk_fixture.h"
#include "data/orv_command.h"
#include "kill_rounds.h"

using namespace lagrull;
using namespace lagrull::test;

namespace {

constexpr int kMembers = 50000;

std::int64_t memberCount(const std::string& dir) {
    data::TDatabase check;
    check.setPath(dir);
    check.connect();
    data::TOrvQuery q(check);
    q.setSql("select count(*) as n from medlreg where orgnr = 1");
    q.open();
    return data::FieldInt(q, "n");
}

void fillRegister(const std::string& dir) {
    ScriptedUi ui;
    data::DataStore store(ui, dir + "/lagrul.ini", dir);
    store.start();
    data::TDatabase& db = store.dbLocal();
    data::Transaction transaction(db);
    data::TOrvCommand org(db, "insert into orgreg (orgnr, orgnavn) values (1, 'Storlaget')");
    org.execute();
    data::TOrvCommand add(db,
                          "insert into medlreg (orgnr, medlnr, nmedlnr, enavn, fornavn) values "
                          "(1, :nr, :n, 'Etternavn', 'Fornavn')");
    for (int i = 1; i <= kMembers; ++i) {
        add.setParam("nr", data::Value(std::to_string(i)));
        add.setParam("n", data::Value(static_cast<double>(i)));
        add.execute();
    }
    transaction.commit();
}

}  // namespace

TEST(DeleteKillTest, AKilledDeleteOf50000MembersLeavesAllOrNone) {
    TempDir dir;
    TempDir backup;
    fillRegister(dir.str());
    std::filesystem::copy(dir.path(), backup.path(),
                          std::filesystem::copy_options::overwrite_existing |
                              std::filesystem::copy_options::recursive);
    const KillRoundsOutcome out = runKillRounds(
        10, 19,
        [&] {
            ScriptedUi ui;  // answers Yes to the confirmation
            data::DataStore own(ui, dir.str() + "/lagrul.ini", dir.str());
            TMainFormLogic::prepareTables(own.tables());
            own.start();
            TMainFormLogic::linkTables(own.tables());
            BulkSteps steps;
            TKopier kopier(
                ui, own.dbMng(), steps,
                [] {
                    return std::make_unique<ScriptedStartKopier>(
                        [](TStartKopierStep&) { return reports::kStepNext; });
                },
                own.tables().OrgTable, own.tables().MedlTable);
            kopier.Execute(TKopierMode::Delete);
        },
        [&](int round) {
            const std::int64_t held = memberCount(dir.str());
            EXPECT_TRUE(held == 0 || held == kMembers) << "round " << round << ": " << held;
            return held == 0;
        },
        [&] {
            std::filesystem::remove_all(dir.path());
            std::filesystem::copy(backup.path(), dir.path(),
                                  std::filesystem::copy_options::recursive);
        });
    EXPECT_GE(out.finished, 1);  // round 0 at least
    RecordProperty("run_ms", static_cast<int>(out.runMs));
    RecordProperty("killed_before_commit", out.unfinished);
    RecordProperty("finished", out.finished);
}
