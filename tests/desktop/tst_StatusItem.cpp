#include "statusitem/StatusItem.h"

#include <QMenu>
#include <QTest>
#include <memory>

using namespace Qt::StringLiterals;

namespace {

// A backend that brings nothing of its own to the menu or the running state.
class PlainStatusItem final : public StatusItem {
public:
    QString title() const override { return {}; }
    void setTitle(const QString&) override {}
    QRect anchorRect() const override { return {}; }
    int runningChanges = 0;

protected:
    void onRunningChanged() override { ++runningChanges; }
};

} // namespace

class tst_StatusItem final : public QObject {
    Q_OBJECT

private slots:
    // The shell owns the menu and may delete it first, as it does on the way out.
    void popsUpTheShellsMenuWhereAskedWhileItLives() {
        PlainStatusItem item;
        auto menu = std::make_unique<QMenu>();
        menu->addAction(u"Quit Hourlark"_s);
        item.popUpContextMenu(QPoint(40, 30)); // nothing attached yet: nothing to show
        item.setContextMenu(menu.get());
        item.popUpContextMenu(QPoint(40, 30));
        QTRY_VERIFY(menu->isVisible());
        QCOMPARE(menu->pos(), QPoint(40, 30));
        menu.reset();
        QCOMPARE(item.contextMenu(), nullptr);
        item.popUpContextMenu(QPoint(40, 30));
    }

    void runningChangesReachTheBackendOnce() {
        PlainStatusItem item;
        item.setRunning(false); // stopped already: no change
        item.setRunning(true);
        item.setRunning(true);
        QCOMPARE(item.runningChanges, 1);
        QVERIFY(item.isRunning());
        item.setRunning(false);
        QCOMPARE(item.runningChanges, 2);
    }

    // Panels speak device pixels. A 1920x1080 logical screen at 1.25 is 2400x1350 device pixels;
    // a second screen to its right keeps its own origin and ratio.
    void panelPointsBecomeLogical_data() {
        using Screens = QList<StatusItem::ScreenScale>;
        QTest::addColumn<Screens>("screens");
        QTest::addColumn<QPoint>("device");
        QTest::addColumn<QPoint>("logical");
        const Screens quarter{{QRect(0, 0, 1920, 1080), 1.25}};
        const Screens mixed{{QRect(0, 0, 1280, 720), 1.5}, {QRect(1920, 0, 960, 540), 2}};
        QTest::newRow("1.25x, past the logical width")
            << quarter << QPoint(2390, 30) << QPoint(1912, 24);
        QTest::newRow("1.5x, first screen") << mixed << QPoint(1800, 30) << QPoint(1200, 20);
        QTest::newRow("2x, second screen") << mixed << QPoint(3800, 20) << QPoint(2860, 10);
        QTest::newRow("on no screen: the first one's ratio")
            << mixed << QPoint(-300, 30) << QPoint(-200, 20);
    }
    void panelPointsBecomeLogical() {
        QFETCH(QList<StatusItem::ScreenScale>, screens);
        QFETCH(QPoint, device);
        QFETCH(QPoint, logical);
        QCOMPARE(StatusItem::logicalFromDevice(device, screens), logical);
    }
};

QTEST_MAIN(tst_StatusItem)
#include "tst_StatusItem.moc"
