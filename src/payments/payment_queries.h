#pragma once
// The two queries of payment registration that the main window owns: the
// selection query IBSelectQuery and the deletion query IBDeleteQuery. The
// payment window rewrites single lines of them (the view, the status filter,
// the sort order), so the main window puts their starting texts back before
// each opening.

#include <string>

#include "data/orv_query.h"

namespace lagrull {

// Line numbers of the selection query that the payment window rewrites.
enum SelectLine { kSelectViewLine = 6, kSelectStatusLine = 9, kSelectOrderLine = 13 };
// Line numbers of the deletion query.
enum DeleteLine { kDeleteViewLine = 1, kDeleteStatusLine = 4 };

const std::string& startingSelectSql();
const std::string& startingDeleteSql();

struct TPaymentQueries {
    explicit TPaymentQueries(data::TDatabase& db) : IBSelectQuery(db), IBDeleteQuery(db) {
        restore();
    }
    // Puts back the starting texts (and drops the parameters).
    void restore();

    data::TOrvQuery IBSelectQuery;
    data::TOrvQuery IBDeleteQuery;
};

}  // namespace lagrull
