#pragma once

#include "model/TaskEntry.h"
#include "storage/StoredValue.h"

#include <QDate>
#include <QList>
#include <QObject>
#include <memory>

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
    enum class Loading {
        Now,
        // Read and decoded on another thread, so a long history does not hold up start-up.
        // Everything behaves as if it had been loaded at once: whatever needs the completions
        // first waits for them, and tasksChanged() announces them when they arrive unasked.
        InBackground,
    };
    explicit HistoryManager(PreferencesStore& store, QObject* parent = nullptr);
    HistoryManager(PreferencesStore& store, Loading loading, QObject* parent = nullptr);
    ~HistoryManager() override;

    const QList<TaskEntry>& tasks() const;
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
    struct Read;
    static Read readStored(PreferencesStore& store);
    static Read readStoredText(PreferencesStore& store);
    void adopt(Read read);
    // Waits for a background read, if one is under way, and takes in its result.
    void finishLoading() const;
    void onLoaded();
    void saveTasks();

    StoredValue m_stored;
    // Filled once by the (possibly background) read; reading it is logically const.
    mutable QList<TaskEntry> m_tasks;
    struct Loader;
    mutable std::unique_ptr<Loader> m_loader;
};
