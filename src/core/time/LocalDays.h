#pragma once

#include "time/Instant.h"

#include <QDate>
#include <QTimeZone>

// [start, end) of one calendar day in the system time zone, in seconds since the reference date.
// Days are not always 24 hours long, nor do they all start at midnight, and a zone may skip a
// date altogether, so both ends come from the zone.
struct LocalDay {
    QDate date;
    double start = 0;
    double end = 0;
    bool contains(double seconds) const { return seconds >= start && seconds < end; }
    bool isEmpty() const { return !(start < end); }
};

// Finds the local days that instants fall on. One finder serves a whole pass over a history:
// between two transitions of the zone the UTC offset is fixed, so a day there starts exactly that
// offset before its local midnight, and only days that touch a transition ask Qt's local time
// (a conversion costs microseconds, and with TZ unset a look at /etc/localtime each time).
class LocalDays final {
public:
    LocalDays();

    LocalDay containing(Instant instant);
    // The day of `instant`, found from `previous` when it is that day's neighbour, which is the
    // common case when walking completions in time order.
    LocalDay from(const LocalDay& previous, Instant instant);

private:
    double startOf(QDate date);
    // Where the day after `date` starts; the day before a skipped date lasts until the next one.
    double endOf(QDate date);
    void learnOffsetAround(const QDateTime& start);

    QTimeZone m_zone;
    // The span (Unix seconds) over which the zone's offset is known to be m_offset.
    qint64 m_knownFrom = 1;
    qint64 m_knownUntil = 0;
    int m_offset = 0;
};
