// CPU of countdown ticks inside the whole shell: the tick, the deferred title write, the tray
// item (its icon redrawn once a minute), and the hidden timer panel's update; beside a floor that
// does the least a tray countdown must: a bare QSystemTrayIcon whose tooltip changes every tick
// and whose minutes icon is redrawn every sixty, at the tray's size. Blocks of ten minutes' ticks
// of each are interleaved; every figure is the process's CPU per tick over one block (so it holds
// ten redraws), median [min-max] over the blocks.
// Run it on the desktop it is meant for (footprint.sh runs it on Xvfb with a tray).
//   bench_tick [BLOCKS]
#include "AppDelegate.h"
#include "BenchSupport.h"
#include "Fakes.h"
#include "FloorIcon.h"
#include "managers/ColorManager.h"
#include "managers/TimerManager.h"
#include "statusitem/TrayStatusItem.h"

#include <QApplication>
#include <QSystemTrayIcon>
#include <cstdio>

namespace {

constexpr int ticksPerBlock = 600;

// Lets every posted job of this turn run, as the event loop would between two ticks.
void settle() {
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    QCoreApplication::sendPostedEvents();
}

class HourlarkShell {
public:
    HourlarkShell()
        : m_colors(m_colorStore)
        , m_delegate(m_store, m_notifier, m_clock, m_colors) {
        m_delegate.applicationDidFinishLaunching(std::make_unique<TrayStatusItem>());
        TimerManager& timer = *m_delegate.timerManager();
        timer.setCustomText(QStringLiteral("Write the report"));
        timer.setInitialTime(600);
        timer.startTimer();
        // The benchmark ticks; the real second must not add its own.
        if (auto* source = timer.findChild<QTimer*>())
            source->stop();
        settle();
    }

    double block() {
        TimerManager& timer = *m_delegate.timerManager();
        const double start = Bench::processCpuMs();
        for (int i = 0; i < ticksPerBlock; ++i) {
            timer.tick();
            settle();
        }
        return (Bench::processCpuMs() - start) * 1000 / ticksPerBlock;
    }

private:
    MemoryPreferencesStore m_store;
    MemoryPreferencesStore m_colorStore;
    RecordingNotifier m_notifier;
    ManualClock m_clock;
    ColorManager m_colors;
    AppDelegate m_delegate;
};

class Floor {
public:
    Floor()
        : m_tray(floorIcon(600, 22)) {
        m_tray.show();
        settle();
    }

    double block() {
        const double start = Bench::processCpuMs();
        for (int i = 0; i < ticksPerBlock; ++i) {
            --m_remaining;
            m_tray.setToolTip(QStringLiteral("%1:%2 Write the report")
                                  .arg(m_remaining / 60, 2, 10, QLatin1Char('0'))
                                  .arg(m_remaining % 60, 2, 10, QLatin1Char('0')));
            if (m_remaining % 60 == 0) {
                const int side = m_tray.geometry().height();
                m_tray.setIcon(floorIcon(m_remaining / 60, side > 0 ? side : 22));
            }
            settle();
        }
        return (Bench::processCpuMs() - start) * 1000 / ticksPerBlock;
    }

private:
    QSystemTrayIcon m_tray;
    int m_remaining = 36000;
};

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    const int blocks = argc > 1 ? std::max(1, QByteArray(argv[1]).toInt()) : 5;
    Floor floor;
    HourlarkShell hourlark;
    const Bench::Pair pair = Bench::interleaved(
        blocks, [&] { return hourlark.block(); }, [&] { return floor.block(); });
    std::printf("Countdown ticks, process CPU per tick over blocks of %d ticks (median [min-max] "
                "of %d interleaved blocks)\n",
                ticksPerBlock, blocks);
    Bench::header("hourlark", "floor");
    Bench::row(
        QStringLiteral("CPU per tick, redraws included"), pair.ours, "us", pair.baseline,
        Bench::atMost(pair.ours.median / pair.baseline.median, 1.2, QStringLiteral("<= 1.2x")));
    return 0;
}
