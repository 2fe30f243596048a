#pragma once
// TQueryBuilder: collects the fragments of one SELECT of the register's SQL
// dialect (select items, from items, where conditions, order-by items) and
// its named parameters from several contributors, and turns them into the
// text and parameter values of a query.
//
// Invariants:
// - No list holds two items that differ only in case: a later equal item is
//   skipped, so two contributors may both name "medlreg m".
// - The first contributor of a parameter name wins; later values are ignored.
// - Conditions are only ever joined with AND.
// - Changed() tells whether anything was added; without it, or without a
//   select item, the text is empty.

#include <string>
#include <vector>

#include "reports/query_param.h"

namespace lagrull::data {
class TOrvQuery;
}

namespace lagrull::reports {

using TStringList = std::vector<std::string>;

class TQueryBuilder {
public:
    virtual ~TQueryBuilder() = default;

    void AddSelect(const TStringList& items) { add(select_, items); }
    void AddFrom(const TStringList& items) { add(from_, items); }
    void AddWhere(const TStringList& items) { add(where_, items); }
    void AddOrderBy(const TStringList& items) { add(orderBy_, items); }
    void AddParams(const TQueryParamList& params);

    bool Changed() const { return changed_; }
    const TStringList& SelectItems() const { return select_; }
    const TStringList& FromItems() const { return from_; }
    const TStringList& WhereItems() const { return where_; }
    const TStringList& OrderByItems() const { return orderBy_; }
    const TQueryParamList& Params() const { return params_; }

    // "select a,b from t u,v where A AND B  order by x,y"; see the header note.
    std::string BuildSql() const;
    // Puts the text into the query and sets each parameter of the list on it.
    // A parameter the text does not use fails with the engine's error.
    void PrepareQuery(data::TOrvQuery& query) const;

private:
    void add(TStringList& list, const TStringList& items);

    TStringList select_, from_, where_, orderBy_;
    TQueryParamList params_;
    bool changed_ = false;
};

// Leading and trailing blanks removed, every inner run of blanks made one.
std::string normaliseSqlItem(const std::string& item);

}  // namespace lagrull::reports
