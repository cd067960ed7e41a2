#include "kit/Popover.h"

#include "kit/Overlay.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QScreen>
#include <QVBoxLayout>
#include <algorithm>

namespace {

constexpr QSize initialSize(350, 300);
// Space between the panel item and the popover.
constexpr int gap = 4;
// A click on the status item first takes the focus from the popover, which closes it, and then
// arrives as a click that would open it again. A click this soon after is the same gesture.
constexpr qint64 sameGestureMs = 300;

QRect availableAround(const QRect& anchor, const QPoint& point) {
    QScreen* screen = QGuiApplication::screenAt(anchor.isValid() ? anchor.center() : point);
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect();
}

} // namespace

Popover::Popover(QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint) {
    setWindowTitle(QStringLiteral("Hourlark"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    setFixedSize(initialSize);
}

void Popover::setContent(QWidget* content) {
    delete m_content;
    m_content = content;
    layout()->addWidget(content);
}

void Popover::setContentSize(const QSize& size) {
    setFixedSize(size);
    if (isVisible())
        place();
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

void Popover::place() {
    move(placement(size(), m_anchor, m_point, availableAround(m_anchor, m_point)));
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
