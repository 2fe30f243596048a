#pragma once
// TOrvQuery: a statement of the register's SQL dialect with named
// parameters. open() reads the whole result (so later writes to the tables
// do not move under a pass that walks it); execSQL() runs UPDATE, DELETE or
// INSERT and tells the rows changed.
//
// A live result: with setLiveTable() naming one table of a SELECT (and its
// alias), the result's rows can be edited and posted; the columns taken
// straight from that table are written back to its row, the others (other
// tables, computed columns) are read only.

#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "data/database.h"
#include "data/dataset.h"

namespace lagrull::data {

class TOrvQuery : public TDataSet {
public:
    explicit TOrvQuery(TDatabase& db) : db_(db) {}
    TDatabase& database() const { return db_; }

    // The SQL text as lines (the payment window rewrites single lines).
    void setSql(const std::string& text);
    std::vector<std::string>& sql() { return lines_; }
    const std::vector<std::string>& sql() const { return lines_; }
    std::string sqlText() const;

    // Parameters by name without the colon, any case. A parameter not set
    // is null.
    void setParam(const std::string& name, Value value);
    void setParamText(const std::string& name, const std::string& text) {
        setParam(name, Value(text));
    }
    void setParamInt(const std::string& name, std::int64_t value) { setParam(name, Value(value)); }
    void clearParams() { params_.clear(); }
    // The parameter names of the text, in order of first use.
    std::vector<std::string> paramNames();

    // Before open: the table whose rows the result edits ("mbetreg", "b").
    void setLiveTable(const std::string& table, const std::string& alias = {});
    void edit();
    void post();
    void cancel();

    // Translates and prepares the text: its errors come out here.
    void prepare();
    void open() override;
    void close() override;
    int execSQL();
    // True for a statement that yields rows (a SELECT).
    bool returnsRows();

    std::string displayName() const override { return "spørring"; }
    void first() override;
    void next() override;
    void prior() override;
    void last() override;
    long long recordCount() override;
    long long recNo() override;
    void setRecNo(long long recNo) override;

protected:
    bool fieldWritable(int index) const override;

private:
    friend class TOrvCursor;
    Statement statement();
    std::string liveSql() const;
    void browse();
    void bindParams(Statement& s) const;
    void load(long long pos);

    TDatabase& db_;
    std::vector<std::string> lines_;
    std::map<std::string, Value> params_;  // upper-case name → value
    std::vector<std::vector<Value>> rows_;
    long long pos_ = -1;

    std::string liveTable_, liveAlias_;
    std::vector<std::int64_t> rowIds_;      // of the live table, per row
    std::vector<std::string> liveColumns_;  // per field: its column there, or ""
    std::vector<Value> original_;
};

// Walks a query's result row by row without holding it, for passes over
// large results (a report of 100,000 claims). Takes the query's text and
// parameters as they stand; the query itself stays closed.
class TOrvCursor {
public:
    explicit TOrvCursor(TOrvQuery& query);
    bool next();  // to the first row, then the next ones; false at the end
    // A column by name without regard to case; -1 when missing.
    int columnIndex(std::string_view name) const;
    // The result's column names, upper case, in select order.
    const std::vector<std::string>& columnNames() const { return names_; }
    Value value(int column) const;       // as stored
    std::string text(int column) const;  // "" for null
    double number(int column) const;     // 0 for null or a text
    std::int64_t integer(int column) const;

private:
    Statement statement_;
    std::vector<std::string> names_;  // upper case
};

}  // namespace lagrull::data
