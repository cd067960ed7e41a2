#pragma once

#include <QIcon>
#include <QImage>
#include <QString>

// The panel icon: the minutes left of a status title, drawn to stay legible at 16 to 32 pixels on
// light and dark panels, with an amber ring while the countdown runs and a grey one while it is
// stopped. Shared by every status-item backend.
namespace StatusIcon {

// Everything a drawing depends on. A backend redraws only when it changes, which is once a minute
// rather than every tick, and when the countdown starts or stops.
struct Face {
    QString minutes; // empty when the title holds no time: the hands of a clock are drawn then
    bool running = false;
    bool operator==(const Face&) const = default;
};

// The minutes are rounded up, as a kitchen timer reads: "24:59 Write" shows 25, and the last
// minute shows 1, so a countdown never reads 0 while time remains.
Face faceOf(const QString& title, bool running);
QImage render(const Face& face, int pixelSize);

// The face as an icon that draws itself at the size it is painted at, and only then: a tray that
// embeds the icon asks for one size, so none of the others is ever drawn. The last drawing is
// kept for the repaints that follow.
QIcon icon(const Face& face);

} // namespace StatusIcon
