#include "Views/CustomPieChartView.h"

#include <QPainter>
#include <QPainterPath>
#include <QtMath>
#include <algorithm>

namespace {

QPointF pointAt(QPointF centre, double radius, double angle) {
    return centre + QPointF(radius * std::cos(angle), radius * std::sin(angle));
}

QRectF circleRect(QPointF centre, double radius) {
    return QRectF(centre.x() - radius, centre.y() - radius, 2 * radius, 2 * radius);
}

} // namespace

QPainterPath PieSlice::path(const QRectF& rect) const {
    // QPainterPath counts degrees counter-clockwise on screen; these angles run clockwise.
    const QPointF centre = rect.center();
    const double sweep = qRadiansToDegrees(endAngle - startAngle);
    QPainterPath outline;
    outline.moveTo(pointAt(centre, outerRadius, startAngle));
    outline.arcTo(circleRect(centre, outerRadius), -qRadiansToDegrees(startAngle), -sweep);
    outline.lineTo(pointAt(centre, innerRadius, endAngle));
    outline.arcTo(circleRect(centre, innerRadius), -qRadiansToDegrees(endAngle), sweep);
    outline.closeSubpath();
    return outline;
}

CustomPieChartView::CustomPieChartView(QList<TaskEntry> tasks, ColorForTask colorForTask,
                                       QWidget* parent)
    : QWidget(parent)
    , m_tasks(std::move(tasks))
    , m_colorForTask(std::move(colorForTask)) {}

QList<PieSliceData> CustomPieChartView::pieSlices(const QList<TaskEntry>& tasks) {
    // Names in order of first appearance; equal totals then keep that order through the sort.
    QList<std::pair<QString, qint64>> totals;
    QHash<QString, qsizetype> position;
    for (const TaskEntry& task : tasks) {
        const auto found = position.constFind(task.taskName());
        if (found == position.constEnd()) {
            position.insert(task.taskName(), totals.size());
            totals.append({task.taskName(), task.duration()});
        } else {
            totals[*found].second += task.duration();
        }
    }
    std::stable_sort(totals.begin(), totals.end(),
                     [](const auto& a, const auto& b) { return a.second > b.second; });

    double total = 0.0;
    for (const auto& entry : totals) {
        total += double(entry.second);
    }
    QList<PieSliceData> slices;
    if (total <= 0.0) {
        return slices;
    }
    double angle = -90.0;
    for (const auto& [name, duration] : totals) {
        const double end = angle + double(duration) / total * 360.0;
        slices.append({name, qDegreesToRadians(angle), qDegreesToRadians(end)});
        angle = end;
    }
    return slices;
}

void CustomPieChartView::paintEvent(QPaintEvent*) {
    const QRectF area = rect();
    const double radius = std::min(area.width(), area.height()) * 0.5;
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    for (const PieSliceData& slice : pieSlices(m_tasks)) {
        const PieSlice shape{slice.startAngle, slice.endAngle, radius * 0.5, radius};
        QPainterPath outline = shape.path(area);
        outline.setFillRule(Qt::WindingFill);
        painter.setBrush(m_colorForTask(slice.taskName));
        painter.drawPath(outline);
    }
}
