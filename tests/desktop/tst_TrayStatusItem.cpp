#include "statusitem/TrayStatusItem.h"

#include <QHelpEvent>
#include <QMenu>
#include <QSignalSpy>
#include <QTest>

using namespace Qt::StringLiterals;

class tst_TrayStatusItem final : public QObject {
    Q_OBJECT

private slots:
    // While the countdown runs, only a change of the drawn minutes reaches the tray and the X
    // server (icon, tooltip text, window name); a tooltip the pointer asks for reads the title as
    // it is. A stopped countdown shows each change at once: the person is editing it.
    void titleReachesTheTrayWithTheMinutes_data() {
        QTest::addColumn<QString>("before");
        QTest::addColumn<bool>("runningBefore");
        QTest::addColumn<QString>("after");
        QTest::addColumn<bool>("runningAfter");
        QTest::addColumn<bool>("iconChanges");
        QTest::addColumn<bool>("shownAtOnce");
        QTest::newRow("a second passes")
            << u"24:59 Write"_s << true << u"24:58 Write"_s << true << false << false;
        QTest::newRow("a minute passes")
            << u"24:01 Write"_s << true << u"24:00 Write"_s << true << true << true;
        QTest::newRow("into the last minute")
            << u"01:00"_s << true << u"00:59"_s << true << false << false;
        QTest::newRow("name typed")
            << u"30:00"_s << false << u"30:00 Read"_s << false << false << true;
        QTest::newRow("length set") << u"30:00"_s << false << u"600:00"_s << false << true << true;
        QTest::newRow("started") << u"30:00"_s << false << u"30:00"_s << true << true << true;
        QTest::newRow("stopped") << u"12:34"_s << true << u"12:34"_s << false << true << true;
    }
    void titleReachesTheTrayWithTheMinutes() {
        QFETCH(QString, before);
        QFETCH(bool, runningBefore);
        QFETCH(QString, after);
        QFETCH(bool, runningAfter);
        QFETCH(bool, shownAtOnce);
        TrayStatusItem item;
        item.setTitle(before);
        item.setRunning(runningBefore);
        const qint64 iconBefore = item.trayIcon().icon().cacheKey();
        QCOMPARE(item.trayIcon().toolTip(), before);
        QCOMPARE(item.iconWindowName(), before);

        item.setTitle(after);
        item.setRunning(runningAfter);
        QCOMPARE(item.title(), after);
        QTEST(item.trayIcon().icon().cacheKey() != iconBefore, "iconChanges");
        const QString shown = shownAtOnce ? after : before;
        QCOMPARE(item.trayIcon().toolTip(), shown);
        QCOMPARE(item.iconWindowName(), shown);

        // The pointer rests on the icon: Qt's XEmbed icon passes the request on before it shows
        // the tooltip.
        QHelpEvent request(QEvent::ToolTip, QPoint(4, 4), QPoint(1004, 4));
        QCoreApplication::sendEvent(&item.trayIcon(), &request);
        QCOMPARE(item.trayIcon().toolTip(), after);
        QCOMPARE(item.iconWindowName(), shown);
    }

    void activationsBecomeClicks_data() {
        QTest::addColumn<QSystemTrayIcon::ActivationReason>("reason");
        QTest::addColumn<int>("left");
        QTest::addColumn<int>("right");
        QTest::newRow("left click") << QSystemTrayIcon::Trigger << 1 << 0;
        QTest::newRow("right click") << QSystemTrayIcon::Context << 0 << 1;
        QTest::newRow("middle click") << QSystemTrayIcon::MiddleClick << 0 << 0;
    }
    void activationsBecomeClicks() {
        QFETCH(QSystemTrayIcon::ActivationReason, reason);
        TrayStatusItem item;
        QSignalSpy leftSpy(&item, &StatusItem::leftClicked);
        QSignalSpy rightSpy(&item, &StatusItem::rightClicked);
        emit item.trayIcon().activated(reason);
        QTEST(int(leftSpy.size()), "left");
        QTEST(int(rightSpy.size()), "right");
    }

    // The tray must not open a menu by itself: the shell routes every right click.
    void menuIsNotHandedToTheTray() {
        TrayStatusItem item;
        QMenu menu;
        item.setContextMenu(&menu);
        QCOMPARE(item.trayIcon().contextMenu(), nullptr);
    }
};

QTEST_MAIN(tst_TrayStatusItem)
#include "tst_TrayStatusItem.moc"
