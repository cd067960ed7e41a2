#include "AppDelegate.h"
#include "Fakes.h"
#include "autostart/LoginItemService.h"
#include "kit/Popover.h"
#include "managers/ColorManager.h"
#include "managers/HistoryManager.h"
#include "model/TaskEntryJson.h"
#include "statusitem/StatusItem.h"
#include "timer/MainContainerView.h"

#include <QCursor>
#include <QFile>
#include <QGuiApplication>
#include <QMenu>
#include <QRegularExpression>
#include <QScreen>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <cstdlib>

using namespace Qt::StringLiterals;

namespace {

// Records what the shell asks of the panel item.
class FakeStatusItem final : public StatusItem {
public:
    QString title() const override { return m_title; }
    void setTitle(const QString& title) override { m_title = title; }
    QRect anchorRect() const override { return anchor; }
    void setContextMenu(QMenu* menu) override { attachedMenu = menu; }
    void popUpContextMenu(const QPoint& globalPos) override { menuPoppedUpAt.append(globalPos); }
    bool opensMenuOnLeftClick() const override { return menuOnLeftClick; }

    QRect anchor{600, 0, 24, 24};
    QMenu* attachedMenu = nullptr;
    QList<QPoint> menuPoppedUpAt;
    bool menuOnLeftClick = false;

private:
    QString m_title;
};

const QByteArray storedHistory =
    R"([{"id":"E621E1F8-C36C-495A-93FC-0C247A3E6E5F","taskName":"Write","duration":1500,)"
    R"("startTime":786000000.25,"endTime":786001500.75,"completionDate":786001500.75}])";

QStringList menuTexts(const QMenu& menu) {
    QStringList texts;
    for (const QAction* action : menu.actions()) {
        if (action->isVisible())
            texts.append(action->isSeparator() ? u"---"_s : action->text());
    }
    return texts;
}

QAction* actionNamed(const QMenu& menu, const QString& text) {
    for (QAction* action : menu.actions()) {
        if (action->text() == text)
            return action;
    }
    return nullptr;
}

} // namespace

class tst_AppDelegate final : public QObject {
    Q_OBJECT

    struct Shell {
        MemoryPreferencesStore store;
        MemoryPreferencesStore colorStore;
        RecordingNotifier notifier;
        ManualClock clock;
        ColorManager colors{colorStore};
        AppDelegate delegate{store, notifier, clock, colors};
        FakeStatusItem* item = nullptr;

        explicit Shell(bool menuOnLeftClick = false) {
            store.values.insert(u"TaskHistoryData"_s, storedHistory);
            auto fake = std::make_unique<FakeStatusItem>();
            fake->menuOnLeftClick = menuOnLeftClick;
            item = fake.get();
            delegate.applicationDidFinishLaunching(std::move(fake));
        }
        QMenu& menu() { return *delegate.menu(); }
        void openMenu() { emit item->rightClicked(QPoint(610, 12)); }
    };

    QTemporaryDir m_config;

private slots:
    void initTestCase() {
        QVERIFY(m_config.isValid());
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_config.path()));
        QCoreApplication::setApplicationVersion(u"2.5.1"_s);
    }

    void init() {
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_config.path()));
        QFile::remove(LoginItemService::entryPath());
    }

    // The menu of a panel that reports left clicks, with "Open Timer" hidden, and of a build
    // without a version is read over D-Bus in the StatusNotifierItem test.
    void menuItems() {
        Shell shell(true);
        QCOMPARE(shell.item->attachedMenu, shell.delegate.menu());
        shell.openMenu();
        QCOMPARE(menuTexts(shell.menu()),
                 QStringList({u"Open Timer"_s, u"---"_s, u"Hourlark v2.5.1"_s, u"---"_s,
                              u"Launch at Login"_s, u"---"_s, u"Quit Hourlark"_s}));
    }

    // Changed behind our back (another tool, the desktop's settings): the next opening shows it.
    // A panel that draws the exported menu itself asks first: the StatusNotifierItem test.
    void checkMarkIsReadEachTimeTheMenuOpens() {
        Shell shell;
        shell.openMenu();
        QAction* launch = actionNamed(shell.menu(), u"Launch at Login"_s);
        QVERIFY(!launch->isChecked());
        QVERIFY(LoginItemService().setEnabled(true));
        shell.openMenu();
        QVERIFY(launch->isChecked());
    }

    void failedToggleIsToldOnce() {
        // A configuration folder that is a plain file: nothing can be created below it.
        QTemporaryDir dir;
        const QString blocked = dir.filePath(u"not-a-folder"_s);
        QVERIFY(QFile(blocked).open(QIODevice::WriteOnly));
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(blocked));

        Shell shell;
        QTest::ignoreMessage(QtWarningMsg,
                             QRegularExpression(u"^Failed to toggle launch at login: \\S.*"_s));
        actionNamed(shell.menu(), u"Launch at Login"_s)->trigger();

        QCOMPARE(shell.notifier.posted.size(), 1);
        QVERIFY(!shell.notifier.posted[0].body.isEmpty());
        QVERIFY(!actionNamed(shell.menu(), u"Launch at Login"_s)->isChecked());
    }

    // A full disk: the completion stays in the history, the user hears it (once per episode:
    // tst_StoredValue), and again when saving works; what is still pending is written at quit.
    void saveProblemsAreTold() {
        Shell shell;
        HistoryManager& history = *shell.delegate.historyManager();
        QCOMPARE(history.tasks().size(), 1); // the stored history, loaded at launch
        shell.store.failWrites = true;
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(u"No space left on device"_s));
        const Instant end = shell.clock.now();
        history.saveTask(
            TaskEntry(QUuid::createUuid(), u"Write"_s, 60, end.addingSeconds(-60), end, end));
        QCOMPARE(shell.notifier.posted.size(), 1);
        QCOMPARE(shell.notifier.posted[0].title, u"Hourlark cannot save your data"_s);
        QVERIFY(shell.notifier.posted[0].body.startsWith(u"No space left on device\n"_s));

        shell.store.failWrites = false;
        shell.delegate.applicationWillTerminate();
        QCOMPARE(shell.notifier.posted.size(), 2);
        QCOMPARE(shell.notifier.posted[1].title, u"Hourlark saves your data again"_s);
        const auto saved = decodeTaskHistory(shell.store.values.value(u"TaskHistoryData"_s));
        QCOMPARE(saved.value_or(QList<TaskEntry>()).size(), 2);
    }

    void clicksAndOpenTimerRouteThePanel() {
        Shell shell(true);
        Popover* popover = shell.delegate.popover();
        QCOMPARE(shell.item->title(), u"30:00"_s);

        emit shell.item->leftClicked(QPoint(610, 12));
        QVERIFY(popover->isShown());
        emit shell.item->rightClicked(QPoint(610, 12));
        QCOMPARE(shell.item->menuPoppedUpAt, QList<QPoint>{QPoint(610, 12)});
        QVERIFY2(popover->isShown(), "a right click leaves the popover as it was");
        emit shell.item->leftClicked(QPoint(610, 12));
        QVERIFY(!popover->isShown());
        emit shell.item->rightClicked(QPoint(610, 12));
        emit shell.item->leftClicked(QPoint(610, 12));
        QVERIFY2(popover->isShown(), "the left click after the menu reaches the popover");

        // "Open Timer", or a second launch, leaves an open panel open.
        actionNamed(shell.menu(), u"Open Timer"_s)->trigger();
        shell.delegate.openPopover();
        QVERIFY(popover->isShown());
        // The panel follows the size of the screen shown.
        MainContainerView* root = shell.delegate.mainContainerView();
        root->showDestination(MainContainerView::NavigationDestination::History);
        QCOMPARE(popover->size(), QSize(400, 500));
        root->showDestination(MainContainerView::NavigationDestination::Settings);
        QCOMPARE(popover->size(), QSize(350, 300));
        emit root->dismissRequested();
        QVERIFY(!popover->isShown());
        actionNamed(shell.menu(), u"Open Timer"_s)->trigger();
        QVERIFY(popover->isShown());
    }

    // "Open Timer" and a second launch come with the pointer on a menu entry or another window.
    void openedPanelIsPlacedByTheItemNotThePointer_data() {
        QTest::addColumn<QRect>("anchor");
        QTest::newRow("under the item last seen") << QRect(600, 0, 24, 24);
        QTest::newRow("item never seen: top of the screen") << QRect();
    }
    void openedPanelIsPlacedByTheItemNotThePointer() {
        QFETCH(QRect, anchor);
        Shell shell;
        shell.item->anchor = anchor;
        const QPoint pointer(300, 450);
        QCursor::setPos(pointer);
        shell.delegate.openPopover();
        Popover* popover = shell.delegate.popover();
        QVERIFY(popover->isShown());
        const int margin = popover->shadowMargin();
        const QRect frame = popover->geometry().marginsRemoved({margin, margin, margin, margin});
        const QRect available = QGuiApplication::primaryScreen()->availableGeometry();
        // Centred under that point, as tst_Popover places it; both are well inside the screen.
        const QPoint under = anchor.isValid() ? QPoint(anchor.center().x(), anchor.bottom())
                                              : QPoint(pointer.x(), available.top());
        QVERIFY(frame.top() > under.y() && frame.top() <= under.y() + 8);
        QVERIFY(std::abs(frame.center().x() - under.x()) <= 1);
    }

    void quitIsRequested() {
        Shell shell;
        QSignalSpy quit(&shell.delegate, &AppDelegate::quitRequested);
        actionNamed(shell.menu(), u"Quit Hourlark"_s)->trigger();
        QCOMPARE(quit.size(), 1);

        // Ctrl+Q also works while the panel has the keyboard.
        shell.delegate.openPopover();
        QVERIFY(QTest::qWaitForWindowActive(shell.delegate.popover()));
        QTest::keyClick(shell.delegate.popover(), Qt::Key_Q, Qt::ControlModifier);
        QCOMPARE(quit.size(), 2);
    }
};

QTEST_MAIN(tst_AppDelegate)
#include "tst_AppDelegate.moc"
