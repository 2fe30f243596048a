// Importing 50,000 members over 50,000 of the same numbers: a process killed
// at any moment of the staging or the transfer leaves the members all old or
// all new, never half replaced.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "data/data_store.h"
#include "data/field_access.h"
#include "data/orv_command.h"
#include "data/orv_query.h"
#include "demo_store.h"
#include "import_form.h"
#include "kill_rounds.h"
#include "scripted_ui.h"
#include "services/import_form_logic.h"
#include "services/member_import.h"
#include "services/postnr.h"
#include "temp_dir.h"

using namespace lagrull;
using namespace lagrull::test;

namespace {

constexpr int kMembers = 50000;

std::int64_t count(const std::string& dir, const std::string& where) {
    data::TDatabase check;
    check.setPath(dir);
    check.connect();
    data::TOrvQuery q(check);
    q.setSql("select count(*) as n from medlreg where orgnr = 1" + where);
    q.open();
    return data::FieldInt(q, "n");
}

void fillRegister(const std::string& dir) {
    ScriptedUi ui;
    data::DataStore store(ui, dir + "/lagrul.ini", dir);
    store.start();
    data::TDatabase& db = store.dbLocal();
    data::Transaction transaction(db);
    data::TOrvCommand(db, "insert into orgreg (orgnr, orgnavn) values (1, 'Storlaget')").execute();
    data::TOrvCommand add(db,
                          "insert into medlreg (orgnr, medlnr, nmedlnr, enavn, fornavn) values "
                          "(1, :nr, :n, 'Gammel', 'Fornavn')");
    for (int i = 1; i <= kMembers; ++i) {
        add.setParam("nr", data::Value(std::to_string(i)));
        add.setParam("n", data::Value(static_cast<double>(i)));
        add.execute();
    }
    transaction.commit();
}

}  // namespace

TEST(ImportKillTest, AKilledImportOf50000MembersLeavesAllOldOrAllNew) {
    TempDir dir, backup, files;
    fillRegister(dir.str());
    std::string content;
    for (int i = 1; i <= kMembers; ++i)
        content += std::to_string(i) + ";Fornavn;Ny;Gate " + std::to_string(i) + ";;0150\n";
    const std::string file = files.write("medlemmer.csv", content).string();
    std::filesystem::copy(dir.path(), backup.path(),
                          std::filesystem::copy_options::overwrite_existing |
                              std::filesystem::copy_options::recursive);
    const KillRoundsOutcome out = runKillRounds(
        10, 23,
        [&] {
            ScriptedUi ui;
            data::DataStore own(ui, dir.str() + "/lagrul.ini", dir.str());
            own.start();
            own.tables().OrgTable.first();
            TPostNr postal(builtPostalDirectory().string());
            TMemberImport import(ui, own.tables(), postal);
            OkForm form(file);
            if (!import.Execute(form)) _exit(1);
        },
        [&](int round) {
            const std::int64_t renamed = count(dir.str(), " and enavn = 'Ny'");
            EXPECT_EQ(count(dir.str(), ""), kMembers) << "round " << round;
            EXPECT_TRUE(renamed == 0 || renamed == kMembers)
                << "round " << round << ": " << renamed;
            return renamed == kMembers;
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
