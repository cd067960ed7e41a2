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
#include <QTimeZone>
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

// RFC 4180 read back the plain way, character by character, so the writer's quoting is checked by
// something that does not share its code.
QList<QStringList> parseCsv(const QByteArray& bytes) {
    const QString text = QString::fromUtf8(bytes);
    QList<QStringList> rows;
    QStringList row;
    QString field;
    bool quoted = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (quoted) {
            if (c == u'"' && i + 1 < text.size() && text[i + 1] == u'"') {
                field += u'"';
                ++i;
            } else if (c == u'"') {
                quoted = false;
            } else {
                field += c;
            }
        } else if (c == u'"') {
            quoted = true;
        } else if (c == u',') {
            row.append(field);
            field.clear();
        } else if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') {
            row.append(field);
            rows.append(row);
            row.clear();
            field.clear();
            ++i;
        } else {
            field += c;
        }
    }
    return rows;
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

    void csvNamesSurviveAReader_data() {
        QTest::addColumn<QString>("name");
        QTest::newRow("plain") << u"Write"_s;
        QTest::newRow("comma") << u"Write, edit"_s;
        QTest::newRow("quotes") << u"The \"final\" draft"_s;
        QTest::newRow("only a quote") << u"\""_s;
        QTest::newRow("line feed") << u"two\nlines"_s;
        QTest::newRow("carriage return") << u"old\r\nMac"_s;
        QTest::newRow("all of them") << u"\",\r\n\"\""_s;
        QTest::newRow("Japanese") << u"原稿を書く"_s;
        QTest::newRow("Arabic") << u"كتابة التقرير"_s;
        QTest::newRow("emoji") << u"\U0001F469\u200D\U0001F4BB code"_s;
        QTest::newRow("leading and trailing spaces") << u"  padded  "_s;
    }
    void csvNamesSurviveAReader() {
        QFETCH(QString, name);
        const QList<QStringList> rows =
            parseCsv(encodeTaskCsv({entry(name, 1500, 786000000), entry(u"next"_s, 60, 1)}));
        QCOMPARE(rows.size(), 3);
        QCOMPARE(rows[0], (QStringList{u"id"_s, u"task"_s, u"start"_s, u"end"_s, u"completed"_s,
                                       u"duration_seconds"_s, u"duration"_s}));
        QCOMPARE(rows[1].size(), 7);
        QCOMPARE(rows[1][1], name);
        QCOMPARE(rows[2][1], u"next"_s); // the row after it is not swallowed
    }

    void csvRowFields() {
        const TaskEntry task(QUuid::fromString(u"e621e1f8-c36c-495a-93fc-0c247a3e6e5f"_s),
                             u"Write"_s, 3725, Instant(reference(u"2026-12-06T09:00:00.75Z"_s)),
                             Instant(reference(u"2026-12-06T10:02:05.999Z"_s)),
                             Instant(reference(u"2026-12-06T10:02:06Z"_s)));
        QCOMPARE(encodeTaskCsv({task}).split('\n').value(1),
                 "E621E1F8-C36C-495A-93FC-0C247A3E6E5F,Write,2026-12-06T09:00:00+00:00,"
                 "2026-12-06T10:02:05+00:00,2026-12-06T10:02:06+00:00,3725,1:02:05\r");
    }

    void csvDuration_data() {
        QTest::addColumn<qint64>("seconds");
        QTest::addColumn<QString>("clock");
        QTest::newRow("zero") << 0LL << u"0:00:00"_s;
        QTest::newRow("59 s") << 59LL << u"0:00:59"_s;
        QTest::newRow("an hour") << 3600LL << u"1:00:00"_s;
        QTest::newRow("over a day, not wrapped") << 90061LL << u"25:01:01"_s;
        QTest::newRow("negative, from a hand-edited file") << -65LL << u"-0:01:05"_s;
        QTest::newRow("most negative")
            << std::numeric_limits<qint64>::min() << u"-2562047788015215:30:08"_s;
    }
    void csvDuration() {
        QFETCH(qint64, seconds);
        QFETCH(QString, clock);
        const QStringList row = parseCsv(encodeTaskCsv({entry(u"x"_s, seconds, 1e6)})).value(1);
        QCOMPARE(row.value(5), QString::number(seconds));
        QCOMPARE(row.value(6), clock);
    }

    // Offsets are looked up once per stretch between two transitions; every instant must still
    // carry the offset of its own moment, on either side of each change.
    void csvTimesCarryTheirOwnOffset_data() {
        QTest::addColumn<QByteArray>("zone");
        QTest::newRow("Berlin") << "Europe/Berlin"_ba;
        QTest::newRow("New York") << "America/New_York"_ba;
        QTest::newRow("Lord Howe, half-hour shift") << "Australia/Lord_Howe"_ba;
        QTest::newRow("Kolkata, no changes") << "Asia/Kolkata"_ba;
        QTest::newRow("Apia, a skipped day") << "Pacific/Apia"_ba;
        QTest::newRow("POSIX rule") << "CET-1CEST,M3.5.0,M10.5.0/3"_ba;
    }
    void csvTimesCarryTheirOwnOffset() {
        QFETCH(QByteArray, zone);
        useTimeZone(zone.constData());
        QList<TaskEntry> tasks;
        QStringList expected;
        // Every 20 minutes through two days around each change of 2011 and 2026, then back in
        // time to make the cache jump backwards.
        QList<double> instants;
        for (const QString& day :
             {u"2011-03-26"_s, u"2011-04-02"_s, u"2011-09-24"_s, u"2011-10-29"_s, u"2011-12-29"_s,
              u"2026-03-28"_s, u"2026-04-04"_s, u"2026-10-03"_s, u"2026-10-24"_s,
              u"2026-11-01"_s}) {
            const double start = reference(day + u"T00:00:00Z"_s);
            for (int step = 0; step < 3 * 72; ++step)
                instants.append(start + step * 1200.0);
        }
        instants.append(reference(u"1990-07-01T12:00:00Z"_s));
        instants.append(reference(u"2011-03-27T00:59:59Z"_s));
        for (const double at : instants) {
            tasks.append(entry(u"t"_s, 0, at));
            expected.append(expectedLocal(at));
        }
        const QList<QStringList> rows = parseCsv(encodeTaskCsv(tasks));
        QCOMPARE(rows.size(), tasks.size() + 1);
        for (qsizetype i = 0; i < tasks.size(); ++i) {
            if (rows[i + 1].value(4) != expected[i])
                QFAIL(qPrintable(
                    u"%1 reads %2, not %3"_s.arg(i).arg(rows[i + 1].value(4), expected[i])));
        }
    }

    void csvInstantsOutsideTheFormat_data() {
        QTest::addColumn<double>("instant");
        QTest::addColumn<QString>("text");
        QTest::newRow("year 1") << reference(u"0001-01-02T00:00:00Z"_s)
                                << u"0001-01-02T00:00:00+00:00"_s;
        QTest::newRow("year 9999")
            << reference(u"9999-12-30T23:59:59Z"_s) << u"9999-12-30T23:59:59+00:00"_s;
        QTest::newRow("too early") << -1e15 << QString();
        QTest::newRow("too late") << 1e15 << QString();
        QTest::newRow("not a number") << std::numeric_limits<double>::quiet_NaN() << QString();
    }
    void csvInstantsOutsideTheFormat() {
        QFETCH(double, instant);
        QFETCH(QString, text);
        const TaskEntry task(QUuid::createUuid(), u"x"_s, 1, Instant(instant), Instant(instant),
                             Instant(instant));
        QCOMPARE(parseCsv(encodeTaskCsv({task})).value(1).value(2), text);
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
        QFETCH(QStringList, names);
        const QList<TaskEntry> history{entry(u"a"_s, 1, 100), entry(u"b"_s, 1, 200),
                                       entry(u"c"_s, 1, 300), entry(u"added"_s, 1, 150),
                                       entry(u"c-twin"_s, 1, 300)};
        QStringList selected;
        for (const TaskEntry& task : HistoryExport::select(history, {from, to}))
            selected.append(task.taskName());
        QCOMPARE(selected, names);
    }

    void jsonExportIsTheStoredForm() {
        // Fractions that only survive an exact round trip.
        const QList<TaskEntry> history{TaskEntry(QUuid::createUuid(), u"a, \"b\"\n日本"_s, 61,
                                                 Instant(0.1), Instant(61.1),
                                                 Instant(61.10000000000001)),
                                       entry(u"b"_s, 1500, 786000000.123456789)};
        const std::optional<QByteArray> json =
            HistoryExport::write(HistoryExport::Format::Json, history, {});
        QVERIFY(json);
        QCOMPARE(*json, *encodeTaskHistory(history));
        QCOMPARE(decodeTaskHistory(*json), std::optional(history));
    }

    void jsonOfAnInstantThatIsNoNumberFails() {
        const QList<TaskEntry> history{TaskEntry(QUuid::createUuid(), u"x"_s, 1,
                                                 Instant(std::numeric_limits<double>::infinity()),
                                                 Instant(1), Instant(1))};
        QVERIFY(!HistoryExport::write(HistoryExport::Format::Json, history, {}));
        QVERIFY(HistoryExport::write(HistoryExport::Format::Csv, history, {}));
    }

    void formatNames_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("format"); // -1: none
        QTest::newRow("csv") << u"csv"_s << int(HistoryExport::Format::Csv);
        QTest::newRow("json") << u"json"_s << int(HistoryExport::Format::Json);
        QTest::newRow("upper case") << u"CSV"_s << -1;
        QTest::newRow("empty") << QString() << -1;
    }
    void formatNames() {
        QFETCH(QString, name);
        QFETCH(int, format);
        const auto found = HistoryExport::formatNamed(name);
        QCOMPARE(found ? int(*found) : -1, format);
    }

    // Exporting while no Hourlark runs must not tidy up after it: a temporary of an interrupted
    // write stays for the next start to deal with, and an unreadable file stays as it is.
    void fileIsReadWithoutTouchingAnything_data() {
        QTest::addColumn<QByteArray>("stored"); // empty: no file
        QTest::addColumn<int>("entries");       // -1: cannot be read
        QTest::newRow("no file yet") << QByteArray() << 0;
        QTest::newRow("a history") << *encodeTaskHistory({entry(u"a"_s, 60, 1000)}) << 1;
        QTest::newRow("unreadable") << "[{\"id\":"_ba << -1;
    }
    void fileIsReadWithoutTouchingAnything() {
        QFETCH(QByteArray, stored);
        QFETCH(int, entries);
        QTemporaryDir folder;
        const QString path = HistoryFile::path(folder.path());
        QCOMPARE(QFileInfo(path).fileName(), u"TaskHistoryData.json"_s);
        if (!stored.isEmpty()) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(stored);
        }
        QFile temporary(folder.filePath(u".TaskHistoryData.json.tmp"_s));
        QVERIFY(temporary.open(QIODevice::WriteOnly));
        temporary.close();
        const QStringList before = QDir(folder.path()).entryList(QDir::Files | QDir::Hidden);

        QString error;
        const std::optional<QList<TaskEntry>> tasks = HistoryFile::read(path, &error);
        QCOMPARE(tasks ? int(tasks->size()) : -1, entries);
        QCOMPARE(error.isEmpty(), entries >= 0);
        QCOMPARE(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden), before);
        if (!stored.isEmpty()) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::ReadOnly));
            QCOMPARE(file.readAll(), stored);
        }
    }
};

QTEST_GUILESS_MAIN(tst_HistoryExport)
#include "tst_HistoryExport.moc"
