// lagrul-cli hent-paradox: a register brought over from an older version's
// Paradox tables, with the same logic as the window's menu entry.
#include <ostream>

#include "cli/command.h"
#include "data/data_store.h"
#include "services/migration/paradox_migration.h"

namespace lagrull::cli {

void addMigrationCommands(Commands& commands) {
    commands.add({"hent-paradox",
                  "hent-paradox KATALOG          henter registeret fra en eldre versjons tabeller",
                  [](Context& c) {
                      if (c.args.size() != 1)
                          throw UsageError{"hent-paradox trenger katalogen med de eldre tabellene"};
                      data::DataStore store(c.ui);
                      store.start();
                      migration::TParadoxMigration migration(store, c.ui,
                                                             migration::defaultMigrationTarget());
                      const migration::MigrationReport report = migration.run(c.args[0]);
                      c.out << migration::reportText(report);
                      return report.cancelled ? 1 : 0;
                  }});
}

}  // namespace lagrull::cli
