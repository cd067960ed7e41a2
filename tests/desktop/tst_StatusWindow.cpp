#include "statusitem/StatusWindow.h"

#include <QGuiApplication>
#include <QKeySequence>
#include <QProcess>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

using namespace Qt::StringLiterals;

class tst_StatusWindow final : public QObject {
    Q_OBJECT

private slots:
    void buttonShowsTheExactTitle_data() {
        QTest::addColumn<QString>("title");
        QTest::newRow("ampersand is not a mnemonic") << u"05:00 Tom & Jerry"_s;
        QTest::newRow("long") << u"600:00 "_s + QString(40, u'x');
    }
    void buttonShowsTheExactTitle() {
        QFETCH(QString, title);
        StatusWindow item;
        item.setTitle(title);
        QCOMPARE(item.title(), title);
        QVERIFY(QKeySequence::mnemonic(item.button()->text()).isEmpty());
        QCOMPARE(item.button()->text().replace(u"&&"_s, u"&"_s), title);
        QVERIFY(item.window()->isVisible());
        QVERIFY(item.window()->width() >= item.button()->sizeHint().width());
        QVERIFY(!item.anchorRect().isNull());

        // On an X server (ctest's tst_StatusWindow_x11 runs this under Xvfb) taskbars and pagers
        // leave it out.
        if (QGuiApplication::platformName() == u"xcb") {
            QVERIFY(QTest::qWaitForWindowExposed(item.window()));
            QProcess xprop;
            xprop.start(u"xprop"_s,
                        {u"-id"_s, QString::number(item.window()->winId()), u"_NET_WM_STATE"_s});
            QVERIFY(xprop.waitForFinished());
            const QString state = QString::fromUtf8(xprop.readAll());
            QVERIFY2(state.contains(u"_NET_WM_STATE_SKIP_TASKBAR"_s) &&
                         state.contains(u"_NET_WM_STATE_SKIP_PAGER"_s),
                     qPrintable(state));
        }
    }

    void clicks_data() {
        QTest::addColumn<Qt::MouseButton>("button");
        QTest::addColumn<int>("left");
        QTest::addColumn<int>("right");
        QTest::newRow("left") << Qt::LeftButton << 1 << 0;
        QTest::newRow("right") << Qt::RightButton << 0 << 1;
        QTest::newRow("middle does nothing") << Qt::MiddleButton << 0 << 0;
    }
    void clicks() {
        QFETCH(Qt::MouseButton, button);
        QFETCH(int, left);
        QFETCH(int, right);
        StatusWindow item;
        item.setTitle(u"30:00"_s);
        QSignalSpy leftSpy(&item, &StatusItem::leftClicked);
        QSignalSpy rightSpy(&item, &StatusItem::rightClicked);
        QTest::mouseClick(item.button(), button);
        QCOMPARE(leftSpy.size(), left);
        QCOMPARE(rightSpy.size(), right);
        QVERIFY(!item.button()->isDown());
    }
};

QTEST_MAIN(tst_StatusWindow)
#include "tst_StatusWindow.moc"
