#include "register/merge_database.h"

#include <variant>

#include "data/orv_query.h"

namespace lagrull {

namespace {

// The rows of an open query; the query has read its whole result.
class TQueryRows : public TMergeRows {
public:
    TQueryRows(data::TDatabase& database, const std::string& sql) : query_(database) {
        query_.setSql(sql);
        query_.open();
        for (int c = 0; c < query_.fieldCount(); ++c) names_.push_back(query_.field(c).name);
    }

    const std::vector<std::string>& columnNames() const override { return names_; }

    bool next(std::vector<TMergeCell>& row) override {
        if (started_) query_.next();
        started_ = true;
        if (query_.eof()) return false;
        row.clear();
        for (int c = 0; c < query_.fieldCount(); ++c) {
            const data::Value& v = query_.value(c);
            TMergeCell cell{cellText(query_.field(c), v), std::nullopt};
            if (const auto* i = std::get_if<std::int64_t>(&v))
                cell.number = static_cast<double>(*i);
            if (const auto* d = std::get_if<double>(&v)) cell.number = *d;
            row.push_back(std::move(cell));
        }
        return true;
    }

private:
    // A value's text in a table cell, without its carriage returns.
    static std::string cellText(const data::FieldSlot& slot, const data::Value& value) {
        std::string out;
        for (char c : data::valueToText(slot, value))
            if (c != '\r') out.push_back(c);
        return out;
    }

    data::TOrvQuery query_;
    std::vector<std::string> names_;
    bool started_ = false;
};

}  // namespace

std::unique_ptr<TMergeRows> TRegisterMergeDatabase::query(const std::string& sql) {
    return std::make_unique<TQueryRows>(database_, sql);
}

}  // namespace lagrull
