#pragma once
// The demo register's own random numbers: SplitMix64, so that the same seed
// gives the same register on every compiler and library (the standard
// distributions are not fixed by the language).

#include <cstdint>
#include <string>
#include <vector>

namespace lagrull::demo {

class DemoRandom {
public:
    explicit DemoRandom(std::uint64_t seed) : state_(seed) {}

    std::uint64_t next() {
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ULL);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
        return z ^ (z >> 31);
    }
    // A whole number in [0, n); 0 when n is 0.
    int below(int n) {
        return n <= 0 ? 0 : static_cast<int>(next() % static_cast<std::uint64_t>(n));
    }
    // A whole number in [low, high].
    int between(int low, int high) { return low + below(high - low + 1); }
    // True in `percent` of the calls.
    bool chance(int percent) { return below(100) < percent; }
    template <typename T>
    const T& pick(const std::vector<T>& items) {
        return items[static_cast<std::size_t>(below(static_cast<int>(items.size())))];
    }
    // `count` random decimal digits.
    std::string digits(int count) {
        std::string out;
        for (int i = 0; i < count; ++i) out += static_cast<char>('0' + below(10));
        return out;
    }

private:
    std::uint64_t state_;
};

}  // namespace lagrull::demo
