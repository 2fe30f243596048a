#include "common/money.h"

#include <cmath>
#include <cstdlib>

namespace lagrull {

Money Money::fromKroner(double kroner) {
    // nearbyint rounds a half to even in the default rounding mode.
    return Money(static_cast<std::int64_t>(std::nearbyint(kroner * 100.0)));
}

namespace {

std::string formatAmount(Money amount, bool grouped) {
    const std::int64_t ore = amount.ore();
    // Work on the magnitude as unsigned so that the smallest value is safe.
    std::uint64_t magnitude =
        ore < 0 ? 0 - static_cast<std::uint64_t>(ore) : static_cast<std::uint64_t>(ore);
    const std::uint64_t kroner = magnitude / 100;
    const unsigned cents = static_cast<unsigned>(magnitude % 100);
    const std::string digits = std::to_string(kroner);
    std::string out = ore < 0 ? "-" : "";
    if (!grouped) {
        out += digits;
    } else {
        const std::size_t lead = digits.size() % 3 == 0 ? 3 : digits.size() % 3;
        out.append(digits, 0, lead);
        for (std::size_t i = lead; i < digits.size(); i += 3) {
            out += '.';
            out.append(digits, i, 3);
        }
    }
    out += ',';
    out += static_cast<char>('0' + cents / 10);
    out += static_cast<char>('0' + cents % 10);
    return out;
}

}  // namespace

std::string FormatAmount(Money amount) { return formatAmount(amount, true); }

std::string formatAmountUngrouped(Money amount) { return formatAmount(amount, false); }

std::string FormatAmount(double kroner) { return FormatAmount(Money::fromKroner(kroner)); }

std::optional<Money> parseAmount(std::string_view text) {
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
    if (text.empty()) return std::nullopt;
    bool negative = false;
    if (text.front() == '-' || text.front() == '+') {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    // The decimal separator is the last "," or, without one, a "." that is
    // followed by one or two digits only; other dots group thousands.
    std::size_t decimal = text.rfind(',');
    if (decimal == std::string_view::npos) {
        const std::size_t dot = text.rfind('.');
        if (dot != std::string_view::npos && text.size() - dot - 1 <= 2) decimal = dot;
    }
    std::int64_t whole = 0;
    bool anyDigit = false;
    const std::string_view intPart = text.substr(0, decimal);
    for (const char c : intPart) {
        if (c == '.') continue;
        if (c < '0' || c > '9') return std::nullopt;
        if (whole > (INT64_MAX - 9) / 1000) return std::nullopt;
        whole = whole * 10 + (c - '0');
        anyDigit = true;
    }
    std::int64_t cents = 0;
    if (decimal != std::string_view::npos) {
        const std::string_view frac = text.substr(decimal + 1);
        if (frac.size() > 2) return std::nullopt;
        for (const char c : frac) {
            if (c < '0' || c > '9') return std::nullopt;
            anyDigit = true;
        }
        if (frac.size() >= 1) cents += std::int64_t{frac[0] - '0'} * 10;
        if (frac.size() == 2) cents += frac[1] - '0';
    }
    if (!anyDigit) return std::nullopt;
    const std::int64_t ore = whole * 100 + cents;
    return Money::fromOre(negative ? -ore : ore);
}

}  // namespace lagrull
