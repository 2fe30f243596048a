#include "script/expression.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "common/text_codec.h"

namespace lagrull {

namespace {

// Deeper nesting than this (parentheses, operands, names whose values name
// themselves) is refused instead of running out of stack.
constexpr int kMaxDepth = 200;

// The multiplication dot "•" (code 149 of the Windows code page).
constexpr std::string_view kDot = "\xE2\x80\xA2";

bool isDigit(char c) { return c >= '0' && c <= '9'; }

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// Position of the ")" that closes the "(" at `open`, or npos.
std::size_t matchingClose(std::string_view text, std::size_t open) {
    int depth = 0;
    for (std::size_t i = open; i < text.size(); ++i) {
        if (text[i] == '(')
            ++depth;
        else if (text[i] == ')' && --depth == 0)
            return i;
    }
    return std::string_view::npos;
}

// The inside of the group opening at `open`, to the end when it is never
// closed; `after` is set past the group.
std::string_view groupText(std::string_view text, std::size_t open, std::size_t& after) {
    const std::size_t close = matchingClose(text, open);
    if (close == std::string_view::npos) {
        after = text.size();
        return text.substr(open + 1);
    }
    after = close + 1;
    return text.substr(open + 1, close - open - 1);
}

// End of the operand that begins at `start`.
std::size_t operandEnd(std::string_view text, std::size_t start) {
    const std::size_t n = text.size();
    if (start >= n) return n;
    const char c = text[start];
    std::size_t i = start + 1;
    if (c == '(') {
        groupText(text, start, i);
        return i;
    }
    if (isDigit(c) || c == '.' || c == '^') {
        while (i < n && (isDigit(text[i]) || text[i] == '.' || text[i] == '^')) ++i;
        return i;
    }
    // A name (or a sign): characters from "A" upwards, digits and "." (every
    // byte of a multi-byte letter counts as such), then its argument groups.
    while (i < n &&
           (text[i] == '.' || isDigit(text[i]) || static_cast<unsigned char>(text[i]) >= 'A'))
        ++i;
    while (i < n && text[i] == '(') groupText(text, i, i);
    return i;
}

class DepthGuard {
public:
    explicit DepthGuard(int& depth) : depth_(depth) { ++depth_; }
    ~DepthGuard() { --depth_; }
    DepthGuard(const DepthGuard&) = delete;
    DepthGuard& operator=(const DepthGuard&) = delete;

private:
    int& depth_;
};

}  // namespace

std::string TExpressionLL::prepare(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        if (isBlank(c)) continue;
        out += c == ',' ? '.' : c;
    }
    return upperCase(out);
}

void TExpressionLL::setExpression(const std::string& text) { prepared_ = prepare(text); }

double TExpressionLL::evaluate() {
    unbalanced_ = false;
    depth_ = 0;
    const double value = pass(prepared_);
    if (unbalanced_) throw Error("OrvExpr - Unballanced parantees in " + prepared_);
    return value;
}

std::string TExpressionLL::getValue(const std::string&) { return {}; }

double TExpressionLL::add(double a, double b) { return checked(a + b); }

double TExpressionLL::subtract(double a, double b) { return checked(a - b); }

double TExpressionLL::convertNumber(const std::string& text) {
    double value = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value, std::chars_format::fixed);
    if (ec == std::errc::result_out_of_range) throw EOverflow("Flyttallsoverløp i " + prepared_);
    if (ec != std::errc() || ptr != end) fail("Ugyldig tall " + text);
    return value;
}

void TExpressionLL::fail(const std::string& what) const {
    throw FormatError("OrvExpr - " + what + " i " + prepared_);
}

double TExpressionLL::checked(double result) const {
    if (std::isnan(result)) throw EInvalidOp("Ugyldig flyttallsoperasjon i " + prepared_);
    if (std::isinf(result)) throw EOverflow("Flyttallsoverløp i " + prepared_);
    return result;
}

double TExpressionLL::multiply(double a, double b) const { return checked(a * b); }

double TExpressionLL::divide(double a, double b) const {
    if (b == 0) {
        if (a == 0) throw EInvalidOp("Ugyldig flyttallsoperasjon (0/0) i " + prepared_);
        throw EZeroDivide("Divisjon med null i " + prepared_);
    }
    return checked(a / b);
}

double TExpressionLL::power(double a, double b) const {
    if (a == 0 && b < 0) throw EZeroDivide("Divisjon med null i " + prepared_);
    return checked(std::pow(a, b));
}

double TExpressionLL::operand(std::string_view text, std::size_t& pos) {
    const std::size_t end = operandEnd(text, pos);
    const std::string_view part = text.substr(pos, end - pos);
    pos = end;
    return pass(part);
}

void TExpressionLL::skipOperand(std::string_view text, std::size_t& pos) const {
    pos = operandEnd(text, pos);
}

double TExpressionLL::pass(std::string_view text) {
    DepthGuard guard(depth_);
    if (depth_ > kMaxDepth) fail("Uttrykket er nøstet for dypt");

    double sum = 0;
    double term = 0;
    char sign = '+';  // '\0': no pending sign
    const auto settle = [&] {
        if (sign == '+')
            sum = add(sum, term);
        else if (sign == '-')
            sum = subtract(sum, term);
        term = 0;
        sign = '\0';
    };

    const std::size_t n = text.size();
    std::size_t i = 0;
    while (i < n) {
        const char c = text[i];
        const char next = i + 1 < n ? text[i + 1] : '\0';
        // A number may begin with its decimal point: ",5" is a half, not a name.
        if (isDigit(c) || (c == '.' && isDigit(next))) {
            std::size_t end = i;
            while (end < n && (isDigit(text[end]) || text[end] == '.')) ++end;
            term = convertNumber(std::string(text.substr(i, end - i)));
            i = end;
        } else if (c == '+' || c == '-') {
            settle();
            sign = c;
            ++i;
        } else if (c == '*' || text.substr(i, kDot.size()) == kDot) {
            i += c == '*' ? 1 : kDot.size();
            term = multiply(term, operand(text, i));
        } else if (c == '/') {
            ++i;
            term = divide(term, operand(text, i));
        } else if (c == '^') {
            ++i;
            term = power(term, operand(text, i));
        } else if (c == '(') {
            const bool implicit = i > 0 && (text[i - 1] == ')' || isDigit(text[i - 1]));
            const double group = pass(groupText(text, i, i));
            term = implicit ? multiply(term, group) : group;
        } else if (c == ')') {
            unbalanced_ = true;
            return sum;
        } else if (c == '=' || c == '<' || c == '>' || (c == '!' && next == '=')) {
            settle();
            const bool twoChars = c != '=' && (next == '=' || (c == '<' && next == '>'));
            const std::string_view op = text.substr(i, twoChars ? 2 : 1);
            i += op.size();
            const double left = sum;
            const double right = operand(text, i);
            bool holds = false;
            if (op == "=")
                holds = left == right;
            else if (op == "<")
                holds = left < right;
            else if (op == ">")
                holds = left > right;
            else if (op == "<=")
                holds = left <= right;
            else if (op == ">=")
                holds = left >= right;
            else
                holds = left != right;  // "<>" and "!="
            sum = holds ? 1 : 0;
        } else if (c == '&' || c == '|') {
            ++i;
            // The right side is evaluated only when it can change the outcome.
            const bool left = term != 0;
            bool holds = left;
            if (left == (c == '&'))
                holds = operand(text, i) != 0;
            else
                skipOperand(text, i);
            sum = term = holds ? 1 : 0;
            sign = '\0';
        } else {
            const std::size_t end = operandEnd(text, i);
            term = nameValue(text.substr(i, end - i));
            i = end;
        }
    }
    settle();
    return sum;
}

struct TExpressionLL::Function {
    std::string_view prefix;  // name and "("
    enum Kind { If, Min, Max, Pow, MinMax } kind;
};

double TExpressionLL::nameValue(std::string_view name) {
    static constexpr Function kFunctions[] = {
        {"IF(", Function::If},   {"MIN(", Function::Min},       {"MAX(", Function::Max},
        {"POW(", Function::Pow}, {"MINMAX(", Function::MinMax},
    };
    for (const Function& f : kFunctions)
        if (name.substr(0, f.prefix.size()) == f.prefix) return function(name, f);
    const std::string value = getValue(std::string(name));
    if (value.empty()) return 0;
    const std::string formula = prepare(value);
    return pass(formula);
}

std::vector<std::string_view> TExpressionLL::arguments(std::string_view name, std::size_t open,
                                                       std::size_t& after) const {
    const std::string_view inside = groupText(name, open, after);
    std::vector<std::string_view> args;
    int depth = 0;
    std::size_t start = 0;
    for (std::size_t i = 0; i < inside.size(); ++i) {
        if (inside[i] == '(')
            ++depth;
        else if (inside[i] == ')')
            --depth;
        else if (inside[i] == ';' && depth == 0) {
            args.push_back(inside.substr(start, i - start));
            start = i + 1;
        }
    }
    args.push_back(inside.substr(start));
    return args;
}

double TExpressionLL::function(std::string_view name, const Function& f) {
    std::size_t after = 0;
    const std::vector<std::string_view> args = arguments(name, f.prefix.size() - 1, after);
    const auto given = [&](std::size_t k) { return k < args.size() && !args[k].empty(); };
    // A missing argument counts as 0.
    const auto arg = [&](std::size_t k) { return given(k) ? pass(args[k]) : 0.0; };

    double value = 0;
    switch (f.kind) {
        case Function::If:
            // Only the chosen branch is evaluated: IF(B=0;0;A/B) must not divide.
            value = arg(0) != 0 ? arg(1) : arg(2);
            break;
        case Function::Min:
        case Function::Max: {
            const bool least = f.kind == Function::Min;
            value = arg(0);
            for (std::size_t k = 1; k < args.size(); ++k) {
                const double v = arg(k);
                value = least ? std::min(value, v) : std::max(value, v);
            }
            break;
        }
        case Function::Pow: {
            const double base = arg(0);
            value = power(base, arg(1));
            break;
        }
        case Function::MinMax:
            // A bound that is not given is not applied.
            value = arg(0);
            if (given(1)) value = std::max(value, arg(1));
            if (given(2)) value = std::min(value, arg(2));
            break;
    }
    // Groups written directly after the argument list multiply, as after ")".
    while (after < name.size() && name[after] == '(')
        value = multiply(value, pass(groupText(name, after, after)));
    return value;
}

std::string TExpression::getValue(const std::string& name) {
    return getter_ ? getter_(name) : std::string();
}

double evaluateExpression(const std::string& text) {
    TExpression expression(text);
    return expression.evaluate();
}

}  // namespace lagrull
