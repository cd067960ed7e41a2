#pragma once

#include <QDBusConnection>
#include <QDBusContext>
#include <QObject>
#include <QTimer>
#include <QVariantMap>

class Clock;
class TimerManager;

// The countdown on the session bus (io.github.hourlark.Hourlark.Timer). The methods are the timer
// panel's buttons (TimerCommands); the properties mirror the countdown. Their changes go out as
// one PropertiesChanged per turn of the event loop, and a running countdown's ticks are not
// changes: clients count down to EndTime themselves, so the bus stays quiet between a start and
// a stop.
class TimerService final : public QObject, protected QDBusContext {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TimerService)
    Q_PROPERTY(qlonglong TimeRemaining READ timeRemaining)
    Q_PROPERTY(double EndTime READ endTime)
    Q_PROPERTY(qlonglong InitialLength READ initialLength)
    Q_PROPERTY(QString TaskName READ taskName)
    Q_PROPERTY(bool Running READ running)
    Q_PROPERTY(QString Title READ title)
public:
    // The model and the clock must outlive the service.
    TimerService(TimerManager& timer, const Clock& clock, QObject* parent = nullptr);

    // Changes are announced on `bus` from the object at `path` from now on.
    void announceOn(const QDBusConnection& bus, const QString& path);

    qint64 timeRemaining() const;
    // Seconds since the Unix epoch; 0 while stopped.
    double endTime() const { return m_endTime; }
    qint64 initialLength() const;
    QString taskName() const;
    bool running() const;
    QString title() const;
    // All of them, by their D-Bus names.
    QVariantMap properties() const;

    // The interface's methods, called by the adaptor generated from its introspection file.
    void Start(uint minutes, const QString& name);
    void Stop();
    void Toggle();
    void Reset();
    void Complete();
    void ShowPanel();
    void ShowHistory();

signals:
    void panelRequested();
    void historyRequested();

private:
    void onRunningChanged();
    void onRemainingChanged();
    void scheduleAnnouncement();
    double endTimeFromNow() const;
    void announceChanges();
    void refuse(const QString& errorName, const QString& message);

    TimerManager& m_timer;
    const Clock& m_clock;
    double m_endTime = 0;
    QDBusConnection m_bus{QString()};
    QString m_path;
    QVariantMap m_announced;
    QTimer m_announceTimer;
};
