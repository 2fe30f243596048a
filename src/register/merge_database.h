#pragma once
// The register's database as the template engine's query source: DATABASE
// fields in letters and reports run on the register's own tables.

#include "data/database.h"
#include "template/merge/merge_database.h"

namespace lagrull {

class TRegisterMergeDatabase : public TMergeDatabase {
public:
    explicit TRegisterMergeDatabase(data::TDatabase& database) : database_(database) {}
    std::unique_ptr<TMergeRows> query(const std::string& sql) override;

private:
    data::TDatabase& database_;
};

}  // namespace lagrull
