#include "kit/SectorChart.h"

#include <QPainter>
#include <QPainterPath>
#include <QtMath>
#include <algorithm>
#include <cmath>

namespace {

constexpr double fullTurn = 2.0 * M_PI;

QPointF pointAt(QPointF centre, double radius, double angle) {
    return centre + QPointF(radius * std::cos(angle), radius * std::sin(angle));
}

QRectF circleRect(QPointF centre, double radius) {
    return QRectF(centre.x() - radius, centre.y() - radius, 2 * radius, 2 * radius);
}

// QPainterPath counts degrees counter-clockwise on screen; our angles run clockwise.
void arcAround(QPainterPath& path, QPointF centre, double radius, double from, double to) {
    path.arcTo(circleRect(centre, radius), -qRadiansToDegrees(from), -qRadiansToDegrees(to - from));
}

QPointF unit(QPointF v) {
    const double length = std::hypot(v.x(), v.y());
    return length > 0 ? v / length : QPointF();
}

} // namespace

SectorChart::SectorChart(QList<Mark> marks, ColorForKey colorForKey, QWidget* parent)
    : QWidget(parent)
    , m_marks(std::move(marks))
    , m_colorForKey(std::move(colorForKey)) {}

QList<std::pair<double, double>> SectorChart::angles(const QList<Mark>& marks) {
    double total = 0.0;
    for (const Mark& mark : marks) {
        total += std::max(0.0, mark.value);
    }
    QList<std::pair<double, double>> result;
    if (total <= 0.0) {
        return result;
    }
    double angle = -M_PI / 2.0;
    for (const Mark& mark : marks) {
        const double end = angle + std::max(0.0, mark.value) / total * fullTurn;
        result.append({angle, end});
        angle = end;
    }
    return result;
}

QPainterPath SectorChart::sectorPath(QPointF centre, double innerRadius, double outerRadius,
                                     double startAngle, double endAngle) {
    QPainterPath path;
    path.setFillRule(Qt::WindingFill);
    const double sweep = endAngle - startAngle;
    if (sweep >= fullTurn - 1e-9) {
        path.addEllipse(centre, outerRadius, outerRadius);
        path.addEllipse(centre, innerRadius, innerRadius);
        path.setFillRule(Qt::OddEvenFill);
        return path;
    }
    if (sweep <= 0.0) {
        return path;
    }

    // Each radial edge moves half the gap sideways, so the gap is equally wide at every radius.
    const double half = gap / 2.0;
    const double meet = half / std::sin(std::min(sweep, M_PI) / 2.0); // where the edges cross
    if (sweep < M_PI && meet >= outerRadius) {
        return path; // too thin to show anything but the gap
    }
    const double outerInset = std::asin(std::min(1.0, half / outerRadius));
    const QPointF outerStart = pointAt(centre, outerRadius, startAngle + outerInset);
    const QPointF outerEnd = pointAt(centre, outerRadius, endAngle - outerInset);
    const double outerArc = outerRadius * (sweep - 2 * outerInset);

    if (sweep < M_PI && meet >= innerRadius) {
        // So thin that the edges meet before the hole: a small wedge with a rounded outer rim.
        const QPointF apex = pointAt(centre, meet, (startAngle + endAngle) / 2.0);
        const double c = std::min({cornerRadius, outerArc / 2.0, (outerRadius - meet) / 2.0});
        path.moveTo(pointAt(centre, outerRadius, startAngle + outerInset + c / outerRadius));
        arcAround(path, centre, outerRadius, startAngle + outerInset + c / outerRadius,
                  endAngle - outerInset - c / outerRadius);
        path.quadTo(outerEnd, outerEnd + unit(apex - outerEnd) * c);
        path.lineTo(apex);
        path.lineTo(outerStart + unit(apex - outerStart) * c);
        path.quadTo(outerStart, path.elementAt(0));
        path.closeSubpath();
        return path;
    }

    const double innerInset = std::asin(std::min(1.0, half / innerRadius));
    const QPointF innerStart = pointAt(centre, innerRadius, startAngle + innerInset);
    const QPointF innerEnd = pointAt(centre, innerRadius, endAngle - innerInset);
    const double innerArc = innerRadius * (sweep - 2 * innerInset);
    const double edge = std::hypot(outerEnd.x() - innerEnd.x(), outerEnd.y() - innerEnd.y());
    const double c = std::min({cornerRadius, edge / 2.0, outerArc / 2.0, innerArc / 2.0});
    const QPointF down = unit(innerEnd - outerEnd);   // along the end edge, towards the hole
    const QPointF up = unit(outerStart - innerStart); // along the start edge, outwards

    const double outerFrom = startAngle + outerInset + c / outerRadius;
    const double outerTo = endAngle - outerInset - c / outerRadius;
    const double innerFrom = endAngle - innerInset - c / innerRadius;
    const double innerTo = startAngle + innerInset + c / innerRadius;
    path.moveTo(pointAt(centre, outerRadius, outerFrom));
    arcAround(path, centre, outerRadius, outerFrom, outerTo);
    path.quadTo(outerEnd, outerEnd + down * c);
    path.lineTo(innerEnd - down * c);
    path.quadTo(innerEnd, pointAt(centre, innerRadius, innerFrom));
    arcAround(path, centre, innerRadius, innerFrom, innerTo);
    path.quadTo(innerStart, innerStart + up * c);
    path.lineTo(outerStart - up * c);
    path.quadTo(outerStart, pointAt(centre, outerRadius, outerFrom));
    path.closeSubpath();
    return path;
}

void SectorChart::paintEvent(QPaintEvent*) {
    const QRectF area = rect();
    const double outer = std::min(area.width(), area.height()) * 0.5;
    const double inner = outer * innerRadiusRatio;
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    const auto sectorAngles = angles(m_marks);
    for (qsizetype i = 0; i < sectorAngles.size(); ++i) {
        auto [start, end] = sectorAngles[i];
        if (sectorAngles.size() > 1 && end - start >= fullTurn - 1e-9) {
            end = start + fullTurn - 1e-6; // one mark among empty ones still shows its gap
        }
        painter.setBrush(m_colorForKey(m_marks[i].key));
        painter.drawPath(sectorPath(area.center(), inner, outer, start, end));
    }
}
