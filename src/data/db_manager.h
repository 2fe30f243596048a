#pragma once
// TOrvDbMng: the data directory, the connections registered with it, and the
// routines that create, compare, upgrade and repair the register's tables.
//
// On SQLite a table lives in the one database file of the data directory;
// what were files beside it are tables in it: the temporary table of an
// upgrade is "TMP$$$$$", the backup of a table is "<base>_bck". An upgrade
// runs inside one transaction, so an upgrade cut off halfway leaves the
// database as it was; a "<base>_bck" table found at start (left by an older
// run) is restored before the table is checked.
//
// Invariants:
// - dataPath() ends in "/" once a path is set, and the directory exists and
//   can be written.
// - An upgrade never drops rows silently: rows that could not be copied stay
//   in a kept backup table "<base>_bck<n>" and the user is told.

#include <functional>
#include <string>
#include <vector>

#include "data/database.h"
#include "data/orv_table.h"
#include "data/table_def.h"

namespace lagrull {
class Ui;
}

namespace lagrull::data {

// Called for each row of an upgrade, after the fields were copied by name.
using ConvertCallback = std::function<void(const TDataSet& source, TOrvTable& destination)>;

struct RestructureResult {
    bool ok = false;
    long long rowsNotCopied = 0;
    std::string keptBackup;  // the table holding the old rows when some were not copied
};

class TOrvDbMng {
public:
    // `settingsFile` holds the data directory (section "Setup", key
    // "Database"); `defaultDataPath` is used when it holds none.
    TOrvDbMng(Ui& ui, std::string settingsFile, std::string defaultDataPath);

    const std::string& dataPath() const { return dataPath_; }
    Ui& ui() { return ui_; }

    void RegisterDatabase(TDatabase& db);
    void InitDataPath();
    // Throws FatalError when the user gives up on the directory.
    void SetDataPath(const std::string& directory);

    bool TableExists(const TOrvTable& table);
    void OpenTableOrStop(TOrvTable& table);
    bool CreateTableFromInfo(TOrvTable& table, const TTableDef& def);
    bool SameStructure(TOrvTable& table, const TTableDef& def);
    RestructureResult RestructureTable(TOrvTable& table, const TTableDef& def,
                                       const ConvertCallback& convert = {});
    void RestoreTableFiles(TOrvTable& table);
    // Rows that could not be copied.
    long long CopyRecords(TOrvTable& source, TOrvTable& destination,
                          const ConvertCallback& convert = {});
    void OpenOrCreateTable(TOrvTable& table, const TTableDef& def, bool open,
                           const ConvertCallback& convert = {});
    bool RebuildIndexes(TOrvTable& table);

    static std::string backupName(const std::string& baseName) { return baseName + "_bck"; }
    static constexpr const char* kTempTable = "TMP$$$$$";

private:
    TDatabase& databaseOf(TOrvTable& table) { return table.database(); }
    [[noreturn]] void fatal(const std::string& text);
    // Rebuilds a table whose pages or index pages the engine finds damaged;
    // warns when that cannot mend it.
    void repairIfDamaged(TOrvTable& table);
    bool structureMatches(TOrvTable& table, const TTableDef& def);

    Ui& ui_;
    std::string settingsFile_;
    std::string defaultDataPath_;
    std::string dataPath_;
    std::vector<TDatabase*> databases_;
};

}  // namespace lagrull::data
