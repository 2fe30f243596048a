#pragma once
// TOrvCommand: one statement of the register's SQL dialect (UPDATE, DELETE,
// INSERT or a SELECT of a few values) translated and prepared once and run
// many times with new parameter values, as the bulk passes do per member.
//
// Invariants:
// - The statement is prepared in the constructor; its errors come out there.
// - Parameters keep their values between runs until set anew; a parameter
//   never set is null.
// - Between runs the statement is reset, so a parameter may be set at any
//   time.

#include <string>
#include <unordered_map>
#include <vector>

#include "data/database.h"

namespace lagrull::data {

class TOrvCommand {
public:
    TOrvCommand(TDatabase& db, const std::string& localSql);

    // By name without the colon, any case; an unknown name is an error.
    void setParam(const std::string& name, const Value& value);
    // The number of a parameter, for passes that set the same ones for every
    // row without looking names up; an unknown name is an error.
    int paramIndex(const std::string& name) const;
    // By number. The value is not copied: it must stay alive and unchanged
    // until the next execute() or firstRow() has run.
    void setParamRef(int index, const Value& value) { statement_.bind(index, value, false); }
    // Runs an UPDATE, DELETE or INSERT; the rows changed.
    int execute();
    // Runs a SELECT: the first row's values, empty when it yields none.
    std::vector<Value> firstRow();

private:
    Statement statement_;
    std::unordered_map<std::string, int> index_;  // name → parameter number
};

}  // namespace lagrull::data
