// lagrul-cli init on an older register with 50,000 members, killed with
// SIGKILL at random moments: each table is afterwards as the older version
// left it or fully upgraded, with every row, and the register passes the
// integrity check; the next start finishes the upgrade.
#include <gtest/gtest.h>

#include "data/data_store.h"
#include "data/database.h"
#include "fault_walk.h"
#include "kill_rounds.h"
#include "old_register.h"
#include "scripted_ui.h"
#include "temp_dir.h"

namespace lagrull::test {
namespace {

namespace fs = std::filesystem;

constexpr int kMembers = 50000;

struct TableState {
    long long fields = 0;
    long long rows = 0;
};

TableState stateOf(data::TDatabase& db, const std::string& table) {
    TableState state;
    data::Statement f = db.prepare("SELECT count(*) FROM pragma_table_info(?1)");
    f.bindText(1, table);
    if (f.step()) state.fields = f.columnInt(0);
    if (state.fields > 0) {
        data::Statement r = db.prepare("SELECT count(*) FROM " + data::quoteName(table));
        if (r.step()) state.rows = r.columnInt(0);
    }
    return state;
}

TEST(UpgradeKill, KilledUpgradeLeavesEachTableOldOrNewWithAllItsRows) {
    TempDir dir, origin, home;
    writeOldRegister(origin.path(), kMembers);
    const auto restore = [&] {
        fs::remove_all(dir.path());
        fs::copy(origin.path(), dir.path(), fs::copy_options::recursive);
    };
    restore();
    // Old and new field counts and the rows each upgraded table holds.
    const std::vector<std::tuple<std::string, long long, long long, long long>> upgraded = {
        {"MEDLREG", 29, 33, kMembers + kOldRegisterOwnMembers},
        {"ORGREG", 21, 22, 2},
        {"MBETREG", 27, 27, 1}};
    const KillRoundsOutcome out = runCliKillRounds(
        8, 20261209, LAGRULL_CLI, {"/path=" + dir.str(), "init"}, home.str(),
        [&](int round) {
            EXPECT_EQ(integrityOf(dir.path()), "ok") << "runde " << round;
            data::TDatabase db;
            db.setPath(dir.str());
            db.connect();
            bool membersNew = false;
            for (const auto& [table, oldFields, newFields, rows] : upgraded) {
                const TableState s = stateOf(db, table);
                EXPECT_TRUE(s.fields == oldFields || s.fields == newFields)
                    << "runde " << round << ": " << table << " har " << s.fields << " felt";
                EXPECT_EQ(s.rows, rows) << "runde " << round << ": " << table;
                if (table == "MEDLREG") membersNew = s.fields == newFields;
            }
            EXPECT_FALSE(db.tableExists("TMP$$$$$")) << "runde " << round;
            db.disconnect();
            // The next start finishes what the killed one left.
            ScriptedUi ui;
            data::DataStore store(ui, "", dir.str());
            store.start();
            EXPECT_EQ(stateOf(store.dbLocal(), "MEDLREG").fields, 33) << "runde " << round;
            EXPECT_EQ(stateOf(store.dbLocal(), "MEDLREG").rows, kMembers + kOldRegisterOwnMembers)
                << "runde " << round;
            return membersNew;
        },
        restore);
    EXPECT_GE(out.finished, 1);  // round 0 at least
    RecordProperty("run_ms", static_cast<int>(out.runMs));
    RecordProperty("killed_before_commit", out.unfinished);
    RecordProperty("finished", out.finished);
    std::cout << "én oppgradering " << out.runMs
              << " ms; drept før MEDLREG var ferdig: " << out.unfinished
              << ", ferdig: " << out.finished << "\n";
}

}  // namespace
}  // namespace lagrull::test
