#include "kit/Popover.h"

#include "kit/Overlay.h"
#include "kit/SwayPlacement.h"

#include <QCursor>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QPainterPath>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>
#include <QWindow>
#include <algorithm>
#include <memory>

#if defined(HOURLARK_HAVE_XCB) && QT_CONFIG(xcb)
#include <QByteArray>
#include <QSocketNotifier>
#include <cstdlib>
#include <xcb/xcb.h>
#include <xcb/xinput.h>
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
template <typename Reply> using XcbReply = std::unique_ptr<Reply, decltype(&std::free)>;

xcb_connection_t* x11Connection() {
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    return x11 ? x11->connection() : nullptr;
}

xcb_atom_t atom(xcb_connection_t* connection, const char* name, bool onlyIfExists = false) {
    const XcbReply<xcb_intern_atom_reply_t> reply(
        xcb_intern_atom_reply(
            connection, xcb_intern_atom(connection, onlyIfExists, qstrlen(name), name), nullptr),
        &std::free);
    return reply ? reply->atom : xcb_atom_t(XCB_NONE);
}

// A compositing manager owns the _NET_WM_CM_Sn selection of the screen it composites.
bool x11Composites() {
    xcb_connection_t* connection = x11Connection();
    if (!connection)
        return false;
    const int screens = xcb_setup_roots_length(xcb_get_setup(connection));
    for (int screen = 0; screen < screens; ++screen) {
        const QByteArray name = "_NET_WM_CM_S" + QByteArray::number(screen);
        const xcb_atom_t selection = atom(connection, name.constData(), true);
        if (selection == XCB_NONE)
            continue;
        const XcbReply<xcb_get_selection_owner_reply_t> owner(
            xcb_get_selection_owner_reply(connection,
                                          xcb_get_selection_owner(connection, selection), nullptr),
            &std::free);
        if (owner && owner->owner != XCB_NONE)
            return true;
    }
    return false;
}

// A taskbar or pager lists every window that does not ask to be left out, and the panel is no
// window to switch to. Asked for before each map: the window manager drops the state of a window
// it withdraws, and Qt keeps what it finds there when it adds its own.
void keepOffTaskbars(QWidget* window) {
    xcb_connection_t* connection = x11Connection();
    if (!connection || QGuiApplication::platformName() != u"xcb")
        return;
    const xcb_atom_t states[] = {atom(connection, "_NET_WM_STATE_SKIP_TASKBAR"),
                                 atom(connection, "_NET_WM_STATE_SKIP_PAGER")};
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, xcb_window_t(window->winId()),
                        atom(connection, "_NET_WM_STATE"), XCB_ATOM_ATOM, 32, 2, states);
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
    if (!screen)
        return {};
    // XWayland's screens know nothing of sway's bars; sway itself does.
    if (SwayPlacement::wanted()) {
        const QRect usable = SwayPlacement::usableArea(qEnvironmentVariable("SWAYSOCK"));
        const qreal ratio = screen->devicePixelRatio();
        const QRect logical(QPoint(qRound(usable.x() / ratio), qRound(usable.y() / ratio)),
                            QSize(qRound(usable.width() / ratio), qRound(usable.height() / ratio)));
        const QRect onScreen = logical & screen->geometry();
        if (!onScreen.isEmpty())
            return onScreen;
    }
    return screen->availableGeometry();
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

#if defined(HOURLARK_HAVE_XCB) && QT_CONFIG(xcb)
// Button presses anywhere on the display, from XInput's raw events on the root window: the server
// sends them to every client that asks, whichever window the press goes to, and the press still
// goes there. A connection of its own keeps this selection apart from Qt's. Selected only while
// the panel is shown, so that other clicks do not wake the program.
class Popover::OutsideClicks final : public QObject {
public:
    explicit OutsideClicks(Popover* popover)
        : QObject(popover)
        , m_connection(xcb_connect(nullptr, &m_screen)) {
        if (xcb_connection_has_error(m_connection))
            return;
        const xcb_query_extension_reply_t* xinput =
            xcb_get_extension_data(m_connection, &xcb_input_id);
        // Version 2.2 gets raw events even while another client grabs the pointer.
        const XcbReply<xcb_input_xi_query_version_reply_t> version(
            xcb_input_xi_query_version_reply(
                m_connection, xcb_input_xi_query_version(m_connection, 2, 2), nullptr),
            &std::free);
        if (!xinput || !xinput->present || !version || version->major_version < 2)
            return;
        m_xinput = xinput->major_opcode;
        auto roots = xcb_setup_roots_iterator(xcb_get_setup(m_connection));
        for (int skipped = 0; skipped < m_screen && roots.rem > 0; ++skipped)
            xcb_screen_next(&roots);
        if (roots.rem == 0)
            return;
        m_root = roots.data->root;
        m_notifier =
            new QSocketNotifier(xcb_get_file_descriptor(m_connection), QSocketNotifier::Read, this);
        connect(m_notifier, &QSocketNotifier::activated, this, [this, popover] {
            // Not on a window of ours: the item, or a menu opened from the panel.
            if (pressed() && !QGuiApplication::topLevelAt(QCursor::pos()))
                popover->closeFromOutside();
        });
    }
    ~OutsideClicks() override { xcb_disconnect(m_connection); }
    Q_DISABLE_COPY_MOVE(OutsideClicks)

    void watch(bool on) {
        if (!m_notifier)
            return;
        struct {
            xcb_input_event_mask_t head;
            uint32_t bits;
        } mask{{XCB_INPUT_DEVICE_ALL, 1},
               on ? uint32_t(XCB_INPUT_XI_EVENT_MASK_RAW_BUTTON_PRESS) : 0u};
        xcb_input_xi_select_events(m_connection, m_root, 1, &mask.head);
        xcb_flush(m_connection);
    }

private:
    // Whether the events that came in hold a press of the left, middle or right button (not the
    // wheel, which scrolls whatever is under the pointer and closes nothing).
    bool pressed() {
        if (xcb_connection_has_error(m_connection)) {
            m_notifier->setEnabled(false);
            return false;
        }
        bool any = false;
        while (xcb_generic_event_t* next = xcb_poll_for_event(m_connection)) {
            const XcbReply<xcb_generic_event_t> event(next, &std::free);
            const auto* generic = reinterpret_cast<const xcb_ge_generic_event_t*>(next);
            if ((next->response_type & 0x7f) != XCB_GE_GENERIC || generic->extension != m_xinput ||
                generic->event_type != XCB_INPUT_RAW_BUTTON_PRESS)
                continue;
            const auto* press = reinterpret_cast<const xcb_input_raw_button_press_event_t*>(next);
            any = any || (press->detail >= 1 && press->detail <= 3);
        }
        return any;
    }

    int m_screen = 0;
    xcb_connection_t* m_connection;
    xcb_window_t m_root = XCB_NONE;
    uint8_t m_xinput = 0;
    QSocketNotifier* m_notifier = nullptr;
};

// GNOME's Wayland session runs the program through XWayland, which hears of no press outside the
// program's own windows, and a press on the empty desktop moves no focus there either. An
// invisible window over the rest of the screen's free area, under the panel, takes that press, as
// the shell's own menus take the click that closes them. The top bar stays uncovered, so the item
// still answers.
class Popover::Catcher final : public QWidget {
public:
    explicit Catcher(Popover* popover)
        : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus)
        , m_popover(popover) {
        setWindowTitle(popover->windowTitle());
        setAttribute(Qt::WA_TranslucentBackground);
        setAttribute(Qt::WA_ShowWithoutActivating);
    }

    static bool wanted() {
        return QGuiApplication::platformName() == u"xcb" &&
               !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") &&
               qEnvironmentVariable("XDG_CURRENT_DESKTOP").contains(u"GNOME", Qt::CaseInsensitive);
    }

protected:
    bool event(QEvent* event) override {
        if (event->type() == QEvent::Show)
            keepOffTaskbars(this);
        return QWidget::event(event);
    }
    // Not quite transparent, so that no compositor takes it for a hole to click through.
    void paintEvent(QPaintEvent*) override { QPainter(this).fillRect(rect(), QColor(0, 0, 0, 1)); }
    void mousePressEvent(QMouseEvent*) override { m_popover->closeFromOutside(); }

private:
    Popover* m_popover;
};
#endif

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
#if defined(HOURLARK_HAVE_XCB) && QT_CONFIG(xcb)
    if (QGuiApplication::platformName() == u"xcb")
        m_outsideClicks = new OutsideClicks(this);
    if (Catcher::wanted())
        m_catcher = std::make_unique<Catcher>(this);
#endif
    if (SwayPlacement::wanted()) {
        m_swayPlacement = new QTimer(this);
        m_swayPlacement->setInterval(25);
        connect(m_swayPlacement, &QTimer::timeout, this, &Popover::askSwayToPlace);
    }
}

Popover::~Popover() = default;

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
    if (m_closedFromOutside.isValid() && m_closedFromOutside.elapsed() < sameGestureMs) {
        m_closedFromOutside.invalidate();
        return;
    }
    showAt(anchor, point);
}

void Popover::showAt(const QRect& anchor, const QPoint& point) {
    m_anchor = anchor;
    m_point = point;
    m_closedFromOutside.invalidate();
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
    m_placed = placement(contentSize(), m_anchor, m_point, availableAround(m_anchor, m_point)) -
               QPoint(m_shadowMargin, m_shadowMargin);
    move(m_placed);
    if (m_swayPlacement) {
        m_swayTries = 0;
        m_swayPlacement->start();
    }
}

// Sway knows the window only once it has been drawn, so the move is asked for until it is done,
// for a second at most.
void Popover::askSwayToPlace() {
    if (!isVisible()) {
        m_swayPlacement->stop();
        return;
    }
    const qreal ratio = devicePixelRatioF();
    // Not pos(): that is where sway has put it meanwhile.
    const QPoint position(qRound(m_placed.x() * ratio), qRound(m_placed.y() * ratio));
    if (SwayPlacement::run(qEnvironmentVariable("SWAYSOCK"),
                           SwayPlacement::moveCommand(winId(), position)) ||
        ++m_swayTries >= 40)
        m_swayPlacement->stop();
}

bool Popover::event(QEvent* event) {
    switch (event->type()) {
    case QEvent::WindowDeactivate:
        closeFromOutside();
        break;
#if defined(HOURLARK_HAVE_XCB) && QT_CONFIG(xcb)
    // Sent before the window is mapped.
    case QEvent::Show:
        keepOffTaskbars(this);
        if (m_outsideClicks)
            m_outsideClicks->watch(true);
        if (m_catcher) {
            m_catcher->setGeometry(availableAround(m_anchor, m_point));
            m_catcher->show();
            // Kept above it: the window manager raises a window that is clicked, and a press
            // with a sheet open leaves the panel shown.
            windowHandle()->setTransientParent(m_catcher->windowHandle());
        }
        break;
    case QEvent::Hide:
        if (m_outsideClicks)
            m_outsideClicks->watch(false);
        if (m_catcher)
            m_catcher->hide();
        break;
#endif
    default:
        break;
    }
    return QWidget::event(event);
}

// Focus gone to another window, or a press outside: the panel closes, unless a sheet is open.
void Popover::closeFromOutside() {
    if (!isVisible() || Overlay::isOpenIn(this))
        return;
    hide();
    m_closedFromOutside.start();
}

// Escape closes the popover like a click outside; an open sheet takes its own Escape first.
void Popover::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && !Overlay::isOpenIn(this)) {
        hide();
        return;
    }
    QWidget::keyPressEvent(event);
}
