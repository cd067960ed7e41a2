// The store and the derived lists on the realistic history (RealisticHistory.h), each figure
// beside the same work done the obvious way in the same run, runs of the two interleaved in pairs:
//   load                  read the file and decode every completion; QJsonDocument as baseline
//   record a completion   the first one after start apart from the warm ones that follow; the
//                         baseline re-encodes the whole history through QJsonDocument and writes
//                         it, as a program that cannot append would
//   group by day          with TZ unset (glibc then looks at /etc/localtime on every conversion),
//                         with TZ naming the same zone, and in a zone with summer time; baseline
//                         one conversion per completion; wall time and the process's CPU time
// Memory is the process's resident set: its growth while the figure's work holds what it made,
// and the peak above the level before it. Loads run in a fresh process each, as at start-up.
//   bench_core [--sizes 10000,100000,1000000] [--runs N] [FOLDER]   (build Release)
#include "BenchSupport.h"
#include "RealisticHistory.h"
#include "managers/HistoryManager.h"
#include "model/MergedTask.h"
#include "model/TaskEntryJson.h"
#include "storage/PreferencesStore.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimeZone>
#include <cstdio>
#include <cstdlib>
#include <ctime>

using namespace Qt::StringLiterals;
using Bench::field;
using Bench::Stats;

namespace {

const QString key = u"TaskHistoryData"_s;

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

// The obvious grouping: one local-time conversion per completion, straight through QDateTime.
qsizetype naiveDayCount(const QList<TaskEntry>& tasks) {
    QHash<qint64, QList<TaskEntry>> days;
    for (const TaskEntry& task : tasks)
        days[task.completionDate().toDateTime().date().startOfDay().toSecsSinceEpoch()].append(
            task);
    return days.size();
}

// One measured piece of work: its time and what it did to the process's memory.
struct Sample {
    double wallMs = 0;
    double cpuMs = 0;
    double peakMiB = 0; // highest resident level during the work, above the level before it
    double heldMiB = 0; // resident growth that stays while the result is kept
};

template <typename Work> Sample measure(Work&& work) {
    Bench::resetPeak();
    const Bench::Memory before = Bench::memory();
    const double wall = Bench::wallMs();
    const double cpu = Bench::processCpuMs();
    auto kept = work();
    Sample sample{Bench::wallMs() - wall, Bench::processCpuMs() - cpu, 0, 0};
    const Bench::Memory after = Bench::memory();
    sample.peakMiB = double(after.peakKiB - before.residentKiB) / 1024;
    sample.heldMiB = double(after.residentKiB - before.residentKiB) / 1024;
    (void)kept;
    return sample;
}

// The completion recorded next: a realistic one, just after the history's last.
TaskEntry nextCompletion(const TaskEntry& last, int n) {
    const double end = last.completionDate().secondsSinceReference() + 1800.0 * (n + 1) + 0.25;
    return TaskEntry(QUuid::createUuid(), u"\u5199\u4f5c"_s, 1500, Instant(end - 1500.5),
                     Instant(end), Instant(end));
}

void setTimeZoneVariable(const char* value) {
    if (value)
        qputenv("TZ", value);
    else
        qunsetenv("TZ");
    tzset();
}

struct Options {
    QList<qsizetype> sizes{10000, 100000};
    int runs = 0; // 0: by size
    QString folder;
};

Options parse(const QStringList& arguments) {
    Options options;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        if (arguments[i] == u"--sizes" && i + 1 < arguments.size()) {
            options.sizes.clear();
            for (const QString& size : arguments[++i].split(u','))
                options.sizes.append(size.toLongLong());
        } else if (arguments[i] == u"--runs" && i + 1 < arguments.size()) {
            options.runs = arguments[++i].toInt();
        } else {
            options.folder = arguments[i];
        }
    }
    return options;
}

// `bench_core --load-once ours|baseline FILE`: one load in this fresh process; prints the wall
// and CPU milliseconds, the peak and the held resident memory above the level before it, the
// process's own peak (KiB) and the number of completions read.
int loadOnce(const QString& how, const QString& file) {
    Bench::resetPeak();
    const Bench::Memory before = Bench::memory();
    const double wall = Bench::wallMs();
    const double cpu = Bench::processCpuMs();
    qsizetype loaded = 0;
    std::unique_ptr<FilePreferencesStore> store;
    std::unique_ptr<HistoryManager> history;
    QList<TaskEntry> decoded;
    if (how == u"ours") {
        store = std::make_unique<FilePreferencesStore>(QFileInfo(file).path());
        history = std::make_unique<HistoryManager>(*store);
        loaded = history->tasks().size();
    } else {
        QFile input(file);
        if (!input.open(QIODevice::ReadOnly))
            return 1;
        decoded = qtDecode(input.readAll());
        loaded = decoded.size();
    }
    const double wallMs = Bench::wallMs() - wall;
    const double cpuMs = Bench::processCpuMs() - cpu;
    const Bench::Memory after = Bench::memory();
    std::printf("%f %f %lld %lld %lld %lld\n", wallMs, cpuMs,
                qlonglong(after.peakKiB - before.residentKiB),
                qlonglong(after.residentKiB - before.residentKiB), qlonglong(after.peakKiB),
                qlonglong(loaded));
    return 0;
}

Sample loadInChild(const QString& how, const QString& file, qsizetype count,
                   double* processPeakMiB) {
    QProcess child;
    child.start(QCoreApplication::applicationFilePath(), {u"--load-once"_s, how, file});
    if (!child.waitForFinished(-1) || child.exitCode() != 0)
        qFatal("the %s load failed", qPrintable(how));
    const QList<QByteArray> figures = child.readAllStandardOutput().simplified().split(' ');
    if (figures.size() != 6 || figures[5].toLongLong() != count)
        qFatal("the %s load read something else", qPrintable(how));
    if (processPeakMiB)
        *processPeakMiB = figures[4].toDouble() / 1024;
    return {figures[0].toDouble(), figures[1].toDouble(), figures[2].toDouble() / 1024,
            figures[3].toDouble() / 1024};
}

struct PerSize {
    qsizetype count = 0;
    double loadMs = 0;
    double groupMs = 0;
};

PerSize benchOneSize(qsizetype count, int runs, const QString& folder) {
    QList<TaskEntry> tasks = RealisticHistory::generate(count);
    const QByteArray bytes = RealisticHistory::stored(tasks);
    std::printf("\n%s\n  %.1f MB stored, %d runs of each\n",
                qPrintable(RealisticHistory::describe(RealisticHistory::summarize(tasks))),
                double(bytes.size()) / 1e6, runs);
    FilePreferencesStore writer(folder);
    if (!writer.setValue(key, bytes))
        qFatal("cannot write %s", qPrintable(writer.pathFor(key)));
    if (qtDecode(bytes) != tasks)
        qFatal("the baseline decoder disagrees");
    Bench::header("hourlark", "baseline");
    PerSize result{count, 0, 0};

    // Load, each in a fresh process as at start-up: its heap holds nothing a previous run freed.
    {
        QList<Sample> ours;
        QList<Sample> qt;
        QList<double> oursProcessPeak;
        Bench::interleaved(
            runs,
            [&] {
                double processPeak = 0;
                ours.append(loadInChild(u"ours"_s, writer.pathFor(key), count, &processPeak));
                oursProcessPeak.append(processPeak);
                return 0.0;
            },
            [&] {
                qt.append(loadInChild(u"baseline"_s, writer.pathFor(key), count, nullptr));
                return 0.0;
            });
        const Stats wall = field(ours, &Sample::wallMs);
        result.loadMs = wall.median;
        Bench::row(u"load, wall"_s, wall, "ms", field(qt, &Sample::wallMs));
        Bench::row(u"load, CPU (all threads)"_s, field(ours, &Sample::cpuMs), "ms",
                   field(qt, &Sample::cpuMs));
        Bench::row(u"load, peak memory above start"_s, field(ours, &Sample::peakMiB), "MiB",
                   field(qt, &Sample::peakMiB));
        Bench::row(u"load, memory held after"_s, field(ours, &Sample::heldMiB), "MiB",
                   field(qt, &Sample::heldMiB));
        const Stats processPeak = Bench::statsOf(oursProcessPeak);
        Bench::row(u"load, peak of the process (core only)"_s, processPeak, "MiB", std::nullopt,
                   count >= 1000000 ? Bench::atMost(processPeak.median, 300, u"< 300 MiB*"_s)
                                    : Bench::none());
    }

    // Record a completion: first after start, then warm.
    {
        QList<Sample> firstOurs, warmOurs, firstQt, warmQt;
        constexpr int warmSaves = 5;
        Bench::interleaved(
            runs,
            [&] {
                writer.setValue(key, bytes);
                FilePreferencesStore store(folder);
                HistoryManager history(store);
                (void)history.tasks().size();
                firstOurs.append(measure([&] {
                    history.saveTask(nextCompletion(tasks.constLast(), 0));
                    return 0;
                }));
                for (int i = 1; i <= warmSaves; ++i) {
                    warmOurs.append(measure([&] {
                        history.saveTask(nextCompletion(tasks.constLast(), i));
                        return 0;
                    }));
                }
                if (history.storedValue().hasPendingWrite())
                    qFatal("a completion was not written");
                return 0.0;
            },
            [&] {
                writer.setValue(key, bytes);
                FilePreferencesStore store(folder);
                QList<TaskEntry> list = tasks;
                for (int i = 0; i <= warmSaves; ++i) {
                    (i == 0 ? firstQt : warmQt).append(measure([&] {
                        list.append(nextCompletion(tasks.constLast(), i));
                        if (!store.setValue(key, qtEncode(list)))
                            qFatal("cannot write");
                        return 0;
                    }));
                }
                return 0.0;
            });
        writer.setValue(key, bytes);
        const Stats firstCpu = field(firstOurs, &Sample::cpuMs);
        const Stats warmCpu = field(warmOurs, &Sample::cpuMs);
        Bench::row(u"record 1st completion after start, CPU"_s, firstCpu, "ms",
                   field(firstQt, &Sample::cpuMs),
                   Bench::atMost(firstCpu.median, 15, u"<= 15 ms"_s));
        Bench::row(u"record 1st completion, wall (with fsync)"_s, field(firstOurs, &Sample::wallMs),
                   "ms", field(firstQt, &Sample::wallMs));
        Bench::row(u"record 1st completion, peak memory"_s, field(firstOurs, &Sample::peakMiB),
                   "MiB", field(firstQt, &Sample::peakMiB));
        Bench::row(u"record a warm completion, CPU"_s, warmCpu, "ms", field(warmQt, &Sample::cpuMs),
                   Bench::atMost(warmCpu.median, 15, u"<= 15 ms"_s));
        Bench::row(u"record a warm completion, wall"_s, field(warmOurs, &Sample::wallMs), "ms",
                   field(warmQt, &Sample::wallMs));
    }

    // Group by day, with TZ unset and set.
    {
        FilePreferencesStore store(folder);
        HistoryManager history(store);
        const QList<TaskEntry>& loaded = history.tasks();
        const QByteArray savedZone = qgetenv("TZ");
        const bool hadZone = qEnvironmentVariableIsSet("TZ");
        // The machine's own zone unset and set, and one with summer time.
        for (const char* zone :
             {static_cast<const char*>(nullptr), ":/etc/localtime", "Europe/Berlin"}) {
            setTimeZoneVariable(zone);
            QList<Sample> ours;
            QList<Sample> naive;
            qsizetype days = 0;
            qsizetype naiveDays = 0;
            Bench::interleaved(
                runs,
                [&] {
                    ours.append(measure([&] {
                        QList<DayGroup> groups = history.getTasksByDay();
                        days = groups.size();
                        return groups;
                    }));
                    return 0.0;
                },
                [&] {
                    naive.append(measure([&] { return naiveDays = naiveDayCount(loaded); }));
                    return 0.0;
                });
            if (days != naiveDays)
                qFatal("day grouping disagrees: %lld against %lld", qlonglong(days),
                       qlonglong(naiveDays));
            const Stats wall = field(ours, &Sample::wallMs);
            if (!zone)
                result.groupMs = wall.median;
            const QString how = zone ? u"TZ=%1"_s.arg(QLatin1StringView(zone)) : u"TZ unset"_s;
            Bench::row(u"group by day, %1"_s.arg(how), wall, "ms", field(naive, &Sample::wallMs),
                       Bench::atMost(wall.median, 10, u"<= 10 ms"_s));
            // The work itself, which a machine busy with other programs does not stretch.
            const Stats cpu = field(ours, &Sample::cpuMs);
            Bench::row(u"group by day, %1, CPU"_s.arg(how), cpu, "ms", field(naive, &Sample::cpuMs),
                       Bench::atMost(cpu.median, 10, u"<= 10 ms"_s));
            Bench::row(u"group by day, %1, peak memory"_s.arg(how), field(ours, &Sample::peakMiB),
                       "MiB", field(naive, &Sample::peakMiB));
            if (!zone)
                Bench::note(u"%1 days with completions"_s.arg(days));
        }
        if (hadZone)
            setTimeZoneVariable(savedZone.constData());
        else
            setTimeZoneVariable(nullptr);

        // A day of the history screen: its completions merged by name.
        const QList<TaskEntry> day = loaded.mid(loaded.size() - 12);
        const Stats merged = Bench::repeated(runs, [&] {
            const double start = Bench::wallMs();
            for (int i = 0; i < 100; ++i)
                (void)mergedTasks(day);
            return (Bench::wallMs() - start) / 100;
        });
        Bench::row(u"merge a 12-completion day by name"_s, merged, "ms");
    }
    return result;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.value(1) == u"--load-once")
        return loadOnce(arguments.value(2), arguments.value(3));
    const Options options = parse(arguments);
    QTemporaryDir scratch;
    const QString folder = options.folder.isEmpty() ? scratch.path() : options.folder;
    QDir().mkpath(folder);
    std::printf("Hourlark core benchmark: median [min-max] of interleaved runs; files in %s\n",
                qPrintable(folder));
    std::printf("  time zone %s, TZ %s; peak memory %s\n",
                QTimeZone::systemTimeZoneId().constData(),
                qEnvironmentVariableIsSet("TZ") ? qgetenv("TZ").constData() : "unset",
                Bench::peakResets() ? "reset before each figure (/proc/self/clear_refs)"
                                    : "NOT resettable here: peaks are of the whole run");

    QList<PerSize> done;
    for (const qsizetype count : options.sizes) {
        const int runs =
            options.runs > 0 ? options.runs : (count >= 1000000 ? 3 : (count >= 100000 ? 7 : 11));
        done.append(benchOneSize(count, runs, folder));
    }

    // Ten times the completions should cost about ten times as much, never a hundred; twice the
    // linear growth leaves room for caches the larger history no longer fits in.
    if (done.size() > 1) {
        std::printf("\nGrowth of the median time (linear is 10x for 10x the completions, "
                    "quadratic 100x)\n");
        for (qsizetype i = 1; i < done.size(); ++i) {
            const PerSize& a = done[i - 1];
            const PerSize& b = done[i];
            const double entries = double(b.count) / double(a.count);
            for (const auto& [what, before, after] :
                 {std::tuple{"load", a.loadMs, b.loadMs},
                  std::tuple{"group by day, TZ unset", a.groupMs, b.groupMs}}) {
                const double growth = after / before;
                std::printf("  %-24s %lld -> %lld completions: %.1fx the time for %.0fx the "
                            "completions  (target <= %.0fx: %s)\n",
                            what, qlonglong(a.count), qlonglong(b.count), growth, entries,
                            entries * 2, growth <= entries * 2 ? "yes" : "NO");
            }
        }
    }
    std::printf("\n* the process that loads is the core alone; the whole program's peak is "
                "footprint.sh's figure\n");
    return 0;
}
