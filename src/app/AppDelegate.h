#pragma once

#include "autostart/LoginItemService.h"
#include "services/ProblemNotices.h"

#include <QObject>
#include <QPoint>
#include <memory>

class Clock;
class ColorManager;
class HistoryManager;
class MainContainerView;
class Notifier;
class Popover;
class PreferencesStore;
class QAction;
class QMenu;
class StatusItem;
class StoredValue;
class TimerManager;

// Owns everything that lives for the whole run and routes the status item's clicks.
class AppDelegate final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(AppDelegate)
public:
    // The services must outlive the delegate.
    AppDelegate(PreferencesStore& store, Notifier& notifier, const Clock& clock,
                ColorManager& colors, QObject* parent = nullptr);
    ~AppDelegate() override;

    // Builds, in this order: the status item titled "30:00", the history (read in the background),
    // the countdown, the popover and its content. Takes the status item the session allows.
    void applicationDidFinishLaunching(std::unique_ptr<StatusItem> statusItem);

    void togglePopover(const QPoint& globalPos);
    // Shows the panel without toggling (a second launch, "Open Timer"), under the item's last known
    // position, else at the top of the screen.
    void openPopover();
    // Shows the panel on the history screen (asked for over the session bus).
    void openHistory();
    void showMenu(const QPoint& globalPos);
    void toggleLaunchAtLogin();
    void quitApp();
    // Last chance for changes that could not be saved yet.
    void applicationWillTerminate();

    StatusItem* statusItem() const { return m_statusItem.get(); }
    HistoryManager* historyManager() const { return m_historyManager.get(); }
    TimerManager* timerManager() const { return m_timerManager.get(); }
    Popover* popover() const { return m_popover.get(); }
    MainContainerView* mainContainerView() const { return m_mainContainerView; }
    QMenu* menu() const { return m_menu.get(); }

signals:
    void quitRequested();

private:
    void buildMenu();
    void onMenuAboutToShow();
    void onRunningChanged();
    // Tells the user when a stored value cannot be read or saved, and when it can again.
    void watchStorage(StoredValue& value);

    PreferencesStore& m_store;
    Notifier& m_notifier;
    const Clock& m_clock;
    ColorManager& m_colors;
    LoginItemService m_loginItems;
    ProblemNotices m_problems;

    // Declared so that destruction runs from the popover down to the menu the item refers to.
    std::unique_ptr<QMenu> m_menu;
    std::unique_ptr<StatusItem> m_statusItem;
    std::unique_ptr<HistoryManager> m_historyManager;
    std::unique_ptr<TimerManager> m_timerManager;
    std::unique_ptr<Popover> m_popover;
    MainContainerView* m_mainContainerView = nullptr;

    QAction* m_openTimerAction = nullptr;
    QAction* m_openTimerSeparator = nullptr;
    QAction* m_launchAtLoginAction = nullptr;
};
