#include "time/DurationText.h"

#include <QCoreApplication>

namespace DurationText {

namespace {

constexpr qint64 minute = 60;
constexpr qint64 hour = 60 * minute;

QString twoDigits(qint64 value) {
    // The countdown's title is built from two of these every second; asprintf is the costly part.
    if (value >= 0 && value < 100) {
        const QChar digits[] = {QChar(char16_t(u'0' + value / 10)),
                                QChar(char16_t(u'0' + value % 10))};
        return QString(digits, 2);
    }
    return QString::asprintf("%02lld", value);
}

QString hoursAndMinutes(qint64 hours, qint64 minutes) {
    return QCoreApplication::translate("DurationText", "%1h %2m", "hours and minutes")
        .arg(hours)
        .arg(minutes);
}

QString minutesOnly(qint64 minutes) {
    return QCoreApplication::translate("DurationText", "%1m", "minutes").arg(minutes);
}

} // namespace

QString countdown(qint64 seconds) {
    const qint64 minutes = seconds / minute;
    return twoDigits(minutes) + u':' + twoDigits(seconds - minutes * minute);
}

QString wholeMinutes(qint64 seconds) {
    return QString::number(seconds / minute);
}

QString completionClock(qint64 seconds) {
    const qint64 minutes = seconds % hour / minute;
    const QString rest = twoDigits(seconds % minute);
    if (seconds < hour)
        return QString::number(minutes) + u':' + rest;
    return QString::number(seconds / hour) + u':' + twoDigits(minutes) + u':' + rest;
}

QString mergedTotalClock(qint64 seconds) {
    const qint64 minutes = seconds % hour / minute;
    const QString rest = twoDigits(seconds % minute);
    if (seconds >= hour)
        return QString::number(seconds / hour) + u':' + twoDigits(minutes) + u':' + rest;
    // Under a minute the minutes field is a plain 0, also for a negative total.
    if (seconds % hour >= minute)
        return QString::number(minutes) + u':' + rest;
    return QStringLiteral("0:") + rest;
}

QString dayTotal(qint64 seconds) {
    const qint64 minutes = seconds / minute;
    if (seconds >= hour)
        return hoursAndMinutes(minutes / 60, minutes % 60);
    return minutesOnly(minutes);
}

QString legendTotal(qint64 seconds) {
    if (seconds >= hour)
        return hoursAndMinutes(seconds / hour, seconds % hour / minute);
    return minutesOnly(seconds % hour / minute);
}

} // namespace DurationText
