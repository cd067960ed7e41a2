#include "FloorIcon.h"

#include <QPainter>
#include <QPixmap>

QIcon floorIcon(int minutes, int pixelSize) {
    QPixmap pixmap(pixelSize, pixelSize);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(Qt::darkGray);
    painter.drawRoundedRect(QRectF(1, 1, pixelSize - 2, pixelSize - 2), 5, 5);
    painter.setPen(Qt::white);
    painter.drawText(pixmap.rect(), Qt::AlignCenter, QString::number(minutes));
    painter.end();
    return QIcon(pixmap);
}
