#pragma once

#include <QDBusConnection>
#include <QString>
#include <QVariantList>

// The command line's side of the control service: one call at a time, waited for, with the
// answer sorted into what the command line's exit statuses tell apart.
class ControlClient final {
public:
    explicit ControlClient(QDBusConnection bus = QDBusConnection::sessionBus());
    // Once, before the first connection to the bus.
    static void prepare();

    struct Result {
        enum class Kind {
            Done,
            Refused,     // Hourlark turned the request down; `message` says why
            Unavailable, // no Hourlark to ask, and none could be started
        };
        Kind kind = Kind::Unavailable;
        QVariantList arguments;
        QString message;
        bool done() const { return kind == Kind::Done; }
    };

    // A method of the timer or history object. With `startIfNeeded` the bus starts Hourlark
    // through its service file when it is not running (D-Bus activation).
    Result callTimer(const QString& method, const QVariantList& arguments = {},
                     bool startIfNeeded = true);
    Result callHistory(const QString& method, const QVariantList& arguments = {},
                       bool startIfNeeded = true);
    // A property or all of them, from a running Hourlark only: reading the countdown is no reason
    // to start a timer the user quit.
    Result timerProperty(const QString& name);
    Result timerProperties();

    // Whether a Hourlark owns the bus name now; asks without starting one.
    bool isRunning();
    QDBusConnection& bus() { return m_bus; }

private:
    Result call(const QString& path, const QString& interface, const QString& method,
                const QVariantList& arguments, bool startIfNeeded);

    QDBusConnection m_bus;
};
