#pragma once

#include "time/Instant.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <optional>

class Clock;
class HistoryManager;
class Notifier;
class QTimer;
class StatusTitle;

// The countdown: its length, what remains, the task's name, and the one-second tick.
class TimerManager final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TimerManager)
    Q_PROPERTY(qint64 timeRemaining READ timeRemaining NOTIFY timeRemainingChanged)
    Q_PROPERTY(QString customText READ customText WRITE setCustomText NOTIFY customTextChanged)
    Q_PROPERTY(bool isRunning READ isRunning NOTIFY isRunningChanged)
    Q_PROPERTY(qint64 initialTime READ initialTime NOTIFY initialTimeChanged)
public:
    // The length a countdown starts with and returns to on reset, in seconds.
    static constexpr qint64 defaultLength = 30 * 60;

    // The status title is held weakly; the history store, notifier and clock must outlive this.
    TimerManager(StatusTitle* statusItem, HistoryManager* historyManager, Notifier& notifier,
                 const Clock& clock, QObject* parent = nullptr);
    ~TimerManager() override;

    qint64 timeRemaining() const { return m_timeRemaining; }
    const QString& customText() const { return m_customText; }
    void setCustomText(const QString& text);
    bool isRunning() const { return m_timer != nullptr; }
    qint64 initialTime() const { return m_initialTime; }

    void startTimer();
    void stopTimer();
    void resetTimer();
    void completeTask(bool wasAutoCompleted);
    void setInitialTime(qint64 minutes);
    // Writes the title to the status item on the next turn of the event loop, as it is then.
    void updateDisplay();

    // What the one-second timer runs; tests call it directly instead of waiting.
    void tick();
    bool hasTickSource() const { return m_timer != nullptr; }

    // The time, then a space and the task name when there is one.
    QString statusTitle() const;

signals:
    void timeRemainingChanged();
    void customTextChanged();
    void isRunningChanged();
    void initialTimeChanged();

private:
    void writeTitle();
    void showNotification();
    void showCompletionNotification(const QString& taskName);
    void setTimeRemaining(qint64 seconds);
    void setInitialTimeSeconds(qint64 seconds);

    qint64 m_timeRemaining = defaultLength;
    QString m_customText;
    qint64 m_initialTime = defaultLength;

    // Present exactly while the countdown runs.
    QTimer* m_timer = nullptr;
    QPointer<StatusTitle> m_statusItem;
    std::optional<Instant> m_startTime;
    HistoryManager* m_historyManager = nullptr;
    Notifier& m_notifier;
    const Clock& m_clock;
};
