#include "common/dates.h"

#include <chrono>
#include <cstdio>

namespace lagrull {

int expandTwoDigitYear(int yy) {
    const int century = kTwoDigitYearStart / 100 * 100;
    int year = century + yy;
    if (year < kTwoDigitYearStart) year += 100;
    return year;
}

bool isLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int daysInMonth(int year, int month) {
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12) return 0;
    return month == 2 && isLeapYear(year) ? 29 : kDays[month - 1];
}

bool isValidDate(int year, int month, int day) {
    return year >= 1 && year <= 9999 && month >= 1 && month <= 12 && day >= 1 &&
           day <= daysInMonth(year, month);
}

Date Date::today() {
    const auto now = std::chrono::system_clock::now();
    const auto t = std::chrono::system_clock::to_time_t(now);
    std::tm local{};
    localtime_r(&t, &local);
    return Date{local.tm_year + 1900, local.tm_mon + 1, local.tm_mday};
}

long Date::serial() const {
    using namespace std::chrono;
    const sys_days d =
        year_month_day{std::chrono::year{year}, std::chrono::month(month), std::chrono::day(day)};
    const sys_days epoch = year_month_day{std::chrono::year{1899}, December, std::chrono::day(30)};
    return static_cast<long>((d - epoch).count());
}

Date Date::fromSerial(long serial) {
    using namespace std::chrono;
    const sys_days epoch = year_month_day{std::chrono::year{1899}, December, std::chrono::day(30)};
    const year_month_day ymd{epoch + days{serial}};
    return Date{int(ymd.year()), int(unsigned(ymd.month())), int(unsigned(ymd.day()))};
}

int Date::dayOfYear() const { return static_cast<int>(serial() - Date{year, 1, 1}.serial()) + 1; }

std::string Date::stored() const {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%02d%02d%04d", day % 100, month % 100, year % 10000);
    return buf;
}

std::string Date::shown() const {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%02d.%02d.%04d", day % 100, month % 100, year % 10000);
    return buf;
}

namespace {

bool allDigits(std::string_view s) {
    if (s.empty()) return false;
    for (const char c : s)
        if (c < '0' || c > '9') return false;
    return true;
}

int number(std::string_view s) {
    int n = 0;
    for (const char c : s) n = n * 10 + (c - '0');
    return n;
}

std::optional<Date> make(int year, int month, int day) {
    if (!isValidDate(year, month, day)) return std::nullopt;
    return Date{year, month, day};
}

}  // namespace

std::optional<Date> parseStoredDate(std::string_view text) {
    if (!allDigits(text)) return std::nullopt;
    if (text.size() == 8)
        return make(number(text.substr(4, 4)), number(text.substr(2, 2)),
                    number(text.substr(0, 2)));
    if (text.size() == 6)
        return make(expandTwoDigitYear(number(text.substr(4, 2))), number(text.substr(2, 2)),
                    number(text.substr(0, 2)));
    return std::nullopt;
}

std::optional<Date> parseShownDate(std::string_view text) {
    if (text.find('.') == std::string_view::npos) return parseStoredDate(text);
    const std::size_t a = text.find('.');
    const std::size_t b = text.find('.', a + 1);
    if (b == std::string_view::npos) return std::nullopt;
    const auto d = text.substr(0, a), m = text.substr(a + 1, b - a - 1), y = text.substr(b + 1);
    if (!allDigits(d) || !allDigits(m) || !allDigits(y) || d.size() > 2 || m.size() > 2)
        return std::nullopt;
    int year = number(y);
    if (y.size() == 2)
        year = expandTwoDigitYear(year);
    else if (y.size() != 4)
        return std::nullopt;
    return make(year, number(m), number(d));
}

std::string storedToShown(std::string_view stored) {
    const auto d = parseStoredDate(stored);
    return d ? d->shown() : std::string();
}

std::string shownToStored(std::string_view shown) {
    const auto d = parseShownDate(shown);
    return d ? d->stored() : std::string();
}

}  // namespace lagrull
