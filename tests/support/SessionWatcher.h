#pragma once

// A panel's StatusNotifierWatcher on a connection and a thread of its own, so that blocking calls
// from the item's thread get answered; it comes and goes the way a panel's does at log-in and on
// restarts. Listed among a test's sources, so that AUTOMOC sees it.

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QThread>
#include <atomic>

class FakeWatcher final : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.StatusNotifierWatcher")
    Q_PROPERTY(bool IsStatusNotifierHostRegistered READ isHostRegistered)
public:
    bool isHostRegistered() const { return hostRegistered; }
    std::atomic_bool hostRegistered = true;

public slots:
    void RegisterStatusNotifierItem(const QString& service) { emit itemRegistered(service); }

signals:
    void itemRegistered(const QString& service);
};

struct SessionWatcher {
    static inline const QString service = QStringLiteral("org.kde.StatusNotifierWatcher");
    static inline const QString path = QStringLiteral("/StatusNotifierWatcher");

    SessionWatcher() {
        watcher->moveToThread(&thread);
        thread.start();
        registered = bus.registerObject(
            path, watcher, QDBusConnection::ExportAllSlots | QDBusConnection::ExportAllProperties);
    }
    ~SessionWatcher() {
        bus.unregisterObject(path);
        watcher->deleteLater();
        thread.quit();
        thread.wait();
    }
    SessionWatcher(const SessionWatcher&) = delete;
    SessionWatcher& operator=(const SessionWatcher&) = delete;

    // Takes or drops the watcher's name, as a panel starting or going away does.
    bool setPresent(bool present) {
        if (bus.interface()->isServiceRegistered(service).value() == present)
            return true;
        return present ? bus.registerService(service) : bus.unregisterService(service);
    }

    QDBusConnection bus =
        QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("watcher"));
    QThread thread;
    FakeWatcher* watcher = new FakeWatcher;
    bool registered = false;
};
