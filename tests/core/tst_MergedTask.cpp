#include "model/MergedTask.h"

#include <QTest>
#include <limits>

using namespace Qt::StringLiterals;

namespace {
struct Completion {
    QString name;
    qint64 duration;
    double completedAt;
};

QList<TaskEntry> day(const QList<Completion>& completions) {
    QList<TaskEntry> tasks;
    for (const Completion& c : completions)
        tasks.append(TaskEntry(QUuid::createUuid(), c.name, c.duration,
                               Instant(c.completedAt - double(c.duration)), Instant(c.completedAt),
                               Instant(c.completedAt)));
    return tasks;
}

// name:total:count per merged task, in list order.
QStringList summary(const QList<MergedTask>& merged) {
    QStringList out;
    for (const MergedTask& m : merged)
        out << u"%1:%2:%3"_s.arg(m.taskName).arg(m.totalDuration).arg(m.count);
    return out;
}

} // namespace

Q_DECLARE_METATYPE(QList<Completion>)

class tst_MergedTask final : public QObject {
    Q_OBJECT

private slots:
    void merging_data() {
        QTest::addColumn<QList<Completion>>("completions");
        QTest::addColumn<QStringList>("expected");
        QTest::addColumn<qint64>("distinct");
        QTest::addColumn<qint64>("dayTotal");
        QTest::newRow("largest total first")
            << QList<Completion>{{u"A"_s, 600, 3000}, {u"A"_s, 300, 2000}, {u"B"_s, 1200, 1000}}
            << QStringList{u"B:1200:1"_s, u"A:900:2"_s} << qint64(2) << qint64(2100);
        QTest::newRow("equal totals keep the order of first appearance")
            << QList<Completion>{{u"B"_s, 60, 1}, {u"A"_s, 30, 2}, {u"A"_s, 30, 3}}
            << QStringList{u"B:60:1"_s, u"A:60:2"_s} << qint64(2) << qint64(120);
        QTest::newRow("names compared exactly")
            << QList<Completion>{{u"Write"_s, 60, 1}, {u"write"_s, 120, 2}, {u"Write "_s, 30, 3}}
            << QStringList{u"write:120:1"_s, u"Write:60:1"_s, u"Write :30:1"_s} << qint64(3)
            << qint64(210);
        QTest::newRow("empty day")
            << QList<Completion>{} << QStringList{} << qint64(0) << qint64(0);
        const qint64 max = std::numeric_limits<qint64>::max();
        QTest::newRow("total saturates instead of overflowing")
            << QList<Completion>{{u"A"_s, max, 1}, {u"A"_s, max, 2}}
            << QStringList{u"A:%1:2"_s.arg(max)} << qint64(1) << max;
        QTest::newRow("day total of different names saturates too")
            << QList<Completion>{{u"A"_s, max, 1}, {u"B"_s, 1, 2}}
            << QStringList{u"A:%1:1"_s.arg(max), u"B:1:1"_s} << qint64(2) << max;
    }
    void merging() {
        QFETCH(QList<Completion>, completions);
        const QList<TaskEntry> tasks = day(completions);
        const QList<MergedTask> merged = mergedTasks(tasks);
        QTEST(summary(merged), "expected");
        QTEST(uniqueTaskCount(tasks), "distinct");
        // The chart legend and the slices group the same way.
        const QList<NameTotal> totals = totalsByName(tasks);
        QCOMPARE(totals.size(), merged.size());
        for (qsizetype i = 0; i < totals.size(); ++i)
            QCOMPARE(u"%1:%2"_s.arg(totals[i].name).arg(totals[i].duration),
                     u"%1:%2"_s.arg(merged[i].taskName).arg(merged[i].totalDuration));
        QTEST(totalDuration(tasks), "dayTotal");
    }

    void completionsNewestFirstWhateverTheInputOrder() {
        // Same-second completions keep their input order; the rest run newest first.
        const QList<TaskEntry> tasks = day({{u"A"_s, 10, 100},
                                            {u"A"_s, 10, 300},
                                            {u"B"_s, 5, 50},
                                            {u"A"_s, 10, 200},
                                            {u"A"_s, 20, 300}});
        const QList<MergedTask> merged = mergedTasks(tasks);
        QCOMPARE(merged.size(), 2);
        const MergedTask& a = merged.first();
        QCOMPARE(a.originalTasks, (QList<TaskEntry>{tasks[1], tasks[4], tasks[3], tasks[0]}));
        QCOMPARE(a.lastCompletionDate, Instant(300));
        QCOMPARE(a.count, a.originalTasks.size());
    }
};

QTEST_GUILESS_MAIN(tst_MergedTask)
#include "tst_MergedTask.moc"
