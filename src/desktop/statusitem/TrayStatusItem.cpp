#include "statusitem/TrayStatusItem.h"

#include "statusitem/StatusIcon.h"

#include <QApplication>
#include <QCursor>
#include <QIcon>
#include <QMenu>
#include <QPixmap>
#include <QWidget>

namespace {

// Panels ask for anything from 16 to 32 pixels (more on high-density screens); each size is drawn
// on its own so the digits stay sharp instead of being scaled.
constexpr int iconSizes[] = {16, 22, 24, 32, 48, 64};

} // namespace

TrayStatusItem::TrayStatusItem(QObject* parent)
    : StatusItem(parent) {
    connect(&m_tray, &QSystemTrayIcon::activated, this, &TrayStatusItem::onActivated);
    updateIcon();
    m_tray.show();
}

void TrayStatusItem::setTitle(const QString& title) {
    if (title == m_title)
        return;
    m_title = title;
    m_tray.setToolTip(title);
    // Fifty-nine ticks in sixty leave the minutes alone; only the tooltip changes then.
    if (StatusIcon::drawnPart(title) != m_drawnMinutes)
        updateIcon();
    exposeTitle();
}

QRect TrayStatusItem::anchorRect() const {
    return m_tray.geometry();
}

void TrayStatusItem::setContextMenu(QMenu* menu) {
    // Not handed to QSystemTrayIcon: it would open the menu by itself on a right press, and the
    // shell wants every right click to go through its own routing.
    m_menu = menu;
}

void TrayStatusItem::popUpContextMenu(const QPoint& globalPos) {
    if (m_menu)
        m_menu->popup(globalPos);
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

void TrayStatusItem::updateIcon() {
    m_drawnMinutes = StatusIcon::drawnPart(m_title);
    QIcon icon;
    for (const int size : iconSizes)
        icon.addPixmap(QPixmap::fromImage(StatusIcon::render(m_title, size)));
    m_tray.setIcon(icon);
}

// The XEmbed icon is a window of ours inside the tray; giving it the title as its name lets
// accessibility tools and window lists (and our end-to-end test) read the countdown.
void TrayStatusItem::exposeTitle() {
    if (!m_iconWindow) {
        const auto windows = QApplication::topLevelWidgets();
        for (QWidget* window : windows) {
            if (window->inherits("QSystemTrayIconSys"))
                m_iconWindow = window;
        }
    }
    if (m_iconWindow)
        m_iconWindow->setWindowTitle(m_title);
}
