#include "kit/Style.h"

#include <QApplication>
#include <QGraphicsOpacityEffect>
#include <QIconEngine>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPalette>
#include <QPolygonF>
#include <QPropertyAnimation>
#include <QWidget>
#include <cmath>

namespace Style {

namespace {

bool s_animationsEnabled = true;

QColor mixed(const QColor& base, const QColor& towards, qreal amount) {
    return QColor::fromRgbF(base.redF() + (towards.redF() - base.redF()) * amount,
                            base.greenF() + (towards.greenF() - base.greenF()) * amount,
                            base.blueF() + (towards.blueF() - base.blueF()) * amount);
}

// --- Icons ---------------------------------------------------------------------------------------
// Drawn on a 24 x 24 grid and scaled to whatever rectangle is asked for, so they stay crisp at any
// size and device pixel ratio.

QPainterPath polyline(std::initializer_list<QPointF> points, bool closed = false) {
    QPainterPath path;
    path.addPolygon(QPolygonF(points));
    if (closed) {
        path.closeSubpath();
    }
    return path;
}

void drawArrowArc(QPainter& p, const QRectF& circle, bool clockwise) {
    // An open circle with an arrow head at its upper end.
    // Qt angles run counter-clockwise from 3 o'clock; a clockwise arrow sweeps negatively.
    const qreal start = clockwise ? 70 : 110;
    const qreal sweep = clockwise ? -290 : 290;
    QPainterPath arc;
    arc.arcMoveTo(circle, start);
    arc.arcTo(circle, start, sweep);
    p.drawPath(arc);

    const QPointF tip = arc.currentPosition();
    const qreal end = qDegreesToRadians(start + sweep);
    // Tangent of the arc at its end, in screen coordinates (y down).
    const qreal direction = sweep > 0 ? 1.0 : -1.0;
    const QPointF tangent(-std::sin(end) * direction, -std::cos(end) * direction);
    const QPointF normal(tangent.y(), -tangent.x());
    p.drawPath(polyline({tip - tangent * 4.0 + normal * 4.0, tip + tangent * 0.6,
                         tip - tangent * 4.0 - normal * 4.0}));
}

void drawClockFace(QPainter& p, const QRectF& face) {
    p.drawEllipse(face);
    const QPointF c = face.center();
    p.drawPath(polyline({{c.x(), face.top() + face.height() * 0.25},
                         c,
                         {c.x() + face.width() * 0.22, c.y() + face.height() * 0.12}}));
}

void drawCheck(QPainter& p) {
    p.drawPath(polyline({{7.5, 12.5}, {10.8, 15.8}, {16.5, 8.8}}));
}

void drawIcon(QPainter& p, Icon which, const QColor& color) {
    QPen pen(color, 1.8, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    const QRectF circle(3, 3, 18, 18);
    switch (which) {
    case Icon::ChevronLeft:
        p.drawPath(polyline({{15, 5}, {8, 12}, {15, 19}}));
        break;
    case Icon::ChevronUp:
        p.drawPath(polyline({{5, 15.5}, {12, 8.5}, {19, 15.5}}));
        break;
    case Icon::ChevronDown:
        p.drawPath(polyline({{5, 8.5}, {12, 15.5}, {19, 8.5}}));
        break;
    case Icon::Play:
        p.setBrush(color);
        p.drawPath(polyline({{7, 4.5}, {19.5, 12}, {7, 19.5}}, true));
        break;
    case Icon::Stop:
        p.setBrush(color);
        p.drawRoundedRect(QRectF(5.5, 5.5, 13, 13), 2.5, 2.5);
        break;
    case Icon::CounterClockwise:
        drawArrowArc(p, QRectF(4, 4, 16, 16), false);
        break;
    case Icon::ArrowClockwise:
        drawArrowArc(p, QRectF(4, 4, 16, 16), true);
        break;
    case Icon::CheckmarkCircle:
        p.drawEllipse(circle);
        drawCheck(p);
        break;
    case Icon::CheckmarkCircleFill: {
        p.setPen(Qt::NoPen);
        p.setBrush(color);
        p.drawEllipse(QRectF(2, 2, 20, 20));
        p.setCompositionMode(QPainter::CompositionMode_Clear);
        pen.setWidthF(2.2);
        p.setPen(pen);
        p.setBrush(Qt::NoBrush);
        drawCheck(p);
        p.setCompositionMode(QPainter::CompositionMode_SourceOver);
        break;
    }
    case Icon::Clock:
        drawClockFace(p, circle);
        break;
    case Icon::ClockArrowCirclepath:
        drawClockFace(p, QRectF(7.5, 7.5, 9, 9));
        drawArrowArc(p, QRectF(3, 3, 18, 18), false);
        break;
    case Icon::ClockQuestionmark: {
        drawClockFace(p, QRectF(2, 2, 16, 16));
        // The badge: a filled disc with a question mark cut out of it.
        p.setPen(Qt::NoPen);
        p.setBrush(color);
        p.drawEllipse(QRectF(13, 13, 10.5, 10.5));
        p.setCompositionMode(QPainter::CompositionMode_Clear);
        QPen mark(color, 1.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
        p.setPen(mark);
        p.setBrush(Qt::NoBrush);
        QPainterPath question;
        question.moveTo(16.3, 16.6);
        question.cubicTo(16.3, 14.6, 20.2, 14.6, 20.2, 16.6);
        question.cubicTo(20.2, 18.0, 18.25, 18.0, 18.25, 19.4);
        p.drawPath(question);
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::black);
        p.drawEllipse(QPointF(18.25, 21.4), 0.9, 0.9);
        p.setCompositionMode(QPainter::CompositionMode_SourceOver);
        break;
    }
    case Icon::Ellipsis:
        p.drawEllipse(circle);
        p.setPen(Qt::NoPen);
        p.setBrush(color);
        for (const qreal x : {7.6, 12.0, 16.4}) {
            p.drawEllipse(QPointF(x, 12), 1.35, 1.35);
        }
        break;
    case Icon::Pencil:
        p.drawPath(polyline({{15.5, 4.5}, {19.5, 8.5}, {8.5, 19.5}, {4, 20}, {4.5, 15.5}}, true));
        p.drawLine(QPointF(13.5, 6.5), QPointF(17.5, 10.5));
        break;
    case Icon::Trash:
        p.drawLine(QPointF(4, 6.5), QPointF(20, 6.5));
        p.drawPath(polyline({{9, 6.5}, {9.5, 4}, {14.5, 4}, {15, 6.5}})); // lid
        p.drawPath(polyline({{6, 6.5}, {7, 20}, {17, 20}, {18, 6.5}}));   // can
        p.drawLine(QPointF(10, 10), QPointF(10.3, 16.5));
        p.drawLine(QPointF(14, 10), QPointF(13.7, 16.5));
        break;
    }
}

class DrawnIconEngine final : public QIconEngine {
public:
    DrawnIconEngine(Icon which, const QColor& color, Qt::Alignment alignment)
        : m_which(which)
        , m_color(color)
        , m_alignment(alignment) {}

    // Drawn into a transparent image of its own first: the cut-outs clear pixels of the icon
    // only, never of whatever the icon is painted onto.
    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State) override {
        const qreal scale = painter->device() ? painter->device()->devicePixelRatioF() : 1.0;
        painter->drawImage(rect, render(rect.size() * scale, mode, scale));
    }

    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        return scaledPixmap(size, mode, state, 1.0);
    }

    QPixmap scaledPixmap(const QSize& size, QIcon::Mode mode, QIcon::State, qreal scale) override {
        return QPixmap::fromImage(render(size, mode, scale)); // size is in device pixels
    }

    QIconEngine* clone() const override {
        return new DrawnIconEngine(m_which, m_color, m_alignment);
    }

private:
    QImage render(const QSize& deviceSize, QIcon::Mode mode, qreal scale) const {
        QImage image(deviceSize, QImage::Format_ARGB32_Premultiplied);
        image.setDevicePixelRatio(scale);
        const QSizeF size = QSizeF(deviceSize) / scale;
        image.fill(Qt::transparent);
        QColor color = m_color;
        if (mode == QIcon::Disabled) {
            color.setAlphaF(color.alphaF() * 0.4);
        }
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        const qreal side = qMin(size.width(), size.height());
        const qreal spare = size.width() - side;
        const qreal left = m_alignment & Qt::AlignLeft    ? 0.0
                           : m_alignment & Qt::AlignRight ? spare
                                                          : spare / 2.0;
        painter.translate(left, (size.height() - side) / 2.0);
        painter.scale(side / 24.0, side / 24.0);
        drawIcon(painter, m_which, color);
        return image;
    }

    Icon m_which;
    QColor m_color;
    Qt::Alignment m_alignment;
};

} // namespace

QFont font(TextRole role) {
    QFont font = QApplication::font();
    const qreal base = font.pointSizeF() > 0 ? font.pointSizeF() : 10.0;
    switch (role) {
    case TextRole::Headline:
        font.setWeight(QFont::DemiBold);
        break;
    case TextRole::Body:
        break;
    case TextRole::Callout:
        font.setPointSizeF(base * 0.93);
        break;
    case TextRole::Caption:
        font.setPointSizeF(qMax(7.0, base * 0.82));
        break;
    case TextRole::Title2:
        font.setPointSizeF(base * 1.3);
        break;
    }
    return font;
}

QColor color(ColorRole role, const QPalette& palette) {
    const QColor text = palette.color(QPalette::WindowText);
    const QColor window = palette.color(QPalette::Window);
    const bool dark = window.lightnessF() < 0.5;
    switch (role) {
    case ColorRole::Primary:
        return text;
    case ColorRole::Secondary: {
        QColor secondary = text;
        secondary.setAlphaF(0.6);
        return secondary;
    }
    case ColorRole::Accent:
        return palette.color(QPalette::Highlight);
    case ColorRole::ControlBackground:
        // A step away from the window towards the text, so headers stand apart from bodies.
        return mixed(window, text, dark ? 0.07 : 0.04);
    case ColorRole::TextBackground:
        return palette.color(QPalette::Base);
    }
    return text;
}

QPalette withColor(QPalette palette, QPalette::ColorRole role, ColorRole color) {
    for (const QPalette::ColorGroup group :
         {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        QPalette ofGroup = palette;
        ofGroup.setCurrentColorGroup(group);
        palette.setColor(group, role, Style::color(color, ofGroup));
    }
    return palette;
}

qreal contrastRatio(const QColor& a, const QColor& b) {
    const auto luminance = [](const QColor& color) {
        const auto linear = [](qreal channel) {
            return channel <= 0.04045 ? channel / 12.92 : std::pow((channel + 0.055) / 1.055, 2.4);
        };
        return 0.2126 * linear(color.redF()) + 0.7152 * linear(color.greenF()) +
               0.0722 * linear(color.blueF());
    };
    const qreal first = luminance(a);
    const qreal second = luminance(b);
    return (qMax(first, second) + 0.05) / (qMin(first, second) + 0.05);
}

QColor accentOn(const QColor& background, const QPalette& palette) {
    // 3:1, what symbols and large text need; the accent of common light themes passes as it is.
    constexpr qreal legible = 3.0;
    const QColor accent = color(ColorRole::Accent, palette);
    const QColor text = color(ColorRole::Primary, palette);
    for (int step = 0; step < 10; ++step) {
        const QColor candidate = mixed(accent, text, step / 10.0);
        if (contrastRatio(candidate, background) >= legible)
            return candidate;
    }
    return text;
}

QColor green() {
    return QColor(52, 199, 89);
}

QColor red() {
    return QColor(255, 59, 48);
}

QColor blue() {
    return QColor(0, 122, 255);
}

QIcon icon(Icon which, const QColor& color, Qt::Alignment alignment) {
    return QIcon(new DrawnIconEngine(which, color, alignment));
}

bool animationsEnabled() {
    return s_animationsEnabled;
}

void setAnimationsEnabled(bool enabled) {
    s_animationsEnabled = enabled;
}

void revealHeight(QWidget* body, bool show, const std::function<void()>& done) {
    if (!animationsEnabled()) {
        body->setMaximumHeight(show ? QWIDGETSIZE_MAX : 0);
        if (done) {
            done();
        }
        return;
    }
    const int full = body->sizeHint().height();
    auto* animation = new QPropertyAnimation(body, "maximumHeight", body);
    animation->setDuration(animationMilliseconds);
    animation->setEasingCurve(QEasingCurve::InOutCubic);
    animation->setStartValue(show ? 0 : qMin(body->height(), full));
    animation->setEndValue(show ? full : 0);
    QObject::connect(animation, &QPropertyAnimation::finished, body, [body, show, done] {
        if (show) {
            body->setMaximumHeight(QWIDGETSIZE_MAX);
        }
        if (done) {
            done();
        }
    });
    animation->start(QAbstractAnimation::DeleteWhenStopped);
}

void fadeIn(QWidget* widget) {
    if (!animationsEnabled()) {
        return;
    }
    auto* effect = new QGraphicsOpacityEffect(widget);
    effect->setOpacity(0.3);
    widget->setGraphicsEffect(effect);
    auto* animation = new QPropertyAnimation(effect, "opacity", effect);
    animation->setDuration(animationMilliseconds);
    animation->setEndValue(1.0);
    // Effects cost a repaint through an offscreen pass, so it goes once the fade is done. Queued:
    // removing the effect deletes the animation, which is still inside its finished() signal.
    QObject::connect(
        animation, &QPropertyAnimation::finished, widget,
        [widget] { widget->setGraphicsEffect(nullptr); }, Qt::QueuedConnection);
    animation->start(QAbstractAnimation::DeleteWhenStopped);
}

} // namespace Style
