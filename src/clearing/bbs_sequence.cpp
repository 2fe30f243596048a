#include "clearing/bbs_sequence.h"

#include <algorithm>
#include <ctime>
#include <thread>

#include "clearing/bbs_item.h"

namespace lagrull::clearing {

std::int64_t clearingClockValue(int month, int day, int hour, int minute, int second) {
    const std::int64_t seconds = (static_cast<std::int64_t>(month - 1) * 31 + (day - 1)) * 86400 +
                                 static_cast<std::int64_t>(hour) * 3600 +
                                 static_cast<std::int64_t>(minute) * 60 + second;
    return seconds / 4;
}

ClockReading readClearingClock() {
    const std::time_t t = std::time(nullptr);
    std::tm local{};
    localtime_r(&t, &local);
    return {local.tm_year + 1900, clearingClockValue(local.tm_mon + 1, local.tm_mday, local.tm_hour,
                                                     local.tm_min, std::min(local.tm_sec, 59))};
}

ClearingSequence::ClearingSequence(Clock clock) : clock_(std::move(clock)) {}

std::string ClearingSequence::issue(Counter& counter) {
    const ClockReading now = clock_();
    counter.last = std::max(now.value, counter.last + 1);
    counter.year = now.year;
    return zeroPadded(counter.last, 7);
}

bool ClearingSequence::ahead(const Counter& counter, const ClockReading& now) const {
    return counter.last > 0 && now.year == counter.year && now.value < counter.last;
}

bool ClearingSequence::mustWait() const {
    const ClockReading now = clock_();
    return ahead(transmissions_, now) || ahead(assignments_, now);
}

void ClearingSequence::waitUntilPassed(const Sleep& sleep) {
    while (mustWait()) sleep(std::chrono::milliseconds(250));
}

ClearingSequence& clearingSequence() {
    static ClearingSequence sequence;
    return sequence;
}

void waitForClearingNumbers() {
    clearingSequence().waitUntilPassed(
        [](std::chrono::milliseconds ms) { std::this_thread::sleep_for(ms); });
}

}  // namespace lagrull::clearing
