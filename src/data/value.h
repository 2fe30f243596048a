#pragma once
// One field value as the engine holds it. Null is a never-written field;
// every reader treats it as an empty text, 0 or false.

#include <cstdint>
#include <string>
#include <variant>

namespace lagrull::data {

using Value = std::variant<std::monostate, std::int64_t, double, std::string>;

inline bool isNull(const Value& v) { return std::holds_alternative<std::monostate>(v); }

}  // namespace lagrull::data
