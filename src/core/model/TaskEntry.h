#pragma once

#include "time/Instant.h"

#include <QSharedData>
#include <QString>
#include <QUuid>
#include <utility>

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
    struct Separate final : Shared {
        Separate(QString name, qint64 duration, Instant completion)
            : Shared(std::move(name), true)
            , duration(duration)
            , completion(completion) {}
        qint64 duration;
        Instant completion;
    };

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
    // Inline: grouping and sorting a long history copy and read entries by the hundred thousand.
    TaskEntry(const TaskEntry& other)
        : m_id(other.m_id)
        , m_startTime(other.m_startTime)
        , m_endTime(other.m_endTime)
        , m_tail(other.m_tail) {
        if (Shared* name = shared())
            name->ref.ref();
    }
    TaskEntry(TaskEntry&& other) noexcept
        : m_id(other.m_id)
        , m_startTime(other.m_startTime)
        , m_endTime(other.m_endTime)
        , m_tail(std::exchange(other.m_tail, 0)) {}
    TaskEntry& operator=(const TaskEntry& other) {
        if (this != &other)
            *this = TaskEntry(other);
        return *this;
    }
    TaskEntry& operator=(TaskEntry&& other) noexcept {
        if (this != &other) {
            release();
            m_id = other.m_id;
            m_startTime = other.m_startTime;
            m_endTime = other.m_endTime;
            m_tail = std::exchange(other.m_tail, 0);
        }
        return *this;
    }
    ~TaskEntry() { release(); }

    QUuid id() const { return m_id; }
    const QString& taskName() const;
    qint64 duration() const { // whole seconds
        if (m_tail & compactFlag)
            return qint64(m_tail >> durationShift);
        const Shared* name = shared();
        return name ? static_cast<const Separate*>(name)->duration : 0;
    }
    Instant startTime() const { return m_startTime; }
    Instant endTime() const { return m_endTime; }
    Instant completionDate() const {
        if (m_tail & compactFlag || m_tail == 0)
            return m_endTime;
        return static_cast<const Separate*>(shared())->completion;
    }

    // "m:ss" below an hour, "h:mm:ss" from an hour on; hours are not wrapped at 24.
    QString formattedDuration() const;

    bool operator==(const TaskEntry& other) const;

private:
    static constexpr quint64 compactFlag = 1;
    static constexpr int durationShift = 48;
    static constexpr quint64 pointerBits = (quint64(1) << durationShift) - 1;

    Shared* shared() const {
        const quint64 address = m_tail & compactFlag ? m_tail & pointerBits & ~compactFlag : m_tail;
        return reinterpret_cast<Shared*>(quintptr(address));
    }
    void release() {
        Shared* name = shared();
        if (name && !name->ref.deref()) {
            if (name->ownFields)
                delete static_cast<Separate*>(name);
            else
                delete name;
        }
        m_tail = 0;
    }

    QUuid m_id;
    Instant m_startTime;
    Instant m_endTime;
    // 0 for a default entry; else a Shared name with bit 0 set and the duration in bits 48 to 63,
    // or a Separate (bit 0 clear).
    quint64 m_tail = 0;
};

// Moved in memory as bytes: a growing list of entries is reallocated, not copied entry by entry.
Q_DECLARE_TYPEINFO(TaskEntry, Q_RELOCATABLE_TYPE);
