#include "statusitem/StatusIcon.h"

#include <QFont>
#include <QGuiApplication>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <limits>

namespace {

// A dark badge with white digits reads on light and dark panels alike: the badge carries the
// contrast itself instead of relying on the panel's colour. While the countdown runs the badge is
// at its darkest with an amber ring; stopped, it is greyed out like a control at rest, with the
// digits still white, since dimmer ones would blur at 16 pixels.
struct Palette {
    QColor fill;
    QColor ring;
};
constexpr Palette running{QColor(0x26, 0x32, 0x38), QColor(0xff, 0xb3, 0x00)};
constexpr Palette stopped{QColor(0x54, 0x6e, 0x7a), QColor(0x90, 0xa4, 0xae)};
const QColor digitColor(Qt::white);

bool allDigits(QStringView text) {
    return !text.isEmpty() &&
           std::all_of(text.begin(), text.end(), [](QChar c) { return c.isDigit(); });
}

// "24:59 Write" -> "25", "00:59" -> "1", "30:00" -> "30". Empty without a time in front.
QString minutesShown(const QString& title) {
    const qsizetype colon = title.indexOf(u':');
    if (colon <= 0)
        return {};
    const QString minutes = title.left(colon).trimmed();
    if (!allDigits(minutes))
        return {};
    bool ok = false;
    const qulonglong whole = minutes.toULongLong(&ok);
    // More minutes than a number holds: shown as written, there is no telling them apart anyway.
    if (!ok)
        return minutes;
    const QStringView seconds = QStringView(title).mid(colon + 1, 2);
    const bool minuteBegun = allDigits(seconds) && seconds.toUInt() > 0;
    if (minuteBegun && whole < std::numeric_limits<qulonglong>::max())
        return QString::number(whole + 1);
    return QString::number(whole);
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

Face faceOf(const QString& title, bool running) {
    return {minutesShown(title), running};
}

QImage render(const Face& face, int pixelSize) {
    const int size = std::max(pixelSize, 8);
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);

    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);

    const qreal ring = std::max<qreal>(1.0, size / 16.0);
    const QRectF outer(0.5, 0.5, size - 1.0, size - 1.0);
    const qreal radius = size * 0.22;
    const Palette& palette = face.running ? running : stopped;
    painter.setPen(QPen(palette.ring, ring));
    painter.setBrush(palette.fill);
    painter.drawRoundedRect(outer.adjusted(ring / 2, ring / 2, -ring / 2, -ring / 2), radius,
                            radius);

    const QRectF inner = outer.adjusted(ring * 2, ring * 2, -ring * 2, -ring * 2);
    if (face.minutes.isEmpty()) {
        drawHands(painter, inner);
        return image;
    }
    const qreal height = inner.height() * (face.minutes.size() <= 2 ? 0.66 : 0.56);
    const QRectF box(inner.left(), inner.center().y() - height / 2, inner.width(), height);
    painter.setPen(Qt::NoPen);
    painter.setBrush(digitColor);
    painter.drawPath(fitted(digitsPath(face.minutes), box));
    return image;
}

} // namespace StatusIcon
