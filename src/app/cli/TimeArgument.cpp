#include "cli/TimeArgument.h"

#include <QDateTime>
#include <QRegularExpression>
#include <QTimeZone>

namespace TimeArgument {

namespace {

struct Parts {
    QDate date; // null for a time of day alone
    std::optional<QTime> time;
    std::optional<QTimeZone> zone; // none: local time
};

std::optional<int> offsetSeconds(const QString& text) {
    if (text == u'Z')
        return 0;
    // ±HH:MM or ±HHMM
    const int hours = text.mid(1, 2).toInt();
    const int minutes = text.right(2).toInt();
    if (hours > 23 || minutes > 59)
        return std::nullopt;
    const int seconds = hours * 3600 + minutes * 60;
    return text.startsWith(u'-') ? -seconds : seconds;
}

std::optional<Parts> split(const QString& text) {
    static const QRegularExpression form(QStringLiteral(
        R"(^(?:(\d{4})-(\d{2})-(\d{2}))?(?:(?:^|[T ])(\d{2}):(\d{2})(?::(\d{2}))?)?(Z|[+-]\d{2}:?\d{2})?$)"));
    const QRegularExpressionMatch match = form.match(text);
    if (!match.hasMatch() || text.isEmpty())
        return std::nullopt;
    Parts parts;
    if (match.hasCaptured(1)) {
        parts.date =
            QDate(match.captured(1).toInt(), match.captured(2).toInt(), match.captured(3).toInt());
        if (!parts.date.isValid())
            return std::nullopt;
    }
    if (match.hasCaptured(4)) {
        const QTime time(match.captured(4).toInt(), match.captured(5).toInt(),
                         match.hasCaptured(6) ? match.captured(6).toInt() : 0);
        if (!time.isValid())
            return std::nullopt;
        parts.time = time;
    }
    if (match.hasCaptured(7)) {
        // An offset belongs to a time, not to a day alone.
        const std::optional<int> offset = offsetSeconds(match.captured(7));
        if (!parts.time || !offset)
            return std::nullopt;
        parts.zone = QTimeZone(*offset);
    }
    return parts;
}

Instant instantOf(const QDate& date, const QTime& time, const std::optional<QTimeZone>& zone) {
    return Instant::fromDateTime(zone ? QDateTime(date, time, *zone) : QDateTime(date, time));
}

} // namespace

std::optional<Span> parseDateOrTime(const QString& text) {
    const std::optional<Parts> parts = split(text);
    if (!parts || parts->date.isNull())
        return std::nullopt;
    if (!parts->time) {
        // Days do not all start at midnight, nor last 24 hours.
        return Span{Instant::fromDateTime(parts->date.startOfDay()),
                    Instant::fromDateTime(parts->date.addDays(1).startOfDay())};
    }
    const Instant at = instantOf(parts->date, *parts->time, parts->zone);
    return Span{at, at};
}

std::optional<Instant> parseTime(const QString& text, const QDate& today) {
    const std::optional<Parts> parts = split(text);
    if (!parts || !parts->time)
        return std::nullopt;
    return instantOf(parts->date.isNull() ? today : parts->date, *parts->time, parts->zone);
}

} // namespace TimeArgument
