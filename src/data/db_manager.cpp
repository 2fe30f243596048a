#include "data/db_manager.h"

#include <algorithm>
#include <filesystem>

#include "common/file_names.h"
#include "common/ini.h"
#include "common/log.h"
#include "common/text_codec.h"
#include "common/ui.h"
#include "data/table_scan.h"

namespace lagrull::data {

namespace fs = std::filesystem;

TOrvDbMng::TOrvDbMng(Ui& ui, std::string settingsFile, std::string defaultDataPath)
    : ui_(ui),
      settingsFile_(std::move(settingsFile)),
      defaultDataPath_(std::move(defaultDataPath)) {
    checkDatabaseEngine();
}

void TOrvDbMng::fatal(const std::string& text) {
    appLog().writeLine("Kritisk feil: " + text);
    throw FatalError("Kritisk feil", text + "\nKontakt Brakvi");
}

// --- data path ------------------------------------------------------------

void TOrvDbMng::RegisterDatabase(TDatabase& db) {
    if (databases_.empty()) InitDataPath();
    databases_.push_back(&db);
    db.disconnect();
    db.setPath(dataPath_);
    db.connect();
}

void TOrvDbMng::InitDataPath() {
    std::string path;
    if (!settingsFile_.empty())
        path = TOrvIni::readValue(settingsFile_, "Setup", "Database").value_or("");
    if (path.empty()) path = defaultDataPath_;
    SetDataPath(path);
}

void TOrvDbMng::SetDataPath(const std::string& directory) {
    std::string dir = withTrailingSlash(directory);
    if (!dataPath_.empty() && upperCase(dir) == upperCase(dataPath_)) return;
    // Ask until the directory is there and can be written, or the user gives up.
    for (;;) {
        std::error_code ec;
        std::string problem;
        if (fs::is_directory(dir, ec)) {
            if (!directoryWritable(dir)) problem = "No write access to database path";
        } else {
            fs::create_directories(dir, ec);
            if (!fs::is_directory(dir, ec)) problem = "Invalid database pathname";
        }
        if (problem.empty()) break;
        const std::optional<std::string> answer = ui_.inputBox(problem, "Enter a new path.", dir);
        if (!answer)
            throw FatalError("Warning", "No database path is given. Can not run application");
        dir = withTrailingSlash(*answer);
    }
    dataPath_ = dir;
    if (!settingsFile_.empty()) TOrvIni::writeValue(settingsFile_, "Setup", "Database", dataPath_);
    for (TDatabase* db : databases_) {
        db->disconnect();
        db->setPath(dataPath_);
        db->connect();
    }
}

// --- tables -----------------------------------------------------------------

bool TOrvDbMng::TableExists(const TOrvTable& table) { return table.exists(); }

void TOrvDbMng::OpenTableOrStop(TOrvTable& table) {
    try {
        table.open();
    } catch (const std::exception& e) {
        throw FatalError("Feil!", "Feil ved åpning av " + table.tableName() + ".\n" + e.what());
    }
}

bool TOrvDbMng::CreateTableFromInfo(TOrvTable& table, const TTableDef& def) {
    table.close();
    if (table.tableName().empty()) throw EOrvTableException("No tablename is given");
    // The definition is checked before the old table goes.
    bool keyPart = true;
    for (const TFieldInfo& f : def.Fields) {
        if (f.PrimaryKey && !keyPart)
            throw EOrvTableException("Primary Key fields must be first in table definition");
        keyPart = keyPart && f.PrimaryKey;
    }
    Transaction t(table.database());
    table.deleteTable();
    table.createTable(def.Fields, def.Indexes);
    t.commit();
    return true;
}

bool TOrvDbMng::structureMatches(TOrvTable& table, const TTableDef& def) {
    const std::vector<TFieldInfo> fields = table.fieldDefs();
    const std::vector<TIndexInfo> indexes = table.indexDefs();
    if (fields.size() != def.Fields.size()) return false;
    const std::size_t storedKey = !indexes.empty() && (indexes[0].Options & ixPrimary)
                                      ? splitFieldList(indexes[0].Fields).size()
                                      : 0;
    const std::size_t definedKey =
        def.Indexes.empty() ? 0 : splitFieldList(def.Indexes[0].Fields).size();
    if (storedKey != definedKey) return false;
    if (indexes.size() != def.Indexes.size()) return false;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        const TFieldInfo& s = fields[i];
        const TFieldInfo& d = def.Fields[i];
        if (upperCase(s.Name) != upperCase(d.Name) || s.DataType != d.DataType) return false;
        if (d.DataType == FieldType::String && s.Size != d.Size) return false;
        if (s.Required != d.Required) return false;
    }
    return true;
}

bool TOrvDbMng::SameStructure(TOrvTable& table, const TTableDef& def) {
    return structureMatches(table, def);
}

long long TOrvDbMng::CopyRecords(TOrvTable& source, TOrvTable& destination,
                                 const ConvertCallback& convert) {
    // Read by one statement in key order: the copy reads forward only.
    TTableScan from(source.database(), source.tableName());
    from.open();
    const bool wasOpen = destination.isOpen();
    destination.emptyTable();
    destination.open();

    // Fields of the same name, found once.
    std::vector<std::pair<int, int>> pairs;
    for (int i = 0; i < from.fieldCount(); ++i) {
        const int d = destination.findField(from.field(i).name);
        if (d >= 0 && !destination.field(d).calculated) pairs.emplace_back(i, d);
    }
    Transaction t(destination.database());
    EventPump pump(ui_);  // the wait window stays painted through a long copy
    long long failed = 0;
    for (from.first(); !from.eof(); from.next()) {
        pump.tick();
        try {
            destination.insert();
            for (const auto& [s, d] : pairs) {
                // A value of the same kind goes as it is (what its text would
                // give, without the detour); others go by their text.
                const Value& v = from.value(s);
                if (from.field(s).type == destination.field(d).type)
                    destination.setValue(d, v);
                else
                    destination.setValue(d, Value(valueToText(from.field(s), v)));
            }
            if (convert) convert(from, destination);
            if (!destination.post()) throw EOrvTableException("stoppet");
        } catch (const Error&) {
            // One row that cannot be copied does not stop the rest.
            destination.cancel();
            ++failed;
        }
    }
    t.commit();
    from.close();
    if (!wasOpen) destination.close();
    return failed;
}

namespace {

// Drops the indexes and triggers a table carries, so that its name can be
// taken by the new table while the old rows stay under another name.
void dropObjects(TDatabase& db, const std::string& table, const char* types) {
    std::vector<std::pair<std::string, std::string>> items;
    {
        Statement s =
            db.prepare(std::string("SELECT type, name FROM sqlite_master WHERE type IN (") + types +
                       ") AND tbl_name = ?1 COLLATE NOCASE AND sql IS NOT NULL");
        s.bind(1, Value(table));
        while (s.step()) items.emplace_back(s.columnText(0), s.columnText(1));
    }
    for (const auto& [type, name] : items)
        db.exec("DROP " + std::string(type == "index" ? "INDEX " : "TRIGGER ") + quoteName(name));
}

void dropDependents(TDatabase& db, const std::string& table) {
    dropObjects(db, table, "'index', 'trigger'");
}
void dropTriggers(TDatabase& db, const std::string& table) { dropObjects(db, table, "'trigger'"); }

void renameTable(TDatabase& db, const std::string& from, const std::string& to) {
    db.exec("ALTER TABLE " + quoteName(from) + " RENAME TO " + quoteName(to));
}

std::vector<std::string> dependentSql(TDatabase& db, const std::string& table) {
    std::vector<std::string> out;
    Statement s = db.prepare(
        "SELECT sql FROM sqlite_master WHERE type IN ('index', 'trigger') AND tbl_name = ?1 "
        "AND sql IS NOT NULL ORDER BY type, rowid");
    s.bind(1, Value(table));
    while (s.step()) out.push_back(s.columnText(0));
    return out;
}

// Copies all rows between two tables of the same definition; the rows that
// did not arrive.
long long copySameStructure(TDatabase& db, const std::string& from, const std::string& to,
                            const TTableDef& def) {
    std::string cols;
    for (const TFieldInfo& f : def.Fields) cols += (cols.empty() ? "" : ", ") + quoteName(f.Name);
    Statement count = db.prepare("SELECT count(*) FROM " + quoteName(from));
    count.step();
    const long long rows = count.columnInt(0);
    count.reset();
    Statement copy = db.prepare("INSERT INTO " + quoteName(to) + " (" + cols + ") SELECT " + cols +
                                " FROM " + quoteName(from) + " WHERE 1");
    return rows - copy.execute();
}

// An index whose pages are damaged cannot even be rebuilt in place: the rows
// are read by a scan of the table itself (the WHERE keeps SQLite from copying
// the damaged index along), the damaged table is taken out of the schema
// without reading its pages, and the copy takes its name and its indexes.
// VACUUM then frees the pages left behind.
void rebuildDamagedTable(TDatabase& db, const std::string& stored) {
    const std::string temp = TOrvDbMng::kTempTable;
    const std::vector<TFieldInfo> fields = readFieldDefs(db, stored);
    std::vector<std::string> key;
    {
        Statement s = db.prepare("SELECT name FROM pragma_table_info(?1) WHERE pk > 0 ORDER BY pk");
        s.bind(1, Value(stored));
        while (s.step()) key.push_back(s.columnText(0));
    }
    const std::vector<std::string> dependents = dependentSql(db, stored);
    db.exec("DROP TABLE IF EXISTS " + quoteName(temp));
    db.exec(createTableSql(temp, fields, key));
    db.exec("INSERT INTO " + quoteName(temp) + " SELECT * FROM " + quoteName(stored) +
            " NOT INDEXED WHERE 1");
    db.exec("PRAGMA writable_schema = ON");
    try {
        Statement s = db.prepare("DELETE FROM sqlite_master WHERE tbl_name = ?1 COLLATE NOCASE");
        s.bind(1, Value(stored));
        s.execute();
    } catch (...) {
        db.exec("PRAGMA writable_schema = OFF");
        throw;
    }
    db.exec("PRAGMA writable_schema = OFF");
    db.connect();  // reads the schema anew
    renameTable(db, temp, stored);
    for (const std::string& sql : dependents) db.exec(sql);
    db.exec("VACUUM");
}

// Whether the engine finds the pages of the table or of any of its indexes
// damaged. A damaged secondary index goes unnoticed until a query happens to
// read it, so it is looked for.
bool isDamaged(TDatabase& db, const std::string& stored) {
    try {
        Statement s = db.prepare("PRAGMA quick_check(" + quoteName(stored) + ")");
        return !s.step() || s.columnText(0) != "ok";
    } catch (const EDatabaseError& e) {
        if (e.damaged()) return true;
        throw;
    }
}

// Rebuilds the indexes of a table that the engine found damaged.
void repairIndexes(TDatabase& db, const std::string& stored) {
    try {
        db.exec("REINDEX " + quoteName(stored));
    } catch (const EDatabaseError& e) {
        if (!e.damaged()) throw;
    }
    if (isDamaged(db, stored)) rebuildDamagedTable(db, stored);
}

}  // namespace

RestructureResult TOrvDbMng::RestructureTable(TOrvTable& table, const TTableDef& def,
                                              const ConvertCallback& convert) {
    RestructureResult result;
    TDatabase& db = databaseOf(table);
    const bool wasOpen = table.isOpen();
    table.close();
    const std::string base = table.baseName();
    try {
        Transaction t(db);
        // The tables are filled before their secondary indexes are made: one
        // sort per index instead of an index kept in order row by row.
        TTableDef bare = def;
        bare.Indexes.resize(std::min<std::size_t>(1, def.Indexes.size()));
        // The table objects cut every text they write: the triggers that do
        // it for SQL of others are not needed while the rows are copied.
        TOrvTable temp(db, kTempTable);
        CreateTableFromInfo(temp, bare);
        dropTriggers(db, kTempTable);
        result.rowsNotCopied = CopyRecords(table, temp, convert);

        // The old rows become the backup; the table is made anew and filled.
        std::string stored;
        db.tableExists(base, &stored);
        const std::string backup = backupName(base);
        TOrvTable oldBackup(db, backup);
        oldBackup.deleteTable();
        dropDependents(db, stored);
        renameTable(db, stored, backup);
        CreateTableFromInfo(table, bare);
        dropTriggers(db, base);
        // Back from the temporary table, which has the same fields: one
        // statement does what a copy by name would.
        result.rowsNotCopied += copySameStructure(db, kTempTable, base, def);
        for (std::size_t i = 1; i < def.Indexes.size(); ++i) table.addIndex(def.Indexes[i]);
        for (const std::string& sql : createTriggerSql(base, def.Fields)) db.exec(sql);
        temp.deleteTable();
        if (result.rowsNotCopied == 0) {
            oldBackup.deleteTable();
        } else {
            // Kept under a name of its own, so that no later start takes it
            // for the leftover of a cut-off upgrade and restores it.
            int n = 1;
            while (db.tableExists(backup + std::to_string(n))) ++n;
            result.keptBackup = backup + std::to_string(n);
            renameTable(db, backup, result.keptBackup);
        }
        t.commit();
        result.ok = true;
    } catch (const std::exception& e) {
        // The transaction has put everything back as it was.
        appLog().writeLine("Omstrukturering av " + table.tableName() + " feilet: " + e.what());
        result = RestructureResult{};
    }
    if (wasOpen) table.open();
    return result;
}

void TOrvDbMng::RestoreTableFiles(TOrvTable& table) {
    TDatabase& db = databaseOf(table);
    const bool wasOpen = table.isOpen();
    table.close();
    const std::string base = table.baseName();
    std::string backup;
    if (db.tableExists(backupName(base), &backup)) {
        Transaction t(db);
        table.deleteTable();
        renameTable(db, backup, base);
        t.commit();
    }
    if (wasOpen) OpenTableOrStop(table);
}

void TOrvDbMng::OpenOrCreateTable(TOrvTable& table, const TTableDef& def, bool open,
                                  const ConvertCallback& convert) {
    TDatabase& db = databaseOf(table);
    // Without a connection the first table stops the program.
    if (!db.connected()) OpenTableOrStop(table);
    if (!TableExists(table)) {
        try {
            CreateTableFromInfo(table, def);
        } catch (const std::exception& e) {
            appLog().writeLine(e.what());
            fatal("Kunne ikke opprette tabell (" + table.tableName() + ")");
        }
        if (open) OpenTableOrStop(table);
        return;
    }
    if (db.tableExists(backupName(table.baseName()))) RestoreTableFiles(table);
    repairIfDamaged(table);

    auto checkAndUpgrade = [&]() {
        bool ok = true;
        {
            TOrvTable check(db, table.tableName());
            check.open();
            const bool same = SameStructure(check, def);
            check.close();
            if (!same) {
                const RestructureResult r = RestructureTable(table, def, convert);
                ok = r.ok;
                if (r.ok && r.rowsNotCopied > 0) {
                    const bool one = r.rowsNotCopied == 1;
                    ui_.warning("Advarsel",
                                std::to_string(r.rowsNotCopied) + (one ? " post" : " poster") +
                                    " i tabellen " + table.tableName() +
                                    " kunne ikke kopieres under oppgraderingen.\n" +
                                    (one ? "Den" : "De") +
                                    " ligger fortsatt i sikkerhetstabellen " + r.keptBackup + ".");
                }
            }
        }
        if (ok && open) table.open();
        return ok;
    };
    bool ok = false;
    try {
        ok = checkAndUpgrade();
    } catch (const EDatabaseError& e) {
        // A damaged index: rebuild the table's indexes and try once more.
        appLog().writeLine("Feil i " + table.tableName() + ": " + e.what() +
                           "; bygger indeksene på nytt");
        try {
            table.close();
            std::string stored;
            if (db.tableExists(table.baseName(), &stored)) repairIndexes(db, stored);
            ok = checkAndUpgrade();
        } catch (const EDatabaseError& again) {
            appLog().writeLine(again.what());
            ok = false;
        }
    }
    if (!ok) fatal("Kunne ikke omstrukturere tabell (" + table.tableName() + ")");
}

void TOrvDbMng::repairIfDamaged(TOrvTable& table) {
    TDatabase& db = databaseOf(table);
    std::string stored;
    if (!db.tableExists(table.baseName(), &stored) || !isDamaged(db, stored)) return;
    appLog().writeLine("Tabellen " + table.tableName() +
                       " er skadet; bygger den og indeksene på nytt");
    const bool wasOpen = table.isOpen();
    table.close();
    try {
        repairIndexes(db, stored);
        if (isDamaged(db, stored)) throw EDatabaseError("tabellen er fortsatt skadet", 0);
    } catch (const EDatabaseError& e) {
        // A disk that cannot be read or written is no damage of the table:
        // the user is told that, not to restore a backup.
        if (e.code() != 0 && !e.damaged()) throw;
        // The rows themselves are damaged: nothing here can mend that, but
        // the user must know before working on.
        appLog().writeLine("Reparasjon av " + table.tableName() + " feilet: " + e.what());
        ui_.warning("Advarsel", "Tabellen " + table.tableName() +
                                    " er skadet og kunne ikke repareres.\n"
                                    "Legg tilbake en sikkerhetskopi av datakatalogen før du "
                                    "arbeider videre.");
    }
    if (wasOpen) table.open();
}

bool TOrvDbMng::RebuildIndexes(TOrvTable& table) {
    TDatabase& db = databaseOf(table);
    const bool wasOpen = table.isOpen();
    table.close();
    bool ok = true;
    try {
        std::string stored;
        if (!db.tableExists(table.baseName(), &stored))
            throw EDatabaseError("Tabellen " + table.tableName() + " finnes ikke", 0);
        // Damaged pages cannot even be dropped: the table is built anew.
        if (isDamaged(db, stored)) repairIndexes(db, stored);
        std::vector<std::pair<std::string, std::string>> indexes;
        {
            Statement s = db.prepare(
                "SELECT name, sql FROM sqlite_master WHERE type = 'index' AND tbl_name = ?1 "
                "AND sql IS NOT NULL ORDER BY rowid");
            s.bind(1, Value(stored));
            while (s.step()) indexes.emplace_back(s.columnText(0), s.columnText(1));
        }
        // The same definitions again: the engine builds them anew.
        Transaction t(db);
        for (const auto& [name, sql] : indexes) {
            db.exec("DROP INDEX " + quoteName(name));
            db.exec(sql);
        }
        db.exec("REINDEX " + quoteName(stored));
        t.commit();
    } catch (const std::exception& e) {
        appLog().writeLine("Reindeksering av " + table.tableName() + " feilet: " + e.what());
        ok = false;
    }
    if (wasOpen) {
        try {
            table.open();
        } catch (const std::exception&) {
            ok = false;
        }
    }
    return ok;
}

}  // namespace lagrull::data
