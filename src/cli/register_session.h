#pragma once
// The register as the main window prepares it, for the commands that run a
// bulk function's wizard: the tables opened and linked, the organisation
// table on --orgnr.

#include "cli/command.h"
#include "cli/selection_options.h"
#include "data/data_store.h"
#include "register/main_form_logic.h"

namespace lagrull::cli {

struct RegisterSession {
    explicit RegisterSession(Context& c) : store(c.ui) {
        TMainFormLogic::prepareTables(store.tables());  // the member list's names
        store.start();
        TMainFormLogic::linkTables(store.tables());
        chooseOrganisation(store.tables(), c.options);
    }
    data::RegisterTables& tables() { return store.tables(); }
    data::DataStore store;
};

}  // namespace lagrull::cli
