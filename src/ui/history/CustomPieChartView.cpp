#include "history/CustomPieChartView.h"

#include "model/MergedTask.h"

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
    const QList<NameTotal> totals = totalsByName(tasks);
    double total = 0.0;
    for (const NameTotal& entry : totals) {
        total += double(entry.duration);
    }
    QList<PieSliceData> slices;
    if (total <= 0.0) {
        return slices;
    }
    double angle = -90.0;
    for (const NameTotal& entry : totals) {
        const double end = angle + double(entry.duration) / total * 360.0;
        slices.append({entry.name, qDegreesToRadians(angle), qDegreesToRadians(end)});
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
