#include "payments/query_parts.h"

#include <algorithm>

#include "common/text_codec.h"

namespace lagrull {

namespace {

std::string joined(const std::vector<std::string>& items, const char* separator) {
    std::string out;
    for (const std::string& item : items) {
        if (!out.empty()) out += separator;
        out += item;
    }
    return out;
}

}  // namespace

void QueryParts::addOnce(std::vector<std::string>& list, const std::string& item) {
    if (std::find(list.begin(), list.end(), item) == list.end()) list.push_back(item);
}

void QueryParts::addParam(const std::string& name, data::Value value) {
    const std::string key = upperCase(name);
    for (auto& [existing, v] : params)
        if (upperCase(existing) == key) return;
    params.emplace_back(name, std::move(value));
}

void QueryParts::append(const QueryParts& other) {
    for (const auto& s : other.select) addSelect(s);
    for (const auto& s : other.from) addFrom(s);
    for (const auto& s : other.where) addWhere(s);
    for (const auto& s : other.orderBy) addOrderBy(s);
    for (const auto& [name, value] : other.params) addParam(name, value);
}

std::string QueryParts::sqlText() const {
    std::string sql = "SELECT " + joined(select, ", ") + " FROM " + joined(from, ", ");
    if (!where.empty()) sql += " WHERE " + joined(where, " AND ");
    if (!orderBy.empty()) sql += " ORDER BY " + joined(orderBy, ", ");
    return sql;
}

}  // namespace lagrull
