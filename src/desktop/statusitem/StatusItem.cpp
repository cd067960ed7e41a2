#include "statusitem/StatusItem.h"

#include <QMenu>

StatusItem::~StatusItem() = default;

void StatusItem::setContextMenu(QMenu* menu) {
    m_contextMenu = menu;
}

void StatusItem::popUpContextMenu(const QPoint& globalPos) {
    if (m_contextMenu)
        m_contextMenu->popup(globalPos);
}

QMenu* StatusItem::contextMenu() const {
    return m_contextMenu;
}

void StatusItem::setRunning(bool running) {
    if (running == m_running)
        return;
    m_running = running;
    onRunningChanged();
}
