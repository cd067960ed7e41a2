#pragma once

#include "time/Instant.h"

#include <QString>
#include <QUuid>

// One completed task. Immutable: an edit builds a new entry with the same id.
class TaskEntry final {
public:
    TaskEntry() = default;
    TaskEntry(QUuid id, QString taskName, qint64 duration, Instant startTime, Instant endTime,
              Instant completionDate);

    QUuid id() const { return m_id; }
    const QString& taskName() const { return m_taskName; }
    qint64 duration() const { return m_duration; } // whole seconds
    Instant startTime() const { return m_startTime; }
    Instant endTime() const { return m_endTime; }
    Instant completionDate() const { return m_completionDate; }

    // "m:ss" below an hour, "h:mm:ss" from an hour on; hours are not wrapped at 24.
    QString formattedDuration() const;

    bool operator==(const TaskEntry& other) const;

private:
    QUuid m_id;
    QString m_taskName;
    qint64 m_duration = 0;
    Instant m_startTime;
    Instant m_endTime;
    Instant m_completionDate;
};
