#include "model/HistoryExport.h"
#include "model/TaskEntryCsv.h"
#include "model/TaskEntryJson.h"
#include "storage/HistoryFile.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>
#include <ctime>
#include <limits>

using namespace Qt::StringLiterals;

namespace {

void useTimeZone(const char* zone) {
    qputenv("TZ", zone);
    tzset();
}

TaskEntry entry(const QString& name, qint64 duration, double completion) {
    return TaskEntry(QUuid::createUuid(), name, duration, Instant(completion - double(duration)),
                     Instant(completion), Instant(completion));
}

// One field of a CSV line whose fields need no quoting.
QString field(const QByteArray& line, int column) {
    return QString::fromUtf8(line.split(',').value(column)).remove(u'\r');
}

QString field(const QByteArray& csv, int line, int column) {
    return field(csv.split('\n').value(line), column);
}

// The ISO 8601 text of an instant as QDateTime gives it, with the offset always written out.
QString expectedLocal(double reference) {
    const qint64 unix = qint64(std::floor(reference)) + Instant::referenceUnixSeconds;
    const QDateTime local = QDateTime::fromSecsSinceEpoch(unix, Qt::LocalTime);
    const int offset = local.offsetFromUtc();
    return local.toString(u"yyyy-MM-ddTHH:mm:ss"_s) + (offset < 0 ? u'-' : u'+') +
           QTime(0, 0).addSecs(std::abs(offset)).toString(u"HH:mm"_s);
}

double reference(const QString& isoUtc) {
    return Instant::fromDateTime(QDateTime::fromString(isoUtc, Qt::ISODate))
        .secondsSinceReference();
}

} // namespace

class tst_HistoryExport final : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { useTimeZone("UTC"); }

    // Quoted exactly when a reader would otherwise split the name, with quotes doubled.
    void csvNamesAreQuotedWhenTheyMustBe_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("field");
        QTest::newRow("comma") << u"Write, edit"_s << u"\"Write, edit\""_s;
        QTest::newRow("quotes") << u"The \"final\" draft"_s << u"\"The \"\"final\"\" draft\""_s;
        QTest::newRow("line feed") << u"two\nlines"_s << u"\"two\nlines\""_s;
        QTest::newRow("carriage return") << u"old\rMac"_s << u"\"old\rMac\""_s;
        QTest::newRow("all of them") << u"\",\r\n\"\""_s << u"\"\"\",\r\n\"\"\"\"\""_s;
        QTest::newRow("emoji, unquoted")
            << u"\U0001F469\u200D\U0001F4BB code"_s << u"\U0001F469\u200D\U0001F4BB code"_s;
        QTest::newRow("leading and trailing spaces kept") << u"  padded  "_s << u"  padded  "_s;
    }
    void csvNamesAreQuotedWhenTheyMustBe() {
        QFETCH(QString, name);
        QFETCH(QString, field);
        const TaskEntry task = entry(name, 1500, 786000000);
        const QString id = task.id().toString(QUuid::WithoutBraces).toUpper();
        QVERIFY(QString::fromUtf8(encodeTaskCsv({task})).contains(id + u',' + field + u','));
    }

    void csvRowFields() {
        const TaskEntry task(QUuid::fromString(u"e621e1f8-c36c-495a-93fc-0c247a3e6e5f"_s),
                             u"Write"_s, 3725, Instant(reference(u"2026-12-06T09:00:00.75Z"_s)),
                             Instant(reference(u"2026-12-06T10:02:05.999Z"_s)),
                             Instant(reference(u"2026-12-06T10:02:06Z"_s)));
        QCOMPARE(encodeTaskCsv({task}).split('\n').value(0),
                 "id,task,start,end,completed,duration_seconds,duration\r");
        QCOMPARE(encodeTaskCsv({task}).split('\n').value(1),
                 "E621E1F8-C36C-495A-93FC-0C247A3E6E5F,Write,2026-12-06T09:00:00+00:00,"
                 "2026-12-06T10:02:05+00:00,2026-12-06T10:02:06+00:00,3725,1:02:05\r");
    }

    // The duration's two columns, and start times beyond what the format can write.
    void csvFields_data() {
        QTest::addColumn<qint64>("seconds");
        QTest::addColumn<double>("instant");
        QTest::addColumn<int>("column");
        QTest::addColumn<QString>("text");
        const qint64 lowest = std::numeric_limits<qint64>::min();
        QTest::newRow("zero") << 0LL << 1e6 << 6 << u"0:00:00"_s;
        QTest::newRow("over a day, not wrapped") << 90061LL << 1e6 << 6 << u"25:01:01"_s;
        QTest::newRow("negative, from a hand-edited file") << -65LL << 1e6 << 6 << u"-0:01:05"_s;
        QTest::newRow("most negative") << lowest << 1e6 << 6 << u"-2562047788015215:30:08"_s;
        QTest::newRow("most negative, seconds") << lowest << 1e6 << 5 << QString::number(lowest);
        QTest::newRow("year 1") << 1LL << reference(u"0001-01-02T00:00:00Z"_s) << 2
                                << u"0001-01-02T00:00:00+00:00"_s;
        QTest::newRow("year 9999")
            << 1LL << reference(u"9999-12-30T23:59:59Z"_s) << 2 << u"9999-12-30T23:59:59+00:00"_s;
        QTest::newRow("too early") << 1LL << -1e15 << 2 << QString();
        QTest::newRow("not a number")
            << 1LL << std::numeric_limits<double>::quiet_NaN() << 2 << QString();
    }
    void csvFields() {
        QFETCH(qint64, seconds);
        QFETCH(double, instant);
        QFETCH(int, column);
        const TaskEntry task(QUuid::createUuid(), u"x"_s, seconds, Instant(instant),
                             Instant(instant), Instant(instant));
        QTEST(field(encodeTaskCsv({task}), 1, column), "text");
    }

    // Offsets are looked up once per stretch between two transitions; every instant must still
    // carry the offset of its own moment, on either side of each change.
    void csvTimesCarryTheirOwnOffset_data() {
        QTest::addColumn<QByteArray>("zone");
        QTest::newRow("Berlin") << "Europe/Berlin"_ba;
        QTest::newRow("Lord Howe, half-hour shift") << "Australia/Lord_Howe"_ba;
        QTest::newRow("Kolkata, no changes") << "Asia/Kolkata"_ba;
        QTest::newRow("Apia, a skipped day") << "Pacific/Apia"_ba;
        QTest::newRow("POSIX rule") << "CET-1CEST,M3.5.0,M10.5.0/3"_ba;
    }
    void csvTimesCarryTheirOwnOffset() {
        QFETCH(QByteArray, zone);
        useTimeZone(zone.constData());
        // Every 20 minutes through two days around each change of 2011 and 2026, then back in
        // time to make the cache jump backwards.
        QList<TaskEntry> tasks;
        for (const QString& day :
             {u"2011-03-26"_s, u"2011-04-02"_s, u"2011-09-24"_s, u"2011-10-29"_s, u"2011-12-29"_s,
              u"2026-03-28"_s, u"2026-04-04"_s, u"2026-10-03"_s, u"2026-10-24"_s,
              u"2026-11-01"_s}) {
            for (int step = 0; step < 3 * 72; ++step)
                tasks.append(entry(u"t"_s, 0, reference(day + u"T00:00:00Z"_s) + step * 1200.0));
        }
        for (const QString& at : {u"1990-07-01T12:00:00Z"_s, u"2011-03-27T00:59:59Z"_s})
            tasks.append(entry(u"t"_s, 0, reference(at)));
        const QList<QByteArray> lines = encodeTaskCsv(tasks).split('\n');
        QCOMPARE(lines.size(), tasks.size() + 2); // the header, and nothing after the last \n
        for (qsizetype i = 0; i < tasks.size(); ++i) {
            const QString want = expectedLocal(tasks[i].completionDate().secondsSinceReference());
            if (field(lines[i + 1], 4) != want)
                QFAIL(
                    qPrintable(u"%1 reads %2, not %3"_s.arg(i).arg(field(lines[i + 1], 4), want)));
        }
    }

    void rangeSelection_data() {
        QTest::addColumn<double>("from");
        QTest::addColumn<double>("to");
        QTest::addColumn<QStringList>("names");
        const double inf = std::numeric_limits<double>::infinity();
        // Recorded in this order; "added" is a completion recorded later that happened earlier.
        QTest::newRow("everything, by time")
            << -inf << inf << QStringList{u"a"_s, u"added"_s, u"b"_s, u"c"_s, u"c-twin"_s};
        QTest::newRow("from includes its instant")
            << 200.0 << inf << QStringList{u"b"_s, u"c"_s, u"c-twin"_s};
        QTest::newRow("to excludes its instant")
            << -inf << 300.0 << QStringList{u"a"_s, u"added"_s, u"b"_s};
        QTest::newRow("empty range") << 300.0 << 300.0 << QStringList();
        QTest::newRow("reversed range") << 400.0 << 100.0 << QStringList();
    }
    void rangeSelection() {
        QFETCH(double, from);
        QFETCH(double, to);
        const QList<TaskEntry> history{entry(u"a"_s, 1, 100), entry(u"b"_s, 1, 200),
                                       entry(u"c"_s, 1, 300), entry(u"added"_s, 1, 150),
                                       entry(u"c-twin"_s, 1, 300)};
        QStringList selected;
        for (const TaskEntry& task : HistoryExport::select(history, {from, to}))
            selected.append(task.taskName());
        QTEST(selected, "names");
    }

    // Byte for byte the history file's own form, whose round trip is tst_TaskEntry's.
    void jsonExportIsTheStoredForm() {
        const QList<TaskEntry> history{entry(u"a, \"b\"\n日本"_s, 61, 61.1),
                                       entry(u"b"_s, 1500, 786000000.123456789)};
        QCOMPARE(HistoryExport::write(HistoryExport::Format::Json, history, {}),
                 encodeTaskHistory(history));
    }

    // Exporting while no Hourlark runs must not tidy up after it: a temporary of an interrupted
    // write stays for the next start to deal with, and an unreadable file stays as it is. Reading
    // a missing or a good file goes through `hourlark export` in the command line's test.
    void fileIsReadWithoutTouchingAnything() {
        QTemporaryDir folder;
        const QString path = HistoryFile::path(folder.path());
        QCOMPARE(QFileInfo(path).fileName(), u"TaskHistoryData.json"_s);
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write("[{\"id\":") == 7);
        file.close();
        QVERIFY(QFile(folder.filePath(u".TaskHistoryData.json.tmp"_s)).open(QIODevice::WriteOnly));
        const QStringList before = QDir(folder.path()).entryList(QDir::Files | QDir::Hidden);

        QString error;
        QVERIFY(!HistoryFile::read(path, &error));
        QVERIFY(!error.isEmpty());
        QCOMPARE(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden), before);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), "[{\"id\":"_ba);
    }
};

QTEST_GUILESS_MAIN(tst_HistoryExport)
#include "tst_HistoryExport.moc"
