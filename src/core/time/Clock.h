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
