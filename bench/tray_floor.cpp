// The floor for the footprint figures: the least a Qt program in the tray can be. It shows one
// drawn icon with a tooltip and waits, as Hourlark does while idle. With --tick it also rewrites
// the tooltip once a second and redraws the icon once a minute, at the size the tray gives it:
// the least a tray countdown must do.
#include "FloorIcon.h"

#include <QApplication>
#include <QSystemTrayIcon>
#include <QTimer>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    QSystemTrayIcon tray{floorIcon(30, 22)};
    tray.setToolTip(QStringLiteral("30:00"));
    tray.show();

    int remaining = 1800;
    QTimer tick;
    tick.setTimerType(Qt::PreciseTimer);
    QObject::connect(&tick, &QTimer::timeout, &tray, [&] {
        --remaining;
        tray.setToolTip(QStringLiteral("%1:%2")
                            .arg(remaining / 60, 2, 10, QLatin1Char('0'))
                            .arg(remaining % 60, 2, 10, QLatin1Char('0')));
        if (remaining % 60 == 0) {
            const int side = tray.geometry().height();
            tray.setIcon(floorIcon(remaining / 60, side > 0 ? side : 22));
        }
    });
    if (QApplication::arguments().contains(QStringLiteral("--tick")))
        tick.start(1000);
    return QApplication::exec();
}
