#include "statusitem/TrayStatusItem.h"

#include "statusitem/StatusIcon.h"

#include <QApplication>
#include <QCursor>
#include <QIcon>
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
    updateIconIfChanged();
    m_tray.show();
}

void TrayStatusItem::setTitle(const QString& title) {
    if (title == m_title)
        return;
    m_title = title;
    m_tray.setToolTip(title);
    // Fifty-nine ticks in sixty leave the minutes alone; only the tooltip changes then.
    updateIconIfChanged();
    exposeTitle();
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
    updateIconIfChanged();
}

void TrayStatusItem::updateIconIfChanged() {
    const StatusIcon::Face face = StatusIcon::faceOf(m_title, isRunning());
    if (face == m_drawnFace)
        return;
    m_drawnFace = face;
    QIcon icon;
    for (const int size : iconSizes)
        icon.addPixmap(QPixmap::fromImage(StatusIcon::render(face, size)));
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
