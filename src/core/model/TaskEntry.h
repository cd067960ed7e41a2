#pragma once

#include "time/Instant.h"

#include <QSharedData>
#include <QString>
#include <QUuid>

// One completed task. Immutable: an edit builds a new entry with the same id.
//
// A long history is mostly entries, so an entry is kept to 40 bytes. Its name is shared with every
// entry made from the same TaskEntry::Name (the history's reader makes one per distinct name). A
// duration under 65536 seconds rides in the spare high bits of the name's pointer, and the
// completion, in every entry this program makes the same instant as the end, is not stored at all;
// an entry that does not fit that mould keeps its name, duration and completion in a block of
// its own.
class TaskEntry final {
    struct Shared : QSharedData {
        explicit Shared(QString name, bool ownFields = false)
            : ownFields(ownFields)
            , text(std::move(name)) {}
        bool ownFields; // a Separate, which holds the duration and completion too
        QString text;
    };
    struct Separate;

public:
    // A name as entries hold it; copies share one string.
    class Name final {
    public:
        Name() = default;
        explicit Name(QString text);
        const QString& text() const;

    private:
        friend class TaskEntry;
        QExplicitlySharedDataPointer<Shared> d;
    };

    TaskEntry() = default;
    TaskEntry(QUuid id, QString taskName, qint64 duration, Instant startTime, Instant endTime,
              Instant completionDate);
    TaskEntry(QUuid id, const Name& taskName, qint64 duration, Instant startTime, Instant endTime,
              Instant completionDate);
    TaskEntry(const TaskEntry& other);
    TaskEntry(TaskEntry&& other) noexcept;
    TaskEntry& operator=(const TaskEntry& other);
    TaskEntry& operator=(TaskEntry&& other) noexcept;
    ~TaskEntry();

    QUuid id() const { return m_id; }
    const QString& taskName() const;
    qint64 duration() const; // whole seconds
    Instant startTime() const { return m_startTime; }
    Instant endTime() const { return m_endTime; }
    Instant completionDate() const;

    // "m:ss" below an hour, "h:mm:ss" from an hour on; hours are not wrapped at 24.
    QString formattedDuration() const;

    bool operator==(const TaskEntry& other) const;

private:
    Shared* shared() const;
    void release();

    QUuid m_id;
    Instant m_startTime;
    Instant m_endTime;
    // 0 for a default entry; else a Shared name with bit 0 set and the duration in bits 48 to 63,
    // or a Separate (bit 0 clear).
    quint64 m_tail = 0;
};

// Moved in memory as bytes: a growing list of entries is reallocated, not copied entry by entry.
Q_DECLARE_TYPEINFO(TaskEntry, Q_RELOCATABLE_TYPE);
