#include "model/TaskEntry.h"

TaskEntry::TaskEntry(QUuid id, QString taskName, qint64 duration, Instant startTime,
                     Instant endTime, Instant completionDate)
    : m_id(id)
    , m_taskName(std::move(taskName))
    , m_duration(duration)
    , m_startTime(startTime)
    , m_endTime(endTime)
    , m_completionDate(completionDate) {}

QString TaskEntry::formattedDuration() const {
    // Truncating division: a negative duration keeps its sign in every field, as C++ gives it.
    const qint64 h = m_duration / 3600;
    const qint64 m = (m_duration % 3600) / 60;
    const qint64 s = m_duration % 60;
    if (m_duration < 3600)
        return QString::asprintf("%lld:%02lld", m, s);
    return QString::asprintf("%lld:%02lld:%02lld", h, m, s);
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
