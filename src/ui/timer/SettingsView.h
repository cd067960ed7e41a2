#pragma once

#include "control/TaskRules.h"

#include <QWidget>
#include <optional>

class QLabel;
class QLineEdit;
class QPushButton;
class TimerManager;

// The timer panel: the countdown display, the task name and length fields, and the buttons that
// drive the countdown.
class SettingsView final : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(SettingsView)
public:
    // The rules the control service and the command line share (TaskRules).
    static constexpr int maximumNameLength = TaskRules::maximumNameLength;
    static constexpr qint64 minimumMinutes = TaskRules::minimumMinutes;
    static constexpr qint64 maximumMinutes = TaskRules::maximumMinutes;

    // The fields start at the default length and ""; they are refilled from the model whenever the
    // panel shows.
    explicit SettingsView(TimerManager& timer, QWidget* parent = nullptr);

    // The remaining time as a screen reader should say it: "29 minutes 59 seconds remaining".
    static QString spokenRemaining(qint64 seconds);
    // The first `maximumNameLength` grapheme clusters of `text`.
    static QString truncatedName(const QString& text);
    // Keeps the characters Unicode counts as numbers (any script, fractions included).
    static QString numericCharacters(const QString& text);
    // A base-10 number of ASCII digits that fits in 64 bits; nullopt otherwise.
    static std::optional<qint64> parseMinutes(const QString& text);

signals:
    void historyRequested();
    // Start closes the popover.
    void dismissRequested();

protected:
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    QWidget* buildCountdownBlock();
    QWidget* buildInputsBlock();
    QWidget* buildButtonsBlock();

    void onNameEdited(const QString& text);
    void onMinutesEdited(const QString& text);
    void onStartStopClicked();
    void onResetClicked();
    void onCompleteClicked();
    void onModelChanged();

    void refillFields();
    void render();
    void applyStyle();
    void equaliseButtonWidths();

    TimerManager& m_timer;
    QLabel* m_timeLabel = nullptr;
    QLabel* m_nameLabel = nullptr;
    QLabel* m_nameCaption = nullptr;
    QLabel* m_minutesCaption = nullptr;
    QLineEdit* m_nameField = nullptr;
    QLineEdit* m_minutesField = nullptr;
    QPushButton* m_startStopButton = nullptr;
    QPushButton* m_resetButton = nullptr;
    QPushButton* m_completeButton = nullptr;
    QPushButton* m_historyButton = nullptr;
    std::optional<bool> m_buttonShowsRunning; // which face Start/Stop has; none before the first
    bool m_renderQueued = false;
    bool m_refilling = false;
};
