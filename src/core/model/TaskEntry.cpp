#include "model/TaskEntry.h"

#include "time/DurationText.h"

#include <bit>
#include <utility>

struct TaskEntry::Separate final : Shared {
    Separate(QString name, qint64 duration, Instant completion)
        : Shared(std::move(name), true)
        , duration(duration)
        , completion(completion) {}
    qint64 duration;
    Instant completion;
};

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

constexpr quint64 compactFlag = 1;
constexpr int durationShift = 48;
constexpr quint64 pointerBits = (quint64(1) << durationShift) - 1;
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

TaskEntry::TaskEntry(const TaskEntry& other)
    : m_id(other.m_id)
    , m_startTime(other.m_startTime)
    , m_endTime(other.m_endTime)
    , m_tail(other.m_tail) {
    if (Shared* name = shared())
        name->ref.ref();
}

TaskEntry::TaskEntry(TaskEntry&& other) noexcept
    : m_id(other.m_id)
    , m_startTime(other.m_startTime)
    , m_endTime(other.m_endTime)
    , m_tail(std::exchange(other.m_tail, 0)) {}

TaskEntry& TaskEntry::operator=(const TaskEntry& other) {
    if (this != &other) {
        TaskEntry copy(other);
        *this = std::move(copy);
    }
    return *this;
}

TaskEntry& TaskEntry::operator=(TaskEntry&& other) noexcept {
    if (this != &other) {
        release();
        m_id = other.m_id;
        m_startTime = other.m_startTime;
        m_endTime = other.m_endTime;
        m_tail = std::exchange(other.m_tail, 0);
    }
    return *this;
}

TaskEntry::~TaskEntry() {
    release();
}

TaskEntry::Shared* TaskEntry::shared() const {
    const quint64 address = m_tail & compactFlag ? m_tail & pointerBits & ~compactFlag : m_tail;
    return reinterpret_cast<Shared*>(quintptr(address));
}

void TaskEntry::release() {
    Shared* name = shared();
    if (name && !name->ref.deref()) {
        if (name->ownFields)
            delete static_cast<Separate*>(name);
        else
            delete name;
    }
    m_tail = 0;
}

const QString& TaskEntry::taskName() const {
    const Shared* name = shared();
    return name ? name->text : noName();
}

qint64 TaskEntry::duration() const {
    if (m_tail & compactFlag)
        return qint64(m_tail >> durationShift);
    const Shared* name = shared();
    return name ? static_cast<const Separate*>(name)->duration : 0;
}

Instant TaskEntry::completionDate() const {
    if (m_tail & compactFlag || m_tail == 0)
        return m_endTime;
    return static_cast<const Separate*>(shared())->completion;
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
