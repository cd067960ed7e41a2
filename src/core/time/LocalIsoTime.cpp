#include "time/LocalIsoTime.h"

#include <QDateTime>
#include <cmath>

namespace {

// 0001-01-01T00:00:00Z and 9999-12-31T23:59:59Z in seconds since the Unix epoch.
constexpr qint64 firstSecond = -62135596800;
constexpr qint64 lastSecond = 253402300799;

struct CivilDate {
    qint64 year;
    int month;
    int day;
};

// Days since 1970-01-01 to a proleptic Gregorian date (H. Hinnant's civil_from_days).
CivilDate civilFromDays(qint64 days) {
    days += 719468;
    const qint64 era = (days >= 0 ? days : days - 146096) / 146097;
    const qint64 dayOfEra = days - era * 146097;
    const qint64 yearOfEra =
        (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const qint64 dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const qint64 shiftedMonth = (5 * dayOfYear + 2) / 153;
    const int day = int(dayOfYear - (153 * shiftedMonth + 2) / 5 + 1);
    const int month = int(shiftedMonth < 10 ? shiftedMonth + 3 : shiftedMonth - 9);
    return {yearOfEra + era * 400 + (month <= 2 ? 1 : 0), month, day};
}

char* digits(char* out, qint64 value, int width) {
    for (int i = width - 1; i >= 0; --i) {
        out[i] = char('0' + value % 10);
        value /= 10;
    }
    return out + width;
}

qint64 floorDiv(qint64 a, qint64 b) {
    return a / b - ((a % b != 0) && ((a < 0) != (b < 0)) ? 1 : 0);
}

} // namespace

LocalIsoTime::LocalIsoTime()
    : m_zone(QTimeZone::systemTimeZone()) {}

int LocalIsoTime::offsetAt(qint64 unixSeconds) {
    if (unixSeconds >= m_validFrom && unixSeconds < m_validUntil)
        return m_offset;
    const QDateTime at = QDateTime::fromSecsSinceEpoch(unixSeconds, Qt::UTC);
    if (!m_zone.isValid()) {
        // A zone Qt cannot read: ask the C library through QDateTime each time.
        return at.toLocalTime().offsetFromUtc();
    }
    m_offset = m_zone.offsetFromUtc(at);
    // The transition at or before the instant, and the one after it.
    const QTimeZone::OffsetData before = m_zone.previousTransition(at.addSecs(1));
    const QTimeZone::OffsetData after = m_zone.nextTransition(at);
    m_validFrom = before.atUtc.isValid() ? before.atUtc.toSecsSinceEpoch()
                                         : std::numeric_limits<qint64>::min();
    m_validUntil =
        after.atUtc.isValid() ? after.atUtc.toSecsSinceEpoch() : std::numeric_limits<qint64>::max();
    if (!(unixSeconds >= m_validFrom && unixSeconds < m_validUntil)) {
        // The zone's data disagrees with itself; do not trust the interval.
        m_validFrom = std::numeric_limits<qint64>::max();
        m_validUntil = std::numeric_limits<qint64>::min();
    }
    return m_offset;
}

char* LocalIsoTime::write(char* out, Instant instant) {
    const double seconds = std::floor(instant.secondsSinceReference());
    if (!(seconds >= double(firstSecond - Instant::referenceUnixSeconds + 86400) &&
          seconds <= double(lastSecond - Instant::referenceUnixSeconds - 86400)))
        return out; // a day's margin on either side leaves room for any offset
    const qint64 unix = qint64(seconds) + Instant::referenceUnixSeconds;
    // Offsets of odd seconds (local mean time before about 1900) are cut to the minute, which the
    // format can hold; the local time follows, so the text still names the exact instant.
    const int offset = offsetAt(unix) / 60 * 60;
    const qint64 local = unix + offset;
    const qint64 days = floorDiv(local, 86400);
    const qint64 secondOfDay = local - days * 86400;
    const CivilDate date = civilFromDays(days);

    out = digits(out, date.year, 4);
    *out++ = '-';
    out = digits(out, date.month, 2);
    *out++ = '-';
    out = digits(out, date.day, 2);
    *out++ = 'T';
    out = digits(out, secondOfDay / 3600, 2);
    *out++ = ':';
    out = digits(out, secondOfDay / 60 % 60, 2);
    *out++ = ':';
    out = digits(out, secondOfDay % 60, 2);
    const int magnitude = offset < 0 ? -offset : offset;
    *out++ = offset < 0 ? '-' : '+';
    out = digits(out, magnitude / 3600, 2);
    *out++ = ':';
    return digits(out, magnitude / 60 % 60, 2);
}
