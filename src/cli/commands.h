#pragma once
// One registration function per subsystem; see command.h.

#include "cli/command.h"

namespace lagrull::cli {

void addSettingsCommands(Commands& commands);
void addClearingCommands(Commands& commands);
void addDataCommands(Commands& commands);
void addPaymentsCommands(Commands& commands);
void addPaymentRegistrationCommands(Commands& commands);
void addClaimsCommands(Commands& commands);
void addScriptCommands(Commands& commands);
void addServicesCommands(Commands& commands);
void addImportCommands(Commands& commands);
void addUpdateCommands(Commands& commands);
void addHelpCommands(Commands& commands);
void addTemplateCommands(Commands& commands);
void addMergeCommands(Commands& commands);
void addMigrationCommands(Commands& commands);
void addReportsCommands(Commands& commands);
void addRegisterCommands(Commands& commands);
void addDemoCommands(Commands& commands);
void addOcrCommands(Commands& commands);
void addGridCommands(Commands& commands);
#ifdef LAGRULL_HAVE_PRINT
void addPrintCommands(Commands& commands);
#endif

inline void addAllCommands(Commands& commands) {
    addSettingsCommands(commands);
    addClearingCommands(commands);
    addDataCommands(commands);
    addPaymentsCommands(commands);
    addPaymentRegistrationCommands(commands);
    addClaimsCommands(commands);
    addScriptCommands(commands);
    addServicesCommands(commands);
    addImportCommands(commands);
    addUpdateCommands(commands);
    addHelpCommands(commands);
    addTemplateCommands(commands);
    addMergeCommands(commands);
    addMigrationCommands(commands);
    addReportsCommands(commands);
    addRegisterCommands(commands);
    addDemoCommands(commands);
    addOcrCommands(commands);
    addGridCommands(commands);
#ifdef LAGRULL_HAVE_PRINT
    addPrintCommands(commands);
#endif
}

}  // namespace lagrull::cli
