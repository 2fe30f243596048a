#include "data/field_access.h"

namespace lagrull::data {

namespace {

const Value& readValue(const TDataSet& ds, std::string_view field, int& index) {
    if (!ds.active()) throw EOrvTableException("Table closed");
    index = ds.fieldIndex(field);
    return ds.value(index);
}

int writableField(TDataSet& ds, std::string_view field) {
    if (!ds.editing()) {
        // A calculation handler may fill its calculated fields.
        const int i = ds.state() == DataSetState::CalcFields ? ds.findField(field) : -1;
        if (i < 0 || !ds.field(i).calculated)
            throw EOrvTableException("Table closed or in readonly state");
        return i;
    }
    return ds.fieldIndex(field);
}

}  // namespace

std::string FieldText(const TDataSet& ds, std::string_view field) {
    int i = 0;
    const Value& v = readValue(ds, field, i);
    return valueToText(ds.field(i), v);
}

std::int64_t FieldInt(const TDataSet& ds, std::string_view field) {
    return leadingInteger(FieldText(ds, field));
}

double FieldFloat(const TDataSet& ds, std::string_view field) {
    int i = 0;
    const Value& v = readValue(ds, field, i);
    // A stored number reads as its own value: its text would say the same
    // with fewer digits.
    if (const auto* d = std::get_if<double>(&v)) return *d;
    if (const auto* n = std::get_if<std::int64_t>(&v); n && ds.field(i).type != FieldType::Boolean)
        return static_cast<double>(*n);
    return leadingDecimal(valueToText(ds.field(i), v));
}

bool FieldBool(const TDataSet& ds, std::string_view field) {
    return textIsTrue(FieldText(ds, field));
}

void SetFieldText(TDataSet& ds, std::string_view field, std::string_view text) {
    const int i = writableField(ds, field);
    ds.setValue(i, Value(std::string(text)));
}

void SetFieldInt(TDataSet& ds, std::string_view field, std::int64_t value) {
    SetFieldText(ds, field, std::to_string(value));
}

void SetFieldFloat(TDataSet& ds, std::string_view field, double value) {
    const int i = writableField(ds, field);
    ds.setValue(i, Value(value));
}

void SetFieldBool(TDataSet& ds, std::string_view field, bool value) {
    const int i = writableField(ds, field);
    if (ds.field(i).type == FieldType::String)
        ds.setValue(i, Value(std::string(value ? "T" : "F")));
    else
        ds.setValue(i, Value(std::int64_t(value ? 1 : 0)));
}

void ClearField(TDataSet& ds, std::string_view field) {
    const int i = writableField(ds, field);
    ds.setValue(i, Value());
}

}  // namespace lagrull::data
