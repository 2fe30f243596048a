#include "demo_store.h"

#include "common/error.h"
#include "data/data_store.h"
#include "scripted_ui.h"
#include "services/postnr.h"

namespace lagrull::test {

std::filesystem::path builtPostalDirectory() { return LAGRULL_POSTNR_DIR; }

demo::DemoCounts makeDemoStore(const std::filesystem::path& dataDirectory,
                               const demo::DemoOptions& options) {
    std::filesystem::create_directories(dataDirectory);
    ScriptedUi ui;
    data::DataStore store(ui, "", dataDirectory.string());
    store.start();
    TPostNr postal(builtPostalDirectory().string());
    const std::optional<demo::DemoCounts> counts =
        demo::makeDemoRegister(ui, store.dbLocal(), postal, options);
    if (!counts) throw Error("Demoregisteret ble ikke laget i " + dataDirectory.string());
    return *counts;
}

}  // namespace lagrull::test
