#pragma once
// One registration function per subsystem; see command.h.

#include "cli/command.h"

namespace lagrull::cli {

void addSettingsCommands(Commands& commands);
void addTemplateCommands(Commands& commands);

inline void addAllCommands(Commands& commands) {
    addSettingsCommands(commands);
    addTemplateCommands(commands);
}

}  // namespace lagrull::cli
