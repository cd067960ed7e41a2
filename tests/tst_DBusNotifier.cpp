#include "Platform/DBusNotifier.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QRegularExpression>
#include <QTest>

// Stands in for the desktop's notification daemon on the test's private bus.
class FakeNotificationServer final : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")
public:
    struct Call {
        QString appName;
        uint replacesId = 0;
        QString icon;
        QString summary;
        QString body;
        QStringList actions;
        QVariantMap hints;
        int expireTimeout = 0;
    };
    QList<Call> calls;
    QStringList capabilities;
    int capabilityQueries = 0;

public slots:
    uint Notify(const QString& appName, uint replacesId, const QString& icon,
                const QString& summary, const QString& body, const QStringList& actions,
                const QVariantMap& hints, int expireTimeout) {
        calls.append({appName, replacesId, icon, summary, body, actions, hints, expireTimeout});
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
    const QString serviceName = QStringLiteral("org.freedesktop.Notifications");
    // The server has a connection of its own, so calls travel through the bus daemon.
    QDBusConnection serverBus() const {
        return QDBusConnection::connectToBus(QDBusConnection::SessionBus,
                                             QStringLiteral("fake-notification-server"));
    }

private slots:
    void initTestCase() {
        if (!QDBusConnection::sessionBus().isConnected())
            QSKIP("needs a private session bus: run under dbus-run-session");
    }

    void cleanup() {
        QDBusConnection bus = serverBus();
        bus.unregisterObject(QStringLiteral("/org/freedesktop/Notifications"));
        bus.unregisterService(serviceName);
    }

    void postsTitleBodyAndHints() {
        FakeNotificationServer server;
        server.capabilities = {QStringLiteral("body"), QStringLiteral("sound")};
        QDBusConnection bus = serverBus();
        QVERIFY(bus.registerObject(QStringLiteral("/org/freedesktop/Notifications"), &server,
                                   QDBusConnection::ExportAllSlots));
        QVERIFY(bus.registerService(serviceName));

        DBusNotifier notifier(QDBusConnection::sessionBus(), [] {});
        notifier.notify(QStringLiteral("Task Completed!"),
                        QStringLiteral("Write has been marked as complete."));
        QTRY_COMPARE(server.calls.size(), 1);

        const FakeNotificationServer::Call& call = server.calls.first();
        QCOMPARE(call.appName, QStringLiteral("Hourlark"));
        QCOMPARE(call.replacesId, 0u);
        QCOMPARE(call.icon, QStringLiteral("hourlark"));
        QCOMPARE(call.summary, QStringLiteral("Task Completed!"));
        QCOMPARE(call.body, QStringLiteral("Write has been marked as complete."));
        QVERIFY(call.actions.isEmpty());
        QCOMPARE(call.expireTimeout, -1);
        // Urgency travels as a byte; servers ignore it in any other type.
        QCOMPARE(call.hints.value(QStringLiteral("urgency")).metaType(),
                 QMetaType::fromType<uchar>());
        QCOMPARE(call.hints.value(QStringLiteral("urgency")).value<uchar>(), uchar(1));
        QCOMPARE(call.hints.value(QStringLiteral("desktop-entry")).toString(),
                 QStringLiteral("hourlark"));
        QCOMPARE(call.hints.value(QStringLiteral("sound-name")).toString(),
                 QStringLiteral("complete"));
        QTRY_COMPARE(notifier.pendingCalls(), 0);
    }

    void playsTheSoundOnlyWhereTheServerCannot_data() {
        QTest::addColumn<QStringList>("capabilities");
        QTest::addColumn<int>("soundsPerNotification");
        QTest::newRow("server plays sounds")
            << QStringList{QStringLiteral("body"), QStringLiteral("sound")} << 0;
        QTest::newRow("server without sound") << QStringList{QStringLiteral("body")} << 1;
    }
    void playsTheSoundOnlyWhereTheServerCannot() {
        QFETCH(QStringList, capabilities);
        QFETCH(int, soundsPerNotification);
        FakeNotificationServer server;
        server.capabilities = capabilities;
        QDBusConnection bus = serverBus();
        QVERIFY(bus.registerObject(QStringLiteral("/org/freedesktop/Notifications"), &server,
                                   QDBusConnection::ExportAllSlots));
        QVERIFY(bus.registerService(serviceName));

        int sounds = 0;
        DBusNotifier notifier(QDBusConnection::sessionBus(), [&sounds] { ++sounds; });
        notifier.notify(QStringLiteral("Countdown Complete!"),
                        QStringLiteral("Your timer has finished."));
        notifier.notify(QStringLiteral("Countdown Complete!"),
                        QStringLiteral("Your timer has finished."));
        QTRY_COMPARE(server.calls.size(), 2);
        QTRY_COMPARE(notifier.pendingCalls(), 0);
        notifier.notify(QStringLiteral("Countdown Complete!"),
                        QStringLiteral("Your timer has finished."));
        QTRY_COMPARE(server.calls.size(), 3);
        QTRY_COMPARE(notifier.pendingCalls(), 0);

        // Two notifications before the capabilities were known share one sound.
        QCOMPARE(sounds, 2 * soundsPerNotification);
        QCOMPARE(server.capabilityQueries, 1);
    }

    void withoutAServerNothingFailsAndOneWarning() {
        QVERIFY(!QDBusConnection::sessionBus().interface()->isServiceRegistered(serviceName));
        const QRegularExpression warning(QStringLiteral("^Notifications are not shown"));
        QTest::ignoreMessage(QtWarningMsg, warning);
        QTest::failOnWarning(warning);

        int sounds = 0;
        DBusNotifier notifier(QDBusConnection::sessionBus(), [&sounds] { ++sounds; });
        for (int i = 0; i < 3; ++i)
            notifier.notify(QStringLiteral("Countdown Complete!"),
                            QStringLiteral("Your timer has finished."));
        QTRY_COMPARE(notifier.pendingCalls(), 0);
        QCOMPARE(sounds, 0);
    }
};

QTEST_GUILESS_MAIN(tst_DBusNotifier)
#include "tst_DBusNotifier.moc"
