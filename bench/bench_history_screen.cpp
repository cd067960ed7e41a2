// Opening the history screen with 1k, 10k and 100k completions over five years: the lazy day
// list against building every day section at once (the baseline), in the same run.
//   bench_history_screen   (build Release; runs offscreen unless QT_QPA_PLATFORM says otherwise)
#include "Fakes.h"
#include "history/DaySection.h"
#include "history/HistoryView.h"
#include "kit/Style.h"
#include "managers/ColorManager.h"
#include "managers/HistoryManager.h"
#include "model/TaskEntryJson.h"
#include "storage/PreferencesStore.h"

#include <QApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QScrollArea>
#include <QVBoxLayout>
#include <algorithm>
#include <cstdio>
#include <functional>

namespace {

constexpr int days = 5 * 365 + 1;
constexpr QSize screenSize(400, 460);

// `count` completions spread evenly over the five years up to today, a handful of task names.
QByteArray storedHistory(int count) {
    static const QStringList names{
        QStringLiteral("Write"),         QStringLiteral("Read"),
        QStringLiteral("Review"),        QStringLiteral("Email"),
        QStringLiteral("Plan the week"), QStringLiteral("Deep work"),
        QStringLiteral("Study"),         QStringLiteral("Caf\u00e9 \"break\"")};
    QRandomGenerator random(7);
    const double end = Instant::fromDateTime(QDateTime::currentDateTime()).secondsSinceReference();
    const double span = days * 86400.0;
    QList<TaskEntry> tasks;
    tasks.reserve(count);
    for (int i = 0; i < count; ++i) {
        const double at = end - span + span * (i + random.generateDouble()) / count;
        const qint64 duration = 300 + random.bounded(1200);
        tasks.append(TaskEntry(QUuid::createUuid(), names[random.bounded(names.size())], duration,
                               Instant(at - duration), Instant(at), Instant(at)));
    }
    return *encodeTaskHistory(tasks);
}

void settle() {
    QApplication::processEvents();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

struct Run {
    double ms = 0;
    qsizetype widgets = 0;
};

Run median(int runs, const std::function<Run()>& once) {
    QList<Run> results;
    for (int i = 0; i < runs; ++i) {
        results.append(once());
    }
    std::sort(results.begin(), results.end(),
              [](const Run& a, const Run& b) { return a.ms < b.ms; });
    return results[results.size() / 2];
}

// What the popover does: build the screen, size it, show it and paint its first page.
Run openLazy(HistoryManager& history, ColorManager& colors) {
    QElapsedTimer timer;
    timer.start();
    HistoryView view(history, colors);
    view.resize(screenSize);
    view.show();
    view.repaint();
    settle();
    Run run{timer.nsecsElapsed() / 1e6, view.findChildren<QWidget*>().size()};
    return run;
}

// The baseline: one collapsed section per day, all built and laid out at once.
Run openEager(HistoryManager& history, ColorManager& colors) {
    QElapsedTimer timer;
    timer.start();
    QScrollArea area;
    auto* content = new QWidget;
    auto* list = new QVBoxLayout(content);
    list->setSpacing(0);
    list->setContentsMargins(0, 0, 0, 0);
    for (const DayGroup& day : history.getTasksByDay()) {
        list->addWidget(new DaySection(day.date, day.tasks, history, colors, false, content));
    }
    area.setWidget(content);
    area.setWidgetResizable(true);
    area.resize(screenSize);
    area.show();
    area.repaint();
    settle();
    return {timer.nsecsElapsed() / 1e6, area.findChildren<QWidget*>().size()};
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    Style::setAnimationsEnabled(false);

    std::printf("History screen, first page, %d days (median of 5; eager: median of 3)\n", days);
    std::printf("%-12s %12s %10s %14s %10s %8s\n", "completions", "lazy ms", "widgets", "eager ms",
                "widgets", "ratio");
    for (const int count : {1000, 10000, 100000}) {
        MemoryPreferencesStore historyStore;
        historyStore.values.insert(QStringLiteral("TaskHistoryData"), storedHistory(count));
        MemoryPreferencesStore colorStore;
        HistoryManager history(historyStore);
        ColorManager colors(colorStore);
        openLazy(history, colors); // warm-up: fonts, style, colour assignments

        const Run lazy = median(5, [&] { return openLazy(history, colors); });
        const Run eager = median(3, [&] { return openEager(history, colors); });
        std::printf("%-12d %12.1f %10lld %14.1f %10lld %7.1fx\n", count, lazy.ms,
                    qlonglong(lazy.widgets), eager.ms, qlonglong(eager.widgets),
                    eager.ms / lazy.ms);
    }
    return 0;
}
