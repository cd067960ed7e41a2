#pragma once

#include <QList>
#include <QWidget>
#include <functional>

class QPainterPath;

// A ring of one annular sector per mark, in the order given, clockwise from the top. Neighbouring
// sectors are kept apart by a constant gap and their corners are rounded, like a chart library's
// sector marks.
class SectorChart final : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(SectorChart)
public:
    struct Mark {
        QString key; // what the colour is looked up by
        double value = 0.0;
    };
    using ColorForKey = std::function<QColor(const QString&)>;

    static constexpr double innerRadiusRatio = 0.5;
    static constexpr double gap = 1.5;
    static constexpr double cornerRadius = 5.0;

    SectorChart(QList<Mark> marks, ColorForKey colorForKey, QWidget* parent = nullptr);

    // Start and end angle of each mark, radians clockwise from 3 o'clock, starting at the top.
    static QList<std::pair<double, double>> angles(const QList<Mark>& marks);
    // One sector between two angles, with the gap taken off both radial edges and rounded corners.
    // A full turn is a plain ring.
    static QPainterPath sectorPath(QPointF centre, double innerRadius, double outerRadius,
                                   double startAngle, double endAngle);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QList<Mark> m_marks;
    ColorForKey m_colorForKey;
};
