#pragma once
// Bringing a register over from an older version's Paradox tables into the
// register of this program, in one step.
//
// Invariants:
// - The source directory is only read, never written.
// - Every table of the source is read in one transaction of the register:
//   a migration cut off at any moment leaves the register as it was.
// - Every table goes through the data store's own load and upgrade path, so
//   an old layout comes out exactly as an upgrade at start would make it.
// - A register that already holds organisations is replaced only when the
//   user confirms it, and then is first kept as a dated copy beside it.
// - Every source row that does not arrive is named in the report with its
//   reason; nothing is dropped silently.

#include <string>

#include "services/migration/migration_report.h"

namespace lagrull {
class Ui;
}
namespace lagrull::data {
class DataStore;
}

namespace lagrull::migration {

// Where the migration puts what is not in the register itself.
struct MigrationTarget {
    std::string settingsFile;              // the program's settings file
    std::string applicationDataDirectory;  // letter templates and report files go here
};
MigrationTarget defaultMigrationTarget();  // from the paths fixed at start

// The name of the report file written beside the settings file.
inline constexpr const char* kReportFileName = "hentregister.txt";

class TParadoxMigration {
public:
    TParadoxMigration(data::DataStore& store, Ui& ui, MigrationTarget target);

    // Runs the migration from `sourceDirectory`. Throws Error (Norwegian)
    // when the directory holds no register or a table header is damaged;
    // the register is untouched then. A refused replacement gives a report
    // with `cancelled` set.
    MigrationReport run(const std::string& sourceDirectory);

private:
    data::DataStore& store_;
    Ui& ui_;
    MigrationTarget target_;
};

// True when the register holds no organisation: then the first start
// offers to bring one over.
bool registerIsEmpty(data::DataStore& store);

// The whole dialogue of the window's menu entry and of the first-start
// offer: asks for the directory (after asking whether at all, when
// `offer`), runs the migration, writes the report file and shows its
// summary. True when a register was brought over.
bool runMigrationDialogue(data::DataStore& store, Ui& ui, const MigrationTarget& target,
                          bool offer);

}  // namespace lagrull::migration
