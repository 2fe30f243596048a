#include "data/orv_table.h"

#include <algorithm>

#include "common/text_codec.h"

namespace lagrull::data {

// --- Subscription ----------------------------------------------------------

struct Subscription::Listeners {
    int nextId = 1;
    std::vector<std::pair<int, std::function<void(TableEvent)>>> entries;
};

Subscription& Subscription::operator=(Subscription&& other) noexcept {
    if (this != &other) {
        reset();
        list_ = std::move(other.list_);
        id_ = other.id_;
        other.id_ = 0;
    }
    return *this;
}

Subscription::~Subscription() { reset(); }

void Subscription::reset() {
    if (auto list = list_.lock()) {
        auto& e = list->entries;
        e.erase(
            std::remove_if(e.begin(), e.end(), [this](const auto& p) { return p.first == id_; }),
            e.end());
    }
    list_.reset();
}

// --- TOrvTable -------------------------------------------------------------

namespace {
constexpr std::size_t kRowCacheSize = 256;
}

TOrvTable::TOrvTable(TDatabase& db, std::string tableName)
    : db_(db),
      tableName_(std::move(tableName)),
      listeners_(std::make_shared<Subscription::Listeners>()) {}

TOrvTable::~TOrvTable() { notify(TableEvent::Destroyed); }

void TOrvTable::setTableName(std::string name) {
    if (active())
        throw EOrvTableException("Kan ikke bytte tabellnavn på en åpen tabell (" + tableName_ +
                                 ")");
    tableName_ = std::move(name);
}

Subscription TOrvTable::subscribe(std::function<void(TableEvent)> listener) {
    const int id = listeners_->nextId++;
    listeners_->entries.emplace_back(id, std::move(listener));
    return Subscription(listeners_, id);
}

void TOrvTable::valueWritten(int) { notify(TableEvent::FieldChanged); }

void TOrvTable::notify(TableEvent event) {
    if (event == TableEvent::Reset || event == TableEvent::RecordChanged) rowCache_.clear();
    // A listener may end its own subscription while being told.
    const auto entries = listeners_->entries;
    for (const auto& [id, fn] : entries) fn(event);
}

void TOrvTable::requireOpen() const {
    if (!active()) throw EOrvTableException("Table closed");
}

void TOrvTable::requireBrowse() {
    requireOpen();
    if (editing()) post();
}

void TOrvTable::open() {
    if (active()) return;
    if (tableName_.empty()) throw EOrvTableException("No tablename is given");
    if (!db_.tableExists(baseName(), &stored_))
        throw EDatabaseError("Tabellen " + tableName_ + " finnes ikke", 0);
    std::vector<FieldSlot> slots;
    for (const TFieldInfo& f : readFieldDefs(db_, stored_))
        slots.push_back({f.Name, f.DataType, f.Size, false});
    setStoredFields(std::move(slots));

    const std::string table = quoteName(stored_);
    std::string cols, marks, sets;
    for (int i = 0; i < storedFieldCount(); ++i) {
        const std::string n = std::to_string(i + 1);
        cols += (i ? ", " : "") + quoteName(fields_[static_cast<std::size_t>(i)].name);
        marks += (i ? ", ?" : "?") + n;
        sets += (i ? ", " : "") + quoteName(fields_[static_cast<std::size_t>(i)].name) + " = ?" + n;
    }
    selectRowSql_ = "SELECT " + cols + " FROM " + table + " WHERE rowid = ?1";
    insertSql_ = "INSERT INTO " + table + " (" + cols + ") VALUES (" + marks + ")";
    updateSql_ = "UPDATE " + table + " SET " + sets + " WHERE rowid = ?" +
                 std::to_string(storedFieldCount() + 1);
    deleteSql_ = "DELETE FROM " + table + " WHERE rowid = ?1";

    linkFields_.clear();
    for (const std::string& n : linkNames_) linkFields_.push_back(fieldIndex(n));
    try {
        resolveIndex();
    } catch (...) {
        clearFields();
        throw;
    }
    state_ = DataSetState::Browse;
    linkValues_ = linkValues();
    invalidateKeys();
    // Listeners hear of the open table once its first record is loaded.
    first();
    notify(TableEvent::Reset);
    notify(TableEvent::StateChanged);
}

void TOrvTable::close() {
    if (!active()) return;
    state_ = DataSetState::Inactive;
    keys_.clear();
    keys_.shrink_to_fit();
    keysValid_ = false;
    hasRow_ = false;
    pos_ = -1;
    rowCache_.clear();
    clearFields();
    eof_ = bof_ = true;
    notify(TableEvent::Reset);
    notify(TableEvent::StateChanged);
}

// --- order and filter -------------------------------------------------------

void TOrvTable::setIndexName(const std::string& name) {
    indexName_ = name;
    indexFieldNames_.clear();
    if (active()) {
        resolveIndex();
        refresh();
    }
}

void TOrvTable::setIndexFieldNames(const std::string& fields) {
    indexFieldNames_ = fields;
    indexName_.clear();
    if (active()) {
        resolveIndex();
        refresh();
    }
}

void TOrvTable::resolveIndex() {
    orderFields_.clear();
    orderBinary_ = false;
    std::string fieldList = indexFieldNames_;
    if (fieldList.empty()) {
        const std::vector<TIndexInfo> indexes = readIndexDefs(db_, stored_);
        const std::string wanted = upperCase(indexName_);
        const TIndexInfo* found = nullptr;
        for (const TIndexInfo& ix : indexes) {
            const bool primary = (ix.Options & ixPrimary) != 0;
            if (wanted.empty() || wanted == "PRIMARYINDEX" ? primary
                                                           : upperCase(ix.Name) == wanted) {
                found = &ix;
                break;
            }
        }
        if (!found && !wanted.empty() && wanted != "PRIMARYINDEX")
            throw EOrvTableException("Indeksen " + indexName_ + " finnes ikke i " + tableName_);
        if (found) {
            fieldList = found->Fields;
            orderBinary_ = !(found->Options & (ixPrimary | ixCaseInsensitive));
        }
    }
    for (const std::string& f : splitFieldList(fieldList)) orderFields_.push_back(fieldIndex(f));
}

int TOrvTable::indexFieldCount() {
    requireOpen();
    return static_cast<int>(orderFields_.size());
}

std::string TOrvTable::orderSql() const {
    std::string sql = " ORDER BY ";
    for (int f : orderFields_) {
        sql += quoteName(fields_[static_cast<std::size_t>(f)].name);
        if (orderBinary_ && fields_[static_cast<std::size_t>(f)].type == FieldType::String)
            sql += " COLLATE BINARY";
        sql += ", ";
    }
    return sql + "rowid";
}

std::string TOrvTable::filterSql(int firstParam) const {
    if (!master_) return {};
    std::string sql = " WHERE ";
    for (std::size_t i = 0; i < linkFields_.size(); ++i)
        sql += (i ? " AND " : "") +
               quoteName(fields_[static_cast<std::size_t>(linkFields_[i])].name) + " = ?" +
               std::to_string(firstParam + static_cast<int>(i));
    return sql;
}

void TOrvTable::bindFilter(Statement& s) const {
    for (std::size_t i = 0; i < linkValues_.size(); ++i)
        s.bind(static_cast<int>(i + 1), linkValues_[i]);
}

void TOrvTable::setMasterSource(TOrvTable* master, const std::string& fields) {
    masterSubscription_.reset();
    master_ = master;
    linkNames_ = master ? splitFieldList(fields) : std::vector<std::string>{};
    linkFields_.clear();
    // Every event may mean another master row (an insert in the master
    // leaves none); masterMoved compares.
    if (master_)
        masterSubscription_ = master_->subscribe([this](TableEvent e) {
            if (e == TableEvent::Destroyed)
                masterGone();
            else
                masterMoved();
        });
    if (active()) {
        for (const std::string& n : linkNames_) linkFields_.push_back(fieldIndex(n));
        linkValues_ = linkValues();
        refresh();
    }
}

std::vector<Value> TOrvTable::linkValues() const {
    std::vector<Value> out;
    if (!master_) return out;
    const bool rows =
        master_->active() && master_->hasRow_ && master_->state() != DataSetState::Insert;
    for (const std::string& n : linkNames_) {
        // Without a master row nothing matches: a null never equals.
        out.push_back(rows ? master_->value(master_->fieldIndex(n)) : Value());
    }
    return out;
}

void TOrvTable::masterMoved() {
    if (!active()) return;
    std::vector<Value> now = linkValues();
    if (now == linkValues_) return;
    if (editing() && !post()) cancel();
    linkValues_ = std::move(now);
    invalidateKeys();
    first();
}

// The master went before its detail: the link ends, as with
// setMasterSource(nullptr), without touching the master any more.
void TOrvTable::masterGone() {
    master_ = nullptr;
    linkNames_.clear();
    linkFields_.clear();
    linkValues_.clear();
    invalidateKeys();
}

void TOrvTable::invalidateKeys() {
    keysValid_ = false;
    pos_ = -1;
}

void TOrvTable::ensureKeys() {
    if (keysValid_) return;
    keys_.clear();
    Statement s =
        db_.prepare("SELECT rowid FROM " + quoteName(stored_) + filterSql(1) + orderSql());
    bindFilter(s);
    while (s.step()) keys_.push_back(s.columnInt(0));
    keysValid_ = true;
    pos_ = -1;
    if (hasRow_) {
        const auto it = std::find(keys_.begin(), keys_.end(), current_);
        if (it != keys_.end()) pos_ = it - keys_.begin();
    }
}

// --- moving -----------------------------------------------------------------

bool TOrvTable::loadRow(std::int64_t id, std::vector<Value>& into) {
    Statement s = db_.prepare(selectRowSql_);
    s.bind(1, Value(id));
    if (!s.step()) return false;
    readStoredRow(s, into);
    return true;
}

void TOrvTable::moveTo(std::int64_t id, long long pos) {
    if (!loadRow(id, buffer_)) {
        // Deleted behind our back (by SQL): read the rows anew.
        invalidateKeys();
        hasRow_ = false;
        ensureKeys();
        if (keys_.empty()) return moveToNothing();
        pos = std::clamp<long long>(pos, 0, static_cast<long long>(keys_.size()) - 1);
        id = keys_[static_cast<std::size_t>(pos)];
        if (!loadRow(id, buffer_)) return moveToNothing();
    }
    hasRow_ = true;
    current_ = id;
    pos_ = pos;
    calculate();
    notify(TableEvent::Scrolled);
    if (afterScroll) afterScroll(*this);
}

void TOrvTable::moveToNothing() {
    hasRow_ = false;
    pos_ = -1;
    buffer_.assign(fields_.size(), Value());
    for (std::size_t i = 0; i < fields_.size(); ++i)
        if (fields_[i].type == FieldType::String) buffer_[i] = Value(std::string());
    eof_ = bof_ = true;
    notify(TableEvent::Scrolled);
    if (afterScroll) afterScroll(*this);
}

void TOrvTable::first() {
    requireBrowse();
    if (!keysValid_) {
        // Opening needs only the first row, not the whole list.
        Statement s = db_.prepare("SELECT rowid FROM " + quoteName(stored_) + filterSql(1) +
                                  orderSql() + " LIMIT 1");
        bindFilter(s);
        if (!s.step()) return moveToNothing();
        const std::int64_t id = s.columnInt(0);
        s.reset();
        eof_ = false;
        bof_ = true;
        moveTo(id, -1);
        return;
    }
    if (keys_.empty()) return moveToNothing();
    eof_ = false;
    bof_ = true;
    moveTo(keys_.front(), 0);
}

void TOrvTable::next() {
    requireBrowse();
    ensureKeys();
    if (!hasRow_ || pos_ < 0 || pos_ + 1 >= static_cast<long long>(keys_.size())) {
        eof_ = true;
        return;
    }
    bof_ = false;
    moveTo(keys_[static_cast<std::size_t>(pos_ + 1)], pos_ + 1);
}

void TOrvTable::prior() {
    requireBrowse();
    ensureKeys();
    if (!hasRow_ || pos_ <= 0) {
        bof_ = true;
        return;
    }
    eof_ = false;
    moveTo(keys_[static_cast<std::size_t>(pos_ - 1)], pos_ - 1);
}

void TOrvTable::last() {
    requireBrowse();
    ensureKeys();
    if (keys_.empty()) return moveToNothing();
    eof_ = true;
    bof_ = false;
    moveTo(keys_.back(), static_cast<long long>(keys_.size()) - 1);
}

long long TOrvTable::recordCount() {
    requireOpen();
    ensureKeys();
    return static_cast<long long>(keys_.size());
}

long long TOrvTable::recNo() {
    requireOpen();
    if (state_ == DataSetState::Insert || !hasRow_) return 0;
    ensureKeys();
    return pos_ + 1;
}

void TOrvTable::setRecNo(long long recNo) {
    requireBrowse();
    ensureKeys();
    if (keys_.empty()) return;
    const long long pos =
        std::clamp<long long>(recNo - 1, 0, static_cast<long long>(keys_.size()) - 1);
    eof_ = bof_ = false;
    moveTo(keys_[static_cast<std::size_t>(pos)], pos);
}

void TOrvTable::refresh() {
    requireBrowse();
    const bool had = hasRow_;
    const std::int64_t id = current_;
    const long long oldPos = pos_;
    invalidateKeys();
    ensureKeys();
    notify(TableEvent::Reset);
    if (keys_.empty()) return moveToNothing();
    eof_ = bof_ = false;
    if (had && pos_ >= 0) return moveTo(id, pos_);
    const long long pos =
        std::clamp<long long>(oldPos, 0, static_cast<long long>(keys_.size()) - 1);
    moveTo(keys_[static_cast<std::size_t>(pos)], pos);
}

const std::vector<Value>& TOrvTable::rowAt(long long recNo) {
    requireOpen();
    ensureKeys();
    if (recNo < 1 || recNo > static_cast<long long>(keys_.size()))
        throw EOrvTableException("Postnummer utenfor tabellen " + tableName_);
    const std::int64_t id = keys_[static_cast<std::size_t>(recNo - 1)];
    if (id == current_ && hasRow_ && !editing()) return buffer_;
    for (const Row& r : rowCache_)
        if (r.id == id) return r.values;
    if (rowCache_.size() >= kRowCacheSize)
        rowCache_.erase(rowCache_.begin(), rowCache_.begin() + kRowCacheSize / 2);
    Row row{id, {}};
    if (!loadRow(id, row.values)) row.values.assign(fields_.size(), Value());
    // The calculation handler works on the current record: lend it this one.
    std::swap(buffer_, row.values);
    try {
        calculate();
    } catch (...) {
        std::swap(buffer_, row.values);
        throw;
    }
    std::swap(buffer_, row.values);
    rowCache_.push_back(std::move(row));
    return rowCache_.back().values;
}

// --- finding ----------------------------------------------------------------

bool TOrvTable::findKey(const std::vector<Value>& values) {
    requireBrowse();
    if (values.size() > orderFields_.size() || values.empty())
        throw EOrvTableException("Feil antall nøkkelverdier for " + tableName_);
    std::string where = filterSql(1);
    int param = static_cast<int>(linkValues_.size()) + 1;
    for (std::size_t i = 0; i < values.size(); ++i)
        where += (where.empty() ? " WHERE " : " AND ") +
                 quoteName(fields_[static_cast<std::size_t>(orderFields_[i])].name) + " = ?" +
                 std::to_string(param++);
    Statement s =
        db_.prepare("SELECT rowid FROM " + quoteName(stored_) + where + orderSql() + " LIMIT 1");
    bindFilter(s);
    for (std::size_t i = 0; i < values.size(); ++i)
        s.bind(static_cast<int>(linkValues_.size() + i + 1),
               coerceValue(fields_[static_cast<std::size_t>(orderFields_[i])], values[i]));
    if (!s.step()) return false;
    const std::int64_t id = s.columnInt(0);
    s.reset();
    long long pos = -1;
    if (keysValid_) {
        const auto it = std::find(keys_.begin(), keys_.end(), id);
        if (it != keys_.end()) pos = it - keys_.begin();
    }
    eof_ = bof_ = false;
    moveTo(id, pos);
    return true;
}

bool TOrvTable::findKey(const std::vector<std::string>& texts) {
    return findKey(std::vector<Value>(texts.begin(), texts.end()));
}

void TOrvTable::findNearest(const std::vector<Value>& values) {
    requireBrowse();
    if (values.size() > orderFields_.size() || values.empty())
        throw EOrvTableException("Feil antall nøkkelverdier for " + tableName_);
    std::string lhs, rhs;
    int param = static_cast<int>(linkValues_.size()) + 1;
    for (std::size_t i = 0; i < values.size(); ++i) {
        const FieldSlot& f = fields_[static_cast<std::size_t>(orderFields_[i])];
        lhs += (i ? ", " : "") + quoteName(f.name) +
               (orderBinary_ && f.type == FieldType::String ? " COLLATE BINARY" : "");
        rhs += (i ? ", ?" : "?") + std::to_string(param++);
    }
    std::string where = filterSql(1);
    where += (where.empty() ? " WHERE (" : " AND (") + lhs + ") >= (" + rhs + ")";
    Statement s =
        db_.prepare("SELECT rowid FROM " + quoteName(stored_) + where + orderSql() + " LIMIT 1");
    bindFilter(s);
    for (std::size_t i = 0; i < values.size(); ++i)
        s.bind(static_cast<int>(linkValues_.size() + i + 1),
               coerceValue(fields_[static_cast<std::size_t>(orderFields_[i])], values[i]));
    if (!s.step()) return last();
    const std::int64_t id = s.columnInt(0);
    s.reset();
    ensureKeys();
    const auto it = std::find(keys_.begin(), keys_.end(), id);
    eof_ = bof_ = false;
    moveTo(id, it == keys_.end() ? -1 : it - keys_.begin());
}

// --- editing ----------------------------------------------------------------

void TOrvTable::insert() {
    requireBrowse();
    hadRowBeforeInsert_ = hasRow_;
    beforeInsert_ = current_;
    state_ = DataSetState::Insert;
    buffer_.assign(fields_.size(), Value());
    for (int i = 0; i < storedFieldCount(); ++i)
        if (fields_[static_cast<std::size_t>(i)].type == FieldType::String)
            buffer_[static_cast<std::size_t>(i)] = Value(std::string());
    // A new detail row belongs to the master row.
    for (std::size_t i = 0; i < linkFields_.size(); ++i)
        buffer_[static_cast<std::size_t>(linkFields_[i])] =
            coerceValue(fields_[static_cast<std::size_t>(linkFields_[i])], linkValues_[i]);
    calculate();
    notify(TableEvent::StateChanged);
    if (onNewRecord) onNewRecord(*this);
}

void TOrvTable::edit() {
    requireOpen();
    if (editing()) return;
    if (!hasRow_) return insert();
    original_ = buffer_;
    state_ = DataSetState::Edit;
    notify(TableEvent::StateChanged);
}

bool TOrvTable::orderOrLinkChanged() const {
    auto differs = [this](int f) {
        return original_[static_cast<std::size_t>(f)] != buffer_[static_cast<std::size_t>(f)];
    };
    return std::any_of(orderFields_.begin(), orderFields_.end(), differs) ||
           std::any_of(linkFields_.begin(), linkFields_.end(), differs);
}

bool TOrvTable::post() {
    requireOpen();
    if (!editing()) return true;
    if (beforePost && !beforePost(*this)) return false;
    const bool inserting = state_ == DataSetState::Insert;
    try {
        Statement s = db_.prepare(inserting ? insertSql_ : updateSql_);
        for (int i = 0; i < storedFieldCount(); ++i)
            s.bind(i + 1, buffer_[static_cast<std::size_t>(i)], false);
        if (!inserting) s.bind(storedFieldCount() + 1, Value(current_));
        if (s.execute() == 0) throw EDatabaseError("Posten finnes ikke lenger i " + tableName_, 0);
    } catch (const EDatabaseError& e) {
        const int primary = e.code() & 0xFF;
        if (primary == 19 /* SQLITE_CONSTRAINT */)
            throw EDatabaseError(
                "Nøkkelbrudd: " + tableName_ + " har allerede en post med denne nøkkelen",
                e.code());
        throw;
    }
    state_ = DataSetState::Browse;
    if (inserting) {
        current_ = db_.lastInsertRowId();
        hasRow_ = true;
        invalidateKeys();
        eof_ = bof_ = false;
        calculate();
        notify(TableEvent::Reset);
    } else if (orderOrLinkChanged()) {
        invalidateKeys();
        calculate();
        notify(TableEvent::Reset);
    } else {
        calculate();
        notify(TableEvent::RecordChanged);
    }
    notify(TableEvent::StateChanged);
    if (afterPost) afterPost(*this);
    return true;
}

void TOrvTable::cancel() {
    requireOpen();
    if (!editing()) return;
    const bool inserting = state_ == DataSetState::Insert;
    state_ = DataSetState::Browse;
    if (inserting) {
        if (hadRowBeforeInsert_ && loadRow(beforeInsert_, buffer_)) {
            current_ = beforeInsert_;
            calculate();
        } else {
            first();
        }
    } else {
        buffer_ = original_;
    }
    notify(TableEvent::StateChanged);
    if (afterCancel) afterCancel(*this);
}

bool TOrvTable::remove() {
    requireOpen();
    if (state_ == DataSetState::Insert) {
        cancel();
        return true;
    }
    if (editing()) cancel();
    if (!hasRow_) throw EOrvTableException("Tabellen " + tableName_ + " er tom");
    if (beforeDelete && !beforeDelete(*this)) return false;
    ensureKeys();
    {
        Transaction transaction(db_);
        if (deleteDependents) deleteDependents(*this);
        Statement s = db_.prepare(deleteSql_);
        s.bind(1, Value(current_));
        s.execute();
        transaction.commit();
    }
    if (pos_ >= 0) keys_.erase(keys_.begin() + pos_);
    hasRow_ = false;
    notify(TableEvent::Reset);
    if (keys_.empty()) {
        moveToNothing();
    } else {
        const long long pos =
            std::clamp<long long>(pos_, 0, static_cast<long long>(keys_.size()) - 1);
        eof_ = bof_ = false;
        moveTo(keys_[static_cast<std::size_t>(pos)], pos);
    }
    if (afterDelete) afterDelete(*this);
    return true;
}

// --- the table itself -------------------------------------------------------

bool TOrvTable::exists() const { return db_.tableExists(baseName()); }

std::vector<TFieldInfo> TOrvTable::fieldDefs() {
    std::string stored;
    return db_.tableExists(baseName(), &stored) ? readFieldDefs(db_, stored)
                                                : std::vector<TFieldInfo>{};
}

std::vector<TIndexInfo> TOrvTable::indexDefs() {
    std::string stored;
    return db_.tableExists(baseName(), &stored) ? readIndexDefs(db_, stored)
                                                : std::vector<TIndexInfo>{};
}

void TOrvTable::createTable(const std::vector<TFieldInfo>& fields,
                            const std::vector<TIndexInfo>& indexes) {
    close();
    std::vector<std::string> key;
    for (const TFieldInfo& f : fields)
        if (f.PrimaryKey) key.push_back(f.Name);
    const std::string base = baseName();
    Transaction t(db_);
    db_.exec(createTableSql(base, fields, key));
    for (const std::string& sql : createTriggerSql(base, fields)) db_.exec(sql);
    // Element 0 is the primary index, made by the key fields above.
    for (std::size_t i = 1; i < indexes.size(); ++i)
        db_.exec(createIndexSql(base, indexes[i], fields));
    t.commit();
}

void TOrvTable::deleteTable() {
    close();
    std::string stored;
    if (db_.tableExists(baseName(), &stored)) db_.exec("DROP TABLE " + quoteName(stored));
}

void TOrvTable::emptyTable() {
    const bool wasOpen = active();
    close();
    std::string stored;
    if (!db_.tableExists(baseName(), &stored))
        throw EDatabaseError("Tabellen " + tableName_ + " finnes ikke", 0);
    db_.exec("DELETE FROM " + quoteName(stored));
    if (wasOpen) open();
}

void TOrvTable::addIndex(const TIndexInfo& index) {
    std::string stored;
    if (!db_.tableExists(baseName(), &stored))
        throw EDatabaseError("Tabellen " + tableName_ + " finnes ikke", 0);
    db_.exec(createIndexSql(stored, index, readFieldDefs(db_, stored)));
}

}  // namespace lagrull::data
