#include "data/dataset.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>

#include "common/text_codec.h"
#include "data/database.h"
#include "data/table_def.h"

namespace lagrull::data {

namespace {

std::string_view trimmed(std::string_view t) {
    while (!t.empty() && (t.front() == ' ' || t.front() == '\t')) t.remove_prefix(1);
    while (!t.empty() && (t.back() == ' ' || t.back() == '\t')) t.remove_suffix(1);
    return t;
}

// Length of the leading "-?digits[,digits]" (with `point` as the decimal
// point, 0 for none); 0 when there is no digit.
std::size_t numberLength(std::string_view t, char point) {
    std::size_t i = (!t.empty() && t[0] == '-') ? 1 : 0;
    const std::size_t digits = i;
    while (i < t.size() && t[i] >= '0' && t[i] <= '9') ++i;
    if (i == digits) return 0;
    if (point && i < t.size() && t[i] == point) {
        ++i;
        while (i < t.size() && t[i] >= '0' && t[i] <= '9') ++i;
    }
    return i;
}

double parseDecimal(std::string_view t) {
    std::string s(t);
    for (char& c : s)
        if (c == ',') c = '.';
    double v = 0;
    std::from_chars(s.data(), s.data() + s.size(), v);
    return v;
}

std::string floatText(double v) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.15g", v);
    std::string s = buf;
    for (char& c : s)
        if (c == '.') c = ',';
    return s;
}

}  // namespace

bool textIsTrue(std::string_view text) {
    if (text.empty()) return false;
    switch (text[0]) {
        case '1':
        case 'J':
        case 'j':
        case 'S':
        case 's':
        case 'T':
        case 't':
        case 'X':
        case 'x':
        case 'Y':
        case 'y': return true;
        default: return false;
    }
}

double leadingDecimal(std::string_view text) {
    const std::size_t n = numberLength(text, ',');
    return n ? parseDecimal(text.substr(0, n)) : 0.0;
}

std::int64_t leadingInteger(std::string_view text) {
    const std::size_t n = numberLength(text, 0);
    std::int64_t v = 0;
    if (n) std::from_chars(text.data(), text.data() + n, v);
    return v;
}

Value textToValue(const FieldSlot& field, std::string_view text) {
    if (field.type == FieldType::String) return Value(std::string(fittedText(text, field.size)));
    const std::string_view t = trimmed(text);
    if (t.empty()) return Value();
    switch (field.type) {
        case FieldType::Integer: {
            std::int64_t v = 0;
            const auto [end, ec] = std::from_chars(t.data(), t.data() + t.size(), v);
            if (ec != std::errc() || end != t.data() + t.size() || v < INT32_MIN || v > INT32_MAX)
                throw EOrvTableException("'" + std::string(text) +
                                         "' er ikke et gyldig heltall for feltet " + field.name);
            return Value(v);
        }
        case FieldType::Float: {
            const std::size_t n =
                numberLength(t, t.find(',') != std::string_view::npos ? ',' : '.');
            if (n != t.size())
                throw EOrvTableException("'" + std::string(text) +
                                         "' er ikke et gyldig tall for feltet " + field.name);
            return Value(parseDecimal(t));
        }
        case FieldType::Boolean: return Value(std::int64_t(textIsTrue(t) ? 1 : 0));
        case FieldType::String: break;
    }
    return Value();
}

Value coerceValue(const FieldSlot& field, Value value) {
    if (isNull(value)) return field.type == FieldType::String ? Value(std::string()) : Value();
    if (auto* s = std::get_if<std::string>(&value)) {
        // Most texts fit: they go as they are.
        if (field.type == FieldType::String &&
            (field.size <= 0 || s->size() <= static_cast<std::size_t>(field.size)))
            return value;
        return textToValue(field, *s);
    }
    switch (field.type) {
        case FieldType::String:
            return textToValue(field, valueToText(FieldSlot{"", FieldType::Float}, value));
        case FieldType::Integer:
            if (const auto* d = std::get_if<double>(&value))
                return Value(static_cast<std::int64_t>(std::llround(*d)));
            return value;
        case FieldType::Boolean:
            if (const auto* d = std::get_if<double>(&value)) return Value(std::int64_t(*d != 0));
            return Value(std::int64_t(std::get<std::int64_t>(value) != 0));
        case FieldType::Float:
            if (const auto* i = std::get_if<std::int64_t>(&value))
                return Value(static_cast<double>(*i));
            return value;
    }
    return value;
}

std::string valueToText(const FieldSlot& field, const Value& value) {
    if (const auto* s = std::get_if<std::string>(&value)) return *s;
    if (const auto* i = std::get_if<std::int64_t>(&value)) {
        if (field.type == FieldType::Boolean) return *i ? "True" : "False";
        return std::to_string(*i);
    }
    if (const auto* d = std::get_if<double>(&value)) {
        if (field.type == FieldType::Boolean) return *d != 0 ? "True" : "False";
        return floatText(*d);
    }
    return {};
}

// --- TDataSet ------------------------------------------------------------

int TDataSet::findField(std::string_view name) const {
    const auto it = byName_.find(upperCase(name));
    return it == byName_.end() ? -1 : it->second;
}

int TDataSet::fieldIndex(std::string_view name) const {
    const int i = findField(name);
    if (i < 0)
        throw EOrvTableException("Feltet " + std::string(name) + " finnes ikke i " + displayName());
    return i;
}

const Value& TDataSet::value(int index) const {
    if (!active()) throw EOrvTableException("Table closed");
    return buffer_.at(static_cast<std::size_t>(index));
}

void TDataSet::setValue(int index, Value value) {
    const FieldSlot& f = field(index);
    const bool allowed = f.calculated ? state_ == DataSetState::CalcFields : editing();
    if (!allowed) throw EOrvTableException("Table closed or in readonly state");
    if (!f.calculated && !fieldWritable(index))
        throw EOrvTableException("Feltet " + f.name + " kan ikke endres");
    buffer_.at(static_cast<std::size_t>(index)) = coerceValue(f, std::move(value));
    if (!f.calculated) valueWritten(index);
}

void TDataSet::addCalculatedField(const std::string& name, FieldType type, int size) {
    if (active()) throw EOrvTableException("Kan ikke legge til felt i en åpen tabell");
    calculated_.push_back({name, type, size, true});
    rebuildNames();
}

void TDataSet::setStoredFields(std::vector<FieldSlot> stored) {
    storedCount_ = static_cast<int>(stored.size());
    fields_ = std::move(stored);
    rebuildNames();
}

void TDataSet::clearFields() {
    storedCount_ = 0;
    fields_.clear();
    buffer_.clear();
    rebuildNames();
}

void TDataSet::rebuildNames() {
    fields_.resize(static_cast<std::size_t>(storedCount_));
    fields_.insert(fields_.end(), calculated_.begin(), calculated_.end());
    byName_.clear();
    // A calculated field hides a stored one of the same name: the members'
    // display name NAVN is computed, while the table keeps an unused column
    // of that name.
    for (std::size_t i = 0; i < fields_.size(); ++i)
        byName_[upperCase(fields_[i].name)] = static_cast<int>(i);
}

void TDataSet::readStoredRow(const Statement& row, std::vector<Value>& into) const {
    into.resize(fields_.size());
    for (int i = 0; i < storedFieldCount(); ++i) {
        Value v = row.column(i);
        const FieldSlot& f = fields_[static_cast<std::size_t>(i)];
        if (f.type == FieldType::String ? !std::holds_alternative<std::string>(v)
                                        : std::holds_alternative<std::string>(v)) {
            try {
                v = coerceValue(f, std::move(v));
            } catch (const EOrvTableException&) {
                v = Value();
            }
        }
        into[static_cast<std::size_t>(i)] = std::move(v);
    }
}

void TDataSet::calculate() {
    buffer_.resize(fields_.size());
    for (std::size_t i = static_cast<std::size_t>(storedCount_); i < fields_.size(); ++i)
        buffer_[i] = fields_[i].type == FieldType::String ? Value(std::string()) : Value();
    if (!onCalcFields || calculated_.empty()) return;
    const DataSetState saved = state_;
    state_ = DataSetState::CalcFields;
    try {
        onCalcFields(*this);
    } catch (...) {
        state_ = saved;
        throw;
    }
    state_ = saved;
}

}  // namespace lagrull::data
