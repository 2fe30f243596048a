#pragma once
// TDataSet: what table objects and query results share: a state, a list of
// fields found by name without regard to case, the current record's values
// and the calculated fields.
//
// Invariants:
// - buffer_ holds one value per field (stored fields first, then the
//   calculated ones); in Inactive state it is empty.
// - A stored value always has its field's kind: texts of a String field are
//   cut to its width, Integer and Boolean are integers, Float is a double,
//   and a String field is never null once written ('').
// - Values are written only in Edit or Insert state; calculated fields only
//   while the calculation handler runs.

#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "common/error.h"
#include "data/table_def.h"
#include "data/value.h"

namespace lagrull::data {

class Statement;

// Raised by the field routines and the table objects.
class EOrvTableException : public Error {
public:
    using Error::Error;
};

enum class DataSetState { Inactive, Browse, Edit, Insert, CalcFields };

struct FieldSlot {
    std::string name;
    FieldType type = FieldType::String;
    int size = 0;  // String width; 0: no limit
    bool calculated = false;
};

class TDataSet {
public:
    virtual ~TDataSet() = default;
    TDataSet(const TDataSet&) = delete;
    TDataSet& operator=(const TDataSet&) = delete;

    DataSetState state() const { return state_; }
    bool active() const { return state_ != DataSetState::Inactive; }
    bool editing() const { return state_ == DataSetState::Edit || state_ == DataSetState::Insert; }
    // The name shown in messages.
    virtual std::string displayName() const = 0;

    virtual void open() = 0;
    virtual void close() = 0;
    virtual void first() = 0;
    virtual void next() = 0;
    virtual void prior() = 0;
    virtual void last() = 0;
    bool eof() const { return eof_; }
    bool bof() const { return bof_; }
    virtual long long recordCount() = 0;
    virtual long long recNo() = 0;  // 1-based; 0 when there is no record
    virtual void setRecNo(long long recNo) = 0;
    bool isEmpty() { return recordCount() == 0; }

    int fieldCount() const { return static_cast<int>(fields_.size()); }
    int findField(std::string_view name) const;   // -1 when missing
    int fieldIndex(std::string_view name) const;  // throws when missing
    const FieldSlot& field(int index) const { return fields_.at(static_cast<std::size_t>(index)); }
    const Value& value(int index) const;
    // Converts to the field's kind (see textToValue for texts).
    void setValue(int index, Value value);

    // A calculated String field, filled by onCalcFields for every record.
    void addCalculatedField(const std::string& name, FieldType type = FieldType::String,
                            int size = 0);
    std::function<void(TDataSet&)> onCalcFields;

protected:
    TDataSet() = default;
    // A stored field that the dataset cannot write back (a computed column of
    // a query) refuses values even in edit state.
    virtual bool fieldWritable(int /*index*/) const { return true; }
    // Stored fields of the opened dataset; the calculated ones are kept.
    void setStoredFields(std::vector<FieldSlot> stored);
    void clearFields();
    int storedFieldCount() const { return storedCount_; }
    // The stored fields' values of the statement's current row, in field
    // order, into `into` (sized for every field). Values written by SQL of
    // other programs may have another kind: they are made the field's kind,
    // or null where they cannot be.
    void readStoredRow(const Statement& row, std::vector<Value>& into) const;
    // Runs the calculation handler on the current buffer.
    void calculate();
    // Called after a stored value of the record being edited was written,
    // so that views showing the record can follow.
    virtual void valueWritten(int /*index*/) {}

    std::vector<FieldSlot> fields_;
    std::vector<Value> buffer_;
    DataSetState state_ = DataSetState::Inactive;
    bool eof_ = true;
    bool bof_ = true;

private:
    void rebuildNames();

    std::vector<FieldSlot> calculated_;
    int storedCount_ = 0;
    std::unordered_map<std::string, int> byName_;  // upper-case name → index
};

// A value in a field's kind. Texts: a String is cut to the width; an Integer
// or Float text must be a whole number (a Float may use "," or "." as its
// decimal point) and raises EOrvTableException otherwise; a Boolean text is
// read by its first letter; an empty text is null for the non-text kinds.
Value textToValue(const FieldSlot& field, std::string_view text);
Value coerceValue(const FieldSlot& field, Value value);
// A value as text: numbers in decimals with "," as the decimal point,
// booleans "True"/"False", null as "".
std::string valueToText(const FieldSlot& field, const Value& value);

// The leading decimal number of a text ("12,5 kr" → 12.5; "-3" → -3), 0 when
// it does not begin with a digit (or a minus sign and a digit).
double leadingDecimal(std::string_view text);
std::int64_t leadingInteger(std::string_view text);
// A text as a boolean: true when it begins with 1, J, S, T, X or Y (any case).
bool textIsTrue(std::string_view text);

}  // namespace lagrull::data
