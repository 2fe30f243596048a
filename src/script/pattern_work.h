#pragma once
// A bound on the work of Lua's pattern matching. The matcher runs inside one
// instruction of the script, where the instruction budget cannot stop it,
// and its backtracking grows as a power of the subject's length: every
// repeated item ("*", "+", "-", "%b") may end anywhere after the one before
// it, every optional item ("?") doubles the tries, and an unanchored pattern
// is tried at every start. Safe mode refuses a call whose
// bound is past kPatternWorkLimit before it starts.

#include <cstddef>
#include <string_view>

namespace lagrull::script_detail {

// About a second of matching at most (a*b on 22,000 "a" takes that).
inline constexpr double kPatternWorkLimit = 2e9;

// The most steps `pattern` can take on a subject of `subjectLength` bytes
// (find, match, gmatch and gsub alike).
double patternWorkBound(std::string_view pattern, std::size_t subjectLength);

}  // namespace lagrull::script_detail
