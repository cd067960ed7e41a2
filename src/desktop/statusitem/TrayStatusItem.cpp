#include "statusitem/TrayStatusItem.h"

#include "statusitem/StatusIcon.h"

#include <QApplication>
#include <QCursor>
#include <QHelpEvent>
#include <QIcon>
#include <QToolTip>
#include <QWidget>

TrayStatusItem::TrayStatusItem(QObject* parent)
    : StatusItem(parent) {
    connect(&m_tray, &QSystemTrayIcon::activated, this, &TrayStatusItem::onActivated);
    // Qt's XEmbed icon hands the pointer's tooltip request to the QSystemTrayIcon before it shows
    // the tooltip it holds.
    m_tray.installEventFilter(this);
    showTitle();
    m_tray.show();
}

void TrayStatusItem::setTitle(const QString& title) {
    if (title == m_title)
        return;
    m_title = title;
    showTitle();
}

QRect TrayStatusItem::anchorRect() const {
    return m_tray.geometry();
}

void TrayStatusItem::onActivated(QSystemTrayIcon::ActivationReason reason) {
    switch (reason) {
    case QSystemTrayIcon::Trigger:
        emit leftClicked(QCursor::pos());
        break;
    case QSystemTrayIcon::Context:
        emit rightClicked(QCursor::pos());
        break;
    default:
        break;
    }
}

void TrayStatusItem::onRunningChanged() {
    showTitle();
}

bool TrayStatusItem::eventFilter(QObject* watched, QEvent* event) {
    if (watched == &m_tray && event->type() == QEvent::ToolTip) {
        findIconWindow();
        m_tray.setToolTip(m_title);
        m_shownToolTip = m_title;
        m_toolTipPos = static_cast<QHelpEvent*>(event)->globalPos();
    }
    return StatusItem::eventFilter(watched, event);
}

// Fifty-nine ticks in sixty leave the minutes alone. Then nothing leaves the process but a tooltip
// that is on screen; a stopped countdown's title changes only as the person edits it, and each of
// those changes is shown in full.
void TrayStatusItem::showTitle() {
    const StatusIcon::Face face = StatusIcon::faceOf(m_title, isRunning());
    const bool redraw = face != m_drawnFace;
    if (redraw) {
        m_drawnFace = face;
        m_tray.setIcon(StatusIcon::icon(face));
    }
    if (redraw || !isRunning()) {
        m_tray.setToolTip(m_title);
        nameIconWindow();
    }
    followShownToolTip();
}

// The XEmbed icon is a window of ours inside the tray; giving it the title as its name lets
// accessibility tools and window lists (and our end-to-end test) read the countdown, to the
// minute the icon shows.
void TrayStatusItem::nameIconWindow() {
    m_iconWindowName = m_title;
    findIconWindow();
    if (m_iconWindow)
        m_iconWindow->setWindowTitle(m_title);
}

// Qt makes the window once a tray is there to take it, which may be after we start.
void TrayStatusItem::findIconWindow() {
    if (m_iconWindow)
        return;
    const auto windows = QApplication::topLevelWidgets();
    for (QWidget* window : windows) {
        if (window->inherits("QSystemTrayIconSys"))
            m_iconWindow = window;
    }
}

// A tooltip on screen keeps the text it was shown with; while it is ours, it counts along.
void TrayStatusItem::followShownToolTip() {
    if (m_shownToolTip.isEmpty() || m_shownToolTip == m_title)
        return;
    if (!m_iconWindow || !QToolTip::isVisible() || QToolTip::text() != m_shownToolTip) {
        m_shownToolTip.clear();
        return;
    }
    m_tray.setToolTip(m_title);
    QToolTip::showText(m_toolTipPos, m_title, m_iconWindow);
    m_shownToolTip = m_title;
}
