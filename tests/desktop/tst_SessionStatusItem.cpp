// Runs on a private session bus (dbus-run-session) with a panel's watcher that comes and goes.

#include "SessionWatcher.h"
#include "statusitem/SessionStatusItem.h"
#include "statusitem/StatusItemFactory.h"
#include "statusitem/StatusWindow.h"

#include <QApplication>
#include <QDBusMessage>
#include <QElapsedTimer>
#include <QMenu>
#include <QSignalSpy>
#include <QTest>
#include <QWidget>

using namespace Qt::StringLiterals;
using Backend = StatusItemFactory::Backend;

Q_DECLARE_METATYPE(Backend)

class tst_SessionStatusItem final : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        QVERIFY2(QDBusConnection::sessionBus().isConnected(),
                 "needs a session bus: dbus-run-session");
        QVERIFY(m_session.registered);
    }

    void init() {
        m_tray = false;
        m_session.watcher->hostRegistered = true;
        QVERIFY(m_session.setPresent(false));
    }

    // Steps: "watcher" (a panel's watcher takes its name), "gone" (it drops it), "host" (a watcher
    // that had no host announces one), "tray" (an XEmbed tray appears), "grace" (time passes for a
    // watcher that went away to come back).
    void followsTheSession_data() {
        QTest::addColumn<Backend>("initial");
        QTest::addColumn<bool>("hostAtFirst");
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<Backend>("expected");
        QTest::addColumn<bool>("sameObject");

        QTest::newRow("late panel takes the item from the window")
            << Backend::Window << true << QStringList{u"watcher"_s} << Backend::StatusNotifier
            << false;
        QTest::newRow("late panel takes the item from the tray")
            << Backend::Tray << true << QStringList{u"watcher"_s} << Backend::StatusNotifier
            << false;
        QTest::newRow("watcher without a host is not enough")
            << Backend::Window << false << QStringList{u"watcher"_s} << Backend::Window << true;
        QTest::newRow("the host it announces later is")
            << Backend::Window << false << QStringList{u"watcher"_s, u"host"_s}
            << Backend::StatusNotifier << false;
        QTest::newRow("late XEmbed tray takes the item from the window")
            << Backend::Window << true << QStringList{u"tray"_s} << Backend::Tray << false;
        QTest::newRow("panel gone, tray left")
            << Backend::StatusNotifier << true
            << QStringList{u"watcher"_s, u"tray"_s, u"gone"_s, u"grace"_s} << Backend::Tray
            << false;
        QTest::newRow("panel gone, nothing left")
            << Backend::StatusNotifier << true << QStringList{u"watcher"_s, u"gone"_s, u"grace"_s}
            << Backend::Window << false;
        QTest::newRow("panel restarting keeps its item")
            << Backend::StatusNotifier << true
            << QStringList{u"watcher"_s, u"gone"_s, u"watcher"_s, u"grace"_s}
            << Backend::StatusNotifier << true;
    }

    void followsTheSession() {
        QFETCH(Backend, initial);
        QFETCH(bool, hostAtFirst);
        QFETCH(QStringList, steps);
        QFETCH(Backend, expected);
        QFETCH(bool, sameObject);
        m_session.watcher->hostRegistered = hostAtFirst;

        SessionStatusItem item(session(), initial);
        QMenu menu;
        item.setContextMenu(&menu);
        item.setTitle(u"24:59 Write"_s);
        item.setRunning(true);
        const StatusItem* first = item.current();
        const auto* firstWindow = qobject_cast<const StatusWindow*>(first);
        const QPointer<QWidget> window = firstWindow ? firstWindow->window() : nullptr;
        for (const QString& step : steps) {
            if (step == u"watcher")
                QVERIFY(m_session.setPresent(true));
            else if (step == u"gone")
                QVERIFY(m_session.setPresent(false));
            else if (step == u"tray")
                m_tray = true;
            else if (step == u"host")
                announceHost();
            else if (step == u"grace")
                QTest::qWait(int((graceMs * 2).count()));
            QTest::qWait(int((pollMs * 3).count()));
        }
        QTRY_COMPARE(item.backend(), expected);
        QCOMPARE(item.current() == first, sameObject);

        // The new backend shows what the old one did.
        StatusItem* now = item.current();
        QCOMPARE(now->title(), u"24:59 Write"_s);
        QVERIFY(now->isRunning());
        QCOMPARE(now->contextMenu(), &menu);
        if (auto* shown = qobject_cast<StatusWindow*>(now))
            QVERIFY(shown->window()->isVisible());
        // The old backend goes once the new one is there: no window lingers over the panel.
        else if (window)
            QVERIFY(!window->isVisible());

        // The clicks of whichever backend took over reach the shell through the item it keeps.
        QSignalSpy left(&item, &StatusItem::leftClicked);
        QSignalSpy right(&item, &StatusItem::rightClicked);
        emit now->leftClicked(QPoint(120, 8));
        emit now->rightClicked(QPoint(130, 9));
        QCOMPARE(left.size(), 1);
        QCOMPARE(right.size(), 1);
        QCOMPARE(item.anchorRect(), now->anchorRect());
    }

    // With no watcher and no tray at all the person sees the window at once, not after a wait.
    void noTrayShowsTheWindowWithinASecond() {
        QElapsedTimer clock;
        clock.start();
        const auto item = StatusItemFactory::createForSession(std::chrono::milliseconds(500), {});
        auto* session = qobject_cast<SessionStatusItem*>(item.get());
        QVERIFY(session);
        QCOMPARE(session->backend(), Backend::Window);
        QVERIFY(qobject_cast<StatusWindow*>(session->current())->window()->isVisible());
        QVERIFY2(clock.elapsed() < 1000, qPrintable(QString::number(clock.elapsed())));
    }

private:
    static constexpr std::chrono::milliseconds pollMs{40};
    static constexpr std::chrono::milliseconds graceMs{400};

    SessionStatusItem::Session session() {
        SessionStatusItem::Session s;
        s.trayAvailable = [this] { return bool(m_tray); };
        s.trayPoll = pollMs;
        s.watcherGrace = graceMs;
        return s;
    }

    void announceHost() {
        m_session.watcher->hostRegistered = true;
        m_session.bus.send(QDBusMessage::createSignal(SessionWatcher::path, SessionWatcher::service,
                                                      u"StatusNotifierHostRegistered"_s));
    }

    SessionWatcher m_session;
    bool m_tray = false;
};

QTEST_MAIN(tst_SessionStatusItem)
#include "tst_SessionStatusItem.moc"
