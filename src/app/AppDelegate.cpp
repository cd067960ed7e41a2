#include "AppDelegate.h"

#include "kit/Popover.h"
#include "managers/ColorManager.h"
#include "managers/HistoryManager.h"
#include "managers/TimerManager.h"
#include "statusitem/StatusItem.h"
#include "time/DurationText.h"
#include "timer/MainContainerView.h"

#include <QCoreApplication>
#include <QCursor>
#include <QGuiApplication>
#include <QKeySequence>
#include <QMenu>
#include <QScreen>

namespace {

// The version shown when the build did not set one.
QString displayedVersion() {
    const QString version = QCoreApplication::applicationVersion();
    return version.isEmpty() ? QStringLiteral("1.0") : version;
}

} // namespace

AppDelegate::AppDelegate(PreferencesStore& store, Notifier& notifier, const Clock& clock,
                         ColorManager& colors, QObject* parent)
    : QObject(parent)
    , m_store(store)
    , m_notifier(notifier)
    , m_clock(clock)
    , m_colors(colors)
    , m_problems(notifier) {}

AppDelegate::~AppDelegate() = default;

void AppDelegate::applicationDidFinishLaunching(std::unique_ptr<StatusItem> statusItem) {
    m_statusItem = std::move(statusItem);
    m_statusItem->setTitle(DurationText::countdown(TimerManager::defaultLength));
    connect(m_statusItem.get(), &StatusItem::leftClicked, this, &AppDelegate::togglePopover);
    connect(m_statusItem.get(), &StatusItem::rightClicked, this, &AppDelegate::showMenu);
    connect(m_statusItem.get(), &StatusItem::contextMenuAboutToShow, this,
            &AppDelegate::onMenuAboutToShow);

    m_historyManager =
        std::make_unique<HistoryManager>(m_store, HistoryManager::Loading::InBackground);
    watchStorage(m_historyManager->storedValue());
    watchStorage(m_colors.storedValue());
    m_timerManager = std::make_unique<TimerManager>(m_statusItem.get(), m_historyManager.get(),
                                                    m_notifier, m_clock);
    connect(m_timerManager.get(), &TimerManager::isRunningChanged, this,
            &AppDelegate::onRunningChanged);

    m_popover = std::make_unique<Popover>();
    m_mainContainerView = new MainContainerView(*m_timerManager, *m_historyManager, m_colors);
    m_popover->setContent(m_mainContainerView);
    connect(m_mainContainerView, &MainContainerView::sizeChangeRequested, m_popover.get(),
            &Popover::setContentSize);
    connect(m_mainContainerView, &MainContainerView::dismissRequested, m_popover.get(),
            &QWidget::hide);

    buildMenu();
    m_statusItem->setContextMenu(m_menu.get());
}

void AppDelegate::togglePopover(const QPoint& globalPos) {
    if (!m_popover)
        return;
    m_popover->toggle(m_statusItem->anchorRect(), globalPos);
}

void AppDelegate::openPopover() {
    if (!m_popover)
        return;
    if (m_popover->isShown()) {
        m_popover->raise();
        m_popover->activateWindow();
        return;
    }
    // Not where the pointer is: that is the menu entry or another program's window. Under the
    // item where it was last seen, else at the top of the screen, where panels put their items.
    const QPoint cursor = QCursor::pos();
    const QScreen* screen = QGuiApplication::screenAt(cursor);
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    const QPoint top(cursor.x(), screen ? screen->availableGeometry().top() : 0);
    m_popover->showAt(m_statusItem->anchorRect(), top);
}

void AppDelegate::openHistory() {
    if (!m_mainContainerView)
        return;
    m_mainContainerView->showDestination(MainContainerView::NavigationDestination::History);
    openPopover();
}

void AppDelegate::showMenu(const QPoint& globalPos) {
    if (!m_menu)
        return;
    // The popover is left as it was; the menu is not attached to the left click afterwards.
    onMenuAboutToShow();
    m_statusItem->popUpContextMenu(globalPos);
}

void AppDelegate::toggleLaunchAtLogin() {
    QString error;
    if (!m_loginItems.setEnabled(!m_loginItems.isEnabled(), &error))
        m_problems.tell(tr("Failed to toggle launch at login"), error.simplified());
    onMenuAboutToShow();
}

void AppDelegate::applicationWillTerminate() {
    if (m_historyManager)
        m_historyManager->storedValue().flush();
    m_colors.storedValue().flush();
}

void AppDelegate::watchStorage(StoredValue& value) {
    const auto started = [this](const QString& path, const QString& reason) {
        m_problems.report(
            path, tr("Hourlark cannot save your data"),
            tr("%1\nYour changes are kept and saved as soon as this is fixed.").arg(reason));
    };
    connect(&value, &StoredValue::problemStarted, this, started);
    connect(&value, &StoredValue::problemEnded, this, [this](const QString& path) {
        m_problems.resolve(path, tr("Hourlark saves your data again"), path);
    });
    // A value that could not even be read was found before anyone listened.
    if (!value.problem().isEmpty())
        started(value.path(), value.problem());
}

// The title alone cannot say whether the countdown runs: a stopped one keeps its time.
void AppDelegate::onRunningChanged() {
    m_statusItem->setRunning(m_timerManager->isRunning());
}

void AppDelegate::quitApp() {
    emit quitRequested();
}

void AppDelegate::buildMenu() {
    m_menu = std::make_unique<QMenu>();
    m_openTimerAction = m_menu->addAction(tr("Open Timer"));
    connect(m_openTimerAction, &QAction::triggered, this, &AppDelegate::openPopover);
    m_openTimerSeparator = m_menu->addSeparator();

    QAction* version = m_menu->addAction(tr("Hourlark v%1").arg(displayedVersion()));
    version->setEnabled(false);
    m_menu->addSeparator();

    m_launchAtLoginAction = m_menu->addAction(tr("Launch at Login"));
    m_launchAtLoginAction->setCheckable(true);
    // The click flips the check mark before we see it; the service decides what it shows.
    connect(m_launchAtLoginAction, &QAction::triggered, this, &AppDelegate::toggleLaunchAtLogin);
    m_menu->addSeparator();

    QAction* quit = m_menu->addAction(tr("Quit Hourlark"));
    quit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    connect(quit, &QAction::triggered, this, &AppDelegate::quitApp);
    // Ctrl+Q also works while the panel has the keyboard.
    m_popover->addAction(quit);
    quit->setShortcutContext(Qt::WindowShortcut);

    connect(m_menu.get(), &QMenu::aboutToShow, this, &AppDelegate::onMenuAboutToShow);
    onMenuAboutToShow();
}

// The check mark and the "Open Timer" entry are read afresh each time the menu opens.
void AppDelegate::onMenuAboutToShow() {
    if (!m_menu)
        return;
    const bool menuOnLeftClick = m_statusItem->opensMenuOnLeftClick();
    m_openTimerAction->setVisible(menuOnLeftClick);
    m_openTimerSeparator->setVisible(menuOnLeftClick);
    m_launchAtLoginAction->setChecked(m_loginItems.isEnabled());
}
