#include "cli/ControlClient.h"

#include "cli/Cli.h"
#include "control/ControlNames.h"

#include <QDBusConnectionInterface>
#include <QDBusError>
#include <QDBusMessage>
#include <QDBusVariant>

namespace {

const QString propertiesInterface = QStringLiteral("org.freedesktop.DBus.Properties");

// Errors that mean there was nobody to answer, as opposed to an answer that says no.
bool meansUnavailable(const QString& name) {
    static const QStringList unavailable{
        QStringLiteral("org.freedesktop.DBus.Error.ServiceUnknown"),
        QStringLiteral("org.freedesktop.DBus.Error.NameHasNoOwner"),
        QStringLiteral("org.freedesktop.DBus.Error.NoReply"),
        QStringLiteral("org.freedesktop.DBus.Error.Timeout"),
        QStringLiteral("org.freedesktop.DBus.Error.TimedOut"),
        QStringLiteral("org.freedesktop.DBus.Error.Disconnected"),
        QStringLiteral("org.freedesktop.DBus.Error.NoServer"),
        QStringLiteral("org.freedesktop.DBus.Error.UnknownObject"),
        QStringLiteral("org.freedesktop.DBus.Error.UnknownInterface"),
        QStringLiteral("org.freedesktop.DBus.Error.UnknownMethod"),
    };
    return unavailable.contains(name) ||
           name.startsWith(QStringLiteral("org.freedesktop.DBus.Error.Spawn."));
}

} // namespace

ControlClient::ControlClient(QDBusConnection bus)
    : m_bus(std::move(bus)) {}

void ControlClient::prepare() {
    // Qt 6.4 passes an error reply between its threads as these types, and unless they are
    // registered before the first connection, every refused call also prints "Trying to construct
    // an instance of an invalid type" to stderr.
    qRegisterMetaType<QDBusMessage>();
    qRegisterMetaType<QDBusError>();
}

ControlClient::Result ControlClient::callTimer(const QString& method, const QVariantList& arguments,
                                               bool startIfNeeded) {
    return call(ControlNames::timerPath, ControlNames::timerInterface, method, arguments,
                startIfNeeded);
}

ControlClient::Result ControlClient::callHistory(const QString& method,
                                                 const QVariantList& arguments,
                                                 bool startIfNeeded) {
    return call(ControlNames::historyPath, ControlNames::historyInterface, method, arguments,
                startIfNeeded);
}

ControlClient::Result ControlClient::timerProperty(const QString& name) {
    Result result = call(ControlNames::timerPath, propertiesInterface, QStringLiteral("Get"),
                         {QString(ControlNames::timerInterface), name}, false);
    if (result.done())
        result.arguments = {qvariant_cast<QDBusVariant>(result.arguments.value(0)).variant()};
    return result;
}

ControlClient::Result ControlClient::timerProperties() {
    return call(ControlNames::timerPath, propertiesInterface, QStringLiteral("GetAll"),
                {QString(ControlNames::timerInterface)}, false);
}

bool ControlClient::isRunning() {
    return m_bus.isConnected() && m_bus.interface()->isServiceRegistered(ControlNames::service);
}

ControlClient::Result ControlClient::call(const QString& path, const QString& interface,
                                          const QString& method, const QVariantList& arguments,
                                          bool startIfNeeded) {
    if (!m_bus.isConnected())
        return {Result::Kind::Unavailable,
                {},
                Cli::tr("there is no session bus to reach Hourlark on (%1)")
                    .arg(m_bus.lastError().message())};
    QDBusMessage message =
        QDBusMessage::createMethodCall(ControlNames::service, path, interface, method);
    message.setArguments(arguments);
    message.setAutoStartService(startIfNeeded);
    const QDBusMessage reply = m_bus.call(message);
    if (reply.type() == QDBusMessage::ReplyMessage)
        return {Result::Kind::Done, reply.arguments(), {}};
    const QString error = reply.errorName();
    if (meansUnavailable(error)) {
        QString why;
        if (error == u"org.freedesktop.DBus.Error.ServiceUnknown" ||
            error == u"org.freedesktop.DBus.Error.NameHasNoOwner")
            why = startIfNeeded ? Cli::tr("Hourlark is not running and cannot be started (%1)")
                                      .arg(reply.errorMessage())
                                : Cli::tr("Hourlark is not running");
        else if (error.startsWith(u"org.freedesktop.DBus.Error.Spawn."))
            why = Cli::tr("Hourlark could not be started (%1)").arg(reply.errorMessage());
        else
            why = Cli::tr("Hourlark does not answer (%1)").arg(reply.errorMessage());
        return {Result::Kind::Unavailable, {}, why};
    }
    return {Result::Kind::Refused, {}, reply.errorMessage()};
}
