#pragma once
// Named parameter values of a selection query, kept as text with a type code
// until they are applied to the query. Names are compared without regard to
// case; the first parameter of a name is the one that counts.

#include <cstdint>
#include <string>
#include <vector>

#include "data/value.h"

namespace lagrull::data {
class TOrvQuery;
}

namespace lagrull::reports {

// The type codes of a parameter.
enum TQueryParamType : std::int32_t {
    qpInteger = 3,
    qpFloat = 5,
    qpBoolean = 11,
    qpString = 256,
};

struct TQueryParam {
    std::string Name;   // as written after the colon in the SQL text
    std::string Value;  // the value as text
    std::int32_t Type = qpString;

    // The value by the type code: 3 an integer, 5 a floating-point number
    // (its first "," read as "."), 11 a boolean by the first letter (1, J, S,
    // T, X, Y true; anything else false), any other code the text. A text that
    // is not a number of its type raises Error.
    data::Value TypedValue() const;
};

class TQueryParamList {
public:
    void Clear() { items_.clear(); }
    // Appends; returns the new parameter's index.
    int Add(const std::string& name, const std::string& value, std::int32_t type);
    int AddString(const std::string& name, const std::string& value);
    int AddInteger(const std::string& name, std::int64_t value);

    int Count() const { return static_cast<int>(items_.size()); }
    const TQueryParam& Items(int index) const { return items_.at(static_cast<std::size_t>(index)); }
    // The first parameter of this name (any case), or -1.
    int IndexOfName(const std::string& name) const;

    // Sets the query's parameter `name` from the entry of that name; a name
    // the list does not hold leaves the query as it is.
    void ApplyParam(data::TOrvQuery& query, const std::string& name) const;

private:
    std::vector<TQueryParam> items_;
};

}  // namespace lagrull::reports
