#include "Fakes.h"
#include "managers/HistoryManager.h"
#include "model/TaskEntryJson.h"
#include "storage/PreferencesStore.h"

#include <QDir>
#include <QLocale>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <ctime>

using namespace Qt::StringLiterals;

namespace {
const QString key = u"TaskHistoryData"_s;
const QUuid childId = QUuid::fromString(u"0B7E8F0A-51C2-4D3E-9F60-7A8B9C0D1E2F");

void useTimeZone(const char* zone) {
    qputenv("TZ", zone);
    tzset();
}

// "2026-12-06T10:00" for the minute, or a full ISO date with seconds and zone.
Instant utc(const QString& iso) {
    return Instant::fromDateTime(
        QDateTime::fromString(iso.size() == 16 ? iso + u":00Z"_s : iso, Qt::ISODateWithMs));
}

TaskEntry completedAt(Instant at, const QString& name = u"Write"_s, qint64 duration = 60) {
    return TaskEntry(QUuid::createUuid(), name, duration, at.addingSeconds(-double(duration)), at,
                     at);
}

// The child half of the kill test: record one completion, then die without any clean-up.
int saveThenDie(const QString& folder) {
    FilePreferencesStore store(folder);
    HistoryManager history(store);
    history.saveTask(
        TaskEntry(childId, u"Survives"_s, 1500, Instant(1000), Instant(2500), Instant(2500)));
    std::raise(SIGKILL);
    return 1;
}
} // namespace

class tst_HistoryManager final : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { useTimeZone("UTC"); }

    // Completions are UTC instants; the expected groups are "day start in UTC: completion indices".
    void groupsByLocalDay_data() {
        QTest::addColumn<QByteArray>("zone");
        QTest::addColumn<QString>("completions");
        QTest::addColumn<QString>("expected");
        QTest::newRow("newest first within a day, added out of order")
            << QByteArray("UTC") << u"2026-12-06T10:00 2026-12-06T12:00 2026-12-06T08:00"_s
            << u"2026-12-06T00:00: 1 0 2"_s;
        QTest::newRow("equal completion instants keep the order they were added")
            << QByteArray("UTC") << u"2026-12-06T10:00 2026-12-06T10:00 2026-12-06T10:00"_s
            << u"2026-12-06T00:00: 0 1 2"_s;
        QTest::newRow("last millisecond of a day")
            << QByteArray("UTC") << u"2026-12-05T23:59:59.999Z 2026-12-06T00:00"_s
            << u"2026-12-06T00:00: 1 | 2026-12-05T00:00: 0"_s;
        QTest::newRow("Berlin: 25-hour day of the autumn change")
            << QByteArray("Europe/Berlin")
            << u"2026-10-24T22:30 2026-10-25T00:30 2026-10-25T01:30 2026-10-25T22:30 2026-10-25T23:10"_s
            << u"2026-10-25T23:00: 4 | 2026-10-24T22:00: 3 2 1 0"_s;
        // The day before a skipped calendar date lasts until the next date that exists.
        QTest::newRow("Apia: 29 December 2011, before the skipped 30th")
            << QByteArray("Pacific/Apia") << u"2011-12-29T12:00 2011-12-30T09:00 2011-12-30T11:00"_s
            << u"2011-12-30T10:00: 2 | 2011-12-29T10:00: 1 0"_s;
    }
    void groupsByLocalDay() {
        QFETCH(QByteArray, zone);
        QFETCH(QString, completions);
        QFETCH(QString, expected);
        useTimeZone(zone.constData());
        MemoryPreferencesStore store;
        HistoryManager history(store);
        QList<TaskEntry> added;
        for (const QString& iso : completions.split(u' ')) {
            added << completedAt(utc(iso));
            history.saveTask(added.last());
        }
        QStringList groups;
        for (const DayGroup& group : history.getTasksByDay()) {
            const QDateTime start = group.date.toDateTime().toUTC();
            const bool onTheMinute = start.time().second() == 0 && start.time().msec() == 0;
            QString line =
                start.toString(onTheMinute ? u"yyyy-MM-ddTHH:mm"_s : u"yyyy-MM-ddTHH:mm:ss.zzz"_s) +
                u':';
            for (const TaskEntry& task : group.tasks)
                line += u' ' + QString::number(added.indexOf(task));
            groups << line;
            QCOMPARE(HistoryManager::startOfDay(group.date), group.date);
        }
        QCOMPARE(groups.join(u" | "_s), expected);
    }

    void formatDay_data() {
        QTest::addColumn<QString>("localTime");
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("text");
        QTest::newRow("start of today") << u"2026-12-06T00:00:00"_s << u"en_US"_s << u"Today"_s;
        QTest::newRow("end of today") << u"2026-12-06T23:59:59.999"_s << u"de_DE"_s << u"Today"_s;
        QTest::newRow("yesterday") << u"2026-12-05T12:00:00"_s << u"en_US"_s << u"Yesterday"_s;
        QTest::newRow("two days ago, US English")
            << u"2026-12-04T23:59:00"_s << u"en_US"_s << u"Dec 4, 2026"_s;
        QTest::newRow("tomorrow is a date")
            << u"2026-12-07T08:00:00"_s << u"en_GB"_s << u"7 Dec 2026"_s;
    }
    void formatDay() {
        QFETCH(QString, localTime);
        QFETCH(QString, locale);
        QFETCH(QString, text);
        useTimeZone("America/Sao_Paulo");
        const Instant day =
            Instant::fromDateTime(QDateTime::fromString(localTime, Qt::ISODateWithMs));
        QCOMPARE(HistoryManager::formatDay(day, QDate(2026, 12, 6), QLocale(locale)), text);
    }

    void updateTask_data() {
        QTest::addColumn<QString>("newName");
        QTest::addColumn<qint64>("newDuration");
        QTest::addColumn<int>("expectedDays");
        QTest::newRow("rename keeps the day, still re-anchors the end")
            << u"Read"_s << qint64(600) << 1;
        QTest::newRow("re-time across midnight moves it to the next day")
            << u"Write"_s << qint64(1200) << 2;
    }
    void updateTask() {
        QFETCH(QString, newName);
        QFETCH(qint64, newDuration);
        QFETCH(int, expectedDays);
        MemoryPreferencesStore store;
        HistoryManager history(store);
        // Started 23:45, recorded at 23:59:30 with a duration that does not match the instants.
        const TaskEntry original(QUuid::createUuid(), u"Write"_s, 600,
                                 utc(u"2026-12-05T23:45:00Z"_s), utc(u"2026-12-05T23:59:30Z"_s),
                                 utc(u"2026-12-05T23:59:30Z"_s));
        const TaskEntry other = completedAt(utc(u"2026-12-05T12:00:00Z"_s));
        history.saveTask(original);
        history.saveTask(other);
        QSignalSpy changed(&history, &HistoryManager::tasksChanged);
        history.updateTask(original, newName, newDuration);

        const Instant end = original.startTime().addingSeconds(double(newDuration));
        const TaskEntry expected(original.id(), newName, newDuration, original.startTime(), end,
                                 end);
        QCOMPARE(history.tasks(), (QList<TaskEntry>{expected, other}));
        QCOMPARE(history.getTasksByDay().size(), expectedDays);
        QCOMPARE(decodeTaskHistory(store.values[key]), std::optional(history.tasks()));
        // An entry no longer there is left alone: no change, no write.
        const int writes = store.writeCount;
        history.updateTask(completedAt(Instant(5000)), u"Other"_s, 10);
        QCOMPARE(changed.size(), 1);
        QCOMPARE(store.writeCount, writes);
    }

    void deletions() {
        MemoryPreferencesStore store;
        HistoryManager history(store);
        QList<TaskEntry> all;
        for (int i = 0; i < 5; ++i) {
            all << completedAt(Instant(1000.0 * i));
            history.saveTask(all.last());
        }
        // A duplicate id (hand-edited file) goes with the entry it copies.
        const TaskEntry copy(all[1].id(), u"copy"_s, 1, Instant(0), Instant(0), Instant(0));
        history.saveTask(copy);
        QSignalSpy changed(&history, &HistoryManager::tasksChanged);

        history.deleteTask(all[1]);
        QCOMPARE(history.tasks(), (QList<TaskEntry>{all[0], all[2], all[3], all[4]}));
        history.deleteTasks({all[4], all[0], completedAt(Instant(7))});
        QCOMPARE(history.tasks(), (QList<TaskEntry>{all[2], all[3]}));
        const int writes = store.writeCount;
        history.deleteTasks({});
        history.deleteTask(all[0]);
        QCOMPARE(store.writeCount, writes + 2);
        QCOMPARE(changed.size(), 4);
        QCOMPARE(decodeTaskHistory(store.values[key]), std::optional(history.tasks()));
    }

    void restartReadsWhatWasWritten() {
        QTemporaryDir dir;
        QList<TaskEntry> written;
        {
            FilePreferencesStore store(dir.path() + u"/not/yet/there"_s);
            HistoryManager history(store);
            for (double at : {786000000.125, 786000000.125, 786003600.3333333})
                history.saveTask(completedAt(Instant(at), u"\"Caf\u00e9\"\n"_s, 1500));
            written = history.tasks();
        }
        FilePreferencesStore store(dir.path() + u"/not/yet/there"_s);
        HistoryManager history(store);
        QCOMPARE(history.tasks(), written);
        // Completions are appended to the file, yet it reads as if written whole.
        QFile file(store.pathFor(key));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), encodeTaskHistory(written).value());
    }

    void unreadableValueIsKeptAside_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<HistoryManager::Loading>("loading");
        const QByteArray lacking =
            R"([{"id":"E621E1F8-C36C-495A-93FC-0C247A3E6E5F","taskName":"Write","duration":1500,)"
            R"("startTime":786000000.25,"endTime":786001500.75}])";
        for (const auto loading :
             {HistoryManager::Loading::Now, HistoryManager::Loading::InBackground}) {
            const char* how = loading == HistoryManager::Loading::Now ? "now" : "in background";
            QTest::addRow("not JSON, %s", how) << QByteArray("[{\"id\":") << loading;
            QTest::addRow("one record lacks completionDate, %s", how) << lacking << loading;
        }
    }
    void unreadableValueIsKeptAside() {
        QFETCH(QByteArray, bytes);
        QFETCH(HistoryManager::Loading, loading);
        QTemporaryDir dir;
        {
            QFile file(dir.filePath(u"TaskHistoryData.json"_s));
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(bytes);
        }
        FilePreferencesStore store(dir.path());
        HistoryManager history(store, loading);
        history.saveTask(completedAt(Instant(100))); // before a background load has finished
        history.saveTask(completedAt(Instant(200)));
        QCOMPARE(history.tasks().size(), 2);

        const QStringList aside =
            QDir(dir.path()).entryList({u"TaskHistoryData.unreadable-*.json"_s});
        QCOMPARE(aside.size(), 1); // kept once, before the first overwrite only
        QFile kept(dir.filePath(aside.first()));
        QVERIFY(kept.open(QIODevice::ReadOnly));
        QCOMPARE(kept.readAll(), bytes);
        FilePreferencesStore reread(dir.path());
        QCOMPARE(HistoryManager(reread).tasks(), history.tasks());
    }

    // Loaded on another thread, the history reads exactly as if it had been loaded at once, and
    // is announced when it arrives.
    void backgroundLoadIsTheSameHistory() {
        QTemporaryDir dir;
        QList<TaskEntry> stored;
        for (int i = 0; i < 2000; ++i)
            stored << completedAt(Instant(786000000.0 + i * 3600), u"Task %1"_s.arg(i % 9));
        {
            FilePreferencesStore store(dir.path());
            QVERIFY(store.setValue(key, encodeTaskHistory(stored).value()));
        }
        FilePreferencesStore store(dir.path());
        HistoryManager history(store, HistoryManager::Loading::InBackground);
        QSignalSpy changed(&history, &HistoryManager::tasksChanged);
        QVERIFY(changed.wait());
        QCOMPARE(changed.size(), 1);
        QCOMPARE(history.tasks(), stored);

        // A completion recorded before the read is done waits for it and adds to it.
        FilePreferencesStore again(dir.path());
        HistoryManager early(again, HistoryManager::Loading::InBackground);
        early.saveTask(completedAt(Instant(900000000.0)));
        QCOMPARE(early.tasks().size(), stored.size() + 1);
        FilePreferencesStore reread(dir.path());
        QCOMPARE(HistoryManager(reread).tasks(), early.tasks());
        QTest::qWait(50); // a late finished signal announces nothing new
        HistoryManager(again, HistoryManager::Loading::InBackground); // gone before it loaded
    }

    void unsavableChangeLeavesTheStoredValue() {
        MemoryPreferencesStore store;
        HistoryManager history(store);
        history.saveTask(completedAt(Instant(100)));
        const QByteArray before = store.values[key];
        history.saveTask(
            TaskEntry(QUuid::createUuid(), u"x"_s, 1, Instant(0), Instant(qQNaN()), Instant(0)));
        QCOMPARE(store.values[key], before);
        QCOMPARE(history.tasks().size(), 2);
    }

    void completionSurvivesAKilledProcess() {
        QTemporaryDir dir;
        QProcess child;
        child.start(QCoreApplication::applicationFilePath(), {u"--child-save"_s, dir.path()});
        QVERIFY(child.waitForFinished(60000));
        QCOMPARE(child.exitStatus(), QProcess::CrashExit);

        FilePreferencesStore store(dir.path());
        HistoryManager history(store);
        QCOMPARE(history.tasks().size(), 1);
        QCOMPARE(history.tasks().first().id(), childId);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{u"TaskHistoryData.json"_s});
    }
};

int main(int argc, char** argv) {
    if (argc == 3 && qstrcmp(argv[1], "--child-save") == 0) {
        QCoreApplication app(argc, argv);
        return saveThenDie(QString::fromLocal8Bit(argv[2]));
    }
    useTimeZone("UTC");
    QCoreApplication app(argc, argv);
    tst_HistoryManager test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_HistoryManager.moc"
