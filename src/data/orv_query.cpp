#include "data/orv_query.h"

#include <algorithm>

#include "common/text_codec.h"
#include "data/sql_dialect.h"
#include "data/table_def.h"

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

namespace {
constexpr const char* kRowIdColumn = "LIVE$ROWID";
}

void TOrvQuery::setLiveTable(const std::string& table, const std::string& alias) {
    close();
    liveTable_ = table;
    liveAlias_ = alias;
}

// The text with the live table's row id as the first column.
std::string TOrvQuery::liveSql() const {
    const std::string text = sqlText();
    std::size_t start = text.find_first_not_of(" \t\r\n");
    if (start == std::string::npos || upperCase(text.substr(start, 6)) != "SELECT")
        throw EOrvTableException("Bare en SELECT kan gi et redigerbart resultat");
    std::size_t after = start + 6;
    const std::size_t next = text.find_first_not_of(" \t\r\n", after);
    if (next != std::string::npos && upperCase(text.substr(next, 8)) == "DISTINCT")
        throw EOrvTableException("En spørring med DISTINCT kan ikke redigeres");
    const std::string owner = liveAlias_.empty() ? quoteName(liveTable_) : liveAlias_;
    return text.substr(0, after) + " " + owner + ".rowid AS " + quoteName(kRowIdColumn) + "," +
           text.substr(after);
}

Statement TOrvQuery::statement() {
    return db_.prepare(translateLocalSql(liveTable_.empty() ? sqlText() : liveSql()));
}

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
    const int firstColumn = liveTable_.empty() ? 0 : 1;  // the live row id comes first
    std::vector<FieldSlot> slots;
    std::vector<std::string> liveColumns;
    for (int c = firstColumn; c < s.columnCount(); ++c) {
        FieldSlot slot{s.columnName(c), FieldType::String, 0, false};
        liveColumns.push_back(!liveTable_.empty() && upperCase(s.originTable(c)) ==
                                                         upperCase(baseTableName(liveTable_))
                                  ? s.originColumn(c)
                                  : std::string());
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
    std::vector<std::int64_t> ids;
    while (s.step()) {
        std::vector<Value> row;
        row.reserve(slots.size());
        for (int c = firstColumn; c < s.columnCount(); ++c) row.push_back(s.column(c));
        rows.push_back(std::move(row));
        if (firstColumn) ids.push_back(s.columnInt(0));
    }
    setStoredFields(std::move(slots));
    rows_ = std::move(rows);
    rowIds_ = std::move(ids);
    liveColumns_ = std::move(liveColumns);
    state_ = DataSetState::Browse;
    first();
}

// Moving on posts an edited row, as a table does.
void TOrvQuery::browse() {
    if (!active()) throw EOrvTableException("Table closed");
    if (editing()) post();
}

bool TOrvQuery::fieldWritable(int index) const {
    return index < static_cast<int>(liveColumns_.size()) &&
           !liveColumns_[static_cast<std::size_t>(index)].empty();
}

void TOrvQuery::edit() {
    if (!active()) throw EOrvTableException("Table closed");
    if (liveTable_.empty()) throw EOrvTableException("Table closed or in readonly state");
    if (editing()) return;
    if (pos_ < 0) throw EOrvTableException("Resultatet er tomt");
    original_ = buffer_;
    state_ = DataSetState::Edit;
}

void TOrvQuery::post() {
    if (!editing()) return;
    std::string sets;
    std::vector<const Value*> values;
    for (int f = 0; f < storedFieldCount(); ++f) {
        const std::size_t i = static_cast<std::size_t>(f);
        if (liveColumns_[i].empty() || buffer_[i] == original_[i]) continue;
        values.push_back(&buffer_[i]);
        sets += (sets.empty() ? "" : ", ") + quoteName(liveColumns_[i]) + " = ?" +
                std::to_string(values.size());
    }
    if (!sets.empty()) {
        Statement s = db_.prepare("UPDATE " + quoteName(baseTableName(liveTable_)) + " SET " +
                                  sets + " WHERE rowid = ?" + std::to_string(values.size() + 1));
        for (std::size_t v = 0; v < values.size(); ++v) s.bind(static_cast<int>(v + 1), *values[v]);
        s.bind(static_cast<int>(values.size() + 1), Value(rowIds_[static_cast<std::size_t>(pos_)]));
        if (s.execute() == 0) throw EDatabaseError("Posten finnes ikke lenger i " + liveTable_, 0);
    }
    rows_[static_cast<std::size_t>(pos_)].assign(buffer_.begin(),
                                                 buffer_.begin() + storedFieldCount());
    state_ = DataSetState::Browse;
    calculate();
}

void TOrvQuery::cancel() {
    if (!editing()) return;
    buffer_ = original_;
    state_ = DataSetState::Browse;
}

void TOrvQuery::close() {
    state_ = DataSetState::Inactive;
    rows_.clear();
    rowIds_.clear();
    liveColumns_.clear();
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
    browse();
    bof_ = true;
    eof_ = rows_.empty();
    load(rows_.empty() ? -1 : 0);
}

void TOrvQuery::next() {
    browse();
    if (pos_ + 1 >= static_cast<long long>(rows_.size())) {
        eof_ = true;
        return;
    }
    bof_ = false;
    load(pos_ + 1);
}

void TOrvQuery::prior() {
    browse();
    if (pos_ <= 0) {
        bof_ = true;
        return;
    }
    eof_ = false;
    load(pos_ - 1);
}

void TOrvQuery::last() {
    browse();
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
    browse();
    if (rows_.empty()) return;
    eof_ = bof_ = false;
    load(std::clamp<long long>(recNo - 1, 0, static_cast<long long>(rows_.size()) - 1));
}

TOrvCursor::TOrvCursor(TOrvQuery& query) : statement_(query.statement()) {
    query.bindParams(statement_);
    for (int c = 0; c < statement_.columnCount(); ++c)
        names_.push_back(upperCase(statement_.columnName(c)));
}

bool TOrvCursor::next() { return statement_.step(); }

int TOrvCursor::columnIndex(std::string_view name) const {
    const auto it = std::find(names_.begin(), names_.end(), upperCase(std::string(name)));
    return it == names_.end() ? -1 : static_cast<int>(it - names_.begin());
}

std::string TOrvCursor::text(int column) const {
    Value v = statement_.column(column);
    if (auto* t = std::get_if<std::string>(&v)) return std::move(*t);
    if (const auto* i = std::get_if<std::int64_t>(&v)) return std::to_string(*i);
    if (std::holds_alternative<double>(v)) return valueToText({"", FieldType::Float}, v);
    return {};
}

double TOrvCursor::number(int column) const {
    const Value v = statement_.column(column);
    if (const auto* d = std::get_if<double>(&v)) return *d;
    if (const auto* i = std::get_if<std::int64_t>(&v)) return static_cast<double>(*i);
    return 0;
}

std::int64_t TOrvCursor::integer(int column) const {
    const Value v = statement_.column(column);
    if (const auto* i = std::get_if<std::int64_t>(&v)) return *i;
    if (const auto* d = std::get_if<double>(&v)) return static_cast<std::int64_t>(*d);
    if (const auto* t = std::get_if<std::string>(&v)) return leadingInteger(*t);
    return 0;
}

}  // namespace lagrull::data
