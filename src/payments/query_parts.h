#pragma once
// The parts of one member query as a bulk function hands them to the query
// builder: select items, tables, conditions, order items and parameters, in
// the register's SQL dialect. An item already present is not added again.

#include <string>
#include <utility>
#include <vector>

#include "data/value.h"

namespace lagrull {

struct QueryParts {
    std::vector<std::string> select, from, where, orderBy;
    std::vector<std::pair<std::string, data::Value>> params;

    void addSelect(const std::string& item) { addOnce(select, item); }
    void addFrom(const std::string& item) { addOnce(from, item); }
    void addWhere(const std::string& item) { addOnce(where, item); }
    void addOrderBy(const std::string& item) { addOnce(orderBy, item); }
    void addParam(const std::string& name, data::Value value);
    // Adds every part of `other` after the own ones.
    void append(const QueryParts& other);

    // "SELECT a, b FROM t1, t2 WHERE c1 AND c2 ORDER BY o1, o2".
    std::string sqlText() const;

private:
    static void addOnce(std::vector<std::string>& list, const std::string& item);
};

}  // namespace lagrull
