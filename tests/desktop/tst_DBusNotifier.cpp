#include "notifications/DBusNotifier.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QRegularExpression>
#include <QTest>

using namespace Qt::StringLiterals;

// Stands in for the desktop's notification daemon on the test's private bus.
class FakeNotificationServer final : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")
public:
    struct Call {
        QString appName, icon, summary, body;
        QVariantMap hints;
    };
    QList<Call> calls;
    QStringList capabilities;
    int capabilityQueries = 0;

public slots:
    uint Notify(const QString& appName, uint /*replacesId*/, const QString& icon,
                const QString& summary, const QString& body, const QStringList& /*actions*/,
                const QVariantMap& hints, int /*expireTimeout*/) {
        calls.append({appName, icon, summary, body, hints});
        return uint(calls.size());
    }
    QStringList GetCapabilities() {
        ++capabilityQueries;
        return capabilities;
    }
};

class tst_DBusNotifier final : public QObject {
    Q_OBJECT

private:
    const QString serviceName = u"org.freedesktop.Notifications"_s;
    void serve(FakeNotificationServer& server, const QStringList& capabilities) {
        server.capabilities = capabilities;
        QDBusConnection bus = serverBus();
        QVERIFY(bus.registerObject(u"/org/freedesktop/Notifications"_s, &server,
                                   QDBusConnection::ExportAllSlots));
        QVERIFY(bus.registerService(serviceName));
    }
    // The server has a connection of its own, so calls travel through the bus daemon.
    QDBusConnection serverBus() const {
        return QDBusConnection::connectToBus(QDBusConnection::SessionBus,
                                             u"fake-notification-server"_s);
    }

private slots:
    void initTestCase() {
        if (!QDBusConnection::sessionBus().isConnected())
            QSKIP("needs a private session bus: run under dbus-run-session");
    }

    void cleanup() {
        QDBusConnection bus = serverBus();
        bus.unregisterObject(u"/org/freedesktop/Notifications"_s);
        bus.unregisterService(serviceName);
    }

    void postsTitleBodyAndHints() {
        FakeNotificationServer server;
        serve(server, {u"body"_s, u"sound"_s});

        DBusNotifier notifier(QDBusConnection::sessionBus(), [] {});
        notifier.notify(u"Task Completed!"_s, u"Write has been marked as complete."_s);
        QTRY_COMPARE(server.calls.size(), 1);

        const FakeNotificationServer::Call& call = server.calls.first();
        QCOMPARE(call.appName, u"Hourlark"_s);
        QCOMPARE(call.icon, u"hourlark"_s);
        QCOMPARE(call.summary, u"Task Completed!"_s);
        QCOMPARE(call.body, u"Write has been marked as complete."_s);
        // Urgency travels as a byte; servers ignore it in any other type.
        QCOMPARE(call.hints.value(u"urgency"_s).metaType(), QMetaType::fromType<uchar>());
        QCOMPARE(call.hints.value(u"urgency"_s).value<uchar>(), uchar(1));
        QCOMPARE(call.hints.value(u"desktop-entry"_s).toString(), u"hourlark"_s);
        QCOMPARE(call.hints.value(u"sound-name"_s).toString(), u"complete"_s);
        QTRY_COMPARE(notifier.pendingCalls(), 0);
    }

    void playsTheSoundOnlyWhereTheServerCannot_data() {
        QTest::addColumn<QStringList>("capabilities");
        QTest::addColumn<int>("soundsPerNotification");
        QTest::newRow("server plays sounds") << QStringList{u"body"_s, u"sound"_s} << 0;
        QTest::newRow("server without sound") << QStringList{u"body"_s} << 1;
    }
    void playsTheSoundOnlyWhereTheServerCannot() {
        QFETCH(QStringList, capabilities);
        QFETCH(int, soundsPerNotification);
        FakeNotificationServer server;
        serve(server, capabilities);

        int sounds = 0;
        DBusNotifier notifier(QDBusConnection::sessionBus(), [&sounds] { ++sounds; });
        notifier.notify(u"Countdown Complete!"_s, u"Your timer has finished."_s);
        notifier.notify(u"Countdown Complete!"_s, u"Your timer has finished."_s);
        QTRY_COMPARE(server.calls.size(), 2);
        QTRY_COMPARE(notifier.pendingCalls(), 0);
        notifier.notify(u"Countdown Complete!"_s, u"Your timer has finished."_s);
        QTRY_COMPARE(server.calls.size(), 3);
        QTRY_COMPARE(notifier.pendingCalls(), 0);

        // Two notifications before the capabilities were known share one sound.
        QCOMPARE(sounds, 2 * soundsPerNotification);
        QCOMPARE(server.capabilityQueries, 1);
    }

    void withoutAServerNothingFailsAndOneWarning() {
        QVERIFY(!QDBusConnection::sessionBus().interface()->isServiceRegistered(serviceName));
        const QRegularExpression warning(u"^Notifications are not shown"_s);
        QTest::ignoreMessage(QtWarningMsg, warning);
        QTest::failOnWarning(warning);

        int sounds = 0;
        DBusNotifier notifier(QDBusConnection::sessionBus(), [&sounds] { ++sounds; });
        for (int i = 0; i < 3; ++i)
            notifier.notify(u"Countdown Complete!"_s, u"Your timer has finished."_s);
        QTRY_COMPARE(notifier.pendingCalls(), 0);
        QCOMPARE(sounds, 0);
    }
};

QTEST_GUILESS_MAIN(tst_DBusNotifier)
#include "tst_DBusNotifier.moc"
