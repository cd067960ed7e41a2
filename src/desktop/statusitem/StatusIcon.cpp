#include "statusitem/StatusIcon.h"

#include <QFont>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QHash>
#include <QIconEngine>
#include <QPainter>
#include <QPixmap>
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

bool isAsciiDigit(QChar c) {
    return c >= u'0' && c <= u'9';
}

// "24:59 Write" -> "25", "00:59" -> "1", "30:00" -> "30". Empty without a time in front. Read on
// every tick, so it builds no string but the one it returns.
QString minutesShown(const QString& title) {
    const qsizetype colon = title.indexOf(u':');
    if (colon <= 0)
        return {};
    const QStringView minutes = QStringView(title).left(colon).trimmed();
    if (!allDigits(minutes))
        return {};
    qulonglong whole = 0;
    for (const QChar c : minutes) {
        // More minutes than a number holds, or digits of another script: shown as written, there
        // is no telling them apart anyway.
        if (!isAsciiDigit(c) || __builtin_mul_overflow(whole, 10ULL, &whole) ||
            __builtin_add_overflow(whole, qulonglong(c.unicode() - u'0'), &whole))
            return minutes.toString();
    }
    const QStringView seconds = QStringView(title).mid(colon + 1, 2);
    const bool minuteBegun =
        !seconds.isEmpty() && std::all_of(seconds.begin(), seconds.end(), isAsciiDigit) &&
        std::any_of(seconds.begin(), seconds.end(), [](QChar c) { return c != u'0'; });
    if (minuteBegun && whole < std::numeric_limits<qulonglong>::max())
        return QString::number(whole + 1);
    return QString::number(whole);
}

// The digits, drawn with the font's glyphs scaled into the box: full height, squeezed sideways
// when three digits would otherwise shrink below legibility at 16 pixels. The glyphs are
// rasterised at the size they land at, unhinted (hinting is for text at its own size, and would
// also keep them off fractional positions), and kept in the font's glyph cache for the next
// minute's drawing. Tracing their outlines instead runs the font's hinting program at its full
// design size for every new digit: several times what the rest of a drawing costs.
void drawDigits(QPainter& painter, const QString& digits, const QRectF& box) {
    QFont font = QGuiApplication::font();
    font.setPixelSize(100);
    font.setBold(true);
    font.setHintingPreference(QFont::PreferNoHinting);
    const QRectF bounds = QFontMetricsF(font).tightBoundingRect(digits);
    if (bounds.isEmpty())
        return;
    const qreal sy = box.height() / bounds.height();
    const qreal sx = std::min(sy, box.width() / bounds.width());
    painter.save();
    painter.translate(box.center());
    painter.scale(sx, sy);
    painter.translate(-bounds.center());
    painter.setFont(font);
    painter.setPen(digitColor);
    painter.drawText(QPointF(0, 0), digits);
    painter.restore();
}

// Where the ring and what it encloses lie in an icon of the given size.
struct Frame {
    qreal ring = 1;
    QRectF badge;
    QRectF inner;
};

Frame frameOf(int size) {
    const qreal ring = std::max<qreal>(1.0, size / 16.0);
    const QRectF outer(0.5, 0.5, size - 1.0, size - 1.0);
    return {ring, outer.adjusted(ring / 2, ring / 2, -ring / 2, -ring / 2),
            outer.adjusted(ring * 2, ring * 2, -ring * 2, -ring * 2)};
}

// The ringed badge without the digits. It depends on the size and the state alone, so each is
// drawn once and copied under the digits of every later minute.
QImage badge(int size, bool isRunning) {
    static QHash<int, QImage> drawn;
    const int key = size * 2 + int(isRunning);
    if (const auto found = drawn.constFind(key); found != drawn.cend())
        return *found;
    // Panels ask for a handful of sizes; anything beyond that is not worth keeping.
    if (drawn.size() >= 32)
        drawn.clear();

    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    const Frame frame = frameOf(size);
    const qreal radius = size * 0.22;
    const Palette& palette = isRunning ? running : stopped;
    painter.setPen(QPen(palette.ring, frame.ring));
    painter.setBrush(palette.fill);
    painter.drawRoundedRect(frame.badge, radius, radius);
    painter.end();
    drawn.insert(key, image);
    return image;
}

// Without a time in the title: the hands of a clock.
void drawHands(QPainter& painter, const QRectF& inner) {
    const QPointF centre = inner.center();
    QPen pen(digitColor, std::max(1.5, inner.width() / 8), Qt::SolidLine, Qt::RoundCap);
    painter.setPen(pen);
    painter.drawLine(centre, QPointF(centre.x(), inner.top() + inner.height() * 0.18));
    painter.drawLine(centre, QPointF(inner.right() - inner.width() * 0.25, centre.y()));
}

// Draws on demand at the size asked for; the tray decides it, not us.
class FaceIconEngine final : public QIconEngine {
public:
    explicit FaceIconEngine(StatusIcon::Face face)
        : m_face(std::move(face)) {}

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode,
               QIcon::State state) override {
        const qreal ratio = painter->device() ? painter->device()->devicePixelRatio() : 1.0;
        const int side = std::min(rect.width(), rect.height());
        QPixmap drawn = pixmap(QSize(side, side) * ratio, mode, state);
        drawn.setDevicePixelRatio(ratio);
        const QRect square(rect.x() + (rect.width() - side) / 2,
                           rect.y() + (rect.height() - side) / 2, side, side);
        painter->drawPixmap(square, drawn);
    }

    // One look for every mode and state: the tray item is never disabled or selected.
    QPixmap pixmap(const QSize& size, QIcon::Mode, QIcon::State) override {
        const int side = std::max(1, std::min(size.width(), size.height()));
        if (m_drawn.width() == side)
            return m_drawn;
        QImage image = StatusIcon::render(m_face, side);
        // Below the smallest size drawn on its own: shrunk, legible or not.
        if (image.width() != side)
            image = image.scaled(side, side, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        m_drawn = QPixmap::fromImage(image);
        return m_drawn;
    }

    QSize actualSize(const QSize& size, QIcon::Mode, QIcon::State) override {
        const int side = std::min(size.width(), size.height());
        return {side, side};
    }

    // No size is drawn ahead; every size can be.
    QList<QSize> availableSizes(QIcon::Mode, QIcon::State) override { return {}; }
    bool isNull() override { return false; }
    QString key() const override { return QStringLiteral("hourlark-minutes"); }
    QIconEngine* clone() const override { return new FaceIconEngine(*this); }

private:
    StatusIcon::Face m_face;
    QPixmap m_drawn;
};

} // namespace

namespace StatusIcon {

Face faceOf(const QString& title, bool running) {
    return {minutesShown(title), running};
}

QImage render(const Face& face, int pixelSize) {
    const int size = std::max(pixelSize, 8);
    QImage image = badge(size, face.running);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);

    const QRectF inner = frameOf(size).inner;
    if (face.minutes.isEmpty()) {
        drawHands(painter, inner);
        return image;
    }
    const qreal height = inner.height() * (face.minutes.size() <= 2 ? 0.66 : 0.56);
    drawDigits(painter, face.minutes,
               QRectF(inner.left(), inner.center().y() - height / 2, inner.width(), height));
    return image;
}

QIcon icon(const Face& face) {
    return QIcon(new FaceIconEngine(face));
}

} // namespace StatusIcon
