#pragma once

#include "model/TaskEntry.h"

#include <QWidget>

class HistoryManager;
class QToolButton;

// One completion inside an expanded merged task: its time of day, its duration and a menu to
// edit or delete it.
class IndividualTaskRow final : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(IndividualTaskRow)
public:
    IndividualTaskRow(TaskEntry task, QString taskName, HistoryManager& history,
                      QWidget* parent = nullptr);

    const TaskEntry& task() const { return m_task; }
    QToolButton* actionsButton() const { return m_actions; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void buildActionsMenu();
    void onEditRequested();
    void onDeleteRequested();

    TaskEntry m_task;
    QString m_taskName;
    HistoryManager& m_history;
    QToolButton* m_actions = nullptr;
};
