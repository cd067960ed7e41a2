#include "statusitem/StatusIcon.h"

#include <QFont>
#include <QGuiApplication>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>

namespace {

// A dark badge with an amber ring and white digits reads on light and dark panels alike: the
// badge carries the contrast itself instead of relying on the panel's colour.
const QColor badgeFill(0x26, 0x32, 0x38);
const QColor ringColor(0xff, 0xb3, 0x00);
const QColor digitColor(Qt::white);

// The minutes are the digits in front of the first colon ("24:59 Write" -> "24").
QString minutesOf(const QString& title) {
    const qsizetype colon = title.indexOf(u':');
    if (colon <= 0)
        return {};
    const QString minutes = title.left(colon).trimmed();
    for (const QChar c : minutes) {
        if (!c.isDigit())
            return {};
    }
    return minutes;
}

QPainterPath digitsPath(const QString& digits) {
    QFont font = QGuiApplication::font();
    font.setPixelSize(100);
    font.setBold(true);
    QPainterPath path;
    path.addText(0, 0, font, digits);
    return path;
}

// Scales the glyph outlines into the box: full height, squeezed sideways when three digits would
// otherwise shrink below legibility at 16 pixels.
QPainterPath fitted(const QPainterPath& path, const QRectF& box) {
    const QRectF bounds = path.boundingRect();
    if (bounds.isEmpty())
        return {};
    const qreal sy = box.height() / bounds.height();
    const qreal sx = std::min(sy, box.width() / bounds.width());
    QTransform transform;
    transform.translate(box.center().x(), box.center().y());
    transform.scale(sx, sy);
    transform.translate(-bounds.center().x(), -bounds.center().y());
    return transform.map(path);
}

// Without a time in the title: the hands of a clock.
void drawHands(QPainter& painter, const QRectF& inner) {
    const QPointF centre = inner.center();
    QPen pen(digitColor, std::max(1.5, inner.width() / 8), Qt::SolidLine, Qt::RoundCap);
    painter.setPen(pen);
    painter.drawLine(centre, QPointF(centre.x(), inner.top() + inner.height() * 0.18));
    painter.drawLine(centre, QPointF(inner.right() - inner.width() * 0.25, centre.y()));
}

} // namespace

namespace StatusIcon {

QImage render(const QString& title, int pixelSize) {
    const int size = std::max(pixelSize, 8);
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);

    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);

    const qreal ring = std::max<qreal>(1.0, size / 16.0);
    const QRectF outer(0.5, 0.5, size - 1.0, size - 1.0);
    const qreal radius = size * 0.22;
    painter.setPen(QPen(ringColor, ring));
    painter.setBrush(badgeFill);
    painter.drawRoundedRect(outer.adjusted(ring / 2, ring / 2, -ring / 2, -ring / 2), radius,
                            radius);

    const QRectF inner = outer.adjusted(ring * 2, ring * 2, -ring * 2, -ring * 2);
    const QString digits = minutesOf(title);
    if (digits.isEmpty()) {
        drawHands(painter, inner);
        return image;
    }
    const qreal height = inner.height() * (digits.size() <= 2 ? 0.66 : 0.56);
    const QRectF box(inner.left(), inner.center().y() - height / 2, inner.width(), height);
    painter.setPen(Qt::NoPen);
    painter.setBrush(digitColor);
    painter.drawPath(fitted(digitsPath(digits), box));
    return image;
}

QString drawnPart(const QString& title) {
    return title.section(QLatin1Char(':'), 0, 0);
}

} // namespace StatusIcon
