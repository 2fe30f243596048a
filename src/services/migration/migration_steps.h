#pragma once
// The steps of a migration apart from reading the tables: the settings and
// files taken over, and the checks made on the register afterwards.

#include <filesystem>
#include <string>

#include "services/migration/migration_report.h"

namespace lagrull::data {
class TDatabase;
}

namespace lagrull::migration {

// The settings file of an older register's directory ("lagrul.ini"), or an
// empty path when there is none.
std::filesystem::path sourceSettingsFile(const std::filesystem::path& sourceDirectory);

// Copies the letter templates ("brev.rtf", "TilbudAvtaleGiro.rtf") and the
// report files (".smr") of `sourceDirectory` into `targetDirectory`, and
// takes over the sections "Setup" (but the data directory, and the letter
// file only when it names a copied template) and "Config" of its settings
// file. A target file that differs is first moved aside with `stamp` in its
// name; so is the settings file when a register is being replaced.
void takeOverFiles(const std::filesystem::path& sourceDirectory,
                   const std::filesystem::path& targetDirectory,
                   const std::string& targetSettingsFile, const std::string& stamp,
                   MigrationReport& report);

// Counts per table, every claim's KID by the KID rules (`registerKind` as
// the claims were made), and the sums per organisation and due date against
// `sourceSums`.
MigrationChecks checkRegister(data::TDatabase& db, MigrationReport& report,
                              const ClaimSumMap& sourceSums, int registerKind);

// Kroner as whole øre.
std::int64_t toOre(double kroner);

}  // namespace lagrull::migration
