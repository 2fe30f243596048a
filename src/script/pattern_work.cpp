#include "script/pattern_work.h"

#include <cmath>

namespace lagrull::script_detail {

namespace {

// The index after the set that starts at `at` ("[" ... "]"); the first
// character of the set (after a "^") is taken as it is, even a "]".
std::size_t setEnd(std::string_view p, std::size_t at) {
    std::size_t i = at + 1;
    if (i < p.size() && p[i] == '^') ++i;
    do {
        if (i >= p.size()) return p.size();
        if (p[i] == '%') ++i;
        ++i;
    } while (i < p.size() && p[i] != ']');
    return i + 1;
}

}  // namespace

double patternWorkBound(std::string_view p, std::size_t subjectLength) {
    const double choices = static_cast<double>(subjectLength) + 1;
    std::size_t i = 0;
    const bool anchored = !p.empty() && p[0] == '^';
    if (anchored) ++i;
    int repeated = 0, optional = 0;
    while (i < p.size()) {
        const char c = p[i];
        if (c == '(' || c == ')') {
            ++i;
            continue;
        }
        if (c == '%' && i + 1 < p.size() && p[i + 1] == 'b') {
            ++repeated;  // a balanced scan runs to the end of the subject
            i += 4;
            continue;
        }
        if (c == '%' && i + 1 < p.size() && p[i + 1] == 'f') {
            i = i + 2 < p.size() && p[i + 2] == '[' ? setEnd(p, i + 2) : p.size();
            continue;
        }
        // One single-character item: "%x", "[set]" or a character.
        i = c == '[' ? setEnd(p, i) : i + (c == '%' ? 2 : 1);
        if (i < p.size() && (p[i] == '*' || p[i] == '+' || p[i] == '-')) {
            ++repeated;
            ++i;
        } else if (i < p.size() && p[i] == '?') {
            ++optional;
            ++i;
        }
    }
    // The ends the repeated items choose never go back: of the (n+1)^k ways
    // only the ordered ones, C(n+k, k), are tried.
    double ends = 1;
    for (int j = 1; j <= repeated; ++j) ends *= (static_cast<double>(subjectLength) + j) / j;
    const double starts = anchored ? 1 : choices;
    return starts * ends * std::pow(2.0, optional) * static_cast<double>(p.size() + 1);
}

}  // namespace lagrull::script_detail
