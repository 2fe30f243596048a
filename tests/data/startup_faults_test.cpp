// Start-up of a new register and upgrade of an older one under injected
// write, sync, read and truncation faults: every table is created or
// upgraded whole or not at all, the register passes the integrity check,
// the user is told in Norwegian, and the next start finishes the work.
#include <gtest/gtest.h>

#include "data/data_store.h"
#include "data/database.h"
#include "fault_walk.h"
#include "old_register.h"
#include "scripted_ui.h"
#include "temp_dir.h"

namespace lagrull::test {
namespace {

namespace fs = std::filesystem;

void start(const fs::path& dir, Ui& ui) {
    data::DataStore store(ui, "", dir.string());
    store.start();
}

// The older register with some more members.
void olderRegister(const fs::path& dir) { writeOldRegister(dir, 60); }

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
    walkStart("oppgradering", olderRegister, kWritePlans);
}

TEST(StartupFaults, UpgradeUnderSyncReadAndTruncationFaults) {
    walkStart("oppgradering", olderRegister, kOtherPlans);
}

}  // namespace
}  // namespace lagrull::test
