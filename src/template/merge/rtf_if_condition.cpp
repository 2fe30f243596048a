#include "template/merge/rtf_if_condition.h"

#include <cstdlib>
#include <string_view>

#include "common/text_codec.h"
#include "template/merge/merge_format.h"
#include "template/merge/rtf_ext_errors.h"
#include "template/rtf/rtf_parser.h"

namespace lagrull {

namespace {

constexpr int kMaxNesting = 200;  // deeper nesting is no sensible condition

[[noreturn]] void parenthesisError() { throw ERtfIfCmd("Parantees error in IF-statement"); }

bool isNumberText(std::string_view s) {
    bool digit = false;
    for (char c : s) {
        if (c >= '0' && c <= '9')
            digit = true;
        else if (c != ' ' && c != '+' && c != ',' && c != '-' && c != '.')
            return false;
    }
    return digit;
}

double numberOf(std::string_view s) {
    std::string t;
    const bool comma = s.find(',') != std::string_view::npos;
    for (char c : s) {
        if (c == ' ') continue;
        if (c == '.' && comma) continue;
        t.push_back(c == ',' ? '.' : c);
    }
    return std::strtod(t.c_str(), nullptr);
}

// Norwegian order of the last three letters: Æ, Ø, Å after Z.
std::string collationKey(const std::string& upper) {
    std::u32string u = toU32(upper);
    for (char32_t& c : u) {
        if (c == U'Æ')
            c = U'[';
        else if (c == U'Ø')
            c = U'\\';
        else if (c == U'Å')
            c = U']';
    }
    return fromU32(u);
}

bool truthOf(const std::string& operand) {
    if (isNumberText(operand)) return numberOf(operand) != 0;
    return !(operand.empty() || operand == "NEI" || operand == "0" || operand == "NO" ||
             operand == "FALSE" || operand == "-");
}

class Condition {
public:
    explicit Condition(std::string text) : s_(std::move(text)) {}

    bool run() {
        std::size_t pos = 0;
        return evaluation(pos, 0);
    }

private:
    void skipBlanks(std::size_t& pos) const {
        while (pos < s_.size() && (s_[pos] == ' ' || s_[pos] == '\t')) ++pos;
    }

    std::string operand(std::size_t& pos, std::string_view stops) const {
        const std::size_t start = pos;
        while (pos < s_.size() && stops.find(s_[pos]) == std::string_view::npos) ++pos;
        if (pos >= s_.size()) parenthesisError();
        return upperCase(
            unprotectValue(trimBlanks(std::string_view(s_).substr(start, pos - start))));
    }

    // From a "(" to its ")", both consumed.
    bool evaluation(std::size_t& pos, int nesting) {
        if (nesting > kMaxNesting) parenthesisError();
        ++pos;
        skipBlanks(pos);
        if (pos >= s_.size()) parenthesisError();
        if (s_[pos] != '(') return comparison(pos);
        bool result = evaluation(pos, nesting + 1);
        for (;;) {
            skipBlanks(pos);
            const std::size_t start = pos;
            while (pos < s_.size() && (s_[pos] == '&' || s_[pos] == '|' ||
                                       (static_cast<unsigned char>(s_[pos]) < 0x80 &&
                                        std::isalpha(static_cast<unsigned char>(s_[pos])))))
                ++pos;
            const std::string word = upperCase(s_.substr(start, pos - start));
            if (word.empty()) {
                if (pos < s_.size() && s_[pos] == ')') {
                    ++pos;
                    return result;
                }
                parenthesisError();
            }
            enum { And, Or, Xor } op;
            if (word == "AND" || word == "&")
                op = And;
            else if (word == "OR" || word == "|")
                op = Or;
            else if (word == "XOR")
                op = Xor;
            else
                throw ERtfIfCmd("Unknown operator used in IF-statement");
            skipBlanks(pos);
            if (pos < s_.size() && s_[pos] == ')') {
                ++pos;
                return result;
            }
            if (pos >= s_.size() || s_[pos] != '(') parenthesisError();
            const bool value = evaluation(pos, nesting + 1);
            result = op == And  ? (result && value)
                     : op == Or ? (result || value)
                                : (result != value);
        }
    }

    // An operand alone or a comparison, up to and including its ")".
    bool comparison(std::size_t& pos) {
        const std::string a = operand(pos, ")<=>");
        if (s_[pos] == ')') {
            ++pos;
            return truthOf(a);
        }
        std::string op(1, s_[pos++]);
        if (pos < s_.size() &&
            ((op == "<" && (s_[pos] == '>' || s_[pos] == '=')) || (op == ">" && s_[pos] == '=')))
            op.push_back(s_[pos++]);
        const std::string b = operand(pos, ")");
        ++pos;
        int order;
        if (isNumberText(a) && isNumberText(b)) {
            const double x = numberOf(a), y = numberOf(b);
            order = x < y ? -1 : x > y ? 1 : 0;
        } else {
            const int c = collationKey(a).compare(collationKey(b));
            order = c < 0 ? -1 : c > 0 ? 1 : 0;
        }
        if (op == "=") return order == 0;
        if (op == "<>") return order != 0;
        if (op == "<") return order < 0;
        if (op == "<=") return order <= 0;
        if (op == ">") return order > 0;
        if (op == ">=") return order >= 0;
        return false;
    }

    std::string s_;
};

}  // namespace

std::string replaceSearchCalls(const std::string& text) {
    std::string s = text;
    std::size_t from = 0;
    for (;;) {
        const std::string upper = upperCase(s);
        const std::size_t at = upper.find("SEARCH", from);
        if (at == std::string::npos) return s;
        std::size_t open = at + 6;
        while (open < s.size() && s[open] == ' ') ++open;
        const std::size_t close =
            open < s.size() && s[open] == '(' ? s.find(')', open) : std::string::npos;
        const std::size_t semi = close == std::string::npos ? close : s.find(';', open);
        if (close == std::string::npos || semi == std::string::npos || semi > close) {
            from = at + 6;
            continue;
        }
        const std::string a =
            upperCase(unprotectValue(trimBlanks(s.substr(open + 1, semi - open - 1))));
        const std::string b =
            upperCase(unprotectValue(trimBlanks(s.substr(semi + 1, close - semi - 1))));
        const std::string replacement = b.find(a) != std::string::npos ? "(1=1)" : "(1=0)";
        s.replace(at, close + 1 - at, replacement);
        from = at + replacement.size();
    }
}

bool evaluateIfCondition(const std::string& parameter) {
    Condition c("(" + replaceSearchCalls(parameter) + ")");
    return c.run();
}

}  // namespace lagrull
