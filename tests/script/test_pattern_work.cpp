#include <gtest/gtest.h>

#include "script/pattern_work.h"

using lagrull::script_detail::kPatternWorkLimit;
using lagrull::script_detail::patternWorkBound;

namespace {

// Starts × the ordered ends of the repeated items, C(n+k, k) × 2 per
// optional item × pattern length.
TEST(PatternWork, GrowsWithRepeatedAndOptionalItems) {
    EXPECT_DOUBLE_EQ(patternWorkBound("abc", 9), 10 * 4);
    EXPECT_DOUBLE_EQ(patternWorkBound("^abc", 9), 1 * 5);
    EXPECT_DOUBLE_EQ(patternWorkBound("a*b", 9), 10 * 10 * 4);
    EXPECT_DOUBLE_EQ(patternWorkBound("^.-.-", 9), 1 * 55 * 6);
    EXPECT_DOUBLE_EQ(patternWorkBound("a?b?", 9), 10 * 4 * 5);
    EXPECT_DOUBLE_EQ(patternWorkBound("%bxy", 9), 10 * 10 * 5);
}

// Escapes, sets and frontiers are single items; only what follows them counts.
TEST(PatternWork, ReadsEscapesSetsAndFrontiers) {
    EXPECT_DOUBLE_EQ(patternWorkBound("%*%+", 9), 10 * 5);         // escaped quantifiers
    EXPECT_DOUBLE_EQ(patternWorkBound("[]*]", 9), 10 * 5);         // "]" first in a set
    EXPECT_DOUBLE_EQ(patternWorkBound("[^%]]+", 9), 10 * 10 * 7);  // escaped "]" in a set
    EXPECT_DOUBLE_EQ(patternWorkBound("%f[%w]%w+", 9), 10 * 10 * 10);
    EXPECT_DOUBLE_EQ(patternWorkBound("(a)()", 9), 10 * 6);
    // A cut pattern ends the reading instead of reading past it.
    EXPECT_GT(patternWorkBound("[a", 9), 0);
    EXPECT_GT(patternWorkBound("%", 9), 0);
    EXPECT_GT(patternWorkBound("%f", 9), 0);
}

TEST(PatternWork, OrdinaryUseStaysWithinTheLimit) {
    EXPECT_LT(patternWorkBound("%s+", 4000), kPatternWorkLimit);
    EXPECT_LT(patternWorkBound("^(%S+)%s+(.*)$", 200), kPatternWorkLimit);
    EXPECT_GT(patternWorkBound(".-.-.-b", 30000), kPatternWorkLimit);
}

}  // namespace
