#pragma once

#include "model/TaskEntry.h"

#include <QList>
#include <QWidget>
#include <functional>

class QPainterPath;

// One task name's share of the ring; angles in radians, 0 at 3 o'clock, growing clockwise.
struct PieSliceData {
    QString taskName;
    double startAngle = 0.0;
    double endAngle = 0.0;
};

// The outline of one annular sector.
struct PieSlice {
    double startAngle = 0.0;
    double endAngle = 0.0;
    double innerRadius = 0.0;
    double outerRadius = 0.0;

    // Centred in rect: outer arc clockwise, inner arc back, so a full turn fills as a ring.
    QPainterPath path(const QRectF& rect) const;
};

// The day's time per task as a ring with one slice per task name, largest first from the top.
class CustomPieChartView final : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CustomPieChartView)
public:
    using ColorForTask = std::function<QColor(const QString&)>;

    CustomPieChartView(QList<TaskEntry> tasks, ColorForTask colorForTask,
                       QWidget* parent = nullptr);

    static QList<PieSliceData> pieSlices(const QList<TaskEntry>& tasks);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QList<TaskEntry> m_tasks;
    ColorForTask m_colorForTask;
};
