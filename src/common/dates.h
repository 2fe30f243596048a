#pragma once
// Calendar dates as the register keeps them: 8-character texts "DDMMYYYY"
// in the tables (empty = no date), shown and typed as "DD.MM.YYYY". Two-digit
// years fall in the window 1980-2079.

#include <compare>
#include <optional>
#include <string>
#include <string_view>

namespace lagrull {

// The two-digit-year window: 80-99 are 19yy, 00-79 are 20yy.
constexpr int kTwoDigitYearStart = 1980;
int expandTwoDigitYear(int yy);

struct Date {
    int year = 0;
    int month = 0;
    int day = 0;

    static Date today();
    // Days since 30 December 1899 (the old engine's day count), and back.
    static Date fromSerial(long serial);
    long serial() const;

    Date addDays(long days) const { return fromSerial(serial() + days); }
    int dayOfYear() const;  // 1 = 1 January

    std::string stored() const;  // "DDMMYYYY"
    std::string shown() const;   // "DD.MM.YYYY"

    auto operator<=>(const Date&) const = default;
};

bool isLeapYear(int year);
int daysInMonth(int year, int month);
bool isValidDate(int year, int month, int day);

// "DDMMYYYY" (also "DDMMYY" with the year window); nullopt unless a real date.
std::optional<Date> parseStoredDate(std::string_view text);
// "DD.MM.YYYY", "D.M.YYYY", "DD.MM.YY", or the stored form.
std::optional<Date> parseShownDate(std::string_view text);

// Conversions between the two text forms; an empty or invalid text gives "".
std::string storedToShown(std::string_view stored);
std::string shownToStored(std::string_view shown);

}  // namespace lagrull
