#include "kit/Popover.h"

#include "kit/Overlay.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QPainterPath>
#include <QScreen>
#include <QVBoxLayout>
#include <algorithm>
#include <memory>

#if defined(HOURLARK_HAVE_XCB) && QT_CONFIG(xcb)
#include <QByteArray>
#include <cstdlib>
#include <xcb/xcb.h>
#endif

namespace {

constexpr QSize initialSize(350, 300);
// Space between the panel item and the popover.
constexpr int gap = 4;
// A click on the status item first takes the focus from the popover, which closes it, and then
// arrives as a click that would open it again. A click this soon after is the same gesture.
constexpr qint64 sameGestureMs = 300;

// The shadow's reach around the content and how far it falls below it; the corner radius.
constexpr int shadowReach = 12;
constexpr int shadowDrop = 2;
constexpr int cornerRadius = 8;

#if defined(HOURLARK_HAVE_XCB) && QT_CONFIG(xcb)
// A compositing manager owns the _NET_WM_CM_Sn selection of the screen it composites.
bool x11Composites() {
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    xcb_connection_t* connection = x11 ? x11->connection() : nullptr;
    if (!connection)
        return false;
    const int screens = xcb_setup_roots_length(xcb_get_setup(connection));
    for (int screen = 0; screen < screens; ++screen) {
        const QByteArray name = "_NET_WM_CM_S" + QByteArray::number(screen);
        const std::unique_ptr<xcb_intern_atom_reply_t, decltype(&std::free)> atom(
            xcb_intern_atom_reply(connection,
                                  xcb_intern_atom(connection, true, name.size(), name.constData()),
                                  nullptr),
            &std::free);
        if (!atom || atom->atom == XCB_NONE)
            continue;
        const std::unique_ptr<xcb_get_selection_owner_reply_t, decltype(&std::free)> owner(
            xcb_get_selection_owner_reply(connection,
                                          xcb_get_selection_owner(connection, atom->atom), nullptr),
            &std::free);
        if (owner && owner->owner != XCB_NONE)
            return true;
    }
    return false;
}
#endif

// Without a compositor the transparent margin would show as black, so it is only used where
// translucent windows are blended: always on Wayland, on X11 while a compositing manager runs.
bool desktopComposites() {
    const QString platform = QGuiApplication::platformName();
    if (platform.startsWith(u"wayland"))
        return true;
#if defined(HOURLARK_HAVE_XCB) && QT_CONFIG(xcb)
    if (platform == u"xcb")
        return x11Composites();
#endif
    return false;
}

QColor borderColor(const QPalette& palette) {
    QColor line = palette.color(QPalette::Active, QPalette::WindowText);
    line.setAlphaF(0.25);
    return line;
}

QRect availableAround(const QRect& anchor, const QPoint& point) {
    QScreen* screen = QGuiApplication::screenAt(anchor.isValid() ? anchor.center() : point);
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect();
}

} // namespace

// Drawn over the content: the border, and outside the rounded corners the content's square
// corners are cut away and the shadow shows instead.
class Popover::Border final : public QWidget {
public:
    explicit Border(Popover* popover)
        : QWidget(popover)
        , m_popover(popover) {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setFocusPolicy(Qt::NoFocus);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        const QRectF frame = m_popover->frameRect();
        const qreal radius = m_popover->m_radius;
        if (radius > 0) {
            QPainterPath outside;
            outside.addRect(frame);
            QPainterPath inside;
            inside.addRoundedRect(frame, radius, radius);
            painter.setCompositionMode(QPainter::CompositionMode_DestinationOut);
            painter.fillPath(outside.subtracted(inside), Qt::black);
            painter.setCompositionMode(QPainter::CompositionMode_DestinationOver);
            painter.setClipRect(frame);
            painter.drawImage(QPoint(0, 0), m_popover->shadow());
            painter.setClipping(false);
            painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
        }
        painter.setPen(QPen(borderColor(palette()), 1));
        painter.setBrush(Qt::NoBrush);
        const QRectF line = frame.adjusted(0.5, 0.5, -0.5, -0.5);
        painter.drawRoundedRect(line, qMax(0.0, radius - 0.5), qMax(0.0, radius - 0.5));
    }

private:
    Popover* m_popover;
};

Popover::Popover(Frame frame, QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint) {
    setWindowTitle(QStringLiteral("Hourlark")); // the program's name, the same in every language
    if (frame == Frame::Shadowed || (frame == Frame::Automatic && desktopComposites())) {
        m_shadowMargin = shadowReach;
        m_radius = cornerRadius;
        setAttribute(Qt::WA_TranslucentBackground);
    }
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(m_shadowMargin, m_shadowMargin, m_shadowMargin, m_shadowMargin);
    layout->setSpacing(0);
    m_border = new Border(this);
    setContentSize(initialSize);
}

void Popover::setContent(QWidget* content) {
    delete m_content;
    m_content = content;
    layout()->addWidget(content);
    m_border->raise();
}

void Popover::setContentSize(const QSize& size) {
    setFixedSize(
        size.grownBy(QMargins(m_shadowMargin, m_shadowMargin, m_shadowMargin, m_shadowMargin)));
    if (isVisible())
        place();
}

QSize Popover::contentSize() const {
    return frameRect().size();
}

QRect Popover::frameRect() const {
    return rect().marginsRemoved(
        QMargins(m_shadowMargin, m_shadowMargin, m_shadowMargin, m_shadowMargin));
}

const QImage& Popover::shadow() {
    const qreal scale = devicePixelRatioF();
    const QSize pixels = size() * scale;
    if (m_shadow.size() == pixels && m_shadow.devicePixelRatio() == scale)
        return m_shadow;
    m_shadow = QImage(pixels, QImage::Format_ARGB32_Premultiplied);
    m_shadow.setDevicePixelRatio(scale);
    m_shadow.fill(Qt::transparent);
    QPainter painter(&m_shadow);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    // Rings that widen and fade, stacked: a soft edge without blurring an image.
    const QRectF frame = QRectF(frameRect()).translated(0, shadowDrop);
    for (int reach = m_shadowMargin; reach > 0; --reach) {
        const qreal nearness = 1.0 - qreal(reach) / m_shadowMargin;
        painter.setBrush(QColor(0, 0, 0, qRound(2 + 5 * nearness)));
        painter.drawRoundedRect(frame.adjusted(-reach, -reach, reach, reach), m_radius + reach,
                                m_radius + reach);
    }
    return m_shadow;
}

void Popover::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    if (m_shadowMargin > 0)
        painter.drawImage(QPoint(0, 0), shadow());
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(palette().color(QPalette::Window));
    painter.drawRoundedRect(QRectF(frameRect()), m_radius, m_radius);
}

void Popover::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    m_border->setGeometry(rect());
}

void Popover::toggle(const QRect& anchor, const QPoint& point) {
    if (isVisible()) {
        hide();
        return;
    }
    if (m_closedByFocusLoss.isValid() && m_closedByFocusLoss.elapsed() < sameGestureMs) {
        m_closedByFocusLoss.invalidate();
        return;
    }
    showAt(anchor, point);
}

void Popover::showAt(const QRect& anchor, const QPoint& point) {
    m_anchor = anchor;
    m_point = point;
    m_closedByFocusLoss.invalidate();
    place();
    show();
    raise();
    // The panel takes typing (the task name), so unlike a menu it needs the keyboard focus.
    activateWindow();
}

QPoint Popover::placement(const QSize& size, const QRect& anchor, const QPoint& point,
                          const QRect& available) {
    QPoint origin;
    if (anchor.isValid()) {
        origin = QPoint(anchor.center().x() - size.width() / 2, anchor.bottom() + 1 + gap);
        if (origin.y() + size.height() > available.bottom() + 1)
            origin.setY(anchor.top() - gap - size.height());
    } else {
        origin = QPoint(point.x() - size.width() / 2, point.y() + gap);
        if (origin.y() + size.height() > available.bottom() + 1)
            origin.setY(point.y() - gap - size.height());
    }
    if (available.isValid()) {
        origin.setX(std::clamp(origin.x(), available.left(),
                               std::max(available.left(), available.right() + 1 - size.width())));
        origin.setY(std::clamp(origin.y(), available.top(),
                               std::max(available.top(), available.bottom() + 1 - size.height())));
    }
    return origin;
}

// The frame, not the shadow around it, is what goes below the anchor and stays on the screen.
void Popover::place() {
    move(placement(contentSize(), m_anchor, m_point, availableAround(m_anchor, m_point)) -
         QPoint(m_shadowMargin, m_shadowMargin));
}

bool Popover::event(QEvent* event) {
    if (event->type() == QEvent::WindowDeactivate && isVisible() && !Overlay::isOpenIn(this)) {
        hide();
        m_closedByFocusLoss.start();
    }
    return QWidget::event(event);
}

// Escape closes the popover like a click outside; an open sheet takes its own Escape first.
void Popover::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && !Overlay::isOpenIn(this)) {
        hide();
        return;
    }
    QWidget::keyPressEvent(event);
}
