#include <gtest/gtest.h>

#include <map>
#include <string>

#include "script/expression.h"

using namespace lagrull;

namespace {

struct Case {
    const char* text;
    double value;
};

void PrintTo(const Case& c, std::ostream* os) { *os << '"' << c.text << '"'; }

class ExpressionValues : public ::testing::TestWithParam<Case> {};

TEST_P(ExpressionValues, EvaluatesWithoutGetter) {
    EXPECT_DOUBLE_EQ(evaluateExpression(GetParam().text), GetParam().value);
}

INSTANTIATE_TEST_SUITE_P(Arithmetic, ExpressionValues,
                         ::testing::Values(Case{"2+3*4", 14}, Case{"2*3+4", 10}, Case{"7-2-1", 4},
                                           Case{"-5", -5}, Case{"2*-3", -6}, Case{"10/4", 2.5},
                                           Case{"1,5*2", 3}, Case{"", 0}, Case{"0,25+,5", 0.75},
                                           Case{"12/4/3", 1}, Case{"2*3*4-1", 23},
                                           Case{"8-2*3+1", 3}, Case{"1+2*3-4/2", 5}, Case{"2•3", 6},
                                           Case{"  1 \t+\n 2 ", 3}, Case{"1 0 0 * 2", 200},
                                           Case{"5.", 5}));

INSTANTIATE_TEST_SUITE_P(PowersBindIntoTheOperand, ExpressionValues,
                         ::testing::Values(Case{"2^3^2", 512}, Case{"2*3^2", 18}, Case{"-2^2", -4},
                                           Case{"2^-1", 0.5}, Case{"2^(1+2)", 8}, Case{"3^2", 9},
                                           Case{"2+3^2", 11}, Case{"(2+1)^2", 9},
                                           Case{"9^0,5", 3}));

INSTANTIATE_TEST_SUITE_P(Parentheses, ExpressionValues,
                         ::testing::Values(Case{"2(3+4)", 14}, Case{"(2)(3)", 6},
                                           Case{"(1+1)(2+3)", 10}, Case{"2*(3+4)", 14},
                                           Case{"((1+2)*(3+4))", 21}, Case{"-(2+3)", -5},
                                           Case{"10-(2-3)", 11}, Case{"(2+3", 5},
                                           Case{"2*(3+(4", 14}, Case{"1+(2)3", 4}));

INSTANTIATE_TEST_SUITE_P(ComparisonsSettleTheSum, ExpressionValues,
                         ::testing::Values(Case{"3=3", 1}, Case{"3<>3", 0}, Case{"2>=3", 0},
                                           Case{"1<2+3", 4}, Case{"3!=4", 1}, Case{"2<=2", 1},
                                           Case{"3>2", 1}, Case{"1+1=2", 1}, Case{"2*3=6", 1},
                                           Case{"5>-1", 1}, Case{"1=1=1", 1}, Case{"2=3+1", 1}));

INSTANTIATE_TEST_SUITE_P(LogicWorksOnTheTerm, ExpressionValues,
                         ::testing::Values(Case{"(1<2)&(3<4)", 1}, Case{"(1>2)|(3>4)", 0},
                                           Case{"(1>2)|(3<4)", 1}, Case{"2&3", 1}, Case{"0&5", 0},
                                           Case{"0|0", 0}, Case{"0|7", 1}, Case{"4+2&0", 0},
                                           Case{"(1<2)&(3<4)+5", 6}));

INSTANTIATE_TEST_SUITE_P(
    Functions, ExpressionValues,
    ::testing::Values(Case{"IF(1;5;7)", 5}, Case{"IF(0;5;7)", 7}, Case{"MIN(4;2;9)", 2},
                      Case{"MAX(4;2;9)", 9}, Case{"MINMAX(12;0;10)", 10},
                      Case{"MINMAX(-3;0;10)", 0}, Case{"POW(2;10)", 1024}, Case{"if(2>1;3;4)", 3},
                      Case{"max(min(5;3);2)", 3}, Case{"IF(MIN(1;0);10;MAX(2;POW(2;3)))", 8},
                      Case{"IF(1)", 0}, Case{"IF(0;1)", 0}, Case{"MINMAX(5)", 5},
                      Case{"MINMAX(-5;;3)", -5}, Case{"MINMAX(50;;3)", 3}, Case{"MIN(-1)", -1},
                      Case{"2*MAX(1;3)+1", 7}, Case{"MAX(1;2)(3)", 6}, Case{"IF(IF(0;1;0);5;6)", 6},
                      Case{"IF(0;1/0;2)", 2}, Case{"MIN(4; 2,5)", 2.5}));

INSTANTIATE_TEST_SUITE_P(NamesWithoutGetterAreZero, ExpressionValues,
                         ::testing::Values(Case{"abc+1", 1}, Case{"2*abc", 0}, Case{"X1+Y2+3", 3},
                                           Case{"3A", 0}));

class MapExpression : public TExpression {
public:
    explicit MapExpression(std::map<std::string, std::string> values) : values_(std::move(values)) {
        setValueGetter([this](const std::string& name) {
            asked.push_back(name);
            auto it = values_.find(name);
            return it == values_.end() ? std::string() : it->second;
        });
    }
    double value(const std::string& text) {
        setExpression(text);
        return evaluate();
    }
    std::vector<std::string> asked;

private:
    std::map<std::string, std::string> values_;
};

TEST(ExpressionNames, ValuesComeFromTheGetterAndMayBeFormulas) {
    MapExpression e({{"PRIS", "150,50"},
                     {"ANTALL", "2"},
                     {"SUM", "pris * antall"},
                     {"RABATT", "IF(SUM>300;10;0)"},
                     {"TOM", ""}});
    EXPECT_DOUBLE_EQ(e.value("pris*antall"), 301);
    EXPECT_DOUBLE_EQ(e.value("Sum - Rabatt"), 291);
    EXPECT_DOUBLE_EQ(e.value("tom+1"), 1);
    EXPECT_DOUBLE_EQ(e.value("ukjent*2+1"), 1);
    // Names are asked in upper case, as the prepared text has them.
    e.asked.clear();
    e.value("antall");
    EXPECT_EQ(e.asked, std::vector<std::string>{"ANTALL"});
}

TEST(ExpressionNames, OperandRuleTakesCharactersFromAUpwards) {
    // "^" and "|" lie above "A", so they belong to a name that precedes them.
    MapExpression e({{"A", "3"}, {"B", "4"}, {"A^2", "7"}, {"A|B", "1"}});
    EXPECT_DOUBLE_EQ(e.value("A^2"), 7);
    EXPECT_DOUBLE_EQ(e.value("A|B"), 1);
    EXPECT_DOUBLE_EQ(e.value("(A)^2"), 9);
    EXPECT_DOUBLE_EQ(e.value("A*B"), 12);
    // Argument groups are part of a name that is no function.
    e.asked.clear();
    EXPECT_DOUBLE_EQ(e.value("F(1)+1"), 1);
    EXPECT_EQ(e.asked, std::vector<std::string>{"F(1)"});
}

TEST(ExpressionNames, ShortCircuitSkipsTheGetter) {
    MapExpression e({{"A", "1"}, {"B", "2"}});
    e.value("0&A");
    e.value("1|A");
    e.value("IF(1;2;A)");
    EXPECT_TRUE(e.asked.empty());
    e.value("1&A");
    EXPECT_EQ(e.asked.size(), 1u);
}

TEST(ExpressionNames, SelfReferenceIsRefusedNotACrash) {
    MapExpression e({{"A", "A+1"}, {"B", "C"}, {"C", "B*2"}});
    EXPECT_THROW(e.value("A"), FormatError);
    EXPECT_THROW(e.value("B"), FormatError);
    EXPECT_DOUBLE_EQ(e.value("2+2"), 4);
}

// The message of the failure an evaluation raises ("" when none).
std::string failureOf(const std::string& text) {
    try {
        evaluateExpression(text);
    } catch (const Error& e) {
        return e.what();
    }
    return {};
}

TEST(ExpressionFailures, UnbalancedClosingParenthesis) {
    TExpression e("(1+2))");
    EXPECT_THROW(e.evaluate(), Error);
    // The next, balanced expression evaluates normally.
    e.setExpression("(1 + 2)");
    EXPECT_DOUBLE_EQ(e.evaluate(), 3);
    EXPECT_EQ(failureOf("(1+2))"), "OrvExpr - Unballanced parantees in (1+2))");
    // The message carries the prepared text.
    EXPECT_EQ(failureOf("min(1; 2))"), "OrvExpr - Unballanced parantees in MIN(1;2))");
    EXPECT_EQ(failureOf(")"), "OrvExpr - Unballanced parantees in )");
}

TEST(ExpressionFailures, UnbalancedInsideANameValue) {
    MapExpression e({{"A", "2)"}, {"B", "1"}});
    EXPECT_THROW(e.value("A+1"), Error);
    EXPECT_DOUBLE_EQ(e.value("1+1"), 2);
}

TEST(ExpressionFailures, FloatingPointFailuresRaise) {
    EXPECT_THROW(evaluateExpression("1/0"), EZeroDivide);
    EXPECT_THROW(evaluateExpression("5/(2-2)"), EZeroDivide);
    EXPECT_THROW(evaluateExpression("0/0"), EInvalidOp);
    EXPECT_THROW(evaluateExpression("0^-1"), EZeroDivide);
    EXPECT_THROW(evaluateExpression("POW(-8;1/3)"), EInvalidOp);
    EXPECT_THROW(evaluateExpression("10^400"), EOverflow);
    EXPECT_THROW(evaluateExpression("POW(10;200)*POW(10;200)"), EOverflow);
    EXPECT_THROW(evaluateExpression(std::string(400, '9')), EOverflow);
    EXPECT_EQ(failureOf("7 / 0"), "Divisjon med null i 7/0");
}

TEST(ExpressionFailures, MalformedNumberIsReported) {
    EXPECT_THROW(evaluateExpression("1.2.3+1"), FormatError);
    EXPECT_EQ(failureOf("1.2.3+1"), "OrvExpr - Ugyldig tall 1.2.3 i 1.2.3+1");
}

TEST(ExpressionFailures, DeepNestingIsRefused) {
    const std::string deep = std::string(5000, '(') + "1" + std::string(5000, ')');
    EXPECT_THROW(evaluateExpression(deep), FormatError);
    const std::string fine = std::string(50, '(') + "1" + std::string(50, ')');
    EXPECT_DOUBLE_EQ(evaluateExpression(fine), 1);
}

// A derived evaluator changes the sums through the virtual operations.
class CountingExpression : public TExpression {
public:
    using TExpression::TExpression;
    int adds = 0;
    int subtracts = 0;

protected:
    double add(double a, double b) override {
        ++adds;
        return TExpression::add(a, b);
    }
    double subtract(double a, double b) override {
        ++subtracts;
        return TExpression::subtract(a, b);
    }
    double convertNumber(const std::string& text) override {
        return TExpression::convertNumber(text) * 10;
    }
};

TEST(ExpressionExtension, VirtualOperationsAreUsed) {
    CountingExpression e("1+2-3");
    EXPECT_DOUBLE_EQ(e.evaluate(), 0);
    EXPECT_EQ(e.subtracts, 1);
    EXPECT_EQ(e.adds, 2);  // the leading "+" and the "+2"
    e.setExpression("4");
    EXPECT_DOUBLE_EQ(e.evaluate(), 40);
}

TEST(ExpressionPrepare, RemovesBlanksTurnsCommasAndUpperCases) {
    EXPECT_EQ(TExpressionLL::prepare(" a , b\tæ "), "A.BÆ");
    TExpression e("beløp * 2");
    EXPECT_EQ(e.preparedText(), "BELØP*2");
}

}  // namespace
