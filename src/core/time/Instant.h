#pragma once

#include <QtGlobal>
#include <compare>

class QDateTime;

// An absolute instant as seconds since 2001-01-01 00:00:00 UTC, the form the history file stores.
// QDateTime keeps only milliseconds, so stored fractions would not survive a round trip through it;
// convert only to group by day and to format.
class Instant final {
public:
    // 2001-01-01 00:00:00 UTC in seconds since the Unix epoch.
    static constexpr qint64 referenceUnixSeconds = 978307200;

    constexpr Instant() = default;
    constexpr explicit Instant(double secondsSinceReference)
        : m_seconds(secondsSinceReference) {}

    static Instant fromDateTime(const QDateTime& dateTime);
    QDateTime toDateTime() const; // local time

    constexpr double secondsSinceReference() const { return m_seconds; }
    constexpr Instant addingSeconds(double seconds) const { return Instant(m_seconds + seconds); }
    constexpr double secondsSince(Instant earlier) const { return m_seconds - earlier.m_seconds; }

    // Exact comparison of the second counts, as stored.
    // NOLINTNEXTLINE(modernize-use-nullptr): clang-tidy 14 sees a 0 literal in a defaulted <=>
    constexpr auto operator<=>(const Instant&) const = default;

private:
    double m_seconds = 0.0;
};
