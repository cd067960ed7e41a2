// Opening the history screen on the realistic history (RealisticHistory.h) ending today: the
// lazy day list against building every day's section at once (the baseline), runs of the two
// interleaved in pairs. Each open builds the screen, sizes it, shows it, paints its first page and
// lets the event loop settle; memory is the process's resident growth while the screen is open,
// its peak above the level before, what stays while it is hidden (the panel closed) and once it is
// gone; beside it the heap in use, which pages the allocator keeps resident do not blur. Then the
// same screen shown again, and what a completion and a rename recorded while it is shown cost it
// (the recording itself not counted) beside building the screen afresh, which is what every change
// cost when the screen rebuilt all it had.
//   bench_history_screen [--sizes 1000,10000,100000] [--runs N]
//   (build Release; runs offscreen unless QT_QPA_PLATFORM says otherwise)
#include "BenchSupport.h"
#include "Fakes.h"
#include "RealisticHistory.h"
#include "history/DaySection.h"
#include "history/HistoryView.h"
#include "kit/Style.h"
#include "managers/ColorManager.h"
#include "managers/HistoryManager.h"

#include <QApplication>
#include <QDateTime>
#include <QScrollArea>
#include <QVBoxLayout>
#include <cstdio>
#include <functional>
#include <malloc.h>
#include <memory>

using namespace Qt::StringLiterals;
using Bench::field;
using Bench::Stats;

namespace {

constexpr QSize screenSize(400, 460);

void settle() {
    QApplication::processEvents();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

struct Sample {
    double ms = 0;
    double widgets = 0;
    double peakMiB = 0;
    double openMiB = 0;   // resident growth while open
    double hiddenMiB = 0; // what stays while it is hidden
    double openHeapMiB = 0;
    double hiddenHeapMiB = 0;
    double reopenMs = 0;  // shown again after being hidden
    double closedMiB = 0; // what stays once it is gone
};

double heapMiB() {
    return double(mallinfo2().uordblks) / (1024 * 1024);
}

template <typename Build> Sample measure(Build&& build) {
    Bench::resetPeak();
    const Bench::Memory before = Bench::memory();
    const double heapBefore = heapMiB();
    const double start = Bench::wallMs();
    Sample sample;
    {
        std::unique_ptr<QWidget> screen = build();
        screen->resize(screenSize);
        screen->show();
        screen->repaint();
        settle();
        sample.ms = Bench::wallMs() - start;
        sample.widgets = double(screen->findChildren<QWidget*>().size());
        const Bench::Memory open = Bench::memory();
        sample.peakMiB = double(open.peakKiB - before.residentKiB) / 1024;
        sample.openMiB = double(open.residentKiB - before.residentKiB) / 1024;
        sample.openHeapMiB = heapMiB() - heapBefore;

        screen->hide();
        settle();
        Bench::resetPeak();
        sample.hiddenMiB = double(Bench::memory().residentKiB - before.residentKiB) / 1024;
        sample.hiddenHeapMiB = heapMiB() - heapBefore;
        const double reopen = Bench::wallMs();
        screen->show();
        screen->repaint();
        settle();
        sample.reopenMs = Bench::wallMs() - reopen;
    }
    settle();
    Bench::resetPeak();
    sample.closedMiB = double(Bench::memory().residentKiB - before.residentKiB) / 1024;
    return sample;
}

// What the popover shows.
std::unique_ptr<QWidget> lazyScreen(HistoryManager& history, ColorManager& colors) {
    return std::make_unique<HistoryView>(history, colors);
}

// The baseline: one collapsed section per day, all built and laid out at once.
std::unique_ptr<QWidget> eagerScreen(HistoryManager& history, ColorManager& colors) {
    auto area = std::make_unique<QScrollArea>();
    auto* content = new QWidget;
    auto* list = new QVBoxLayout(content);
    list->setSpacing(0);
    list->setContentsMargins(0, 0, 0, 0);
    for (const DayGroup& day : history.getTasksByDay())
        list->addWidget(new DaySection(day.date, day.tasks, history, colors, false, content));
    area->setWidget(content);
    area->setWidgetResizable(true);
    return area;
}

Instant now() {
    return Instant::fromDateTime(QDateTime::currentDateTime());
}

// The screen as the user leaves it: shown, today's day open.
std::unique_ptr<HistoryView> openOnToday(HistoryManager& history, ColorManager& colors) {
    auto view = std::make_unique<HistoryView>(history, colors);
    view->resize(screenSize);
    view->show();
    view->toggleDay(HistoryManager::startOfDay(now()));
    view->repaint();
    settle();
    return view;
}

// What the shown screen takes to follow one change, from the change to the settled screen.
double follow(const std::function<void()>& change) {
    change();
    const double start = Bench::wallMs();
    settle();
    return Bench::wallMs() - start;
}

double rebuilt(HistoryManager& history, ColorManager& colors) {
    const double start = Bench::wallMs();
    openOnToday(history, colors);
    return Bench::wallMs() - start;
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    Style::setAnimationsEnabled(false);

    QList<qsizetype> sizes{1000, 10000, 100000};
    int runs = 0;
    const QStringList arguments = QApplication::arguments();
    for (qsizetype i = 1; i + 1 < arguments.size(); ++i) {
        if (arguments[i] == u"--sizes") {
            sizes.clear();
            for (const QString& size : arguments[i + 1].split(u','))
                sizes.append(size.toLongLong());
        } else if (arguments[i] == u"--runs") {
            runs = arguments[i + 1].toInt();
        }
    }

    std::printf("History screen, first page: median [min-max] of interleaved runs; lazy list "
                "against every day built at once\n");
    for (const qsizetype count : sizes) {
        const int pairs = runs > 0 ? runs : (count >= 100000 ? 3 : 5);
        const QList<TaskEntry> tasks = RealisticHistory::generate(count);
        std::printf("\n%s\n  %d runs of each\n",
                    qPrintable(RealisticHistory::describe(RealisticHistory::summarize(tasks))),
                    pairs);
        MemoryPreferencesStore historyStore;
        historyStore.values.insert(u"TaskHistoryData"_s, RealisticHistory::stored(tasks));
        MemoryPreferencesStore colorStore;
        HistoryManager history(historyStore);
        ColorManager colors(colorStore);
        measure([&] { return lazyScreen(history, colors); }); // fonts, style, colour assignments

        QList<Sample> lazy;
        QList<Sample> eager;
        Bench::interleaved(
            pairs,
            [&] {
                lazy.append(measure([&] { return lazyScreen(history, colors); }));
                return 0.0;
            },
            [&] {
                eager.append(measure([&] { return eagerScreen(history, colors); }));
                return 0.0;
            });
        Bench::header("lazy (hourlark)", "eager (baseline)");
        Bench::row(u"open, wall"_s, field(lazy, &Sample::ms), "ms", field(eager, &Sample::ms));
        Bench::row(u"widgets"_s, field(lazy, &Sample::widgets), "", field(eager, &Sample::widgets));
        Bench::row(u"peak memory above start"_s, field(lazy, &Sample::peakMiB), "MiB",
                   field(eager, &Sample::peakMiB));
        Bench::row(u"memory held while open"_s, field(lazy, &Sample::openMiB), "MiB",
                   field(eager, &Sample::openMiB));
        Bench::row(u"memory held while hidden"_s, field(lazy, &Sample::hiddenMiB), "MiB",
                   field(eager, &Sample::hiddenMiB));
        Bench::row(u"heap in use while open"_s, field(lazy, &Sample::openHeapMiB), "MiB",
                   field(eager, &Sample::openHeapMiB));
        Bench::row(u"heap in use while hidden"_s, field(lazy, &Sample::hiddenHeapMiB), "MiB",
                   field(eager, &Sample::hiddenHeapMiB));
        Bench::row(u"shown again, wall"_s, field(lazy, &Sample::reopenMs), "ms",
                   field(eager, &Sample::reopenMs));
        Bench::row(u"memory held once destroyed"_s, field(lazy, &Sample::closedMiB), "MiB",
                   field(eager, &Sample::closedMiB));

        std::unique_ptr<HistoryView> shown = openOnToday(history, colors);
        const Bench::Pair completion = Bench::interleaved(
            pairs,
            [&] {
                const Instant end = now();
                return follow([&] {
                    history.saveTask(TaskEntry(QUuid::createUuid(), u"Bench"_s, 1500,
                                               end.addingSeconds(-1500), end, end));
                });
            },
            [&] { return rebuilt(history, colors); });
        const Bench::Pair rename = Bench::interleaved(
            pairs,
            [&] {
                const TaskEntry last = history.tasks().constLast();
                return follow(
                    [&] { history.updateTask(last, last.taskName() + u'+', last.duration()); });
            },
            [&] { return rebuilt(history, colors); });
        Bench::header("shown screen follows", "screen built afresh");
        Bench::row(u"a completion, wall"_s, completion.ours, "ms", completion.baseline);
        Bench::row(u"a rename, wall"_s, rename.ours, "ms", rename.baseline);
    }
    return 0;
}
