#pragma once

#include "cli/TimerStatus.h"

#include <QDBusConnection>
#include <QObject>
#include <QTimer>

class QDBusPendingCallWatcher;
class QDBusServiceWatcher;

// `hourlark status --follow`: one line whenever what it shows changes, until interrupted. It
// listens for the timer's PropertiesChanged and for Hourlark coming and going, and counts a
// running countdown down to its announced end itself, so neither Hourlark nor the bus is woken
// for its seconds. A stopped countdown wakes it never, a running one once a second.
class StatusFollower final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(StatusFollower)
public:
    StatusFollower(QDBusConnection bus, TimerStatus::Format format, QObject* parent = nullptr);

    // False when the bus refuses to pass the signals on.
    bool start();

public slots:
    // QtDBus connects signals of the bus by their signatures, hence a slot.
    void onPropertiesChanged(const QString& interface, const QVariantMap& changed,
                             const QStringList& invalidated);

private:
    void onServiceRegistered();
    void onServiceUnregistered();
    void onPropertiesFetched(QDBusPendingCallWatcher* call);
    void fetch();
    // Prints the countdown as it stands now, and sets the alarm for its next second.
    void showNow();
    void show(const QByteArray& line);

    QDBusConnection m_bus;
    TimerStatus::Format m_format;
    TimerStatus m_status;
    bool m_present = false;
    bool m_known = false; // the whole state has been read since Hourlark appeared
    std::optional<QByteArray> m_shown;
    QDBusServiceWatcher* m_watcher = nullptr;
    QTimer m_nextSecond;
};
