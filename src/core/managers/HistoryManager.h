#pragma once

#include "model/TaskEntry.h"

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
// Each change is on disk before the operation returns.
class HistoryManager final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(HistoryManager)
public:
    explicit HistoryManager(PreferencesStore& store, QObject* parent = nullptr);

    const QList<TaskEntry>& tasks() const { return m_tasks; }

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

    PreferencesStore& m_store;
    QList<TaskEntry> m_tasks;
    bool m_storedValueUnreadable = false;
    QByteArray m_encoded; // the last saved text; its allocation is reused by the next save
};
