#pragma once
// Amounts in whole øre, counted in 64 bits. The tables keep kroner as
// doubles; every value read from them becomes a Money at once, so sums and
// comparisons are exact and never off by an øre.

#include <compare>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace lagrull {

class Money {
public:
    constexpr Money() = default;
    static constexpr Money fromOre(std::int64_t ore) { return Money(ore); }
    // Rounded to the nearest øre, a half øre to the even one (as the old
    // engine's Round did: 0,125 → 0,12 and 0,375 → 0,38).
    static Money fromKroner(double kroner);

    constexpr std::int64_t ore() const { return ore_; }
    double kroner() const { return static_cast<double>(ore_) / 100.0; }

    constexpr Money operator+(Money o) const { return Money(ore_ + o.ore_); }
    constexpr Money operator-(Money o) const { return Money(ore_ - o.ore_); }
    constexpr Money operator-() const { return Money(-ore_); }
    Money& operator+=(Money o) {
        ore_ += o.ore_;
        return *this;
    }
    Money& operator-=(Money o) {
        ore_ -= o.ore_;
        return *this;
    }
    constexpr Money operator*(std::int64_t n) const { return Money(ore_ * n); }
    constexpr auto operator<=>(const Money&) const = default;

private:
    constexpr explicit Money(std::int64_t ore) : ore_(ore) {}
    std::int64_t ore_ = 0;
};

// "1.234,50", "-1.234,50", "12,00": two decimals, a decimal comma and "."
// between groups of three digits.
std::string FormatAmount(Money amount);
std::string FormatAmount(double kroner);
// "1234,50", "-0,05": the same without the group separators, as the giro
// export file carries amounts.
std::string formatAmountUngrouped(Money amount);

// Reads an amount as a user types it: "1234,5", "1.234,50", "1234.50",
// "-12"; blanks around are allowed. nullopt when it is no amount.
std::optional<Money> parseAmount(std::string_view text);

}  // namespace lagrull
