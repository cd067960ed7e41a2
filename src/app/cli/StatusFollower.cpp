#include "cli/StatusFollower.h"

#include "cli/Cli.h"
#include "control/ControlNames.h"
#include "time/Clock.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusServiceWatcher>
#include <algorithm>
#include <chrono>
#include <cmath>

namespace {
const QString propertiesInterface = QStringLiteral("org.freedesktop.DBus.Properties");

double unixNow() {
    return SystemClock().now().secondsSinceReference() + double(Instant::referenceUnixSeconds);
}
} // namespace

StatusFollower::StatusFollower(QDBusConnection bus, TimerStatus::Format format, QObject* parent)
    : QObject(parent)
    , m_bus(std::move(bus))
    , m_format(format) {
    m_nextSecond.setSingleShot(true);
    m_nextSecond.setTimerType(Qt::PreciseTimer);
    connect(&m_nextSecond, &QTimer::timeout, this, &StatusFollower::showNow);
}

bool StatusFollower::start() {
    m_watcher = new QDBusServiceWatcher(ControlNames::service, m_bus,
                                        QDBusServiceWatcher::WatchForOwnerChange, this);
    connect(m_watcher, &QDBusServiceWatcher::serviceRegistered, this,
            &StatusFollower::onServiceRegistered);
    connect(m_watcher, &QDBusServiceWatcher::serviceUnregistered, this,
            &StatusFollower::onServiceUnregistered);
    // Subscribed before the first read, so no change falls between the two.
    if (!m_bus.connect(ControlNames::service, ControlNames::timerPath, propertiesInterface,
                       QStringLiteral("PropertiesChanged"), this,
                       SLOT(onPropertiesChanged(QString, QVariantMap, QStringList))))
        return false;
    if (m_bus.interface()->isServiceRegistered(ControlNames::service))
        onServiceRegistered();
    else
        onServiceUnregistered();
    return true;
}

void StatusFollower::onServiceRegistered() {
    m_present = true;
    fetch();
}

void StatusFollower::onServiceUnregistered() {
    m_present = false;
    m_known = false;
    m_nextSecond.stop();
    show(TimerStatus::absentLine(m_format));
}

void StatusFollower::fetch() {
    QDBusMessage message =
        QDBusMessage::createMethodCall(ControlNames::service, ControlNames::timerPath,
                                       propertiesInterface, QStringLiteral("GetAll"));
    message << QString(ControlNames::timerInterface);
    message.setAutoStartService(false);
    auto* call = new QDBusPendingCallWatcher(m_bus.asyncCall(message), this);
    connect(call, &QDBusPendingCallWatcher::finished, this, &StatusFollower::onPropertiesFetched);
}

void StatusFollower::onPropertiesFetched(QDBusPendingCallWatcher* call) {
    call->deleteLater();
    const QDBusPendingReply<QVariantMap> reply = *call;
    // Gone again before it answered: the watcher has said so already.
    if (reply.isError() || !m_present)
        return;
    m_status.update(reply.value());
    m_known = true;
    showNow();
}

void StatusFollower::onPropertiesChanged(const QString& interface, const QVariantMap& changed,
                                         const QStringList& invalidated) {
    Q_UNUSED(invalidated)
    if (interface != ControlNames::timerInterface)
        return;
    m_status.update(changed);
    if (m_present && m_known)
        showNow();
}

void StatusFollower::showNow() {
    const double now = unixNow();
    const TimerStatus current = m_status.at(now);
    show(current.line(m_format));
    if (!m_status.running || !(m_status.endTime > 0) || current.remaining <= 0) {
        m_nextSecond.stop();
        return;
    }
    // The shown second ends when one second fewer is left than it shows, within the next
    // second. Woken a little early (the wall clock was slewed), the line is the same and is not
    // printed again.
    const double next = m_status.endTime - double(current.remaining - 1);
    const double waitMs = std::clamp(std::ceil((next - now) * 1000), 0.0, 1000.0);
    m_nextSecond.start(std::chrono::milliseconds(qint64(waitMs)));
}

// A change that does not show (the length changes while the title stays) prints nothing.
void StatusFollower::show(const QByteArray& line) {
    if (m_shown == line)
        return;
    m_shown = line;
    Cli::printBytes(line + '\n');
}
