#include "data/orv_command.h"

#include "common/text_codec.h"
#include "data/sql_dialect.h"

namespace lagrull::data {

TOrvCommand::TOrvCommand(TDatabase& db, const std::string& localSql)
    : db_(db), statement_(db.prepare(translateLocalSql(localSql))) {}

void TOrvCommand::setParam(const std::string& name, const Value& value) {
    statement_.reset();
    const std::string wanted = upperCase(name);
    for (int i = 1; i <= statement_.parameterCount(); ++i)
        if (upperCase(statement_.parameterName(i)) == wanted) {
            statement_.bind(i, value);
            return;
        }
    throw EDatabaseError("Ukjent parameter :" + name, 0);
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
