#include "data/orv_command.h"

#include "common/text_codec.h"
#include "data/sql_dialect.h"

namespace lagrull::data {

TOrvCommand::TOrvCommand(TDatabase& db, const std::string& localSql)
    : statement_(db.prepare(translateLocalSql(localSql))) {
    // By the name as written (the usual look-up) and upper-cased (any case).
    for (int i = 1; i <= statement_.parameterCount(); ++i) {
        index_.emplace(statement_.parameterName(i), i);
        index_.emplace(upperCase(statement_.parameterName(i)), i);
    }
}

int TOrvCommand::paramIndex(const std::string& name) const {
    auto it = index_.find(name);
    if (it == index_.end()) it = index_.find(upperCase(name));
    if (it == index_.end()) throw EDatabaseError("Ukjent parameter :" + name, 0);
    return it->second;
}

void TOrvCommand::setParam(const std::string& name, const Value& value) {
    statement_.bind(paramIndex(name), value);
}

int TOrvCommand::execute() {
    statement_.reset();
    const int changed = statement_.execute();
    statement_.reset();  // ready for new values
    return changed;
}

std::vector<Value> TOrvCommand::firstRow() {
    statement_.reset();
    std::vector<Value> row;
    if (statement_.step())
        for (int c = 0; c < statement_.columnCount(); ++c) row.push_back(statement_.column(c));
    statement_.reset();
    return row;
}

}  // namespace lagrull::data
