#pragma once

#include <QDBusConnection>
#include <QObject>
#include <chrono>

class Clock;
class HistoryManager;
class HistoryService;
class TimerManager;
class TimerService;

// Hourlark on the session bus: the timer and history objects under the name
// io.github.hourlark.Hourlark (ControlNames), which the running instance owns. The D-Bus service
// file starts Hourlark when something calls the name and nobody owns it.
class ControlService final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ControlService)
public:
    // The models and the clock must outlive the service.
    ControlService(TimerManager& timer, HistoryManager& history, const Clock& clock,
                   QObject* parent = nullptr);
    ~ControlService() override;

    // Exports both objects, then takes the name, so a call that started us finds them in place.
    // False, with the reason in the log, when there is no bus or the name belongs to another.
    bool publish(QDBusConnection bus);

    // For a process started by activation while an earlier Hourlark holds the single-instance
    // lock but has not taken the name yet (it is still starting): true once that one owns it.
    static bool waitForOwner(const QDBusConnection& bus, std::chrono::milliseconds timeout);

    TimerService& timer() const { return *m_timer; }
    HistoryService& history() const { return *m_history; }

signals:
    void panelRequested();
    void historyRequested();

private:
    TimerService* m_timer = nullptr;
    HistoryService* m_history = nullptr;
};
