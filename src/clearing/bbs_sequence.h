#pragma once
// Transmission and assignment numbers come from the clock: the number of
// four-second steps since the start of the year (months counted as 31 days),
// so a number is never reused by a later run of the program. Within a run a
// number is never smaller than the one issued before it; when numbers are
// issued faster than one per four seconds the counter runs ahead of the
// clock, and the program waits at its end until the clock has caught up.
//
// The counters belong to the running program and are not stored. They are
// used from the one user-interface thread only.

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>

namespace lagrull::clearing {

struct ClockReading {
    int year = 0;
    std::int64_t value = 0;  // 0 .. 8 035 199
};

// The clock value of the current local time.
ClockReading readClearingClock();
// ((month − 1) × 31 + (day − 1)) × 86 400 + seconds of the day, divided by 4.
std::int64_t clearingClockValue(int month, int day, int hour, int minute, int second);

class ClearingSequence {
public:
    using Clock = std::function<ClockReading()>;
    using Sleep = std::function<void(std::chrono::milliseconds)>;

    explicit ClearingSequence(Clock clock = readClearingClock);

    // Seven digits, "0"-filled.
    std::string NyttForsendelsesnr() { return issue(transmissions_); }
    std::string NyttOppdragsnr() { return issue(assignments_); }

    // True while the clock has not reached a number issued by this run.
    bool mustWait() const;
    // Waits until mustWait() is false. A new year starts the count anew, so
    // a number of last year never holds the program until the clock reaches
    // it again.
    void waitUntilPassed(const Sleep& sleep);

private:
    struct Counter {
        std::int64_t last = 0;
        int year = 0;  // year of the clock when `last` was issued
    };
    std::string issue(Counter& counter);
    bool ahead(const Counter& counter, const ClockReading& now) const;

    Clock clock_;
    Counter transmissions_;
    Counter assignments_;
};

// The running program's counters.
ClearingSequence& clearingSequence();
// Called when the program ends: waits until the clock has passed the numbers
// this run issued.
void waitForClearingNumbers();

}  // namespace lagrull::clearing
