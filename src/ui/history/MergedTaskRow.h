#pragma once

#include "model/MergedTask.h"

#include <QWidget>
#include <functional>

class ClickableArea;
class ColorManager;
class HistoryManager;
class QLayout;
class QToolButton;
class QVBoxLayout;

// All of a day's completions of one task name: colour, name, count, total and actions. A task
// completed more than once opens in place to one row per completion.
class MergedTaskRow final : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(MergedTaskRow)
public:
    MergedTaskRow(MergedTask mergedTask, HistoryManager& history, ColorManager& colors,
                  std::function<void()> onDeleteAll, QWidget* parent = nullptr);

    const MergedTask& mergedTask() const { return m_mergedTask; }
    bool isExpanded() const { return m_expanded; }
    QToolButton* actionsButton() const { return m_actions; }
    // The clickable line itself (without the completions list).
    QWidget* rowArea() const;

private:
    void buildRow();
    QLayout* buildColorDot(QWidget* row);
    QLayout* buildTitles(QWidget* row);
    QLayout* buildTrailing(QWidget* row);
    void buildActionsMenu();
    void buildCompletions();
    QColor taskColor() const;
    void describeRow();
    void onRowClicked();
    void onMenuRequested();
    void onEditRequested();
    void onDeleteAllRequested();

    MergedTask m_mergedTask;
    HistoryManager& m_history;
    ColorManager& m_colors;
    std::function<void()> m_onDeleteAll;
    QVBoxLayout* m_layout = nullptr;
    ClickableArea* m_row = nullptr;
    QToolButton* m_actions = nullptr;
    QWidget* m_completions = nullptr;
    bool m_expanded = false;
};
