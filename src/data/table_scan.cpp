#include "data/table_scan.h"

#include "data/table_def.h"

namespace lagrull::data {

void TTableScan::open() {
    if (active()) return;
    std::string stored;
    if (!db_.tableExists(baseTableName(tableName_), &stored))
        throw EDatabaseError("Tabellen " + tableName_ + " finnes ikke", 0);
    std::vector<FieldSlot> slots;
    std::string cols, key;
    for (const TFieldInfo& f : readFieldDefs(db_, stored)) {
        slots.push_back({f.Name, f.DataType, f.Size, false});
        cols += (cols.empty() ? "" : ", ") + quoteName(f.Name);
        if (f.PrimaryKey) key += quoteName(f.Name) + ", ";
    }
    setStoredFields(std::move(slots));
    selectSql_ = "SELECT " + cols + " FROM " + quoteName(stored) + " ORDER BY " + key + "rowid";
    countSql_ = "SELECT count(*) FROM " + quoteName(stored);
    state_ = DataSetState::Browse;
    first();
}

void TTableScan::close() {
    statement_.reset();
    state_ = DataSetState::Inactive;
    eof_ = bof_ = true;
    clearFields();
}

void TTableScan::read() {
    if (!statement_->step()) {
        eof_ = true;
        statement_.reset();
        buffer_.assign(fields_.size(), Value());
        return;
    }
    ++done_;
    readStoredRow(*statement_, buffer_);
    calculate();
}

void TTableScan::first() {
    if (!active()) throw EOrvTableException("Table closed");
    statement_.reset();
    statement_.emplace(db_.prepare(selectSql_));
    done_ = 0;
    eof_ = false;
    bof_ = true;
    read();
}

void TTableScan::next() {
    if (!active()) throw EOrvTableException("Table closed");
    if (eof_) return;
    bof_ = false;
    read();
}

void TTableScan::prior() { throw EOrvTableException(tableName_ + " kan bare leses forover"); }
void TTableScan::last() { throw EOrvTableException(tableName_ + " kan bare leses forover"); }
void TTableScan::setRecNo(long long) {
    throw EOrvTableException(tableName_ + " kan bare leses forover");
}

long long TTableScan::recordCount() {
    if (!active()) throw EOrvTableException("Table closed");
    Statement s = db_.prepare(countSql_);
    s.step();
    return s.columnInt(0);
}

}  // namespace lagrull::data
