#pragma once

#include "model/TaskEntry.h"

#include <QList>
#include <QWidget>

class ColorManager;
class QVBoxLayout;

// One legend row: a task name's total and its whole-percent share of the day.
struct TaskGroup {
    QString name;
    qint64 totalDuration = 0;
    qint64 percentage = 0;
};

// A day's time per task: the ring (per-completion sectors or one slice per name, by build option)
// and a legend with colour, name, total and share.
class TaskPieChartView final : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TaskPieChartView)
public:
    TaskPieChartView(QList<TaskEntry> tasks, ColorManager& colors, QWidget* parent = nullptr);

    // Largest total first; percentages truncated, so they may add up to less than 100.
    static QList<TaskGroup> groupedTasks(const QList<TaskEntry>& tasks);
    static constexpr int pieHeight = 200;
    static constexpr int percentWidth = 45;

private:
    void buildEmptyText(QVBoxLayout* layout);
    void buildPie(QVBoxLayout* layout);
    void buildLegend(QVBoxLayout* layout);

    QList<TaskEntry> m_tasks;
    ColorManager& m_colors;
};
