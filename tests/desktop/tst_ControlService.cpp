#include "TimerWorld.h"
#include "control/ControlNames.h"
#include "control/ControlService.h"
#include "control/ControlTypes.h"
#include "model/TaskEntryJson.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QDBusVariant>
#include <QTest>
#include <limits>
#include <memory>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

namespace {

const double unixNow = 786000000.0 + double(Instant::referenceUnixSeconds); // TimerWorld's clock
const double inf = std::numeric_limits<double>::infinity();

// Collects PropertiesChanged of the timer object as another program on the bus sees them.
class ChangeListener final : public QObject {
    Q_OBJECT
public:
    QList<QVariantMap> changes;

public slots:
    void onPropertiesChanged(const QString& interface, const QVariantMap& changed,
                             const QStringList& invalidated) {
        QCOMPARE(interface, QString(ControlNames::timerInterface));
        QVERIFY(invalidated.isEmpty());
        changes.append(changed);
    }
    void onHistoryChanged() { ++historyChanges; }

public:
    int historyChanges = 0;
};

} // namespace

// The control service as another program sees it: calls go from a connection of their own through
// the private bus's daemon.
class tst_ControlService final : public QObject {
    Q_OBJECT

    struct Served {
        TimerWorld world;
        ControlService service{world.timer, world.history, world.clock};
        Served() { QVERIFY(service.publish(QDBusConnection::sessionBus())); }
        ~Served() {
            QDBusConnection bus = QDBusConnection::sessionBus();
            bus.interface()->unregisterService(ControlNames::service);
            bus.unregisterObject(ControlNames::timerPath);
            bus.unregisterObject(ControlNames::historyPath);
        }
    };

    QDBusConnection m_client{QString()};

    QDBusMessage call(const QString& path, const QString& interface, const QString& method,
                      const QVariantList& arguments = {}) {
        QDBusMessage message =
            QDBusMessage::createMethodCall(ControlNames::service, path, interface, method);
        message.setArguments(arguments);
        message.setAutoStartService(false);
        QDBusPendingCall pending = m_client.asyncCall(message, 5000);
        // The service answers from this thread's event loop, which the wait keeps turning.
        if (!QTest::qWaitFor([&] { return pending.isFinished(); }, 6000))
            qWarning("no answer to %s", qPrintable(method));
        QTest::qWait(20); // signals sent before the answer reach their slots too
        return pending.reply();
    }
    QDBusMessage timer(const QString& method, const QVariantList& arguments = {}) {
        return call(ControlNames::timerPath, ControlNames::timerInterface, method, arguments);
    }
    QDBusMessage history(const QString& method, const QVariantList& arguments = {}) {
        return call(ControlNames::historyPath, ControlNames::historyInterface, method, arguments);
    }
    QVariantMap allProperties() {
        const QDBusMessage reply =
            call(ControlNames::timerPath, u"org.freedesktop.DBus.Properties"_s, u"GetAll"_s,
                 {QString(ControlNames::timerInterface)});
        return qdbus_cast<QVariantMap>(reply.arguments().value(0));
    }
    void listen(ChangeListener& listener) {
        QVERIFY(m_client.connect(ControlNames::service, ControlNames::timerPath,
                                 u"org.freedesktop.DBus.Properties"_s, u"PropertiesChanged"_s,
                                 &listener,
                                 SLOT(onPropertiesChanged(QString, QVariantMap, QStringList))));
        QVERIFY(m_client.connect(ControlNames::service, ControlNames::historyPath,
                                 ControlNames::historyInterface, u"Changed"_s, &listener,
                                 SLOT(onHistoryChanged())));
    }

private slots:
    void initTestCase() {
        if (!QDBusConnection::sessionBus().isConnected())
            QSKIP("needs a private session bus: run under dbus-run-session");
        m_client = QDBusConnection::connectToBus(QDBusConnection::SessionBus, u"client"_s);
        QVERIFY(m_client.isConnected());
        ControlTypes::registerAll();
    }

    // Methods against a countdown of 25 minutes named "Write" that ran 10 s and stopped, or still
    // runs: what the command line cannot send, and refusals. Each method's plain use goes through
    // `hourlark` in tst_CommandLine.
    void methods_data() {
        QTest::addColumn<bool>("runningBefore");
        QTest::addColumn<QString>("method");
        QTest::addColumn<QVariantList>("arguments");
        QTest::addColumn<QString>("error");
        QTest::addColumn<bool>("running");
        QTest::addColumn<qint64>("length");
        QTest::addColumn<qint64>("remaining");
        QTest::addColumn<QString>("name");
        // After the call: unchanged unless the row says otherwise.
        struct After {
            bool running;
            qint64 length = 1500, remaining = 1490;
            QString name = u"Write"_s;
        };
        const auto row = [](const char* what, bool runningBefore, const QString& method,
                            const QVariantList& arguments, const QString& error, const After& a) {
            QTest::newRow(what) << runningBefore << method << arguments << error << a.running
                                << a.length << a.remaining << a.name;
        };
        const QString none;
        const QString running = ControlNames::errorRunning;
        const QString forty = u"x"_s.repeated(40);
        row("Start clamps minutes", false, u"Start"_s, {601u, QString()}, none,
            {.running = true, .length = 36000, .remaining = 36000});
        row("Start with the largest minutes", false, u"Start"_s, {4294967295u, QString()}, none,
            {.running = true, .length = 36000, .remaining = 36000});
        row("Start cuts the name", false, u"Start"_s, {0u, forty + u"y\n"_s}, none,
            {.running = true, .name = forty});
        row("Start while running is refused", true, u"Start"_s, {5u, u"Read"_s}, running, {true});
        row("Toggle stops", true, u"Toggle"_s, {}, none, {false});
        row("Complete while stopped is refused", false, u"Complete"_s, {},
            ControlNames::errorNotRunning, {false});
    }
    void methods() {
        QFETCH(bool, runningBefore);
        QFETCH(QString, method);
        QFETCH(QVariantList, arguments);
        QFETCH(QString, error);
        Served s;
        s.world.timer.setInitialTime(25);
        s.world.timer.setCustomText(u"Write"_s);
        s.world.timer.startTimer();
        s.world.tick(10);
        if (!runningBefore)
            s.world.timer.stopTimer();

        const QDBusMessage reply = timer(method, arguments);
        QCOMPARE(reply.errorName(), error);
        QCOMPARE(reply.type(),
                 error.isEmpty() ? QDBusMessage::ReplyMessage : QDBusMessage::ErrorMessage);
        QTEST(s.world.timer.isRunning(), "running");
        QTEST(s.world.timer.initialTime(), "length");
        QTEST(s.world.timer.timeRemaining(), "remaining");
        QTEST(s.world.timer.customText(), "name");
        QVERIFY(s.world.history.tasks().isEmpty());
    }

    // Clients count a running countdown down to EndTime themselves: its ticks go unannounced
    // unless they stray from it.
    void onlyChangesAClientCannotCountAreAnnounced() {
        Served s;
        ChangeListener listener;
        listen(listener);
        QVERIFY(timer(u"Start"_s, {1u, u"Write"_s}).errorName().isEmpty());
        // Every property changed, in the type the interface gives it (x, d, x, s, b, s).
        const QVariantMap started{{u"EndTime"_s, unixNow + 60},
                                  {u"InitialLength"_s, qlonglong(60)},
                                  {u"Running"_s, true},
                                  {u"TaskName"_s, u"Write"_s},
                                  {u"TimeRemaining"_s, qlonglong(60)},
                                  {u"Title"_s, u"01:00 Write"_s}};
        QCOMPARE(listener.changes, QList<QVariantMap>{started});
        const QVariantMap all = allProperties();
        QCOMPARE(all, started);
        for (const QString& name : started.keys())
            QCOMPARE(all.value(name).metaType(), started.value(name).metaType());

        // On time, or late by less than half a second: nothing to say.
        s.world.tick(3);
        s.world.clock.advance(0.25);
        s.world.tick();
        QCOMPARE(allProperties().value(u"Title"_s), QVariant(u"00:56 Write"_s));
        QCOMPARE(listener.changes.size(), 1);
        // Ten minutes asleep move the end; what goes out is what changed since the start.
        s.world.clock.advance(600);
        s.world.tick();
        QTRY_COMPARE(listener.changes.size(), 2);
        QCOMPARE(listener.changes.last(), (QVariantMap{{u"EndTime"_s, unixNow + 660.25},
                                                       {u"TimeRemaining"_s, qlonglong(55)},
                                                       {u"Title"_s, u"00:55 Write"_s}}));

        // Stopping twice is no error, and changes something once.
        QVERIFY(timer(u"Stop"_s).errorName().isEmpty());
        QVERIFY(timer(u"Stop"_s).errorName().isEmpty());
        QCOMPARE(listener.changes.size(), 3);
        QCOMPARE(listener.changes.last(),
                 (QVariantMap{{u"EndTime"_s, 0.0}, {u"Running"_s, false}}));
        // A stopped countdown's time is announced as it changes.
        s.world.timer.setInitialTime(5);
        QTRY_COMPARE(listener.changes.size(), 4);
        QCOMPARE(listener.changes.last(), (QVariantMap{{u"InitialLength"_s, qlonglong(300)},
                                                       {u"TimeRemaining"_s, qlonglong(300)},
                                                       {u"Title"_s, u"05:00 Write"_s}}));
    }

    void addedCompletionGoesThroughTheHistory() {
        Served s;
        ChangeListener listener;
        listen(listener);
        const QDBusMessage reply =
            history(u"AddCompletion"_s, {u"Forgot, \"to\" time"_s, qlonglong(1500), unixNow - 60});
        QCOMPARE(reply.errorName(), QString());
        QCOMPARE(s.world.history.tasks().size(), 1);
        const TaskEntry added = s.world.history.tasks().first();
        QCOMPARE(reply.arguments().value(0).toString(),
                 added.id().toString(QUuid::WithoutBraces).toUpper());
        QCOMPARE(added.taskName(), u"Forgot, \"to\" time"_s);
        QCOMPARE(added.completionDate(), s.world.clock.now().addingSeconds(-60));
        QCOMPARE(added.startTime(), s.world.clock.now().addingSeconds(-1560));
        QCOMPARE(listener.historyChanges, 1);
        // On disk before the call returned.
        QCOMPARE(decodeTaskHistory(s.world.store.values.value(u"TaskHistoryData"_s)),
                 std::optional(s.world.history.tasks()));

        const auto listed = [this](double from, double to) {
            return qdbus_cast<CompletionList>(
                history(u"Completions"_s, {from, to}).arguments().value(0));
        };
        const CompletionList all = listed(-inf, inf);
        QCOMPARE(all.size(), 1);
        QCOMPARE(std::tuple(all[0].seconds, all[0].start, all[0].end),
                 std::tuple(1500, unixNow - 1560, unixNow - 60));
        // Bounds are Unix times, the start included and the end not.
        QCOMPARE(listed(unixNow - 60, inf).size(), 1);
        QCOMPARE(listed(-inf, unixNow - 60).size(), 0);
    }

    void badCompletionsChangeNothing_data() {
        QTest::addColumn<qlonglong>("seconds");
        QTest::addColumn<double>("end");
        QTest::newRow("no duration") << 0LL << unixNow;
        QTest::newRow("over 600 minutes") << 36001LL << unixNow;
        QTest::newRow("ends in the future") << 60LL << unixNow + 1;
        QTest::newRow("ends at no time") << 60LL << std::numeric_limits<double>::quiet_NaN();
        QTest::newRow("ends never") << 60LL << inf;
    }
    void badCompletionsChangeNothing() {
        QFETCH(qlonglong, seconds);
        QFETCH(double, end);
        Served s;
        ChangeListener listener;
        listen(listener);
        const QDBusMessage reply = history(u"AddCompletion"_s, {u"x"_s, seconds, end});
        QCOMPARE(reply.errorName(), u"org.freedesktop.DBus.Error.InvalidArgs"_s);
        QVERIFY(!reply.errorMessage().isEmpty());
        QVERIFY(s.world.history.tasks().isEmpty());
        QCOMPARE(s.world.store.writeCount, 0);
        QCOMPARE(listener.historyChanges, 0);
    }

    // Both formats go out through the command line's export.
    void exportRefusesAnUnknownFormat() {
        Served s;
        QCOMPARE(history(u"Export"_s, {u"xlsx"_s, -inf, inf}).errorName(),
                 u"org.freedesktop.DBus.Error.InvalidArgs"_s);
    }

    void theFirstKeepsTheName() {
        Served first;
        TimerWorld other;
        ControlService second(other.timer, other.history, other.clock);
        QDBusConnection secondBus =
            QDBusConnection::connectToBus(QDBusConnection::SessionBus, u"second"_s);
        QTest::ignoreMessage(QtWarningMsg, "Cannot take the bus name io.github.hourlark.Hourlark: "
                                           "another program owns it");
        QVERIFY(!second.publish(secondBus));
        first.world.timer.setCustomText(u"First"_s);
        QCOMPARE(allProperties().value(u"TaskName"_s), QVariant(u"First"_s));
        QDBusConnection::disconnectFromBus(u"second"_s);
    }

    void waitForOwner_data() {
        QTest::addColumn<int>("publishAfterMs"); // -1: never
        QTest::addColumn<bool>("owned");
        QTest::newRow("already owned") << 0 << true;
        QTest::newRow("taken while waiting") << 300 << true;
        QTest::newRow("never taken") << -1 << false;
    }
    void waitForOwner() {
        QFETCH(int, publishAfterMs);
        QFETCH(bool, owned);
        std::unique_ptr<Served> served;
        if (publishAfterMs == 0)
            served = std::make_unique<Served>();
        else if (publishAfterMs > 0)
            QTimer::singleShot(publishAfterMs, this, [&] { served = std::make_unique<Served>(); });
        QCOMPARE(ControlService::waitForOwner(m_client, 1500ms), owned);
    }
};

QTEST_GUILESS_MAIN(tst_ControlService)
#include "tst_ControlService.moc"
