#include "common/mask.h"

#include <cmath>
#include <cstdio>
#include <optional>

#include "common/text_codec.h"

namespace lagrull {

namespace {

bool isDigit(char32_t c) { return c >= '0' && c <= '9'; }

// A stored or typed number: sign, integer digits and decimals, with "," or
// "." as the decimal separator ("." only when no "," is present and it is
// not a group separator of a grouped text).
struct Number {
    bool negative = false;
    std::string integer;  // digits
    std::string fraction;
    bool hasSeparator = false;
};

std::optional<Number> parseNumber(std::string_view text, bool dotsGroup) {
    Number n;
    std::size_t i = 0;
    while (i < text.size() && text[i] == ' ') ++i;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) n.negative = text[i++] == '-';
    const bool hasComma = text.find(',') != std::string_view::npos;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (c >= '0' && c <= '9') {
            (n.hasSeparator ? n.fraction : n.integer) += c;
        } else if ((c == ',' || (c == '.' && !hasComma && !dotsGroup)) && !n.hasSeparator) {
            n.hasSeparator = true;
        } else if ((c == '.' && (dotsGroup || hasComma) && !n.hasSeparator) ||
                   (c == ' ' && i + 1 == text.size())) {
            continue;  // a group separator or a trailing blank
        } else {
            return std::nullopt;
        }
    }
    return n;
}

bool isZero(const Number& n) {
    for (const char c : n.integer + n.fraction)
        if (c != '0') return false;
    return true;
}

// The number with exactly `decimals` decimals, rounded half away from zero
// on its decimal digits (no binary floating point on the way).
std::string fixedDecimals(const Number& n, int decimals) {
    std::string integer = n.integer.empty() ? "0" : n.integer;
    std::string fraction = n.fraction;
    bool roundUp = false;
    if (static_cast<int>(fraction.size()) > decimals) {
        roundUp = fraction[decimals] >= '5';
        fraction.resize(decimals);
    }
    fraction.append(decimals - fraction.size(), '0');
    std::string digits = integer + fraction;
    if (roundUp) {
        int i = static_cast<int>(digits.size()) - 1;
        for (; i >= 0; --i) {
            if (digits[i] == '9') {
                digits[i] = '0';
            } else {
                ++digits[i];
                break;
            }
        }
        if (i < 0) digits.insert(digits.begin(), '1');
    }
    integer = digits.substr(0, digits.size() - decimals);
    fraction = digits.substr(digits.size() - decimals);
    while (integer.size() > 1 && integer.front() == '0') integer.erase(0, 1);
    std::string out = integer;
    if (decimals > 0) out += "," + fraction;
    Number check;
    check.integer = integer;
    check.fraction = fraction;
    if (n.negative && !isZero(check)) out.insert(out.begin(), '-');
    return out;
}

}  // namespace

std::string groupDigits(std::string_view number) {
    std::string s(number);
    std::string sign;
    if (!s.empty() && s.front() == '-') {
        sign = "-";
        s.erase(0, 1);
    }
    // Leading zeros go, but a zero right before the decimal comma stays.
    while (s.size() > 1 && s.front() == '0' && s[1] != ',') s.erase(0, 1);
    std::size_t end = s.find(',');
    if (end == std::string::npos) end = s.size();
    std::string integer = s.substr(0, end);
    for (int i = static_cast<int>(integer.size()) - 3; i > 0; i -= 3) integer.insert(i, ".");
    return sign + integer + s.substr(end);
}

Mask::Mask(std::string_view text) : text_(text) {
    if (text.empty()) return;
    const char first = text.front();
    if (first == 'N' || first == 'T') {
        type_ = first == 'N' ? MaskType::Number : MaskType::GroupedNumber;
        if (text.size() > 1 && isDigit(static_cast<unsigned char>(text[1])))
            decimals_ = text[1] - '0';
        hideZero_ = text.find("H0") != std::string_view::npos;
        return;
    }
    std::u32string t = toU32(text);
    if (first == '{') {
        const std::size_t close = t.find(U'}');
        const std::u32string set = t.substr(1, close == std::u32string::npos ? close : close - 1);
        if (set == U"*")
            anyLetter_ = true;
        else
            charset_ = set;
        t = close == std::u32string::npos ? std::u32string() : t.substr(close + 1);
        type_ = MaskType::Template;
    } else if (isPlaceholder(static_cast<unsigned char>(first))) {
        type_ = MaskType::Template;
    }
    if (type_ == MaskType::Template) {
        template_ = t;
        if (!anyLetter_ && charset_.empty()) charset_ = U"0123456789";
    }
}

bool Mask::isPlaceholder(char32_t c) {
    return c == '#' || c == 'D' || c == 'M' || c == 'Y' || c == 'h' || c == 'm' || c == 'n' ||
           c == 's';
}

bool Mask::inCharacterSet(char32_t c) const {
    if (anyLetter_) return isDigit(c) || c >= 65;
    return charset_.find(c) != std::u32string::npos;
}

std::string Mask::show(std::string_view stored) const {
    switch (type_) {
        case MaskType::FreeText: return std::string(stored);
        case MaskType::Template: {
            // Walk template and value together; a literal of the template is
            // inserted where the value holds another character.
            std::u32string value = toU32(stored);
            for (std::size_t i = 0; i < template_.size() && i < value.size(); ++i) {
                const char32_t m = template_[i];
                if (!isPlaceholder(m) && value[i] != m) value.insert(value.begin() + i, m);
            }
            return fromU32(value);
        }
        case MaskType::Number:
        case MaskType::GroupedNumber: {
            const auto n = parseNumber(stored, false);
            if (!n) return std::string(stored);
            if (hideZero_ && isZero(*n)) return {};
            if (type_ == MaskType::Number)
                return decimals_ > 0 ? fixedDecimals(*n, decimals_) : std::string(stored);
            const std::string plain = decimals_ > 0
                                          ? fixedDecimals(*n, decimals_)
                                          : std::string(n->negative ? "-" : "") + n->integer +
                                                (n->hasSeparator ? "," + n->fraction : "");
            return groupDigits(plain);
        }
    }
    return std::string(stored);
}

std::string Mask::store(std::string_view shown) const {
    switch (type_) {
        case MaskType::FreeText:
        case MaskType::Number: return std::string(shown);
        case MaskType::GroupedNumber: {
            std::string out;
            for (const char c : shown)
                if (c != '.') out += c;
            return out;
        }
        case MaskType::Template: {
            std::u32string out;
            for (const char32_t c : toU32(shown))
                if (inCharacterSet(c)) out += c;
            return fromU32(out);
        }
    }
    return std::string(shown);
}

bool Mask::fits(std::string_view shown) const {
    switch (type_) {
        case MaskType::FreeText: return true;
        case MaskType::Number:
        case MaskType::GroupedNumber: {
            const std::string_view body = shown;
            if (body.empty() || body == "-") return true;
            const auto n = parseNumber(body, type_ == MaskType::GroupedNumber);
            if (!n) return false;
            if (n->hasSeparator && decimals_ == 0) return false;
            return static_cast<int>(n->fraction.size()) <= decimals_;
        }
        case MaskType::Template: {
            const std::u32string text = toU32(shown);
            std::size_t t = 0;
            for (const char32_t c : text) {
                // Skip literals the user did not type; they are put in on show.
                while (t < template_.size() && !isPlaceholder(template_[t]) && template_[t] != c)
                    ++t;
                if (t >= template_.size()) return false;
                if (isPlaceholder(template_[t]) && !inCharacterSet(c)) return false;
                ++t;
            }
            return true;
        }
    }
    return true;
}

std::string maskOfKind(EditKind kind, const std::string& customMask) {
    switch (kind) {
        case EditKind::mkCustom: return customMask;
        case EditKind::mkPostNr: return "####";
        case EditKind::mkPhone: return "## ## ## ##";
        case EditKind::mkPersNr: return "##.##.##.#####";
        case EditKind::mkAccount: return "####.##.#####";
        case EditKind::mkDate: return customMask.empty() ? "DD.MM.YYYY" : customMask;
        case EditKind::mkTime: return "##:##:##";
    }
    return customMask;
}

}  // namespace lagrull
