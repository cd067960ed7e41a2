#pragma once

#include "services/Notifier.h"

#include <QDBusConnection>
#include <functional>
#include <memory>

// Desktop notifications over org.freedesktop.Notifications; plays the event sound itself where the
// server cannot. With no notification service nothing is shown and nothing fails.
class DBusNotifier final : public Notifier {
public:
    explicit DBusNotifier(QDBusConnection bus = QDBusConnection::sessionBus());
    // Plays the event sound through `playSound` instead of libcanberra; for tests.
    DBusNotifier(QDBusConnection bus, std::function<void()> playSound);
    ~DBusNotifier() override;

    void notify(const QString& title, const QString& body) override;

    // Calls sent to the bus whose answer has not arrived yet.
    int pendingCalls() const;

private:
    struct Private;
    std::unique_ptr<Private> d;
};
