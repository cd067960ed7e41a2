#include "time/LocalDays.h"

#include <QDateTime>
#include <QtNumeric>
#include <limits>

namespace {
constexpr qint64 secondsPerDay = 86400;
constexpr qint64 unixEpochJulianDay = 2440588;

double fromUnix(qint64 seconds) {
    return double(seconds - Instant::referenceUnixSeconds);
}
} // namespace

LocalDays::LocalDays()
    : m_zone(QTimeZone::systemTimeZone()) {}

double LocalDays::startOf(QDate date) {
    const qint64 localMidnight = (date.toJulianDay() - unixEpochJulianDay) * secondsPerDay;
    const qint64 utc = localMidnight - m_offset;
    // A day within a day of a transition goes to Qt: when a zone turns its clocks back across
    // midnight, the day starts at the first of the two midnights, which may lie before it.
    if (utc >= m_knownFrom + secondsPerDay && utc < m_knownUntil)
        return fromUnix(utc);

    const QDateTime start = date.startOfDay();
    // Far outside what the zone database covers there is no start; such a day is empty.
    if (!start.isValid())
        return qQNaN();
    learnOffsetAround(start);
    return Instant::fromDateTime(start).secondsSinceReference();
}

// Remembers the offset that holds around a day start Qt's local time gave, for as long as the zone
// keeps it, but only where the zone object and Qt's local time agree on that start.
void LocalDays::learnOffsetAround(const QDateTime& start) {
    m_knownFrom = 1;
    m_knownUntil = 0;
    if (!m_zone.isValid() || start.time() != QTime(0, 0))
        return;
    const int offset = m_zone.offsetFromUtc(start);
    if (offset != start.offsetFromUtc())
        return;
    qint64 from = std::numeric_limits<qint64>::min();
    qint64 until = std::numeric_limits<qint64>::max();
    if (m_zone.hasTransitions()) {
        const QTimeZone::OffsetData before = m_zone.previousTransition(start.addSecs(1));
        const QTimeZone::OffsetData after = m_zone.nextTransition(start);
        if (before.atUtc.isValid())
            from = before.atUtc.toSecsSinceEpoch();
        if (after.atUtc.isValid())
            until = after.atUtc.toSecsSinceEpoch();
    }
    m_knownFrom = from;
    m_knownUntil = until;
    m_offset = offset;
}

double LocalDays::endOf(QDate date) {
    for (int ahead = 1; ahead <= 2; ++ahead) {
        const double start = startOf(date.addDays(ahead));
        if (!qIsNaN(start))
            return start;
    }
    return qQNaN();
}

LocalDay LocalDays::containing(Instant instant) {
    const QDate date = instant.toDateTime().date();
    LocalDay day{date, startOf(date), endOf(date)};
    if (!day.contains(instant.secondsSinceReference())) // NaN bounds: a day of its own
        day.start = day.end = instant.secondsSinceReference();
    return day;
}

LocalDay LocalDays::from(const LocalDay& previous, Instant instant) {
    const double seconds = instant.secondsSinceReference();
    if (previous.date.isValid() && !previous.isEmpty()) {
        if (seconds >= previous.end) {
            const LocalDay next{previous.date.addDays(1), previous.end,
                                endOf(previous.date.addDays(1))};
            if (next.contains(seconds))
                return next;
        } else if (seconds < previous.start) {
            const LocalDay before{previous.date.addDays(-1), startOf(previous.date.addDays(-1)),
                                  previous.start};
            if (before.contains(seconds))
                return before;
        }
    }
    return containing(instant);
}
