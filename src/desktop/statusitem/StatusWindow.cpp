#include "statusitem/StatusWindow.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QWidget>

#if defined(HOURLARK_HAVE_XCB) && QT_CONFIG(xcb)
#include <cstdlib>
#include <memory>
#include <xcb/xcb.h>
#endif

namespace {

constexpr int cornerMargin = 8;

#if defined(HOURLARK_HAVE_XCB) && QT_CONFIG(xcb)
xcb_atom_t atom(xcb_connection_t* connection, const char* name) {
    const std::unique_ptr<xcb_intern_atom_reply_t, decltype(&std::free)> reply(
        xcb_intern_atom_reply(connection, xcb_intern_atom(connection, false, qstrlen(name), name),
                              nullptr),
        &std::free);
    return reply ? reply->atom : xcb_atom_t(XCB_NONE);
}
#endif

// Taskbars and pagers list every window that does not ask to be left out; this one stands for a
// panel item. Asked for before each map: the window manager drops the state of a window it
// withdraws, and Qt keeps what it finds there when it adds its own.
void keepOffTaskbars([[maybe_unused]] QWidget* window) {
#if defined(HOURLARK_HAVE_XCB) && QT_CONFIG(xcb)
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    xcb_connection_t* connection = x11 ? x11->connection() : nullptr;
    if (!connection || QGuiApplication::platformName() != u"xcb")
        return;
    const xcb_atom_t states[] = {atom(connection, "_NET_WM_STATE_SKIP_TASKBAR"),
                                 atom(connection, "_NET_WM_STATE_SKIP_PAGER")};
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, xcb_window_t(window->winId()),
                        atom(connection, "_NET_WM_STATE"), XCB_ATOM_ATOM, 32, 2, states);
#endif
}

} // namespace

StatusWindow::StatusWindow(QObject* parent)
    : StatusItem(parent)
    , m_window(std::make_unique<QWidget>(nullptr, Qt::Tool | Qt::FramelessWindowHint |
                                                      Qt::WindowStaysOnTopHint))
    , m_button(new QPushButton(m_window.get())) {
    m_window->setWindowTitle(QCoreApplication::translate("StatusWindow", "Hourlark Status"));
    m_window->setAttribute(Qt::WA_ShowWithoutActivating);
    auto* layout = new QHBoxLayout(m_window.get());
    layout->setContentsMargins(2, 2, 2, 2);
    layout->addWidget(m_button);
    // Both buttons are read on release, like a panel item; the filter sees them before
    // QPushButton turns the left one into a plain click.
    m_button->installEventFilter(this);
    m_button->setFocusPolicy(Qt::NoFocus);
    m_window->installEventFilter(this);
    placeInCorner();
    m_window->show();
}

StatusWindow::~StatusWindow() = default;

QString StatusWindow::title() const {
    return m_title;
}

void StatusWindow::setTitle(const QString& title) {
    if (title == m_title)
        return;
    m_title = title;
    // A button reads "&" as the mark of a shortcut letter; "Tom & Jerry" must keep its ampersand.
    m_button->setText(QString(title).replace(u'&', QStringLiteral("&&")));
    // Proportional digits change the width from tick to tick; only a real change moves the window.
    if (m_window->sizeHint() != m_window->size())
        placeInCorner();
}

QRect StatusWindow::anchorRect() const {
    if (!m_window->isVisible())
        return {};
    return QRect(m_button->mapToGlobal(QPoint(0, 0)), m_button->size());
}

bool StatusWindow::eventFilter(QObject* watched, QEvent* event) {
    // Sent before the window is mapped.
    if (watched == m_window.get() && event->type() == QEvent::Show)
        keepOffTaskbars(m_window.get());
    if (watched == m_button && event->type() == QEvent::MouseButtonRelease) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        const QPoint globalPos = mouse->globalPosition().toPoint();
        if (!m_button->rect().contains(mouse->position().toPoint()))
            return false;
        if (mouse->button() == Qt::LeftButton) {
            m_button->setDown(false);
            emit leftClicked(globalPos);
            return true;
        }
        if (mouse->button() == Qt::RightButton) {
            emit rightClicked(globalPos);
            return true;
        }
    }
    return StatusItem::eventFilter(watched, event);
}

// Where a panel item would be: the top-right corner of the primary screen's free area.
void StatusWindow::placeInCorner() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect area = screen->availableGeometry();
    const QSize size = m_window->sizeHint();
    m_window->resize(size);
    m_window->move(area.right() - size.width() - cornerMargin, area.top() + cornerMargin);
}
