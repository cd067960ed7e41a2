#include "model/TaskEntry.h"

#include "time/DurationText.h"

#include <bit>

namespace {

const QString& noName() {
    static const QString empty;
    return empty;
}

// Every bit: -0.0 is not 0.0 here, and a NaN is itself.
bool sameInstant(Instant a, Instant b) {
    return std::bit_cast<quint64>(a.secondsSinceReference()) ==
           std::bit_cast<quint64>(b.secondsSinceReference());
}

constexpr qint64 largestCompactDuration = 0xFFFF;

} // namespace

TaskEntry::Name::Name(QString text)
    : d(new Shared(std::move(text))) {}

const QString& TaskEntry::Name::text() const {
    return d ? d->text : noName();
}

TaskEntry::TaskEntry(QUuid id, QString taskName, qint64 duration, Instant startTime,
                     Instant endTime, Instant completionDate)
    : TaskEntry(id, Name(std::move(taskName)), duration, startTime, endTime, completionDate) {}

TaskEntry::TaskEntry(QUuid id, const Name& taskName, qint64 duration, Instant startTime,
                     Instant endTime, Instant completionDate)
    : m_id(id)
    , m_startTime(startTime)
    , m_endTime(endTime) {
    const auto address = quint64(reinterpret_cast<quintptr>(taskName.d.data()));
    // Where pointers use more than 48 bits, nothing rides in them.
    const bool spareBits = (address & ~pointerBits) == 0;
    if (taskName.d && spareBits && duration >= 0 && duration <= largestCompactDuration &&
        sameInstant(completionDate, endTime)) {
        taskName.d->ref.ref();
        m_tail = address | compactFlag | (quint64(duration) << durationShift);
    } else {
        m_tail = quint64(
            reinterpret_cast<quintptr>(new Separate(taskName.text(), duration, completionDate)));
        shared()->ref.ref();
    }
}

const QString& TaskEntry::taskName() const {
    const Shared* name = shared();
    return name ? name->text : noName();
}

QString TaskEntry::formattedDuration() const {
    return DurationText::completionClock(duration());
}

bool TaskEntry::operator==(const TaskEntry& other) const {
    // Names compare canonically: a precomposed and a decomposed "é" are the same name.
    const QString& name = taskName();
    const QString& otherName = other.taskName();
    return m_id == other.m_id && duration() == other.duration() &&
           m_startTime == other.m_startTime && m_endTime == other.m_endTime &&
           completionDate() == other.completionDate() &&
           (name == otherName || name.normalized(QString::NormalizationForm_D) ==
                                     otherName.normalized(QString::NormalizationForm_D));
}
