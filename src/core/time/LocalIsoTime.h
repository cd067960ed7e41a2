#pragma once

#include "time/Instant.h"

#include <QTimeZone>
#include <limits>

// Instants as ISO 8601 local times with the UTC offset that applied then
// ("2026-05-01T14:03:07+02:00"), whole seconds, for files other programs read.
//
// Offsets change only at the zone's transitions, so the offset found for one instant is reused
// until the next one: writing a long history takes a handful of time-zone look-ups instead of one
// per instant, which is what made exporting slow.
class LocalIsoTime final {
public:
    LocalIsoTime();

    // Room write() may need.
    static constexpr qsizetype room = 32;
    // Writes the text and returns its end; writes nothing for an instant outside the years 1 to
    // 9999, which the format cannot hold.
    char* write(char* out, Instant instant);

private:
    int offsetAt(qint64 unixSeconds);

    QTimeZone m_zone;
    qint64 m_validFrom = std::numeric_limits<qint64>::max();
    qint64 m_validUntil = std::numeric_limits<qint64>::min();
    int m_offset = 0;
};
