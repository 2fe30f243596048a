#include "template/merge/word_formula.h"

#include <cctype>
#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

namespace lagrull {

namespace {

struct Failed {};

class Formula {
public:
    explicit Formula(std::string_view s) : s_(s) {}

    double run() {
        const double v = comparison();
        skip();
        if (pos_ != s_.size()) throw Failed{};
        return v;
    }

private:
    void skip() {
        while (pos_ < s_.size() && s_[pos_] == ' ') ++pos_;
    }
    bool eat(char c) {
        skip();
        if (pos_ < s_.size() && s_[pos_] == c) {
            ++pos_;
            return true;
        }
        return false;
    }
    void enter() {
        if (++depth_ > 100) throw Failed{};
    }

    double comparison() {
        double a = sum();
        for (;;) {
            skip();
            if (pos_ >= s_.size()) return a;
            const char c = s_[pos_];
            if (c != '=' && c != '<' && c != '>') return a;
            std::string op(1, c);
            ++pos_;
            if (pos_ < s_.size() && (s_[pos_] == '=' || (c == '<' && s_[pos_] == '>')))
                op.push_back(s_[pos_++]);
            const double b = sum();
            bool r = false;
            if (op == "=")
                r = a == b;
            else if (op == "<")
                r = a < b;
            else if (op == ">")
                r = a > b;
            else if (op == "<=")
                r = a <= b;
            else if (op == ">=")
                r = a >= b;
            else if (op == "<>")
                r = a != b;
            else
                throw Failed{};
            a = r ? 1 : 0;
        }
    }

    double sum() {
        double a = product();
        for (;;) {
            if (eat('+'))
                a += product();
            else if (eat('-'))
                a -= product();
            else
                return a;
        }
    }

    double product() {
        double a = power();
        for (;;) {
            if (eat('*')) {
                a *= power();
            } else if (eat('/')) {
                const double b = power();
                if (b == 0) throw Failed{};
                a /= b;
            } else {
                return a;
            }
        }
    }

    double power() {
        double a = unary();
        while (eat('^')) a = std::pow(a, unary());
        return a;
    }

    double unary() {
        enter();
        double v;
        if (eat('-'))
            v = -unary();
        else if (eat('+'))
            v = unary();
        else
            v = primary();
        --depth_;
        return v;
    }

    double primary() {
        skip();
        if (eat('(')) {
            const double v = comparison();
            if (!eat(')')) throw Failed{};
            return v;
        }
        if (pos_ < s_.size() && (std::isdigit(static_cast<unsigned char>(s_[pos_])) ||
                                 s_[pos_] == ',' || s_[pos_] == '.')) {
            std::string number;
            while (pos_ < s_.size() && (std::isdigit(static_cast<unsigned char>(s_[pos_])) ||
                                        s_[pos_] == ',' || s_[pos_] == '.'))
                number.push_back(s_[pos_] == ',' ? '.' : s_[pos_]), ++pos_;
            char* end = nullptr;
            const double v = std::strtod(number.c_str(), &end);
            if (*end != '\0') throw Failed{};
            return v;
        }
        std::string name;
        while (pos_ < s_.size() && std::isalpha(static_cast<unsigned char>(s_[pos_])))
            name.push_back(static_cast<char>(std::toupper(static_cast<unsigned char>(s_[pos_++]))));
        if (name.empty()) throw Failed{};
        std::vector<double> args;
        if (eat('(')) {
            if (!eat(')')) {
                do args.push_back(comparison());
                while (eat(';'));
                if (!eat(')')) throw Failed{};
            }
        }
        return function(name, args);
    }

    static double function(const std::string& f, const std::vector<double>& a) {
        auto need = [&](std::size_t n) {
            if (a.size() != n) throw Failed{};
        };
        if (f == "TRUE") return need(0), 1;
        if (f == "FALSE") return need(0), 0;
        if (f == "ABS") return need(1), std::fabs(a[0]);
        if (f == "INT") return need(1), std::trunc(a[0]);
        if (f == "SIGN") return need(1), (a[0] > 0) - (a[0] < 0);
        if (f == "NOT") return need(1), a[0] == 0 ? 1 : 0;
        if (f == "ROUND") {
            need(2);
            const double scale = std::pow(10.0, std::trunc(a[1]));
            return std::round(a[0] * scale) / scale;
        }
        if (f == "MOD") {
            need(2);
            if (a[1] == 0) throw Failed{};
            return std::fmod(a[0], a[1]);
        }
        if (f == "IF") return need(3), a[0] != 0 ? a[1] : a[2];
        if (a.empty()) throw Failed{};
        if (f == "AND") {
            for (double v : a)
                if (v == 0) return 0;
            return 1;
        }
        if (f == "OR") {
            for (double v : a)
                if (v != 0) return 1;
            return 0;
        }
        double r = f == "PRODUCT" ? 1 : 0;
        if (f == "MAX" || f == "MIN") r = a[0];
        for (double v : a) {
            if (f == "SUM" || f == "AVERAGE")
                r += v;
            else if (f == "PRODUCT")
                r *= v;
            else if (f == "MAX")
                r = std::max(r, v);
            else if (f == "MIN")
                r = std::min(r, v);
            else if (f != "COUNT")
                throw Failed{};
        }
        if (f == "AVERAGE") r /= static_cast<double>(a.size());
        if (f == "COUNT") r = static_cast<double>(a.size());
        return r;
    }

    std::string_view s_;
    std::size_t pos_ = 0;
    int depth_ = 0;
};

}  // namespace

std::optional<double> evaluateWordFormula(std::string_view text) {
    try {
        const double v = Formula(text).run();
        if (!std::isfinite(v)) return std::nullopt;
        return v;
    } catch (const Failed&) {
        return std::nullopt;
    }
}

}  // namespace lagrull
