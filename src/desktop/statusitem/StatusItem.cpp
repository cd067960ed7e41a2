#include "statusitem/StatusItem.h"

#include <QGuiApplication>
#include <QMenu>
#include <QScreen>
#include <cmath>

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

QPoint StatusItem::logicalFromDevice(const QPoint& device, const QList<ScreenScale>& screens) {
    if (screens.isEmpty())
        return device;
    const ScreenScale* holder = &screens.constFirst();
    for (const ScreenScale& screen : screens) {
        const QSizeF pixels = QSizeF(screen.logical.size()) * screen.ratio;
        if (QRectF(screen.logical.topLeft(), pixels).contains(device)) {
            holder = &screen;
            break;
        }
    }
    const QPoint origin = holder->logical.topLeft();
    const QPointF offset = QPointF(device - origin) / holder->ratio;
    return origin + QPoint(int(std::floor(offset.x())), int(std::floor(offset.y())));
}

QPoint StatusItem::logicalFromDevice(const QPoint& device) {
    QList<ScreenScale> screens;
    if (QScreen* primary = QGuiApplication::primaryScreen())
        screens << ScreenScale{primary->geometry(), primary->devicePixelRatio()};
    for (QScreen* screen : QGuiApplication::screens()) {
        if (screen != QGuiApplication::primaryScreen())
            screens << ScreenScale{screen->geometry(), screen->devicePixelRatio()};
    }
    return logicalFromDevice(device, screens);
}
