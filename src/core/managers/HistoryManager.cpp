#include "managers/HistoryManager.h"

#include "model/TaskEntryJson.h"
#include "storage/PreferencesStore.h"
#include "time/DateFormat.h"
#include "time/LocalDays.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QFutureWatcher>
#include <QHash>
#include <QLocale>
#include <QSet>
#include <QtConcurrent/QtConcurrentRun>
#include <algorithm>
#include <iterator>
#include <optional>
#ifdef __GLIBC__
#include <malloc.h>
#endif
#include <vector>

namespace {

const QString historyKey = QStringLiteral("TaskHistoryData");

// Newest first; equal instants keep the order in which they were added.
void sortNewestFirst(QList<TaskEntry>& tasks) {
    const auto older = [](const TaskEntry& a, const TaskEntry& b) {
        return a.completionDate() < b.completionDate();
    };
    // The common case, strictly ascending, just turns around.
    if (std::adjacent_find(tasks.cbegin(), tasks.cend(),
                           [&](const TaskEntry& a, const TaskEntry& b) { return !older(a, b); }) ==
        tasks.cend()) {
        std::reverse(tasks.begin(), tasks.end());
        return;
    }
    std::stable_sort(tasks.begin(), tasks.end(),
                     [&](const TaskEntry& a, const TaskEntry& b) { return older(b, a); });
}

} // namespace

// What one read of the stored history found; made on whichever thread reads.
struct HistoryManager::Read {
    std::optional<QByteArray> bytes; // dropped once decoded
    QString error;
    std::optional<QList<TaskEntry>> decoded;
};

struct HistoryManager::Loader {
    QFuture<Read> future;
    QFutureWatcher<Read>* watcher = nullptr; // a child of the manager
};

HistoryManager::HistoryManager(PreferencesStore& store, QObject* parent)
    : HistoryManager(store, Loading::Now, parent) {}

HistoryManager::HistoryManager(PreferencesStore& store, Loading loading, QObject* parent)
    : QObject(parent)
    , m_stored(store, historyKey) {
    if (loading == Loading::Now) {
        adopt(readStored(store));
        return;
    }
    // The store is touched by no one else until the read is taken in.
    m_loader = std::make_unique<Loader>();
    m_loader->watcher = new QFutureWatcher<Read>(this);
    connect(m_loader->watcher, &QFutureWatcher<Read>::finished, this, &HistoryManager::onLoaded);
    m_loader->future = QtConcurrent::run([&store] { return readStored(store); });
    m_loader->watcher->setFuture(m_loader->future);
}

HistoryManager::~HistoryManager() {
    if (m_loader)
        m_loader->future.waitForFinished();
}

HistoryManager::Read HistoryManager::readStored(PreferencesStore& store) {
    Read read = readStoredText(store);
#ifdef __GLIBC__
    // The reader's buffers and tables are freed between the entries and names that stay; hand
    // the pages they leave empty back to the system rather than keep them for the process's life.
    malloc_trim(0);
#endif
    return read;
}

HistoryManager::Read HistoryManager::readStoredText(PreferencesStore& store) {
    Read read;
    // Decoded as it is read, so the file's text is never all in memory.
    TaskHistoryDecoder decoder;
    bool sized = false;
    const PreferencesStore::PieceRead outcome =
        store.readInPieces(historyKey, [&](QByteArrayView piece, qint64 size) {
            if (!sized)
                decoder.expectBytes(size);
            sized = true;
            return decoder.feed(piece);
        });
    if (outcome == PreferencesStore::PieceRead::Absent)
        return read;
    if (outcome == PreferencesStore::PieceRead::Complete) {
        read.decoded = decoder.finish();
        if (read.decoded)
            return read;
    }
    // Whatever the piecewise reader turned down is read whole, which decides what it holds.
    read.bytes = store.value(historyKey);
    read.error = store.lastError();
    if (read.bytes && read.error.isEmpty()) {
        read.decoded = decodeTaskHistory(*read.bytes);
        if (read.decoded)
            read.bytes.reset();
    }
    return read;
}

void HistoryManager::adopt(Read read) {
    const bool present = read.bytes || read.decoded;
    m_stored.acceptRead(present ? std::optional<QByteArray>(QByteArray()) : std::nullopt,
                        read.error);
    if (!present || !read.error.isEmpty())
        return;
    if (!read.decoded) {
        // Left exactly as it is on disk until the first change, which keeps a copy first.
        m_stored.markUnreadable();
        return;
    }
    m_tasks = std::move(*read.decoded);
}

void HistoryManager::finishLoading() const {
    if (!m_loader)
        return;
    m_loader->future.waitForFinished();
    Read read = m_loader->future.takeResult();
    // Deleted later: this may run inside the watcher's own signal.
    m_loader->watcher->disconnect(this);
    m_loader->watcher->deleteLater();
    m_loader.reset();
    // Taking in the one read is what loading means; to a caller the history was always there.
    const_cast<HistoryManager*>(this)->adopt(std::move(read));
}

void HistoryManager::onLoaded() {
    if (!m_loader)
        return; // someone needed the completions first and took them in already
    finishLoading();
    if (!m_tasks.isEmpty())
        emit tasksChanged();
}

const QList<TaskEntry>& HistoryManager::tasks() const {
    finishLoading();
    return m_tasks;
}

void HistoryManager::saveTasks() {
    finishLoading();
    QByteArray bytes;
    if (encodeTaskHistory(m_tasks, bytes))
        m_stored.write(bytes);
}

void HistoryManager::saveTask(const TaskEntry& entry) {
    finishLoading();
    m_tasks.append(entry);
    emit tasksChanged();
    // A completion only adds to the end: the file grows by one entry instead of being written
    // again, which keeps recording one cheap however long the history is.
    const std::optional<QByteArray> added = encodeTaskEntry(entry);
    if (!added)
        return; // an instant JSON cannot hold; the whole history could not be written either
    m_stored.appendToArray(*added, [this] {
        QByteArray bytes;
        encodeTaskHistory(m_tasks, bytes);
        return bytes;
    });
}

namespace {

// Completions recorded one after another, the usual history: each day is then one run of the list
// and its newest-first order that run backwards, so the days are cut out whole, with no index
// and no sorting. nullopt when the history is in any other order (or two runs would be one day),
// for the general way.
std::optional<QList<DayGroup>> runsByDay(const QList<TaskEntry>& tasks) {
    const auto notBefore = [](const TaskEntry& a, const TaskEntry& b) {
        return !(a.completionDate() < b.completionDate());
    };
    if (std::adjacent_find(tasks.cbegin(), tasks.cend(), notBefore) != tasks.cend())
        return std::nullopt;
    QList<DayGroup> groups;
    LocalDays days;
    LocalDay day;
    qsizetype runStart = 0;
    const auto closeRun = [&](qsizetype runEnd) {
        if (!groups.isEmpty() && !(groups.constLast().date.secondsSinceReference() < day.start))
            return false;
        groups.append(
            DayGroup{Instant(day.start),
                     QList<TaskEntry>(std::make_reverse_iterator(tasks.cbegin() + runEnd),
                                      std::make_reverse_iterator(tasks.cbegin() + runStart))});
        return true;
    };
    for (qsizetype i = 0; i < tasks.size(); ++i) {
        const double completion = tasks[i].completionDate().secondsSinceReference();
        if (i > 0 && day.contains(completion))
            continue;
        if (i > 0 && !closeRun(i))
            return std::nullopt;
        day = days.from(day, tasks[i].completionDate());
        runStart = i;
    }
    if (!tasks.isEmpty() && !closeRun(tasks.size()))
        return std::nullopt;
    std::reverse(groups.begin(), groups.end());
    return groups;
}

} // namespace

QList<DayGroup> HistoryManager::getTasksByDay() const {
    finishLoading();
    if (std::optional<QList<DayGroup>> runs = runsByDay(m_tasks))
        return std::move(*runs);
    QList<DayGroup> groups;
    QHash<double, qsizetype> groupByStart;

    // First which day each completion falls on, then each day's list filled at its final size:
    // growing them one entry at a time cost more than finding the days.
    std::vector<qsizetype> groupOf(size_t(m_tasks.size()));
    std::vector<qsizetype> sizes;
    LocalDays days;
    LocalDay day;
    qsizetype groupIndex = -1;
    for (qsizetype i = 0; i < m_tasks.size(); ++i) {
        const Instant completion = m_tasks[i].completionDate();
        if (groupIndex < 0 || !day.contains(completion.secondsSinceReference())) {
            day = days.from(day, completion);
            auto it = groupByStart.constFind(day.start);
            if (it == groupByStart.constEnd()) {
                it = groupByStart.insert(day.start, groups.size());
                groups.append(DayGroup{Instant(day.start), {}});
                sizes.push_back(0);
            }
            groupIndex = *it;
        }
        groupOf[size_t(i)] = groupIndex;
        ++sizes[size_t(groupIndex)];
    }
    for (qsizetype g = 0; g < groups.size(); ++g)
        groups[g].tasks.reserve(sizes[size_t(g)]);
    for (qsizetype i = 0; i < m_tasks.size(); ++i)
        groups[groupOf[size_t(i)]].tasks.append(m_tasks[i]);

    for (DayGroup& group : groups)
        sortNewestFirst(group.tasks);
    std::sort(groups.begin(), groups.end(),
              [](const DayGroup& a, const DayGroup& b) { return a.date > b.date; });
    return groups;
}

void HistoryManager::updateTask(const TaskEntry& task, const QString& newName, qint64 newDuration) {
    finishLoading();
    const auto it = std::find_if(m_tasks.begin(), m_tasks.end(),
                                 [&](const TaskEntry& entry) { return entry.id() == task.id(); });
    if (it == m_tasks.end())
        return;
    // The start is the anchor: a new duration moves the end, never the start.
    const Instant end = task.startTime().addingSeconds(static_cast<double>(newDuration));
    *it = TaskEntry(task.id(), newName, newDuration, task.startTime(), end, end);
    emit tasksChanged();
    saveTasks();
}

void HistoryManager::deleteTask(const TaskEntry& task) {
    finishLoading();
    const QUuid id = task.id();
    m_tasks.removeIf([&](const TaskEntry& entry) { return entry.id() == id; });
    emit tasksChanged();
    saveTasks();
}

void HistoryManager::deleteTasks(const QList<TaskEntry>& tasks) {
    finishLoading();
    QSet<QUuid> ids;
    for (const TaskEntry& task : tasks)
        ids.insert(task.id());
    m_tasks.removeIf([&](const TaskEntry& entry) { return ids.contains(entry.id()); });
    emit tasksChanged();
    saveTasks();
}

QString HistoryManager::formatDay(Instant day, QDate today) {
    return formatDay(day, today, QLocale::system());
}

QString HistoryManager::formatDay(Instant day, QDate today, const QLocale& locale) {
    const QDate date = day.toDateTime().date();
    if (date == today)
        return QCoreApplication::translate("HistoryManager", "Today");
    if (date == today.addDays(-1))
        return QCoreApplication::translate("HistoryManager", "Yesterday");
    return mediumDate(date, locale);
}

Instant HistoryManager::startOfDay(Instant instant) {
    return Instant(LocalDays().containing(instant).start);
}
