#pragma once

#include "Platform/Notifier.h"

#include <QDBusConnection>

// Desktop notifications over org.freedesktop.Notifications; plays the event sound itself where the
// server cannot. With no notification service nothing is shown and nothing fails.
class DBusNotifier final : public Notifier {
public:
    explicit DBusNotifier(QDBusConnection bus = QDBusConnection::sessionBus());
    void notify(const QString& title, const QString& body) override;
};
