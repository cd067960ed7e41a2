#include "statusitem/StatusItemFactory.h"

#include "statusitem/SessionStatusItem.h"
#include "statusitem/StatusNotifierItem.h"
#include "statusitem/StatusWindow.h"
#include "statusitem/TrayStatusItem.h"

#include <QDeadlineTimer>
#include <QEventLoop>
#include <QSystemTrayIcon>
#include <QTimer>

namespace StatusItemFactory {

namespace {
constexpr std::chrono::milliseconds pollInterval(100);
}

Backend choose(bool statusNotifierWatcher, bool trayAvailable) {
    if (statusNotifierWatcher)
        return Backend::StatusNotifier;
    if (trayAvailable)
        return Backend::Tray;
    return Backend::Window;
}

bool waitForTray(std::chrono::milliseconds timeout, const std::function<bool()>& stop) {
    const QDeadlineTimer deadline(timeout);
    while (!QSystemTrayIcon::isSystemTrayAvailable()) {
        if (deadline.hasExpired() || (stop && stop()))
            return false;
        QEventLoop loop;
        QTimer::singleShot(pollInterval, &loop, &QEventLoop::quit);
        loop.exec();
    }
    return true;
}

std::unique_ptr<StatusItem> createForSession(std::chrono::milliseconds trayTimeout,
                                             const std::function<bool()>& stop) {
    const QDBusConnection bus = QDBusConnection::sessionBus();
    bool watcher = StatusNotifierItem::isWatcherPresent(bus);
    const bool tray = watcher || waitForTray(trayTimeout, stop);
    // A panel starting with us may bring up its watcher while we wait, and Qt counts a watcher as
    // a tray too: look again, so such a panel still gets the item that shows the title as text.
    if (!watcher && tray)
        watcher = StatusNotifierItem::isWatcherPresent(bus);
    return std::make_unique<SessionStatusItem>(SessionStatusItem::Session{}, choose(watcher, tray));
}

std::unique_ptr<StatusItem> create(Backend backend) {
    switch (backend) {
    case Backend::StatusNotifier:
        return std::make_unique<StatusNotifierItem>(QDBusConnection::sessionBus());
    case Backend::Tray:
        return std::make_unique<TrayStatusItem>();
    case Backend::Window:
        break;
    }
    return std::make_unique<StatusWindow>();
}

} // namespace StatusItemFactory
