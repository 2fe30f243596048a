// The member import under injected faults, through the logic lagrul-cli
// import and the window "Importer fil" run: the file staged and moved into
// MEDLREG is there whole or not at all after each fault, and the user is
// told.
#include <gtest/gtest.h>

#include <fstream>

#include "data/data_store.h"
#include "data/orv_command.h"
#include "demo_store.h"
#include "fault_walk.h"
#include "import_form.h"
#include "scripted_ui.h"
#include "services/member_import.h"
#include "services/postnr.h"

namespace lagrull::test {
namespace {

namespace fs = std::filesystem;

// Twenty members, half of them renamed by a file that also brings ten new.
void writeRegisterAndFile(const fs::path& dir) {
    {
        ScriptedUi ui;
        data::DataStore store(ui, "", dir.string());
        store.start();
        data::TDatabase& db = store.dbLocal();
        data::Transaction transaction(db);
        data::TOrvCommand(db, "insert into orgreg (orgnr, orgnavn) values (1, 'Laget')").execute();
        data::TOrvCommand add(db,
                              "insert into medlreg (orgnr, medlnr, nmedlnr, enavn, fornavn) "
                              "values (1, :nr, :n, 'Gammel', 'Fornavn')");
        for (int i = 1; i <= 20; ++i) {
            add.setParam("nr", data::Value(std::to_string(i)));
            add.setParam("n", data::Value(static_cast<double>(i)));
            add.execute();
        }
        transaction.commit();
    }
    std::ofstream file(dir / "medlemmer.csv", std::ios::binary);
    for (int i = 11; i <= 30; ++i) file << i << ";Fornavn;Ny;Gate " << i << ";;0150\n";
}

TEST(ImportFaults, ImportIsAllOrNothing) {
    walkFaultPlans("medlemsimport", {writeRegisterAndFile,
                                     [](const fs::path& dir, Ui& ui) {
                                         data::DataStore store(ui, "", dir.string());
                                         store.start();
                                         store.tables().OrgTable.first();
                                         TPostNr postal(builtPostalDirectory().string());
                                         TMemberImport import(ui, store.tables(), postal);
                                         OkForm form((dir / "medlemmer.csv").string());
                                         if (!import.Execute(form))
                                             throw Error("Importen ble ikke gjort");
                                     },
                                     FaultJudging::Whole,
                                     {"COPYTAB"}});
}

}  // namespace
}  // namespace lagrull::test
