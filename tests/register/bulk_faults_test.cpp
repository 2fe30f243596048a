// Copying and deleting members under injected faults, through the wizard as
// lagrul-cli kopier and slett-medlemmer run it: after each fault the
// register holds all of the pass or none of it, and the user is told.
#include <gtest/gtest.h>

#include "bulk_fixture.h"
#include "demo_store.h"
#include "fault_walk.h"

namespace lagrull::test {
namespace {

namespace fs = std::filesystem;

void writeRegister(const fs::path& dir) {
    demo::DemoOptions options;
    options.members = 40;
    options.organisations = 2;
    options.claims = true;
    makeDemoStore(dir, options);
}

// Copies or deletes the members of organisation 1; a copy goes to
// organisation 2 as giro payers.
void runKopier(const fs::path& dir, Ui& ui, TKopierMode mode) {
    BulkRegister reg(ui, dir.string());
    BulkSteps steps;
    TKopier kopier(
        ui, reg.store.dbMng(), steps,
        [] {
            return std::make_unique<ScriptedStartKopier>([](TStartKopierStep& w) {
                for (std::size_t i = 0; i < w.Organisations().size(); ++i)
                    if (w.Organisations()[i].orgNr == 2) w.SetTarget(static_cast<int>(i));
                w.Betaling = 2;
                return reports::kStepNext;
            });
        },
        reg.tables().OrgTable, reg.tables().MedlTable);
    if (!kopier.Execute(mode).done) throw Error("Kopieringen ble ikke gjort");
}

TEST(BulkFaults, CopyMembers) {
    walkFaultPlans("kopier", {writeRegister, [](const fs::path& dir, Ui& ui) {
                                  runKopier(dir, ui, TKopierMode::Copy);
                              }});
}

TEST(BulkFaults, DeleteMembers) {
    walkFaultPlans("slett medlemmer", {writeRegister, [](const fs::path& dir, Ui& ui) {
                                           runKopier(dir, ui, TKopierMode::Delete);
                                       }});
}

// A new relation given to every member of organisation 1 through the
// standard-list wizard (as lagrul-cli relasjon legg-til), on a demo register
// whose standard list was repaired first.
TEST(BulkFaults, NewRelationForAllMembers) {
    const auto prepare = [](const fs::path& dir) {
        writeRegister(dir);
        ScriptedUi ui;
        BulkRegister reg(ui, dir.string());
        BulkSteps steps;
        TRel repair(
            ui, reg.store.dbMng(), steps, [] { return nullptr; }, reg.tables().OrgTable,
            reg.tables().MedlTable);
        if (!repair.RepairStandardList()) throw Error("Standardlisten ble ikke reparert");
    };
    walkFaultPlans("ny relasjon",
                   {prepare, [](const fs::path& dir, Ui& ui) {
                        BulkRegister reg(ui, dir.string());
                        BulkSteps steps;
                        steps.choice = kRelAlle;
                        TRel rel(
                            ui, reg.store.dbMng(), steps,
                            [] {
                                return std::make_unique<ScriptedRelasjoner>([](TRelasjonerStep& w) {
                                    w.Values = {"Ny", "Tekst", 50};
                                    return reports::kStepNext;
                                });
                            },
                            reg.tables().OrgTable, reg.tables().MedlTable);
                        if (!rel.Run(TRelOperation::New, {}).applied)
                            throw Error("Relasjonen ble ikke gitt");
                    }});
}

}  // namespace
}  // namespace lagrull::test
