#pragma once

#include <QSize>
#include <QWidget>

class ColorManager;
class HistoryManager;
class TimerManager;

// The popover's root: the timer panel, or the history screen under a "Task History" header.
class MainContainerView final : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(MainContainerView)
public:
    enum class NavigationDestination { Settings, History };

    MainContainerView(TimerManager& timer, HistoryManager& history, ColorManager& colors,
                      QWidget* parent = nullptr);

    NavigationDestination currentView() const;
    void showDestination(NavigationDestination destination);

    static QSize sizeFor(NavigationDestination destination);

signals:
    // The popover should take this size (emitted on every switch of screen).
    void sizeChangeRequested(const QSize& size);
    // The popover should close (Start on the timer panel).
    void dismissRequested();
};
