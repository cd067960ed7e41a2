#include "time/Instant.h"

#include <QDateTime>
#include <cmath>

namespace {
constexpr qint64 referenceMSecs = Instant::referenceUnixSeconds * 1000;
// Beyond about ±100000 years QDateTime's local-time arithmetic stops being meaningful; stored
// values that far out are clamped rather than overflowing the integer conversion.
constexpr double maxMSecs = 3.0e15;
} // namespace

Instant Instant::fromDateTime(const QDateTime& dateTime) {
    const qint64 msecs = dateTime.toMSecsSinceEpoch() - referenceMSecs;
    return Instant(static_cast<double>(msecs) / 1000.0);
}

QDateTime Instant::toDateTime() const {
    // Floor, not round: an instant late in 23:59:59.999 must stay in its own day.
    double msecs = std::floor(m_seconds * 1000.0);
    if (!(msecs > -maxMSecs)) // also catches NaN
        msecs = -maxMSecs;
    else if (msecs > maxMSecs)
        msecs = maxMSecs;
    return QDateTime::fromMSecsSinceEpoch(static_cast<qint64>(msecs) + referenceMSecs,
                                          Qt::LocalTime);
}
