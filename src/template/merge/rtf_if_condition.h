#pragma once
// The condition of "@IF(...)": comparisons in parentheses joined by AND,
// OR and XOR strictly left to right, with search(a; b) for "a occurs in b".

#include <string>

namespace lagrull {

// Evaluates the parameter text of an IF command. Throws ERtfIfCmd for an
// unknown operator or unbalanced parentheses.
bool evaluateIfCondition(const std::string& parameter);

// Replaces every search(a; b) by "(1=1)" or "(1=0)".
std::string replaceSearchCalls(const std::string& text);

}  // namespace lagrull
