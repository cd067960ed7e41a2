// Store and derived-list timings at 1k, 10k and 100k completions, each store figure beside the same
// work done through QJsonDocument in the same run, so the ratio holds on a noisy machine.
//   bench_core [folder for the files]   (build Release; see the table's header for what each row
//   is)
#include "managers/HistoryManager.h"
#include "model/MergedTask.h"
#include "model/TaskEntryJson.h"
#include "storage/PreferencesStore.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <functional>

using namespace Qt::StringLiterals;

namespace {

const QString key = u"TaskHistoryData"_s;

// About a dozen completions a day of a handful of tasks, oldest first, with fractional instants.
QList<TaskEntry> makeHistory(int count) {
    static const QStringList names{u"Write"_s,     u"Read"_s,          u"Review pull requests"_s,
                                   u"Email"_s,     u"Plan the week"_s, u"Caf\u00e9 \"break\""_s,
                                   u"Deep work"_s, u"Study"_s};
    QRandomGenerator random(42);
    QList<TaskEntry> tasks;
    tasks.reserve(count);
    double at = 786000000.0 - count * 7200.0;
    for (int i = 0; i < count; ++i) {
        const qint64 duration = 300 + random.bounded(3300);
        at += 7200.0 * (0.5 + random.generateDouble());
        const double start = at - duration - random.generateDouble();
        tasks.append(TaskEntry(QUuid::createUuid(), names[random.bounded(names.size())], duration,
                               Instant(start), Instant(at), Instant(at)));
    }
    return tasks;
}

// Median of several runs, in milliseconds.
double medianMs(int runs, const std::function<void()>& work) {
    QList<double> times;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        work();
        times.append(timer.nsecsElapsed() / 1e6);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

QByteArray qtEncode(const QList<TaskEntry>& tasks) {
    QJsonArray array;
    for (const TaskEntry& task : tasks) {
        array.append(QJsonObject{
            {u"id"_s, task.id().toString(QUuid::WithoutBraces).toUpper()},
            {u"taskName"_s, task.taskName()},
            {u"duration"_s, task.duration()},
            {u"startTime"_s, task.startTime().secondsSinceReference()},
            {u"endTime"_s, task.endTime().secondsSinceReference()},
            {u"completionDate"_s, task.completionDate().secondsSinceReference()},
        });
    }
    return QJsonDocument(array).toJson(QJsonDocument::Compact);
}

QList<TaskEntry> qtDecode(const QByteArray& bytes) {
    QList<TaskEntry> tasks;
    const QJsonArray array = QJsonDocument::fromJson(bytes).array();
    tasks.reserve(array.size());
    for (const QJsonValue& value : array) {
        const QJsonObject object = value.toObject();
        tasks.append(TaskEntry(QUuid::fromString(object[u"id"_s].toString()),
                               object[u"taskName"_s].toString(), object[u"duration"_s].toInteger(),
                               Instant(object[u"startTime"_s].toDouble()),
                               Instant(object[u"endTime"_s].toDouble()),
                               Instant(object[u"completionDate"_s].toDouble())));
    }
    return tasks;
}

// The obvious grouping: one time-zone conversion per completion.
qsizetype naiveDayCount(const QList<TaskEntry>& tasks) {
    QHash<double, QList<TaskEntry>> days;
    for (const TaskEntry& task : tasks)
        days[HistoryManager::startOfDay(task.completionDate()).secondsSinceReference()].append(
            task);
    return days.size();
}

void row(const char* what, double ours, double baseline, const char* baselineName) {
    if (baseline > 0)
        std::printf("  %-28s %9.2f ms   %-22s %9.2f ms   ratio 1/%.1f\n", what, ours, baselineName,
                    baseline, baseline / ours);
    else
        std::printf("  %-28s %9.3f ms\n", what, ours);
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTemporaryDir scratch;
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : scratch.path();
    std::printf("Hourlark core benchmark (median of runs; files in %s)\n", qPrintable(folder));

    for (const int count : {1000, 10000, 100000}) {
        const int runs = count >= 100000 ? 5 : 11;
        const QList<TaskEntry> tasks = makeHistory(count);
        const QByteArray bytes = encodeTaskHistory(tasks).value();
        std::printf("\n%d completions (%.1f MB stored)\n", count, bytes.size() / 1e6);

        // Save: encode the whole list and write it durably, through the same store for both.
        FilePreferencesStore writer(folder);
        writer.setValue(key, bytes);
        HistoryManager history(writer);
        const double save = medianMs(runs, [&] { history.deleteTasks({}); });
        const double qtSave = medianMs(runs, [&] { writer.setValue(key, qtEncode(tasks)); });
        writer.setValue(key, bytes);

        // Load: read the file and decode every entry.
        qsizetype loaded = 0;
        const double load = medianMs(runs, [&] {
            FilePreferencesStore reader(folder);
            loaded += HistoryManager(reader).tasks().size();
        });
        const double qtLoad = medianMs(runs, [&] {
            QFile file(writer.pathFor(key));
            file.open(QIODevice::ReadOnly);
            loaded += qtDecode(file.readAll()).size();
        });
        if (loaded != qsizetype(count) * runs * 2 || qtDecode(bytes) != tasks)
            qFatal("decoders disagree");

        qsizetype days = 0;
        const double byDay = medianMs(runs, [&] { days = history.getTasksByDay().size(); });
        qsizetype naiveDays = 0;
        const double naive = medianMs(runs, [&] { naiveDays = naiveDayCount(tasks); });
        if (days != naiveDays)
            qFatal("day grouping disagrees");

        const QList<TaskEntry> day = tasks.mid(0, 30);
        const double merged = medianMs(runs,
                                       [&] {
                                           for (int i = 0; i < 100; ++i)
                                               (void)mergedTasks(day);
                                       }) /
                              100;

        row("save (encode + durable)", save, qtSave, "QJsonDocument");
        row("load (read + decode)", load, qtLoad, "QJsonDocument");
        row("getTasksByDay()", byDay, naive, "per-entry startOfDay");
        std::printf("  %-28s %9lld days\n", "", static_cast<long long>(days));
        row("merged tasks of a 30-entry day", merged, 0, nullptr);
    }
    return 0;
}
