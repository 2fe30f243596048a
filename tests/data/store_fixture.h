#pragma once
// A connection on a fresh data directory, and small helpers to fill and read
// tables by SQL.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "data/database.h"
#include "data/orv_query.h"
#include "temp_dir.h"

namespace lagrull::test {

class StoreTest : public ::testing::Test {
protected:
    StoreTest() {
        db.setPath(dir.str());
        db.connect();
    }

    // Runs local SQL; the number of rows changed.
    int exec(const std::string& sql) {
        data::TOrvQuery q(db);
        q.setSql(sql);
        return q.execSQL();
    }

    // The rows of a local SQL query, each row's fields joined by "|".
    std::vector<std::string> rows(
        const std::string& sql,
        const std::vector<std::pair<std::string, data::Value>>& params = {}) {
        data::TOrvQuery q(db);
        q.setSql(sql);
        for (const auto& [name, value] : params) q.setParam(name, value);
        q.open();
        std::vector<std::string> out;
        for (; !q.eof(); q.next()) {
            std::string line;
            for (int f = 0; f < q.fieldCount(); ++f)
                line += (f ? "|" : "") + data::valueToText(q.field(f), q.value(f));
            out.push_back(line);
        }
        return out;
    }

    TempDir dir;
    data::TDatabase db;
};

}  // namespace lagrull::test
