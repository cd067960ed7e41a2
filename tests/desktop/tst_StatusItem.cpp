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
    void popsUpTheShellsMenuWhereAsked() {
        PlainStatusItem item;
        QMenu menu;
        menu.addAction(u"Quit Hourlark"_s);
        item.popUpContextMenu(QPoint(40, 30)); // nothing attached yet: nothing to show
        item.setContextMenu(&menu);
        QCOMPARE(item.contextMenu(), &menu);
        item.popUpContextMenu(QPoint(40, 30));
        QTRY_VERIFY(menu.isVisible());
        QCOMPARE(menu.pos(), QPoint(40, 30));
        menu.close();
    }

    // The shell owns the menu and may delete it first, as it does on the way out.
    void forgetsAMenuThatIsGone() {
        PlainStatusItem item;
        auto menu = std::make_unique<QMenu>();
        item.setContextMenu(menu.get());
        menu.reset();
        QCOMPARE(item.contextMenu(), nullptr);
        item.popUpContextMenu(QPoint(40, 30));
    }

    void runningChangesReachTheBackendOnce() {
        PlainStatusItem item;
        QVERIFY(!item.isRunning());
        item.setRunning(false);
        QCOMPARE(item.runningChanges, 0);
        item.setRunning(true);
        item.setRunning(true);
        QCOMPARE(item.runningChanges, 1);
        QVERIFY(item.isRunning());
        item.setRunning(false);
        QCOMPARE(item.runningChanges, 2);
    }
};

QTEST_MAIN(tst_StatusItem)
#include "tst_StatusItem.moc"
