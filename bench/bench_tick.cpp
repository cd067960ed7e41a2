// CPU of one countdown tick inside the whole shell: the tick, the deferred title write, the tray
// icon's tooltip and name (and its picture once a minute), and the hidden timer panel's update.
// Run it on the desktop it is meant for (footprint.sh runs it on Xvfb with a tray); prints the
// main thread's CPU per tick beside a floor: the same number of bare QSystemTrayIcon tooltip
// changes, the least a tray program that shows a countdown must do.
#include "AppDelegate.h"
#include "Fakes.h"
#include "managers/ColorManager.h"
#include "managers/TimerManager.h"
#include "services/Notifier.h"
#include "statusitem/TrayStatusItem.h"
#include "storage/PreferencesStore.h"
#include "time/Clock.h"

#include <QApplication>
#include <QPixmap>
#include <QSystemTrayIcon>
#include <cstdio>
#include <ctime>

namespace {

constexpr int ticks = 3000;

double threadCpuMicroseconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return now.tv_sec * 1e6 + now.tv_nsec / 1e3;
}

// Lets every posted job of this turn run, as the event loop would between two ticks.
void settle() {
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    QCoreApplication::sendPostedEvents();
}

double hourlarkTick() {
    MemoryPreferencesStore store;
    MemoryPreferencesStore colorStore;
    RecordingNotifier notifier;
    ManualClock clock;
    ColorManager colors(colorStore);
    AppDelegate delegate(store, notifier, clock, colors);
    delegate.applicationDidFinishLaunching(std::make_unique<TrayStatusItem>());
    TimerManager& timer = *delegate.timerManager();
    timer.setCustomText(QStringLiteral("Write the report"));
    timer.setInitialTime(600);
    settle();

    const double start = threadCpuMicroseconds();
    for (int i = 0; i < ticks; ++i) {
        timer.tick();
        settle();
    }
    return (threadCpuMicroseconds() - start) / ticks;
}

double floorTick() {
    QPixmap pixmap(22, 22);
    pixmap.fill(Qt::darkGray);
    QSystemTrayIcon tray{QIcon(pixmap)};
    tray.show();
    settle();
    const double start = threadCpuMicroseconds();
    for (int i = 0; i < ticks; ++i) {
        tray.setToolTip(QStringLiteral("%1:%2 Write the report").arg(i / 60).arg(i % 60));
        settle();
    }
    return (threadCpuMicroseconds() - start) / ticks;
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    const double floor = floorTick();
    const double tick = hourlarkTick();
    std::printf("one tick (main thread CPU, mean of %d): %.1f us; floor (bare tooltip change) "
                "%.1f us; ratio %.2f; target < 50 us\n",
                ticks, tick, floor, tick / floor);
    return 0;
}
