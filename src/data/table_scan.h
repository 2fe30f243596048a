#pragma once
// TTableScan: one pass over all rows of a table in primary-key order, read
// by a single statement, for bulk copies that only read forward. It has no
// record numbers and cannot move back.

#include <optional>
#include <string>

#include "data/database.h"
#include "data/dataset.h"

namespace lagrull::data {

class TTableScan : public TDataSet {
public:
    TTableScan(TDatabase& db, std::string tableName) : db_(db), tableName_(std::move(tableName)) {}

    std::string displayName() const override { return tableName_; }
    void open() override;
    void close() override;
    void first() override;
    void next() override;
    void prior() override;
    void last() override;
    long long recordCount() override;
    long long recNo() override { return active() && !eof_ ? done_ : 0; }
    void setRecNo(long long) override;

private:
    void read();

    TDatabase& db_;
    std::string tableName_;
    std::string selectSql_, countSql_;
    std::optional<Statement> statement_;
    long long done_ = 0;
};

}  // namespace lagrull::data
