#include "managers/TimerManager.h"

#include "control/TaskRules.h"
#include "managers/HistoryManager.h"
#include "model/TaskEntry.h"
#include "services/Notifier.h"
#include "services/StatusTitle.h"
#include "time/Clock.h"
#include "time/DurationText.h"

#include <QTimer>
#include <limits>

namespace {
// Whole seconds, truncated. A clock set back during the countdown would give a negative time
// spent, which no task can take; it is recorded as 0.
qint64 wholeSecondsSpent(double elapsed) {
    if (!(elapsed > 0))
        return 0;
    if (elapsed >= 9.2e18)
        return std::numeric_limits<qint64>::max();
    return static_cast<qint64>(elapsed);
}
} // namespace

TimerManager::TimerManager(StatusTitle* statusItem, HistoryManager* historyManager,
                           Notifier& notifier, const Clock& clock, QObject* parent)
    : QObject(parent)
    , m_statusItem(statusItem)
    , m_historyManager(historyManager)
    , m_notifier(notifier)
    , m_clock(clock) {
    updateDisplay();
}

TimerManager::~TimerManager() = default;

void TimerManager::setCustomText(const QString& text) {
    if (m_customText == text)
        return;
    m_customText = text;
    emit customTextChanged();
}

void TimerManager::setTimeRemaining(qint64 seconds) {
    if (m_timeRemaining == seconds)
        return;
    m_timeRemaining = seconds;
    emit timeRemainingChanged();
}

void TimerManager::setInitialTimeSeconds(qint64 seconds) {
    if (m_initialTime == seconds)
        return;
    m_initialTime = seconds;
    emit initialTimeChanged();
}

void TimerManager::startTimer() {
    if (isRunning())
        return;
    m_startTime = m_clock.now();
    m_timer = new QTimer(this);
    m_timer->setTimerType(Qt::PreciseTimer);
    m_timer->setInterval(1000);
    connect(m_timer, &QTimer::timeout, this, &TimerManager::tick);
    m_timer->start();
    emit isRunningChanged();
}

void TimerManager::stopTimer() {
    m_startTime.reset();
    if (!m_timer)
        return;
    // Stop may run inside the timer's own timeout (the completing tick), so it is deleted later.
    m_timer->stop();
    m_timer->deleteLater();
    m_timer = nullptr;
    emit isRunningChanged();
}

void TimerManager::resetTimer() {
    stopTimer();
    setInitialTimeSeconds(defaultLength);
    setTimeRemaining(defaultLength);
    setCustomText(QString());
    updateDisplay();
}

void TimerManager::completeTask(bool wasAutoCompleted) {
    if (!m_startTime) {
        stopTimer();
        return;
    }
    const Instant now = m_clock.now();
    const qint64 duration = wholeSecondsSpent(now.secondsSince(*m_startTime));
    const QString taskName = m_customText.isEmpty() ? TaskRules::untitledName() : m_customText;
    const TaskEntry entry(QUuid::createUuid(), taskName, duration, *m_startTime, now, now);

    if (m_historyManager)
        m_historyManager->saveTask(entry);
    if (wasAutoCompleted)
        showNotification();
    else
        showCompletionNotification(taskName);

    stopTimer();
    setTimeRemaining(m_initialTime);
    updateDisplay();
}

void TimerManager::setInitialTime(qint64 minutes) {
    qint64 seconds = 0;
    if (__builtin_mul_overflow(minutes, qint64(60), &seconds))
        seconds =
            minutes > 0 ? std::numeric_limits<qint64>::max() : std::numeric_limits<qint64>::min();
    setInitialTimeSeconds(seconds);
    setTimeRemaining(m_initialTime);
    updateDisplay();
}

void TimerManager::updateDisplay() {
    // Written on the next turn of the event loop, from the state then, so a write never puts back
    // an older title; by then the model or the status item may be gone, and then nothing is
    // written.
    QMetaObject::invokeMethod(
        this,
        [model = QPointer<TimerManager>(this)] {
            if (model)
                model->writeTitle();
        },
        Qt::QueuedConnection);
}

void TimerManager::writeTitle() {
    if (StatusTitle* item = m_statusItem.data())
        item->setTitle(statusTitle());
}

void TimerManager::tick() {
    if (m_timeRemaining >= 1) {
        setTimeRemaining(m_timeRemaining - 1);
        writeTitle(); // at once: posting it would cost a turn of the event loop every second
    } else {
        completeTask(true);
    }
}

QString TimerManager::statusTitle() const {
    const QString time = DurationText::countdown(m_timeRemaining);
    if (m_customText.isEmpty())
        return time;
    return time + u' ' + m_customText;
}

void TimerManager::showNotification() {
    m_notifier.notify(tr("Countdown Complete!"), tr("Your timer has finished."));
}

void TimerManager::showCompletionNotification(const QString& taskName) {
    m_notifier.notify(tr("Task Completed!"), tr("%1 has been marked as complete.").arg(taskName));
}
