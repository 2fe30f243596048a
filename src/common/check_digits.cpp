#include "common/check_digits.h"

namespace lagrull {

namespace {
std::string_view trimBlanks(std::string_view s) {
    while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
    while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
    return s;
}
}  // namespace

char Mod10CheckDigit(std::string_view digits) {
    digits = trimBlanks(digits);
    if (digits.empty()) return ' ';
    int sum = 0;
    int weight = 2;
    for (auto it = digits.rbegin(); it != digits.rend(); ++it) {
        const int product = (*it - '0') * weight;
        sum += product / 10 + product % 10;
        weight = weight == 2 ? 1 : 2;
    }
    // Only digits reach here from the register; a stray character must
    // still give a digit, never a character beyond "9".
    const int r = ((sum % 10) + 10) % 10;
    return r == 0 ? '0' : static_cast<char>('0' + 10 - r);
}

std::string Mod11CheckDigit(std::string_view text) {
    int sum = 0;
    int weight = 2;
    for (auto it = text.rbegin(); it != text.rend(); ++it) {
        if (*it < '0' || *it > '9') continue;
        sum += (*it - '0') * weight;
        weight = weight == 7 ? 2 : weight + 1;
    }
    const int r = sum % 11;
    if (r == 0) return "0";
    if (r == 1) return "-";
    return std::string(1, static_cast<char>('0' + 11 - r));
}

bool IsValidAccountNumber(std::string_view value) {
    // Letters among the first ten would otherwise pass, as the check digit
    // is computed over the digits alone.
    if (value.size() != 11) return false;
    for (const char c : value)
        if (c < '0' || c > '9') return false;
    const std::string_view first = value.substr(0, 10);
    return std::string(first) + Mod11CheckDigit(first) == value;
}

}  // namespace lagrull
