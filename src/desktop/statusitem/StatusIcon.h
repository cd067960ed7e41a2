#pragma once

#include <QImage>
#include <QString>

// The panel icon: the remaining minutes of a status title ("24:59 Write" shows 24), drawn to stay
// legible at 16 to 32 pixels on light and dark panels. Shared by every status-item backend.
namespace StatusIcon {
QImage render(const QString& title, int pixelSize);
// The part of a title the drawing depends on (the text before the colon): a backend redraws only
// when it changes, which is once a minute rather than every tick.
QString drawnPart(const QString& title);
} // namespace StatusIcon
