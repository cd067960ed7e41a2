#include "AppDelegate.h"
#include "Managers/ColorManager.h"
#include "Managers/HistoryManager.h"
#include "Platform/Clock.h"
#include "Platform/LoginItemService.h"
#include "Platform/Notifier.h"
#include "Platform/Popover.h"
#include "Platform/PreferencesStore.h"
#include "Platform/StatusItem.h"
#include "Views/MainContainerView.h"

#include <QDir>
#include <QFile>
#include <QMenu>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <cstdio>

namespace {

// Records what the shell asks of the panel item.
class FakeStatusItem final : public StatusItem {
public:
    QString title() const override { return m_title; }
    void setTitle(const QString& title) override { m_title = title; }
    QRect anchorRect() const override { return QRect(600, 0, 24, 24); }
    void setContextMenu(QMenu* menu) override { attachedMenu = menu; }
    void popUpContextMenu(const QPoint& globalPos) override { menuPoppedUpAt.append(globalPos); }
    bool opensMenuOnLeftClick() const override { return menuOnLeftClick; }

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
            texts.append(action->isSeparator() ? QStringLiteral("---") : action->text());
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
            store.values.insert(QStringLiteral("TaskHistoryData"), storedHistory);
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
        QCoreApplication::setApplicationVersion(QStringLiteral("2.5.1"));
    }

    void init() {
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_config.path()));
        QFile::remove(LoginItemService::entryPath());
    }

    void launchShowsThirtyMinutesWithHistoryLoaded() {
        Shell shell;
        QCOMPARE(shell.item->title(), QStringLiteral("30:00"));
        QCOMPARE(shell.delegate.historyManager()->tasks().size(), 1);
        QCOMPARE(shell.delegate.historyManager()->tasks().first().taskName(),
                 QStringLiteral("Write"));
        QVERIFY(!shell.delegate.popover()->isShown());
        QCOMPARE(shell.delegate.popover()->size(), QSize(350, 300));
        QCOMPARE(shell.item->attachedMenu, shell.delegate.menu());
        // The countdown's own first write lands one turn later and says the same.
        QTRY_COMPARE(shell.item->title(), QStringLiteral("30:00"));
    }

    void menuItems_data() {
        QTest::addColumn<bool>("menuOnLeftClick");
        QTest::addColumn<QStringList>("expected");
        const QStringList common{QStringLiteral("Hourlark v2.5.1"), QStringLiteral("---"),
                                 QStringLiteral("Launch at Login"), QStringLiteral("---"),
                                 QStringLiteral("Quit Hourlark")};
        QTest::newRow("panel reports left clicks") << false << common;
        QTest::newRow("panel opens the menu on a left click")
            << true << (QStringList{QStringLiteral("Open Timer"), QStringLiteral("---")} + common);
    }
    void menuItems() {
        QFETCH(bool, menuOnLeftClick);
        QFETCH(QStringList, expected);
        Shell shell(menuOnLeftClick);
        shell.openMenu();
        QCOMPARE(menuTexts(shell.menu()), expected);

        const QAction* version = actionNamed(shell.menu(), QStringLiteral("Hourlark v2.5.1"));
        QVERIFY(!version->isEnabled());
        const QAction* launch = actionNamed(shell.menu(), QStringLiteral("Launch at Login"));
        QVERIFY(launch->isCheckable());
        QVERIFY(launch->isEnabled());
        const QAction* quit = actionNamed(shell.menu(), QStringLiteral("Quit Hourlark"));
        QCOMPARE(quit->shortcut(), QKeySequence(QStringLiteral("Ctrl+Q")));
    }

    void versionFallsBackWhenTheBuildHasNone() {
        QCoreApplication::setApplicationVersion(QString());
        Shell shell;
        QCoreApplication::setApplicationVersion(QStringLiteral("2.5.1"));
        QCOMPARE(menuTexts(shell.menu()).first(), QStringLiteral("Hourlark v1.0"));
    }

    void checkMarkIsReadEachTimeTheMenuOpens_data() {
        QTest::addColumn<QByteArray>("entry");
        QTest::addColumn<bool>("checked");
        QTest::newRow("no entry") << QByteArray() << false;
        QTest::newRow("entry") << QByteArray("[Desktop Entry]\nType=Application\nExec=hourlark\n")
                               << true;
        QTest::newRow("hidden entry")
            << QByteArray("[Desktop Entry]\nExec=hourlark\nHidden=true\n") << false;
        QTest::newRow("disabled in GNOME")
            << QByteArray("[Desktop Entry]\nExec=hourlark\nX-GNOME-Autostart-enabled=false\n")
            << false;
    }
    void checkMarkIsReadEachTimeTheMenuOpens() {
        QFETCH(QByteArray, entry);
        QFETCH(bool, checked);
        Shell shell;
        shell.openMenu();
        QAction* launch = actionNamed(shell.menu(), QStringLiteral("Launch at Login"));
        QVERIFY(!launch->isChecked());

        // Changed behind our back (another tool, the desktop's settings): the next opening shows
        // it.
        if (!entry.isEmpty()) {
            QDir().mkpath(QFileInfo(LoginItemService::entryPath()).absolutePath());
            QFile file(LoginItemService::entryPath());
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(entry);
        }
        shell.openMenu();
        QCOMPARE(launch->isChecked(), checked);
        QCOMPARE(shell.item->menuPoppedUpAt.size(), 2);
        // A panel that draws the exported menu itself asks before showing it.
        QFile::remove(LoginItemService::entryPath());
        emit shell.item->contextMenuAboutToShow();
        QVERIFY(!launch->isChecked());
    }

    void choosingLaunchAtLoginTwiceReturnsToTheStateBefore() {
        Shell shell;
        QAction* launch = actionNamed(shell.menu(), QStringLiteral("Launch at Login"));
        launch->trigger();
        QVERIFY(LoginItemService().isEnabled());
        QVERIFY(launch->isChecked());
        launch->trigger();
        QVERIFY(!LoginItemService().isEnabled());
        QVERIFY(!launch->isChecked());
    }

    void failedToggleWritesOneLine() {
        // A configuration folder that is a plain file: nothing can be created below it.
        QTemporaryDir dir;
        const QString blocked = dir.filePath(QStringLiteral("not-a-folder"));
        QFile file(blocked);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(blocked));

        Shell shell;
        FILE* output = std::tmpfile();
        shell.delegate.setOutput(output);
        actionNamed(shell.menu(), QStringLiteral("Launch at Login"))->trigger();

        std::rewind(output);
        char buffer[1024] = {};
        const size_t length = std::fread(buffer, 1, sizeof buffer - 1, output);
        std::fclose(output);
        const QString written = QString::fromLocal8Bit(buffer, qsizetype(length));
        QVERIFY2(written.startsWith(QStringLiteral("Failed to toggle launch at login: ")),
                 qPrintable(written));
        QVERIFY(written.size() > QStringLiteral("Failed to toggle launch at login: ").size() + 1);
        QCOMPARE(written.count(u'\n'), 1);
        QVERIFY(written.endsWith(u'\n'));
        QVERIFY(!actionNamed(shell.menu(), QStringLiteral("Launch at Login"))->isChecked());
    }

    void clickRouting() {
        Shell shell;
        Popover* popover = shell.delegate.popover();

        emit shell.item->leftClicked(QPoint(610, 12));
        QVERIFY(popover->isShown());
        // The popover hangs below the item.
        QVERIFY(popover->geometry().top() >= shell.item->anchorRect().bottom());

        emit shell.item->rightClicked(QPoint(610, 12));
        QCOMPARE(shell.item->menuPoppedUpAt, QList<QPoint>{QPoint(610, 12)});
        QVERIFY2(popover->isShown(), "a right click leaves the popover as it was");

        emit shell.item->leftClicked(QPoint(610, 12));
        QVERIFY(!popover->isShown());

        emit shell.item->rightClicked(QPoint(610, 12));
        QVERIFY(!popover->isShown());
        emit shell.item->leftClicked(QPoint(610, 12));
        QVERIFY2(popover->isShown(), "the left click after the menu reaches the popover");
        QCOMPARE(shell.item->menuPoppedUpAt.size(), 2);
    }

    void openTimerShowsThePanel() {
        Shell shell(true);
        actionNamed(shell.menu(), QStringLiteral("Open Timer"))->trigger();
        QVERIFY(shell.delegate.popover()->isShown());
        // A second "Open Timer" (or a second launch) does not close it.
        shell.delegate.openPopover();
        QVERIFY(shell.delegate.popover()->isShown());
    }

    void popoverFollowsTheScreenShown() {
        Shell shell;
        Popover* popover = shell.delegate.popover();
        shell.delegate.openPopover();
        MainContainerView* root = shell.delegate.mainContainerView();
        root->showDestination(MainContainerView::NavigationDestination::History);
        QCOMPARE(popover->size(), QSize(400, 500));
        root->showDestination(MainContainerView::NavigationDestination::Settings);
        QCOMPARE(popover->size(), QSize(350, 300));
        QVERIFY(popover->isShown());

        emit root->dismissRequested();
        QVERIFY(!popover->isShown());
    }

    void quitIsRequested() {
        Shell shell;
        QSignalSpy quit(&shell.delegate, &AppDelegate::quitRequested);
        actionNamed(shell.menu(), QStringLiteral("Quit Hourlark"))->trigger();
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
