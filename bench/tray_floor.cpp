// The floor for the footprint figures: the least a Qt program in the tray can be. It shows one
// drawn icon with a tooltip and waits, as Hourlark does while idle. With --tick it also rewrites
// the tooltip once a second (and the icon once a minute): the least a tray countdown must do.
#include <QApplication>
#include <QPainter>
#include <QPixmap>
#include <QSystemTrayIcon>
#include <QTimer>

namespace {

QIcon minutesIcon(int minutes) {
    QPixmap pixmap(22, 22);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(Qt::darkGray);
    painter.drawRoundedRect(QRectF(1, 1, 20, 20), 5, 5);
    painter.setPen(Qt::white);
    painter.drawText(pixmap.rect(), Qt::AlignCenter, QString::number(minutes));
    return QIcon(pixmap);
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    QSystemTrayIcon tray{minutesIcon(30)};
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
        if (remaining % 60 == 59)
            tray.setIcon(minutesIcon(remaining / 60));
    });
    if (QApplication::arguments().contains(QStringLiteral("--tick")))
        tick.start(1000);
    return QApplication::exec();
}
