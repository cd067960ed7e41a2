#include "control/ControlService.h"

#include "DesktopLog.h"
#include "HistoryAdaptor.h"
#include "TimerAdaptor.h"
#include "control/ControlNames.h"
#include "control/ControlTypes.h"
#include "control/HistoryService.h"
#include "control/TimerService.h"

#include <QDBusConnectionInterface>
#include <QDBusServiceWatcher>
#include <QEventLoop>
#include <QTimer>

ControlService::ControlService(TimerManager& timer, HistoryManager& history, const Clock& clock,
                               QObject* parent)
    : QObject(parent)
    , m_timer(new TimerService(timer, clock, this))
    , m_history(new HistoryService(history, clock, this)) {
    ControlTypes::registerAll();
    new TimerAdaptor(m_timer);
    new HistoryAdaptor(m_history);
    connect(m_timer, &TimerService::panelRequested, this, &ControlService::panelRequested);
    connect(m_timer, &TimerService::historyRequested, this, &ControlService::historyRequested);
}

ControlService::~ControlService() = default;

bool ControlService::publish(QDBusConnection bus) {
    if (!bus.isConnected()) {
        qCWarning(lcControl, "No session bus: Hourlark cannot be reached from outside (%s)",
                  qPrintable(bus.lastError().message()));
        return false;
    }
    if (!bus.registerObject(ControlNames::timerPath, m_timer, QDBusConnection::ExportAdaptors) ||
        !bus.registerObject(ControlNames::historyPath, m_history,
                            QDBusConnection::ExportAdaptors)) {
        qCWarning(lcControl, "Cannot export the control objects: %s",
                  qPrintable(bus.lastError().message()));
        return false;
    }
    m_timer->announceOn(bus, ControlNames::timerPath);
    // Not queued: a second owner in waiting would take over when we quit and find no history of
    // its own to serve. With the single-instance lock there is none; without one (no private
    // folder for it), the second Hourlark simply goes without the service.
    const QDBusReply<QDBusConnectionInterface::RegisterServiceReply> reply =
        bus.interface()->registerService(ControlNames::service,
                                         QDBusConnectionInterface::DontQueueService,
                                         QDBusConnectionInterface::DontAllowReplacement);
    if (!reply.isValid() || reply.value() != QDBusConnectionInterface::ServiceRegistered) {
        qCWarning(lcControl, "Cannot take the bus name %s: %s", ControlNames::service.data(),
                  reply.isValid() ? "another program owns it"
                                  : qPrintable(reply.error().message()));
        bus.unregisterObject(ControlNames::timerPath);
        bus.unregisterObject(ControlNames::historyPath);
        return false;
    }
    qCDebug(lcControl, "Listening on the session bus as %s", ControlNames::service.data());
    return true;
}

bool ControlService::waitForOwner(const QDBusConnection& bus, std::chrono::milliseconds timeout) {
    if (!bus.isConnected())
        return false;
    QEventLoop loop;
    QDBusServiceWatcher watcher(ControlNames::service, bus,
                                QDBusServiceWatcher::WatchForRegistration);
    connect(&watcher, &QDBusServiceWatcher::serviceRegistered, &loop, &QEventLoop::quit);
    QTimer::singleShot(timeout, &loop, &QEventLoop::quit);
    // Asked after the watcher is in place, so a name taken in between is not missed.
    if (bus.interface()->isServiceRegistered(ControlNames::service))
        return true;
    loop.exec();
    return bus.interface()->isServiceRegistered(ControlNames::service);
}
