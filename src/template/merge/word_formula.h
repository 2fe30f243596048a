#pragma once
// The formulas of word-processor fields ("=", IF and COMPARE operands):
// numbers with "," or "." as decimal mark, + - * / ^, unary minus,
// parentheses, the comparisons (1 or 0) and the functions ABS, INT, SIGN,
// TRUE, FALSE, NOT, ROUND, AND, OR, IF, SUM, PRODUCT, AVERAGE, MAX, MIN,
// COUNT and MOD; arguments are separated by ";".

#include <optional>
#include <string_view>

namespace lagrull {

// The formula's value; nullopt when the text is no complete formula or its
// value is not finite.
std::optional<double> evaluateWordFormula(std::string_view text);

}  // namespace lagrull
