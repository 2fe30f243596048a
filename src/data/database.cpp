#include "data/database.h"

#include <sqlite3.h>

#include "common/text_codec.h"
#include "data/norwegian_order.h"
#include "data/sql_functions.h"

namespace lagrull::data {

std::string engineFailureText(int code, const std::string& engineText) {
    std::string advice;
    switch (code & 0xFF) {
        case SQLITE_CORRUPT:
            advice =
                "Registeret er skadet. Velg Funksjoner > Reindeksering; hjelper ikke det, legg "
                "tilbake en sikkerhetskopi av datakatalogen.";
            break;
        case SQLITE_NOTADB:
            advice =
                "Databasefilen i datakatalogen er ikke et register programmet kan lese. Kontroller "
                "at datakatalogen i oppsettet er riktig, eller legg tilbake en sikkerhetskopi.";
            break;
        case SQLITE_CANTOPEN:
            advice =
                "Databasefilen kan ikke åpnes. Kontroller at datakatalogen finnes og at du har "
                "lov til å lese og skrive i den.";
            break;
        case SQLITE_READONLY:
            advice =
                "Registeret kan ikke endres: databasefilen eller datakatalogen er skrivebeskyttet.";
            break;
        case SQLITE_FULL: advice = "Disken er full. Gjør plass på disken og prøv igjen."; break;
        case SQLITE_BUSY:
        case SQLITE_LOCKED:
            advice = "Registeret er i bruk av et annet program. Lukk det og prøv igjen.";
            break;
        case SQLITE_IOERR:
            advice =
                "Databasefilen kunne ikke leses eller skrives. Kontroller disken eller "
                "nettverksforbindelsen til datakatalogen.";
            break;
        default: return engineText;  // faults of our own SQL: the engine says it best
    }
    return advice + "\n(" + engineText + ")";
}

bool EDatabaseError::damaged() const {
    const int primary = code_ & 0xFF;
    return primary == SQLITE_CORRUPT || primary == SQLITE_NOTADB;
}

bool EDatabaseError::duplicateKey() const { return (code_ & 0xFF) == SQLITE_CONSTRAINT; }

std::string quoteName(std::string_view name) {
    std::string out = "\"";
    for (char c : name) {
        if (c == '"') out += '"';
        out += c;
    }
    out += '"';
    return out;
}

void checkDatabaseEngine() {
    if (sqlite3_libversion_number() < 3033000)
        throw FatalError("Error",
                         std::string("SQLite ") + sqlite3_libversion() +
                             " is too old (3.33 or newer is needed). Unable to run application");
}

// --- Statement ---------------------------------------------------------

Statement::Statement(TDatabase& db, sqlite3_stmt* stmt, bool cached)
    : db_(&db), stmt_(stmt), cached_(cached) {}

Statement::Statement(Statement&& other) noexcept
    : db_(other.db_), stmt_(other.stmt_), cached_(other.cached_), node_(std::move(other.node_)) {
    other.stmt_ = nullptr;
}

Statement::~Statement() {
    if (!stmt_) return;
    if (cached_)
        db_->giveBack(stmt_, std::move(node_));
    else
        sqlite3_finalize(stmt_);
}

void Statement::check(int rc) const {
    if (rc != SQLITE_OK) db_->fail(rc);
}

int Statement::parameterCount() const { return sqlite3_bind_parameter_count(stmt_); }

std::string Statement::parameterName(int index) const {
    const char* name = sqlite3_bind_parameter_name(stmt_, index);
    if (!name) return {};
    return name[0] == ':' || name[0] == '@' || name[0] == '$' ? name + 1 : name;
}

void Statement::bind(int index, const Value& value, bool copy) {
    int rc = SQLITE_OK;
    if (const auto* i = std::get_if<std::int64_t>(&value))
        rc = sqlite3_bind_int64(stmt_, index, *i);
    else if (const auto* d = std::get_if<double>(&value))
        rc = sqlite3_bind_double(stmt_, index, *d);
    else if (const auto* s = std::get_if<std::string>(&value))
        rc = sqlite3_bind_text(stmt_, index, s->data(), static_cast<int>(s->size()),
                               copy ? SQLITE_TRANSIENT : SQLITE_STATIC);
    else
        rc = sqlite3_bind_null(stmt_, index);
    check(rc);
}

void Statement::bind(std::string_view name, const Value& value) {
    const std::string wanted = upperCase(name);
    for (int i = 1; i <= parameterCount(); ++i)
        if (upperCase(parameterName(i)) == wanted) bind(i, value);
}

void Statement::bindText(int index, std::string_view text, bool copy) {
    // An empty view may have no data; SQLite would take that for NULL.
    check(sqlite3_bind_text(stmt_, index, text.empty() ? "" : text.data(),
                            static_cast<int>(text.size()),
                            copy ? SQLITE_TRANSIENT : SQLITE_STATIC));
}

void Statement::bindInt(int index, std::int64_t value) {
    check(sqlite3_bind_int64(stmt_, index, value));
}

void Statement::bindReal(int index, double value) {
    check(sqlite3_bind_double(stmt_, index, value));
}

void Statement::bindNull(int index) { check(sqlite3_bind_null(stmt_, index)); }

void Statement::clearBindings() { sqlite3_clear_bindings(stmt_); }

bool Statement::step() {
    const int rc = sqlite3_step(stmt_);
    if (rc == SQLITE_ROW) return true;
    if (rc == SQLITE_DONE) return false;
    const int code = sqlite3_extended_errcode(db_->handle());
    const std::string message = engineFailureText(code, sqlite3_errmsg(db_->handle()));
    sqlite3_reset(stmt_);
    throw EDatabaseError(message, code);
}

int Statement::execute() {
    while (step()) {
    }
    return sqlite3_changes(db_->handle());
}

void Statement::reset() { sqlite3_reset(stmt_); }

int Statement::columnCount() const { return sqlite3_column_count(stmt_); }

std::string Statement::columnName(int column) const {
    const char* name = sqlite3_column_name(stmt_, column);
    return name ? name : "";
}

Value Statement::column(int column) const {
    switch (sqlite3_column_type(stmt_, column)) {
        case SQLITE_INTEGER:
            return Value(static_cast<std::int64_t>(sqlite3_column_int64(stmt_, column)));
        case SQLITE_FLOAT: return Value(sqlite3_column_double(stmt_, column));
        case SQLITE_NULL: return Value();
        default: return Value(columnText(column));
    }
}

std::int64_t Statement::columnInt(int column) const { return sqlite3_column_int64(stmt_, column); }

std::string Statement::columnText(int column) const { return std::string(columnView(column)); }

std::string_view Statement::columnView(int column) const {
    const unsigned char* text = sqlite3_column_text(stmt_, column);
    if (!text) return {};
    return {reinterpret_cast<const char*>(text),
            static_cast<std::size_t>(sqlite3_column_bytes(stmt_, column))};
}

bool Statement::columnIsNull(int column) const {
    return sqlite3_column_type(stmt_, column) == SQLITE_NULL;
}

std::string Statement::originTable(int column) const {
    const char* name = sqlite3_column_table_name(stmt_, column);
    return name ? name : "";
}

std::string Statement::originColumn(int column) const {
    const char* name = sqlite3_column_origin_name(stmt_, column);
    return name ? name : "";
}

// --- TDatabase ---------------------------------------------------------

TDatabase::~TDatabase() { disconnect(); }

std::string TDatabase::fileName() const {
    std::string dir = path_;
    if (!dir.empty() && dir.back() != '/') dir += '/';
    return dir + kDatabaseFileName;
}

void TDatabase::fail(int rc, const std::string& context) const {
    const int code = db_ ? sqlite3_extended_errcode(db_) : rc;
    std::string message = engineFailureText(code, db_ ? sqlite3_errmsg(db_) : sqlite3_errstr(rc));
    if (!context.empty()) message = context + ": " + message;
    throw EDatabaseError(message, code);
}

void TDatabase::connect() {
    disconnect();
    sqlite3* db = nullptr;
    const int rc =
        sqlite3_open_v2(fileName().c_str(), &db,
                        SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX, nullptr);
    if (rc != SQLITE_OK) {
        const std::string message = db ? sqlite3_errmsg(db) : sqlite3_errstr(rc);
        sqlite3_close_v2(db);
        throw EDatabaseError(
            "Kan ikke åpne databasen " + fileName() + ".\n" + engineFailureText(rc, message), rc);
    }
    db_ = db;
    sqlite3_extended_result_codes(db_, 1);
    try {
        registerSqlFunctions(db_);
        // A larger page cache keeps the big transactions of an upgrade in memory.
        exec(
            "PRAGMA journal_mode=WAL; PRAGMA synchronous=NORMAL; PRAGMA recursive_triggers=OFF; "
            "PRAGMA cache_size=-32768;");
    } catch (...) {
        disconnect();
        throw;
    }
}

void TDatabase::disconnect() {
    for (auto& [sql, stmt] : idle_) sqlite3_finalize(stmt);
    idle_.clear();
    if (db_) sqlite3_close_v2(db_);  // lent statements finish the close when finalized
    db_ = nullptr;
}

Statement TDatabase::prepare(std::string_view sql) {
    if (!db_) throw EDatabaseError("Databasen er ikke tilkoblet", SQLITE_MISUSE);
    const std::string key(sql);
    if (auto it = idle_.find(key); it != idle_.end()) {
        Statement s(*this, it->second, true);
        s.node_ = idle_.extract(it);  // kept, so that giving back allocates nothing
        return s;
    }
    sqlite3_stmt* stmt = nullptr;
    const int rc = sqlite3_prepare_v3(db_, key.data(), static_cast<int>(key.size()),
                                      SQLITE_PREPARE_PERSISTENT, &stmt, nullptr);
    if (rc != SQLITE_OK) fail(rc);
    if (!stmt) throw EDatabaseError("Tom SQL-setning", SQLITE_MISUSE);
    return Statement(*this, stmt, true);
}

void TDatabase::giveBack(sqlite3_stmt* stmt, StatementNode node) {
    sqlite3_reset(stmt);
    sqlite3_clear_bindings(stmt);
    if (!db_) {
        sqlite3_finalize(stmt);
        return;
    }
    if (node.empty()) {
        const char* sql = sqlite3_sql(stmt);
        if (!idle_.emplace(sql ? sql : "", stmt).second) sqlite3_finalize(stmt);
        return;
    }
    node.mapped() = stmt;
    if (!idle_.insert(std::move(node)).inserted) sqlite3_finalize(stmt);
}

void TDatabase::exec(const std::string& sql) {
    if (!db_) throw EDatabaseError("Databasen er ikke tilkoblet", SQLITE_MISUSE);
    char* error = nullptr;
    const int rc = sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, &error);
    if (rc != SQLITE_OK) {
        const int code = sqlite3_extended_errcode(db_);
        const std::string message = engineFailureText(code, error ? error : sqlite3_errstr(rc));
        sqlite3_free(error);
        throw EDatabaseError(message, code);
    }
}

std::int64_t TDatabase::lastInsertRowId() const { return sqlite3_last_insert_rowid(db_); }
int TDatabase::changes() const { return sqlite3_changes(db_); }
bool TDatabase::inTransaction() const { return db_ && !sqlite3_get_autocommit(db_); }

bool TDatabase::tableExists(std::string_view name, std::string* storedName) {
    Statement s =
        prepare("SELECT name FROM sqlite_master WHERE type = 'table' AND name = ?1 COLLATE NOCASE");
    s.bind(1, Value(std::string(name)));
    if (!s.step()) return false;
    if (storedName) *storedName = s.columnText(0);
    return true;
}

// --- WritesWithoutTriggers ---------------------------------------------

WritesWithoutTriggers::WritesWithoutTriggers(TDatabase& db) : db_(db) {
    if (!db_.connected()) throw EDatabaseError("Databasen er ikke tilkoblet", SQLITE_MISUSE);
    sqlite3* h = db_.handle();
    // -1 asks for the state without changing it.
    int rc = sqlite3_db_config(h, SQLITE_DBCONFIG_ENABLE_TRIGGER, -1, &was_);
    if (rc == SQLITE_OK) rc = sqlite3_db_config(h, SQLITE_DBCONFIG_ENABLE_TRIGGER, 0, nullptr);
    if (rc != SQLITE_OK) db_.fail(rc);
}

WritesWithoutTriggers::~WritesWithoutTriggers() {
    if (db_.connected())
        sqlite3_db_config(db_.handle(), SQLITE_DBCONFIG_ENABLE_TRIGGER, was_, nullptr);
}

// --- Transaction -------------------------------------------------------

namespace {
int savepointCounter = 0;
}

Transaction::Transaction(TDatabase& db)
    : db_(db), name_("sp" + std::to_string(++savepointCounter)) {
    db_.exec("SAVEPOINT " + name_);
}

Transaction::~Transaction() {
    if (done_ || !db_.connected()) return;
    try {
        db_.exec("ROLLBACK TO " + name_ + "; RELEASE " + name_);
    } catch (...) {
        // The connection reports the failure on its next use.
    }
}

void Transaction::commit() {
    db_.exec("RELEASE " + name_);
    done_ = true;
}

}  // namespace lagrull::data
