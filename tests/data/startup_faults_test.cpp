// Start-up of a new register and upgrade of an older one under injected
// write, sync, read and truncation faults: every table is created or
// upgraded whole or not at all, the register passes the integrity check,
// the user is told in Norwegian, and the next start finishes the work.
#include <gtest/gtest.h>

#include <fstream>

#include "data/data_store.h"
#include "data/database.h"
#include "fault_walk.h"
#include "scripted_ui.h"
#include "temp_dir.h"

namespace lagrull::test {
namespace {

namespace fs = std::filesystem;

void start(const fs::path& dir, Ui& ui) {
    data::DataStore store(ui, "", dir.string());
    store.start();
}

// The older register of the golden checks (29 member fields, short birth
// dates, organisations without AUTONR) with a few more members.
void writeOldRegister(const fs::path& dir) {
    data::TDatabase db;
    db.setPath(dir.string());
    db.connect();
    std::ifstream script(testData() / "datastore" / "old29.sql");
    for (std::string line; std::getline(script, line);)
        if (!line.empty() && line[0] != '#') db.exec(line);
    db.exec("BEGIN");
    for (int i = 100; i < 160; ++i)
        db.exec("insert into medlreg (orgnr, medlnr, enavn, fornavn, fdato, nmedlnr) values (1, '" +
                std::to_string(i) + "', 'Navn " + std::to_string(i) + "', 'Kari', '0101" +
                std::to_string(i % 100 + 10) + "', 0)");
    db.exec("COMMIT");
}

// Passing faults and failing truncations too: the upgrade copies and
// drops tables. In two halves, each a test of its own.
const std::vector<FaultPlan> kWritePlans = {{FaultOp::Write, FaultKind::IoError},
                                            {FaultOp::Write, FaultKind::IoError, FaultSpan::Once},
                                            {FaultOp::Write, FaultKind::DiskFull}};
const std::vector<FaultPlan> kOtherPlans = {{FaultOp::Sync, FaultKind::IoError},
                                            {FaultOp::Read, FaultKind::IoError},
                                            {FaultOp::Read, FaultKind::IoError, FaultSpan::Once},
                                            {FaultOp::Truncate, FaultKind::IoError}};

// A disk that fails to read is no damaged table: the user must not be sent
// to a backup (which would lose the work since).
void expectNoDamageClaimed(const std::vector<std::string>& told) {
    for (const std::string& text : told)
        EXPECT_EQ(text.find("er skadet"), std::string::npos) << text;
}

void walkStart(const char* name, const std::function<void(const fs::path&)>& prepare,
               const std::vector<FaultPlan>& plans) {
    expectNoDamageClaimed(
        walkFaultPlans(name, {prepare, start, FaultJudging::TableByTable}, plans));
}

void emptyDirectory(const fs::path&) {}

TEST(StartupFaults, NewRegisterUnderWriteFaults) { walkStart("ny", emptyDirectory, kWritePlans); }

TEST(StartupFaults, NewRegisterUnderSyncReadAndTruncationFaults) {
    walkStart("ny", emptyDirectory, kOtherPlans);
}

TEST(StartupFaults, UpgradeUnderWriteFaults) {
    walkStart("oppgradering", writeOldRegister, kWritePlans);
}

TEST(StartupFaults, UpgradeUnderSyncReadAndTruncationFaults) {
    walkStart("oppgradering", writeOldRegister, kOtherPlans);
}

}  // namespace
}  // namespace lagrull::test
