#pragma once
// The arithmetic of the template commands: a line such as 2*(3+4) or
// MINMAX(12;0;10) becomes a double.
//
// Design: one left-to-right pass over the prepared text with a running sum,
// a running term and one pending sign; no parse tree, no operator table.
// Operands (the text right of "*", "/", "^", a comparison, "&" or "|") are
// cut out by a fixed rule and evaluated by running the same pass on them.
// Invariants:
//  - the prepared text has no blanks, no "," (it became ".") and is upper case;
//  - comparisons and logical operators yield exactly 1 or 0;
//  - every arithmetic result is finite: a division by zero, an invalid power
//    or an overflow raises an EMathError instead of yielding inf or NaN;
//  - the unbalanced flag is cleared at the start of each evaluation and
//    tested at its end.

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "common/error.h"

namespace lagrull {

// Floating-point failures of an evaluation; the caller decides what to do.
class EMathError : public Error {
public:
    using Error::Error;
};
class EZeroDivide : public EMathError {
public:
    using EMathError::EMathError;
};
class EInvalidOp : public EMathError {
public:
    using EMathError::EMathError;
};
class EOverflow : public EMathError {
public:
    using EMathError::EMathError;
};

// The evaluator. Its virtual operations are the points where a derived
// evaluator changes how texts are read, names are found or sums are formed.
class TExpressionLL {
public:
    TExpressionLL() = default;
    virtual ~TExpressionLL() = default;
    TExpressionLL(const TExpressionLL&) = delete;
    TExpressionLL& operator=(const TExpressionLL&) = delete;

    // Prepares and stores the text; replaces the previous expression.
    virtual void setExpression(const std::string& text);
    const std::string& preparedText() const { return prepared_; }

    // Evaluates the stored text. Raises Error "OrvExpr - Unballanced
    // parantees in " + the prepared text for a ")" without its "(", and
    // EMathError for division by zero, invalid powers and overflow.
    double evaluate();

    // Blanks removed, "," turned into ".", upper-cased.
    static std::string prepare(std::string_view text);

protected:
    // The text value of a name that is no function; "" counts as 0.
    virtual std::string getValue(const std::string& name);
    virtual double add(double a, double b);
    virtual double subtract(double a, double b);
    // Reads a number made of digits and "." (the standard decimal reading).
    virtual double convertNumber(const std::string& text);

    // Raises the failure of a result that left the finite numbers.
    double checked(double result) const;

private:
    struct Function;  // one of the five functions

    double pass(std::string_view text);
    double operand(std::string_view text, std::size_t& pos);
    void skipOperand(std::string_view text, std::size_t& pos) const;
    double nameValue(std::string_view name);
    double function(std::string_view name, const Function& f);
    std::vector<std::string_view> arguments(std::string_view name, std::size_t open,
                                            std::size_t& after) const;
    double multiply(double a, double b) const;
    double divide(double a, double b) const;
    double power(double a, double b) const;
    [[noreturn]] void fail(const std::string& what) const;

    std::string prepared_;
    bool unbalanced_ = false;
    int depth_ = 0;  // nesting of passes, bounded so a self-referring name ends
};

// The evaluator with a settable value getter. Without a getter every name
// is 0.
class TExpression : public TExpressionLL {
public:
    using ValueGetter = std::function<std::string(const std::string& name)>;

    TExpression() = default;
    explicit TExpression(const std::string& text) { setExpression(text); }

    void setValueGetter(ValueGetter getter) { getter_ = std::move(getter); }

protected:
    std::string getValue(const std::string& name) override;

private:
    ValueGetter getter_;
};

// Creates an evaluator, gives it the text and returns its value.
double evaluateExpression(const std::string& text);

}  // namespace lagrull
