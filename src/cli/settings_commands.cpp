// lagrul-cli settings: where this start found its files.
#include <ostream>

#include "cli/command.h"
#include "common/app_paths.h"
#include "common/log.h"

namespace lagrull::cli {

void addSettingsCommands(Commands& commands) {
    commands.add({"settings", "settings                   kataloger og filer programmet bruker",
                  [](Context& c) {
                      const AppPaths& p = appPaths();
                      c.out << "programkatalog: " << p.programDirectory << '\n'
                            << "applikasjonsdata: " << p.appDataDirectory << '\n'
                            << "innstillingsfil: " << p.settingsFile << '\n'
                            << "brukerinnstillinger: " << p.userSettingsFile << '\n'
                            << "katalogfil: " << p.directoryFile << '\n'
                            << "loggfil: " << appLog().path() << (appLog().enabled() ? "" : " (av)")
                            << '\n';
                      return 0;
                  }});
}

}  // namespace lagrull::cli
