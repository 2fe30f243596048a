#pragma once
// TDatabase: the connection behind the alias "lagrull", one SQLite file
// "lagrull.db" in the data directory.
//
// Invariants:
// - An open connection has the Norwegian collation, Upper() with Norwegian
//   letters and a case-sensitive LIKE registered, WAL journal, foreign
//   recursion of triggers off.
// - Prepared statements are cached per connection by their SQL text; a
//   cached statement is lent to one user at a time (a second user of the same
//   text gets a statement of its own), and is reset when it comes back.
// - Every failure of the engine is an EDatabaseError.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "common/error.h"
#include "data/value.h"

struct sqlite3;
struct sqlite3_stmt;

namespace lagrull::data {

// An error of the database engine (the distinct kind the manager catches).
class EDatabaseError : public Error {
public:
    EDatabaseError(const std::string& message, int code) : Error(message), code_(code) {}
    int code() const { return code_; }
    // The engine found its file or an index damaged.
    bool damaged() const;
    // A row with the same key is there already.
    bool duplicateKey() const;

private:
    int code_;
};

// The message of a failure of the engine: for a damaged, unreadable,
// locked or full file a Norwegian text that says what the user can do, with
// the engine's own text as the detail on a line of its own; for faults in
// SQL the engine's text as it is.
std::string engineFailureText(int code, const std::string& engineText);

// The engine is linked into the program; what can be missing is a new
// enough SQLite library (3.33: table-valued pragmas, row values, the rename
// rules of ALTER TABLE, UPDATE ... FROM). Throws FatalError when it is too
// old.
void checkDatabaseEngine();

// The file name of the register's database in the data directory.
inline constexpr const char* kDatabaseFileName = "lagrull.db";

class TDatabase;
using StatementNode = std::unordered_map<std::string, sqlite3_stmt*>::node_type;

// A prepared statement lent from the connection's cache.
class Statement {
public:
    Statement(Statement&& other) noexcept;
    Statement& operator=(Statement&&) = delete;
    ~Statement();

    // Parameters by name without the colon, matched without regard to case;
    // an unknown name is ignored. By number from 1.
    int parameterCount() const;
    std::string parameterName(int index) const;  // without the colon
    // `copy` false: the value stays alive and unchanged until the statement
    // has run.
    void bind(int index, const Value& value, bool copy = true);
    void bind(std::string_view name, const Value& value);
    // The same without a Value, for passes that bind millions of values;
    // `copy` as for bind().
    void bindText(int index, std::string_view text, bool copy = true);
    void bindInt(int index, std::int64_t value);
    void bindReal(int index, double value);
    void bindNull(int index);
    void clearBindings();

    bool step();    // true while a row is there
    int execute();  // runs to the end; rows changed
    void reset();

    int columnCount() const;
    std::string columnName(int column) const;
    Value column(int column) const;
    std::int64_t columnInt(int column) const;
    std::string columnText(int column) const;
    // The same without a copy: valid until the next step() or reset().
    std::string_view columnView(int column) const;
    bool columnIsNull(int column) const;
    // The table and column a result column comes from; empty for expressions.
    std::string originTable(int column) const;
    std::string originColumn(int column) const;

private:
    friend class TDatabase;
    Statement(TDatabase& db, sqlite3_stmt* stmt, bool cached);
    void check(int rc) const;

    TDatabase* db_;
    sqlite3_stmt* stmt_;
    bool cached_;
    StatementNode node_;
};

class TDatabase {
public:
    TDatabase() = default;
    ~TDatabase();
    TDatabase(const TDatabase&) = delete;
    TDatabase& operator=(const TDatabase&) = delete;

    // The alias's parameter PATH: the data directory.
    void setPath(const std::string& directory) { path_ = directory; }
    const std::string& path() const { return path_; }
    std::string fileName() const;

    void connect();     // opens (creating) the file; throws EDatabaseError
    void disconnect();  // finalizes every statement
    bool connected() const { return db_ != nullptr; }

    // Prepares a statement of SQLite's own SQL (not translated), from the cache.
    Statement prepare(std::string_view sql);
    // Runs SQLite SQL that needs no parameters (may hold several statements).
    void exec(const std::string& sql);

    std::int64_t lastInsertRowId() const;
    int changes() const;
    bool inTransaction() const;

    // Tables of the database, matched without regard to case; the stored name.
    bool tableExists(std::string_view name, std::string* storedName = nullptr);

    sqlite3* handle() { return db_; }
    [[noreturn]] void fail(int rc, const std::string& context = {}) const;

private:
    friend class Statement;
    void giveBack(sqlite3_stmt* stmt, StatementNode node);

    std::string path_;
    sqlite3* db_ = nullptr;
    // SQL text → idle prepared statement; lent ones are taken out.
    std::unordered_map<std::string, sqlite3_stmt*> idle_;
};

// A transaction that nests: the outermost one is BEGIN/COMMIT, inner ones are
// savepoints. Without commit() it rolls back on destruction.
class Transaction {
public:
    explicit Transaction(TDatabase& db);
    ~Transaction();
    void commit();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;

private:
    TDatabase& db_;
    std::string name_;
    bool done_ = false;
};

// While it lives, the connection's writes run without the tables' triggers,
// whose one job is to fit texts written by SQL to their width. For bulk
// writers that write only fitted texts (fittedText()) and no NULL text: a
// trigger run per row costs them more than the write itself. The holder
// keeps every other write out of its lifetime (a bulk pass's progress window
// is modal). The earlier state comes back at the end; statements prepared
// meanwhile are prepared anew when next run.
class WritesWithoutTriggers {
public:
    explicit WritesWithoutTriggers(TDatabase& db);
    ~WritesWithoutTriggers();
    WritesWithoutTriggers(const WritesWithoutTriggers&) = delete;
    WritesWithoutTriggers& operator=(const WritesWithoutTriggers&) = delete;

private:
    TDatabase& db_;
    int was_ = 1;
};

// SQLite quoting of a name: "name" with inner quotes doubled.
std::string quoteName(std::string_view name);

}  // namespace lagrull::data
