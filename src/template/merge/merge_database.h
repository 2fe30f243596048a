#pragma once
// The template engine's window on a database: the DATABASE field (and the
// PRIVATE commands SQL and DATA) runs its query through this interface, so
// the engine needs no database code of its own. The programs hand the
// engine an adapter on the register's database; tests hand it a fake.

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace lagrull {

// One value of a result row: its text as the field shows it, and for
// numbers the value the column's sum ("Sum_Col_n") adds up.
struct TMergeCell {
    std::string text;
    std::optional<double> number;
};

// The rows of one query, read front to back.
class TMergeRows {
public:
    virtual ~TMergeRows() = default;
    virtual const std::vector<std::string>& columnNames() const = 0;
    // The next row into `row` (one cell per column); false after the last.
    virtual bool next(std::vector<TMergeCell>& row) = 0;
};

class TMergeDatabase {
public:
    virtual ~TMergeDatabase() = default;
    // Runs a query of the register's SQL dialect; throws lagrull::Error with
    // the database's own message when the text is wrong.
    virtual std::unique_ptr<TMergeRows> query(const std::string& sql) = 0;
};

}  // namespace lagrull
