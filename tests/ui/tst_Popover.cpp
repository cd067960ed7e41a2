#include "kit/Overlay.h"
#include "kit/Popover.h"

#include <QApplication>
#include <QLabel>
#include <QScreen>
#include <QTest>

using namespace Qt::StringLiterals;

class tst_Popover final : public QObject {
    Q_OBJECT

private slots:
    void placement_data() {
        QTest::addColumn<QRect>("anchor");
        QTest::addColumn<QPoint>("point");
        QTest::addColumn<QPoint>("expected");
        // A 350 x 300 panel on the screen's free area: 1000 x 800 below a 30-pixel top panel.
        QTest::newRow("below an item in a top panel")
            << QRect(500, 5, 20, 20) << QPoint() << QPoint(334, 30);
        QTest::newRow("above an item in a bottom panel")
            << QRect(500, 812, 20, 20) << QPoint() << QPoint(334, 508);
        QTest::newRow("pushed in from the right edge")
            << QRect(980, 5, 20, 20) << QPoint() << QPoint(650, 30);
        QTest::newRow("pushed in from the left edge")
            << QRect(0, 5, 20, 20) << QPoint() << QPoint(0, 30);
        QTest::newRow("no anchor: at the point") << QRect() << QPoint(400, 100) << QPoint(225, 104);
        QTest::newRow("no anchor near the bottom: above the point")
            << QRect() << QPoint(400, 800) << QPoint(225, 496);
    }
    void placement() {
        QFETCH(QRect, anchor);
        QFETCH(QPoint, point);
        QFETCH(QPoint, expected);
        QCOMPARE(Popover::placement(QSize(350, 300), anchor, point, QRect(0, 30, 1000, 800)),
                 expected);
    }

    // Clicking the status item while the popover is open first takes the focus away (closing it)
    // and then arrives as a click: that click must not open it again.
    void togglesAndClosesWhenClickedOutside() {
        Popover popover;
        popover.toggle(QRect(), QPoint(50, 50));
        QVERIFY(popover.isShown());
        popover.toggle(QRect(), QPoint(50, 50));
        QVERIFY(!popover.isShown());

        popover.showAt(QRect(), QPoint(50, 50));
        QEvent deactivate(QEvent::WindowDeactivate);
        QApplication::sendEvent(&popover, &deactivate);
        QVERIFY(!popover.isShown());
        popover.toggle(QRect(), QPoint(50, 50));
        QVERIFY(!popover.isShown());
        popover.toggle(QRect(), QPoint(50, 50));
        QVERIFY(popover.isShown());
    }

    // The content keeps its size; a shadowed frame grows the window around it instead.
    void frameKeepsTheContentSize_data() {
        QTest::addColumn<Popover::Frame>("frame");
        QTest::newRow("plain") << Popover::Frame::Plain;
        QTest::newRow("shadowed") << Popover::Frame::Shadowed;
    }
    void frameKeepsTheContentSize() {
        QFETCH(Popover::Frame, frame);
        Popover popover(frame);
        popover.setContent(new QLabel(u"panel"_s));
        popover.showAt(QRect(500, 5, 20, 20), QPoint());
        const int margin = popover.shadowMargin();
        QCOMPARE(margin > 0, frame == Popover::Frame::Shadowed);
        QCOMPARE(popover.content()->size(), QSize(350, 300));
        QCOMPARE(popover.size(), QSize(350 + 2 * margin, 300 + 2 * margin));
        popover.setContentSize(QSize(400, 500));
        QCOMPARE(popover.content()->size(), QSize(400, 500));

        // The frame, not the shadow, hangs below the anchor and stays on the screen.
        const QRect available = popover.screen()->availableGeometry();
        const QPoint expected =
            Popover::placement(QSize(400, 500), QRect(500, 5, 20, 20), QPoint(), available);
        QCOMPARE(popover.pos() + QPoint(margin, margin), expected);
    }

    // Over a white window the panel still shows where it ends: a border at its edge and, shadowed,
    // a soft shadow in a transparent margin.
    void frameStandsOutOverAWhiteWindow_data() { frameKeepsTheContentSize_data(); }
    void frameStandsOutOverAWhiteWindow() {
        QFETCH(Popover::Frame, frame);
        Popover popover(frame);
        QPalette white = popover.palette();
        white.setColor(QPalette::Window, Qt::white);
        white.setColor(QPalette::WindowText, Qt::black);
        popover.setPalette(white);
        popover.setContent(new QWidget);
        popover.showAt(QRect(), QPoint(100, 100));
        const QImage shot = popover.grab().toImage();
        const int margin = popover.shadowMargin();
        const int middle = shot.height() / 2;

        const QColor edge = shot.pixelColor(margin, middle);
        QVERIFY2(qGray(edge.rgb()) < 230 && edge.alpha() == 255, qPrintable(edge.name()));
        QCOMPARE(shot.pixelColor(margin + 5, middle), QColor(Qt::white));
        if (frame == Popover::Frame::Shadowed) {
            QCOMPARE(shot.pixelColor(0, 0).alpha(), 0);
            const int belowFrame = shot.height() - margin + 1;
            QVERIFY(shot.pixelColor(shot.width() / 2, belowFrame).alpha() > 0);
            QVERIFY(shot.pixelColor(margin, margin).alpha() < 100); // a rounded corner
        }
    }

    void aSheetDimsTheContentNotTheShadow() {
        Popover popover(Popover::Frame::Shadowed);
        popover.setContent(new QLabel(u"panel"_s));
        popover.showAt(QRect(), QPoint(100, 100));
        auto* overlay = new Overlay(popover.content(), new QLabel(u"sheet"_s));
        QCOMPARE(QRect(overlay->mapTo(&popover, QPoint()), overlay->size()),
                 popover.content()->geometry());
        QVERIFY(Overlay::isOpenIn(&popover));
    }

    void aSheetKeepsItOpen() {
        Popover popover;
        popover.setContent(new QLabel(u"panel"_s));
        popover.showAt(QRect(), QPoint(50, 50));
        auto* overlay = new Overlay(popover.content(), new QLabel(u"sheet"_s));
        QEvent deactivate(QEvent::WindowDeactivate);
        QApplication::sendEvent(&popover, &deactivate);
        QTest::keyClick(&popover, Qt::Key_Escape);
        QVERIFY(popover.isShown());

        overlay->dismiss();
        QTest::keyClick(&popover, Qt::Key_Escape);
        QVERIFY(!popover.isShown());
    }
};

QTEST_MAIN(tst_Popover)
#include "tst_Popover.moc"
