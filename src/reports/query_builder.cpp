#include "reports/query_builder.h"

#include <algorithm>

#include "common/text_codec.h"
#include "data/database.h"
#include "data/orv_query.h"

namespace lagrull::reports {

namespace {

std::string joined(const TStringList& items) {
    std::string text;
    for (const std::string& item : items)
        text += (text.empty() ? "" : ",") + normaliseSqlItem(item);
    return text;
}

}  // namespace

std::string normaliseSqlItem(const std::string& item) {
    std::string out;
    bool blank = false;
    for (const char c : item) {
        if (c == ' ' || c == '\t' || c == '\r' || c == '\n') {
            blank = true;
            continue;
        }
        if (blank && !out.empty()) out += ' ';
        blank = false;
        out += c;
    }
    return out;
}

void TQueryBuilder::add(TStringList& list, const TStringList& items) {
    for (const std::string& item : items) {
        const std::string key = upperCase(item);
        if (std::any_of(list.begin(), list.end(),
                        [&](const std::string& held) { return upperCase(held) == key; }))
            continue;
        list.push_back(item);
        changed_ = true;
    }
}

void TQueryBuilder::AddParams(const TQueryParamList& params) {
    changed_ = true;
    for (int i = 0; i < params.Count(); ++i) {
        const TQueryParam& p = params.Items(i);
        if (params_.IndexOfName(p.Name) < 0) params_.Add(p.Name, p.Value, p.Type);
    }
}

std::string TQueryBuilder::BuildSql() const {
    if (!changed_ || select_.empty()) return {};
    std::string sql = "select " + joined(select_);
    if (!from_.empty()) sql += " from " + joined(from_);
    if (!where_.empty()) {
        sql += " where ";
        for (std::size_t i = 0; i < where_.size(); ++i)
            sql += (i ? "AND " : "") + normaliseSqlItem(where_[i]) + " ";
    }
    if (!orderBy_.empty()) {
        // Of the first item only what follows its first blank counts, so an
        // item may carry a leading word of its own ("order m.enavn").
        TStringList items = orderBy_;
        std::string first = normaliseSqlItem(items.front());
        if (const std::size_t blank = first.find(' '); blank != std::string::npos)
            first.erase(0, blank + 1);
        items.front() = first;
        sql += " order by " + joined(items);
    }
    return sql;
}

void TQueryBuilder::PrepareQuery(data::TOrvQuery& query) const {
    query.setSql(BuildSql());
    query.clearParams();
    if (params_.Count() == 0) return;
    std::vector<std::string> used;
    for (const std::string& name : query.paramNames()) used.push_back(upperCase(name));
    for (int i = 0; i < params_.Count(); ++i) {
        const std::string& name = params_.Items(i).Name;
        if (std::find(used.begin(), used.end(), upperCase(name)) == used.end())
            throw data::EDatabaseError("Parameteren " + name + " finnes ikke i spørringen.", 0);
        params_.ApplyParam(query, name);
    }
}

}  // namespace lagrull::reports
