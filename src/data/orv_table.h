#pragma once
// TOrvTable: a table object on one table of the register, for the windows and
// the bulk passes alike.
//
// Design: the rows visible through the object (those following the master
// row, in the order of the current index) are a list of SQLite row ids,
// loaded with one query when first needed; the record number is a position in
// that list and a record is read by its row id. So a grid model over 100,000
// members asks rowCount() and rowAt(n) and reads only the rows it shows.
//
// Invariants:
// - In Browse state with rows, current_ is the row id whose values are in the
//   buffer; pos_ is its place in keys_ when keys_ is valid, else -1.
// - keys_ is valid until something may change the order or the filter: a post
//   that changes an ordering or link field, an insert, a new master row, a new
//   index. A post that changes only other fields keeps it, so a pass that
//   edits every row of 100,000 stays linear.
// - Subscribers hear of every change that a view has to show (see TableEvent).
// - A deleted row and its dependents (deleteDependents) go in one transaction.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "data/database.h"
#include "data/dataset.h"
#include "data/table_def.h"

namespace lagrull::data {

enum class TableEvent {
    Reset,          // the rows, their order or their number may have changed
    Scrolled,       // the current record moved
    RecordChanged,  // the current record's values changed, in place
    StateChanged,   // open, close, edit, insert, post, cancel
    FieldChanged,   // a value of the record being edited was written
    Destroyed,      // the table object is going: forget it, call nothing on it
};

class TOrvTable;

// Keeps a subscription to a table's events; ends it when destroyed. Safe when
// the table goes first.
class Subscription {
public:
    Subscription() = default;
    Subscription(Subscription&&) noexcept = default;
    Subscription& operator=(Subscription&& other) noexcept;
    ~Subscription();
    void reset();

private:
    friend class TOrvTable;
    struct Listeners;
    Subscription(std::weak_ptr<Listeners> list, int id) : list_(std::move(list)), id_(id) {}
    std::weak_ptr<Listeners> list_;
    int id_ = 0;
};

class TOrvTable : public TDataSet {
public:
    explicit TOrvTable(TDatabase& db, std::string tableName = {});
    ~TOrvTable() override;

    TDatabase& database() { return db_; }
    void setTableName(std::string name);
    const std::string& tableName() const { return tableName_; }
    std::string baseName() const { return baseTableName(tableName_); }
    std::string displayName() const override { return tableName_; }

protected:
    void valueWritten(int index) override;

public:
    // Opening fails with EDatabaseError when the table does not exist.
    void open() override;
    void close() override;
    bool isOpen() const { return active(); }
    void setExclusive(bool exclusive) { exclusive_ = exclusive; }  // one user: nothing to lock
    bool exclusive() const { return exclusive_; }

    // The order of the rows: an index by its name ("" or "PrimaryIndex": the
    // primary), or a list of fields ("Orgnr;Enavn").
    void setIndexName(const std::string& name);
    void setIndexFieldNames(const std::string& fields);
    const std::string& indexName() const { return indexName_; }
    int indexFieldCount();

    // Only rows whose `fields` ("Orgnr;Medlnr") equal those of the master's
    // current row are visible; the object follows the master as it moves. The
    // master must be open on the same connection. nullptr ends the link.
    void setMasterSource(TOrvTable* master, const std::string& fields);

    void first() override;
    void next() override;
    void prior() override;
    void last() override;
    long long recordCount() override;
    long long recNo() override;
    void setRecNo(long long recNo) override;
    void refresh();  // reads the rows anew, staying on the current one if it is still there

    // Finds the first row whose leading fields of the current index equal the
    // values and moves to it; false (not moved) when there is none.
    bool findKey(const std::vector<Value>& values);
    bool findKey(const std::vector<std::string>& texts);
    // Moves to the first row at or after the values in index order (the last
    // row when none is).
    void findNearest(const std::vector<Value>& values);

    void insert();
    void append() { insert(); }
    void edit();
    // False when a before-post handler stopped it (the record stays in edit).
    bool post();
    void cancel();
    // False when a before-delete handler stopped it.
    bool remove();

    // Record events. A before handler returns false to stop the operation
    // without a message.
    std::function<bool(TOrvTable&)> beforePost;
    std::function<bool(TOrvTable&)> beforeDelete;
    // Deletes the rows of other tables that go with the current row; runs in
    // the delete's transaction, so the row and they go together or not at all.
    std::function<void(TOrvTable&)> deleteDependents;
    std::function<void(TOrvTable&)> afterPost;
    std::function<void(TOrvTable&)> afterCancel;
    std::function<void(TOrvTable&)> afterDelete;
    std::function<void(TOrvTable&)> onNewRecord;
    std::function<void(TOrvTable&)> afterScroll;

    [[nodiscard]] Subscription subscribe(std::function<void(TableEvent)> listener);

    // For a grid model: the values (stored and calculated) of record n
    // (1-based) without moving the cursor; a few recent rows are kept. The
    // reference holds until the next call or change of the table.
    const std::vector<Value>& rowAt(long long recNo);

    // Structure as stored, and the operations on the table itself.
    bool exists() const;
    std::vector<TFieldInfo> fieldDefs();
    std::vector<TIndexInfo> indexDefs();
    void createTable(const std::vector<TFieldInfo>& fields, const std::vector<TIndexInfo>& indexes);
    void deleteTable();
    void emptyTable();
    void addIndex(const TIndexInfo& index);

private:
    struct Row {
        std::int64_t id;
        std::vector<Value> values;
    };

    void requireOpen() const;
    void requireBrowse();
    void invalidateKeys();
    void ensureKeys();
    std::string filterSql(int firstParam) const;  // " WHERE ..." of the master link
    void bindFilter(Statement& s) const;
    std::string orderSql() const;
    void resolveIndex();
    bool loadRow(std::int64_t id, std::vector<Value>& into);
    void moveTo(std::int64_t id, long long pos);
    void moveToNothing();
    void masterMoved();
    void masterGone();
    void notify(TableEvent event);
    std::vector<Value> linkValues() const;  // of the master's current row
    bool orderOrLinkChanged() const;

    TDatabase& db_;
    std::string tableName_;
    std::string stored_;  // the table's name as stored
    bool exclusive_ = false;

    std::string indexName_;
    std::string indexFieldNames_;
    std::vector<int> orderFields_;  // field positions of the current index
    bool orderBinary_ = false;      // a secondary index that heeds case

    TOrvTable* master_ = nullptr;
    std::vector<std::string> linkNames_;
    std::vector<int> linkFields_;    // positions in this table
    std::vector<Value> linkValues_;  // the master row being followed
    Subscription masterSubscription_;

    std::vector<std::int64_t> keys_;
    bool keysValid_ = false;
    bool hasRow_ = false;
    std::int64_t current_ = 0;
    long long pos_ = -1;
    std::vector<Value> original_;    // the record as it was before edit
    std::int64_t beforeInsert_ = 0;  // the row to go back to on cancel
    bool hadRowBeforeInsert_ = false;

    std::vector<Row> rowCache_;
    std::shared_ptr<Subscription::Listeners> listeners_;

    // The SQL of the row statements, made when the table opens.
    std::string selectRowSql_, insertSql_, updateSql_, deleteSql_;
};

// The name the rest of the register knows its table objects by.
using TOrvParadoxTable = TOrvTable;

}  // namespace lagrull::data
