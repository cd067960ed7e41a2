#include "time/Clock.h"

#include <chrono>

Instant SystemClock::now() const {
    // Microsecond resolution: QDateTime would cut the fraction to milliseconds.
    using namespace std::chrono;
    const auto sinceEpoch = duration_cast<microseconds>(system_clock::now().time_since_epoch());
    constexpr qint64 referenceMicros = Instant::referenceUnixSeconds * 1000000;
    return Instant(static_cast<double>(sinceEpoch.count() - referenceMicros) / 1e6);
}
