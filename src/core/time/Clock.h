#pragma once

#include "time/Instant.h"

// Where "now" comes from. Injected so tests can drive time without sleeping.
class Clock {
public:
    virtual ~Clock() = default;
    virtual Instant now() const = 0;
};

class SystemClock final : public Clock {
public:
    Instant now() const override;
};

// A clock that only moves when told to; for tests.
class ManualClock final : public Clock {
public:
    explicit ManualClock(Instant start = Instant(786000000.0))
        : m_now(start) {}
    Instant now() const override { return m_now; }
    void set(Instant instant) { m_now = instant; }
    void advance(double seconds) { m_now = m_now.addingSeconds(seconds); }

private:
    Instant m_now;
};
