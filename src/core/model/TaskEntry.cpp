#include "model/TaskEntry.h"

#include "time/DurationText.h"

TaskEntry::TaskEntry(QUuid id, QString taskName, qint64 duration, Instant startTime,
                     Instant endTime, Instant completionDate)
    : m_id(id)
    , m_taskName(std::move(taskName))
    , m_duration(duration)
    , m_startTime(startTime)
    , m_endTime(endTime)
    , m_completionDate(completionDate) {}

QString TaskEntry::formattedDuration() const {
    return DurationText::completionClock(m_duration);
}

bool TaskEntry::operator==(const TaskEntry& other) const {
    // Names compare canonically: a precomposed and a decomposed "é" are the same name.
    return m_id == other.m_id && m_duration == other.m_duration &&
           m_startTime == other.m_startTime && m_endTime == other.m_endTime &&
           m_completionDate == other.m_completionDate &&
           (m_taskName == other.m_taskName ||
            m_taskName.normalized(QString::NormalizationForm_D) ==
                other.m_taskName.normalized(QString::NormalizationForm_D));
}
