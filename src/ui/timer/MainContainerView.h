#pragma once

#include <QPointer>
#include <QSize>
#include <QWidget>

class ColorManager;
class HistoryManager;
class QFrame;
class QToolButton;
class QVBoxLayout;
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

protected:
    void changeEvent(QEvent* event) override;

private:
    QWidget* buildHeader();
    void applyHeaderStyle();

    void onHistoryRequested();
    void onBackClicked();

    void replaceScreen();

    TimerManager& m_timer;
    HistoryManager& m_history;
    ColorManager& m_colors;
    NavigationDestination m_current = NavigationDestination::Settings;

    QVBoxLayout* m_layout = nullptr;
    QWidget* m_header = nullptr;
    QFrame* m_headerDivider = nullptr;
    QToolButton* m_backButton = nullptr;
    QToolButton* m_backButtonMirror = nullptr;
    QPointer<QWidget> m_screen;
};
