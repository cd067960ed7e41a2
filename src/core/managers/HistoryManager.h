#pragma once

#include "model/TaskEntry.h"
#include "storage/StoredValue.h"

#include <QDate>
#include <QList>
#include <QObject>

class PreferencesStore;
class QLocale;

// One calendar day of the history.
struct DayGroup {
    Instant date;           // first instant of the local day
    QList<TaskEntry> tasks; // that day's completions, newest first; never empty
};

// Every completion, oldest first, kept in the preferences store under "TaskHistoryData".
// Each change is on disk before the operation returns, or kept to be written as soon as it can.
class HistoryManager final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(HistoryManager)
public:
    explicit HistoryManager(PreferencesStore& store, QObject* parent = nullptr);

    const QList<TaskEntry>& tasks() const { return m_tasks; }
    // Where the history is kept, and whether it could be read and written.
    StoredValue& storedValue() { return m_stored; }

    void saveTask(const TaskEntry& entry);
    QList<DayGroup> getTasksByDay() const;
    void updateTask(const TaskEntry& task, const QString& newName, qint64 newDuration);
    void deleteTask(const TaskEntry& task);
    void deleteTasks(const QList<TaskEntry>& tasks);

    // "Today", "Yesterday" or the locale's medium date.
    static QString formatDay(Instant day, QDate today = QDate::currentDate());
    static QString formatDay(Instant day, QDate today, const QLocale& locale);
    // The first instant of the local day that contains the instant.
    static Instant startOfDay(Instant instant);

signals:
    void tasksChanged();

private:
    void loadTasks();
    void saveTasks();

    StoredValue m_stored;
    QList<TaskEntry> m_tasks;
};
