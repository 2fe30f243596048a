#include "data/orv_query.h"

#include <algorithm>

#include "common/text_codec.h"
#include "data/sql_dialect.h"

namespace lagrull::data {

void TOrvQuery::setSql(const std::string& text) {
    close();
    lines_.clear();
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines_.push_back(std::move(line));
        start = end + 1;
    }
}

std::string TOrvQuery::sqlText() const {
    std::string text;
    for (const std::string& l : lines_) text += l + "\n";
    return text;
}

void TOrvQuery::setParam(const std::string& name, Value value) {
    std::string key = upperCase(name);
    if (!key.empty() && key[0] == ':') key.erase(0, 1);
    params_[key] = std::move(value);
}

Statement TOrvQuery::statement() { return db_.prepare(translateLocalSql(sqlText())); }

void TOrvQuery::bindParams(Statement& s) const {
    for (int i = 1; i <= s.parameterCount(); ++i) {
        const auto it = params_.find(upperCase(s.parameterName(i)));
        s.bind(i, it == params_.end() ? Value() : it->second);
    }
}

std::vector<std::string> TOrvQuery::paramNames() {
    Statement s = statement();
    std::vector<std::string> out;
    for (int i = 1; i <= s.parameterCount(); ++i) out.push_back(s.parameterName(i));
    return out;
}

void TOrvQuery::prepare() { statement(); }

bool TOrvQuery::returnsRows() { return statement().columnCount() > 0; }

void TOrvQuery::open() {
    close();
    Statement s = statement();
    bindParams(s);
    std::vector<FieldSlot> slots;
    for (int c = 0; c < s.columnCount(); ++c) {
        FieldSlot slot{s.columnName(c), FieldType::String, 0, false};
        // A column taken straight from a table keeps that field's kind.
        const std::string table = s.originTable(c), column = s.originColumn(c);
        if (!table.empty()) {
            for (const TFieldInfo& f : readFieldDefs(db_, table))
                if (upperCase(f.Name) == upperCase(column)) {
                    slot.type = f.DataType;
                    slot.size = f.Size;
                }
        }
        slots.push_back(std::move(slot));
    }
    std::vector<std::vector<Value>> rows;
    while (s.step()) {
        std::vector<Value> row;
        row.reserve(slots.size());
        for (int c = 0; c < s.columnCount(); ++c) row.push_back(s.column(c));
        rows.push_back(std::move(row));
    }
    setStoredFields(std::move(slots));
    rows_ = std::move(rows);
    state_ = DataSetState::Browse;
    first();
}

void TOrvQuery::close() {
    state_ = DataSetState::Inactive;
    rows_.clear();
    pos_ = -1;
    eof_ = bof_ = true;
    clearFields();
}

int TOrvQuery::execSQL() {
    close();
    Statement s = statement();
    bindParams(s);
    return s.execute();
}

void TOrvQuery::load(long long pos) {
    pos_ = pos;
    if (pos < 0 || pos >= static_cast<long long>(rows_.size())) {
        buffer_.assign(fields_.size(), Value());
    } else {
        buffer_ = rows_[static_cast<std::size_t>(pos)];
        buffer_.resize(fields_.size());
    }
    calculate();
}

void TOrvQuery::first() {
    if (!active()) throw EOrvTableException("Table closed");
    bof_ = true;
    eof_ = rows_.empty();
    load(rows_.empty() ? -1 : 0);
}

void TOrvQuery::next() {
    if (!active()) throw EOrvTableException("Table closed");
    if (pos_ + 1 >= static_cast<long long>(rows_.size())) {
        eof_ = true;
        return;
    }
    bof_ = false;
    load(pos_ + 1);
}

void TOrvQuery::prior() {
    if (!active()) throw EOrvTableException("Table closed");
    if (pos_ <= 0) {
        bof_ = true;
        return;
    }
    eof_ = false;
    load(pos_ - 1);
}

void TOrvQuery::last() {
    if (!active()) throw EOrvTableException("Table closed");
    eof_ = true;
    bof_ = rows_.empty();
    load(static_cast<long long>(rows_.size()) - 1);
}

long long TOrvQuery::recordCount() {
    if (!active()) throw EOrvTableException("Table closed");
    return static_cast<long long>(rows_.size());
}

long long TOrvQuery::recNo() { return active() && pos_ >= 0 ? pos_ + 1 : 0; }

void TOrvQuery::setRecNo(long long recNo) {
    if (!active()) throw EOrvTableException("Table closed");
    if (rows_.empty()) return;
    eof_ = bof_ = false;
    load(std::clamp<long long>(recNo - 1, 0, static_cast<long long>(rows_.size()) - 1));
}

}  // namespace lagrull::data
