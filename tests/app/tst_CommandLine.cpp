#include "AppDelegate.h"
#include "Fakes.h"
#include "HistoryTestSupport.h"
#include "cli/TimeArgument.h"
#include "control/ControlNames.h"
#include "control/ControlService.h"
#include "kit/Popover.h"
#include "managers/ColorManager.h"
#include "managers/HistoryManager.h"
#include "managers/TimerManager.h"
#include "model/TaskEntryJson.h"
#include "statusitem/StatusItem.h"
#include "storage/HistoryFile.h"
#include "time/Clock.h"
#include "timer/MainContainerView.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <ctime>

using namespace Qt::StringLiterals;

namespace {

class QuietStatusItem final : public StatusItem {
public:
    QString title() const override { return m_title; }
    void setTitle(const QString& title) override { m_title = title; }
    QRect anchorRect() const override { return QRect(600, 0, 24, 24); }
    void setContextMenu(QMenu*) override {}
    void popUpContextMenu(const QPoint&) override {}
    bool opensMenuOnLeftClick() const override { return false; }

private:
    QString m_title;
};

// The running Hourlark the command line talks to: the real shell and control service, on the
// private bus, with the history in memory.
struct Running {
    MemoryPreferencesStore store;
    MemoryPreferencesStore colorStore;
    RecordingNotifier notifier;
    SystemClock clock;
    ColorManager colors{colorStore};
    AppDelegate delegate{store, notifier, clock, colors};
    std::unique_ptr<ControlService> service;

    Running() {
        delegate.applicationDidFinishLaunching(std::make_unique<QuietStatusItem>());
        publish();
    }
    ~Running() { withdraw(); }
    void publish() {
        service = std::make_unique<ControlService>(timer(), history(), clock);
        QObject::connect(service.get(), &ControlService::panelRequested, &delegate,
                         &AppDelegate::openPopover);
        QObject::connect(service.get(), &ControlService::historyRequested, &delegate,
                         &AppDelegate::openHistory);
        QVERIFY(service->publish(QDBusConnection::sessionBus()));
    }
    void withdraw() {
        QDBusConnection bus = QDBusConnection::sessionBus();
        bus.interface()->unregisterService(ControlNames::service);
        bus.unregisterObject(ControlNames::timerPath);
        bus.unregisterObject(ControlNames::historyPath);
        service.reset();
    }
    TimerManager& timer() { return *delegate.timerManager(); }
    HistoryManager& history() { return *delegate.historyManager(); }
};

struct Ran {
    int status = -1;
    QString out;
    QString err;
};

// How a row of the commands table finds the countdown before the command.
enum class Before { Fresh, Running, Stopped };

} // namespace

Q_DECLARE_METATYPE(Before)

namespace {

// Arguments written as one line, split on spaces; '' stands for an empty argument.
QStringList words(const QString& line) {
    QStringList list = line.split(u' ');
    list.replaceInStrings(QRegularExpression(u"^''$"_s), QString());
    return list;
}

// A row of the commands table. A failure without an `err` of its own says how to use the command.
void row(const QByteArray& name, Before before, const QString& line, int status,
         const QString& countdownAfter, int recorded = 0, const QString& out = {},
         QString err = {}) {
    const QStringList arguments = words(line);
    if (status == 1 && err.isEmpty())
        err = u"^hourlark %1: .+\n$"_s.arg(arguments.first());
    QTest::newRow(name.constData())
        << before << arguments << status << out << err << countdownAfter << recorded;
}

// Whether stderr is empty where nothing is expected, or matches the expected pattern.
bool errMatches(const QString& err, const QString& pattern) {
    return pattern.isEmpty() ? err.isEmpty() : QRegularExpression(pattern).match(err).hasMatch();
}

} // namespace

// The real `hourlark` binary against a running instance in this process, as a script or a
// keyboard shortcut would run it.
class tst_CommandLine final : public QObject {
    Q_OBJECT

    QTemporaryDir m_data;

    // Runs the program while this process keeps answering on the bus.
    Ran hourlark(const QStringList& arguments) {
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(u"XDG_DATA_HOME"_s, m_data.path());
        process.setProcessEnvironment(environment);
        process.start(QStringLiteral(HOURLARK_BINARY), arguments);
        if (!QTest::qWaitFor([&] { return process.state() == QProcess::NotRunning; }, 20000))
            process.kill();
        process.waitForFinished();
        return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
                QString::fromUtf8(process.readAllStandardOutput()),
                QString::fromUtf8(process.readAllStandardError())};
    }

    static void prepare(Running& running, Before before) {
        if (before == Before::Fresh)
            return;
        running.timer().setInitialTime(25);
        running.timer().setCustomText(u"Write"_s);
        running.timer().startTimer();
        running.timer().tick();
        if (before == Before::Stopped)
            running.timer().stopTimer();
    }

    QString historyFolder() const { return m_data.filePath(u"hourlark"_s); }

private slots:
    void initTestCase() {
        if (!QDBusConnection::sessionBus().isConnected())
            QSKIP("needs a private session bus: run under dbus-run-session");
        QVERIFY(m_data.isValid());
        qputenv("TZ", "Europe/Berlin");
        tzset();
    }

    void init() { QDir(historyFolder()).removeRecursively(); }

    void commands_data() {
        QTest::addColumn<Before>("before");
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("out");            // exact; "*" for anything
        QTest::addColumn<QString>("err");            // a pattern; empty for nothing
        QTest::addColumn<QString>("countdownAfter"); // "running|stopped title", as the model is
        QTest::addColumn<int>("recorded");
        const QString on = u"running 24:59 Write"_s;
        const QString off = u"stopped 24:59 Write"_s;

        row("start MINUTES NAME", Before::Fresh, u"start 25 Write"_s, 0, u"running 25:00 Write"_s);
        row("start resumes a stopped countdown", Before::Stopped, u"start"_s, 0, on);
        row("start with a name after --", Before::Fresh, u"start 5 -- -x-"_s, 0,
            u"running 05:00 -x-"_s);
        row("start while running", Before::Running, u"start 5"_s, 1, on);
        for (const char* minutes : {"0", "601", "abc", "''", "9999999999"})
            row(QByteArray("start ") + minutes, Before::Stopped,
                u"start "_s + QLatin1StringView(minutes), 1, off);
        row("stop", Before::Running, u"stop"_s, 0, off);
        row("toggle starts", Before::Stopped, u"toggle"_s, 0, on);
        row("reset", Before::Running, u"reset"_s, 0, u"stopped 30:00"_s);
        row("complete", Before::Running, u"complete"_s, 0, u"stopped 25:00 Write"_s, 1);
        row("stop with an argument", Before::Running, u"stop now"_s, 1, on);
        row("an unknown option", Before::Running, u"stop --soon"_s, 1, on);
        row("an unknown command", Before::Running, u"pause"_s, 1, on, 0, {},
            u"^hourlark: unknown command \"pause\"; .+\n$"_s);

        row("status", Before::Running, u"status"_s, 0, on, 0, u"24:59 Write\n"_s);
        row("status --format plain", Before::Fresh, u"status --format plain"_s, 0,
            u"stopped 30:00"_s, 0, u"30:00\n"_s);
        row("status --json", Before::Running, u"status --json"_s, 0, on, 0,
            uR"({"initial":1500,"name":"Write","remaining":1499,"running":true,)"
            uR"("title":"24:59 Write"})"
            u"\n"_s);
        row("status --format waybar", Before::Stopped, u"status --format=waybar"_s, 0, off, 0,
            uR"({"class":"stopped","percentage":0,"text":"24:59 Write",)"
            uR"("tooltip":"Write\nStopped: 24:59 left of 25:00"})"
            u"\n"_s);
        row("status in an unknown format", Before::Running, u"status --format i3bar"_s, 1, on);
        row("status in two formats", Before::Running, u"status --json --format=waybar"_s, 1, on);
        row("status --help", Before::Running, u"status --help"_s, 0, on, 0, u"*"_s);

        row("add", Before::Running, u"add Read 20"_s, 0, on, 1);
        row("add without a name", Before::Running, u"add '' 20"_s, 0, on, 1);
        row("add without minutes", Before::Running, u"add Read"_s, 1, on);
        row("add 0 minutes", Before::Running, u"add Read 0"_s, 1, on);
        row("add at a time that does not parse", Before::Running, u"add Read 20 --at yesterday"_s,
            1, on);
        row("add ending in the future", Before::Running, u"add Read 20 --at 2999-01-01T10:00"_s, 1,
            on);

        row("export with a date that does not parse", Before::Running,
            u"export --from 2026-02-30"_s, 1, on);
        row("export from after to", Before::Running, u"export --from 2026-03-02 --to 2026-03-01"_s,
            1, on);
        row("export in two formats", Before::Running, u"export --csv --json"_s, 1, on);
    }
    void commands() {
        QFETCH(Before, before);
        QFETCH(QStringList, arguments);
        QFETCH(QString, out);
        QFETCH(QString, err);
        Running running;
        prepare(running, before);

        const Ran ran = hourlark(arguments);
        QTEST(ran.status, "status");
        if (out != u"*")
            QCOMPARE(ran.out, out);
        QVERIFY2(errMatches(ran.err, err), qPrintable(ran.err));
        const QString state = (running.timer().isRunning() ? u"running "_s : u"stopped "_s) +
                              running.timer().statusTitle();
        QTEST(state, "countdownAfter");
        QTEST(int(running.history().tasks().size()), "recorded");
    }

    // A task the user forgot to time, added afterwards, is where every other completion is: in the
    // history (whose screen follows it, tst_HistoryView) and in the export.
    void addedCompletionShowsInHistoryAndExport() {
        Running running;
        const QString name = u"Review, \"draft\" 校正"_s;
        const QDateTime end = QDateTime::currentDateTime().addSecs(-3600);
        QCOMPARE(hourlark({u"show"_s}).status, 0);
        QVERIFY(running.delegate.popover()->isShown());
        QCOMPARE(running.delegate.mainContainerView()->currentView(),
                 MainContainerView::NavigationDestination::Settings);
        QCOMPARE(hourlark({u"history"_s}).status, 0);
        QCOMPARE(running.delegate.mainContainerView()->currentView(),
                 MainContainerView::NavigationDestination::History);

        const Ran added =
            hourlark({u"add"_s, name, u"45"_s, u"--at"_s, end.toString(u"yyyy-MM-ddTHH:mm:ss"_s)});
        QCOMPARE(added.status, 0);
        QCOMPARE(added.err, QString());
        const TaskEntry entry = running.history().tasks().value(0);
        QCOMPARE(entry.taskName(), name);
        QCOMPARE(entry.duration(), 45 * 60);
        QCOMPARE(entry.completionDate(), Instant::fromDateTime(end.addMSecs(-end.time().msec())));

        const Ran csv = hourlark({u"export"_s});
        QCOMPARE(csv.status, 0);
        const QString line = csv.out.split(u"\r\n"_s).value(1);
        QVERIFY2(line.contains(u",\"Review, \"\"draft\"\" 校正\","_s), qPrintable(line));
        QVERIFY(line.endsWith(u",2700,0:45:00"_s));
    }

    void exportWritesAFileInRange_data() {
        QTest::addColumn<QStringList>("range");
        QTest::addColumn<QStringList>("names");
        QTest::newRow("everything") << QStringList() << QStringList{u"a"_s, u"b"_s, u"c"_s};
        QTest::newRow("from a day")
            << QStringList{u"--from"_s, u"2026-03-02"_s} << QStringList{u"b"_s, u"c"_s};
        QTest::newRow("to a day, that day included")
            << QStringList{u"--to"_s, u"2026-03-02"_s} << QStringList{u"a"_s, u"b"_s};
        QTest::newRow("to a time, not included")
            << QStringList{u"--to"_s, u"2026-03-02T12:00+01:00"_s} << QStringList{u"a"_s};
    }
    void exportWritesAFileInRange() {
        QFETCH(QStringList, range);
        QFETCH(QStringList, names);
        const QList<TaskEntry> stored{
            entryAt(u"a"_s, 60, QDateTime(QDate(2026, 3, 1), QTime(23, 59))),
            entryAt(u"b"_s, 60, QDateTime(QDate(2026, 3, 2), QTime(12, 0))),
            entryAt(u"c"_s, 60, QDateTime(QDate(2026, 3, 3), QTime(0, 0)))};
        // Once from the running Hourlark, once from the file with none running.
        for (const bool live : {true, false}) {
            std::unique_ptr<Running> running;
            if (live) {
                running = std::make_unique<Running>();
                for (const TaskEntry& task : stored)
                    running->history().saveTask(task);
            } else {
                QVERIFY(QDir().mkpath(historyFolder()));
                QFile file(HistoryFile::path(historyFolder()));
                QVERIFY(file.open(QIODevice::WriteOnly));
                file.write(*encodeTaskHistory(stored));
            }
            const QString target = m_data.filePath(u"out.json"_s);
            const Ran ran =
                hourlark(QStringList{u"export"_s, u"--json"_s, u"-o"_s, target} + range);
            QCOMPARE(ran.status, 0);
            QCOMPARE(ran.out, QString());
            QFile file(target);
            QVERIFY(file.open(QIODevice::ReadOnly));
            QStringList exported;
            for (const TaskEntry& task :
                 decodeTaskHistory(file.readAll()).value_or(QList<TaskEntry>()))
                exported.append(task.taskName());
            QCOMPARE(exported, names);
        }
    }

    void withoutHourlark_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QByteArray>("file"); // the history file's contents; empty for none
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("err");
        // The private bus has no service files, so nothing can be started either.
        QTest::newRow("status") << words(u"status"_s) << QByteArray() << 69
                                << u"^hourlark status: Hourlark is not running\n$"_s;
        QTest::newRow("toggle") << words(u"toggle"_s) << QByteArray() << 69
                                << u"^hourlark toggle: Hourlark is not running and cannot be "
                                   u"started"_s;
        QTest::newRow("add") << words(u"add Read 5"_s) << QByteArray() << 69
                             << u"cannot be started"_s;
        QTest::newRow("bad arguments still come first")
            << words(u"start 0"_s) << QByteArray() << 1 << u"MINUTES"_s;
        QTest::newRow("export reads the file")
            << words(u"export"_s) << QByteArray() << 0 << QString();
        QTest::newRow("export of an unreadable file, left as it is")
            << words(u"export"_s) << "[{\"id\":"_ba << 1 << u"TaskHistoryData.json"_s;
    }
    void withoutHourlark() {
        QFETCH(QStringList, arguments);
        QFETCH(QByteArray, file);
        QFETCH(QString, err);
        QFile stored(HistoryFile::path(historyFolder()));
        if (!file.isEmpty()) {
            QVERIFY(QDir().mkpath(historyFolder()));
            QVERIFY(stored.open(QIODevice::WriteOnly));
            stored.write(file);
            stored.close();
        }
        const Ran ran = hourlark(arguments);
        QTEST(ran.status, "status");
        QVERIFY2(errMatches(ran.err, err), qPrintable(ran.err));
        if (!file.isEmpty()) {
            QVERIFY(stored.open(QIODevice::ReadOnly));
            QCOMPARE(stored.readAll(), file);
        }
    }

    void followPrintsALinePerChange_data() {
        QTest::addColumn<QString>("format");
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<bool>("stopShows"); // whether stopping changes the line
        QTest::newRow("plain") << u"plain"_s
                               << QStringList{u"30:00"_s,      u"01:00 Write"_s, u"00:59 Write"_s,
                                              u"00:59 Read"_s, QString(),        u"00:59 Read"_s}
                               << false;
        QTest::newRow("waybar")
            << u"waybar"_s
            << QStringList{uR"({"class":"stopped","percentage":0,"text":"30:00","tooltip":"Stopped: 30:00 left of 30:00"})"_s,
                           uR"({"class":"running","percentage":0,"text":"01:00 Write","tooltip":"Write\nRunning: 01:00 left of 01:00"})"_s,
                           uR"({"class":"running","percentage":1,"text":"00:59 Write","tooltip":"Write\nRunning: 00:59 left of 01:00"})"_s,
                           uR"({"class":"stopped","percentage":1,"text":"00:59 Write","tooltip":"Write\nStopped: 00:59 left of 01:00"})"_s,
                           uR"({"class":"stopped","percentage":1,"text":"00:59 Read","tooltip":"Read\nStopped: 00:59 left of 01:00"})"_s,
                           uR"({"class":"stopped","percentage":0,"text":"","tooltip":"Hourlark is not running"})"_s,
                           uR"({"class":"stopped","percentage":1,"text":"00:59 Read","tooltip":"Read\nStopped: 00:59 left of 01:00"})"_s}
            << true;
    }
    void followPrintsALinePerChange() {
        QFETCH(QString, format);
        QFETCH(QStringList, lines);
        QFETCH(bool, stopShows);
        Running running;
        QProcess follower;
        follower.start(QStringLiteral(HOURLARK_BINARY),
                       {u"status"_s, u"--follow"_s, u"--format"_s, format});
        QStringList seen;
        const auto expectLines = [&](qsizetype count) {
            const bool arrived = QTest::qWaitFor(
                [&] {
                    while (follower.canReadLine())
                        seen.append(QString::fromUtf8(follower.readLine()).chopped(1));
                    return seen.size() >= count;
                },
                10000);
            QVERIFY2(arrived, qPrintable(seen.join(u'|')));
            QCOMPARE(seen, lines.first(count));
        };
        expectLines(1);
        running.timer().setInitialTime(1);
        running.timer().setCustomText(u"Write"_s);
        running.timer().startTimer();
        // Hourlark's own second is held back: the next line is the follower's own count.
        running.timer().findChild<QTimer*>()->stop();
        expectLines(2);
        expectLines(3);
        running.timer().tick();
        // A change that does not show prints nothing: stopped, the plain title stays as it was.
        running.timer().stopTimer();
        qsizetype shown = stopShows ? 4 : 3;
        expectLines(shown);
        running.timer().setCustomText(u"Read"_s);
        expectLines(++shown);
        running.withdraw();
        expectLines(++shown);
        running.publish();
        expectLines(++shown);
        QTest::qWait(300);
        QVERIFY(!follower.canReadLine());
        follower.terminate();
        QVERIFY(follower.waitForFinished());
    }

    void timeArguments_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("start"); // ISO 8601 in UTC; empty when it does not parse
        QTest::addColumn<QString>("end");
        QTest::newRow("a day in winter")
            << u"2026-01-15"_s << u"2026-01-14T23:00:00Z"_s << u"2026-01-15T23:00:00Z"_s;
        QTest::newRow("the day clocks go forward, 23 hours")
            << u"2026-03-29"_s << u"2026-03-28T23:00:00Z"_s << u"2026-03-29T22:00:00Z"_s;
        QTest::newRow("a local time")
            << u"2026-07-01T14:30"_s << u"2026-07-01T12:30:00Z"_s << u"2026-07-01T12:30:00Z"_s;
        QTest::newRow("with a space and seconds")
            << u"2026-07-01 14:30:15"_s << u"2026-07-01T12:30:15Z"_s << u"2026-07-01T12:30:15Z"_s;
        QTest::newRow("in UTC") << u"2026-07-01T14:30Z"_s << u"2026-07-01T14:30:00Z"_s
                                << u"2026-07-01T14:30:00Z"_s;
        QTest::newRow("with an offset") << u"2026-07-01T14:30-05:30"_s << u"2026-07-01T20:00:00Z"_s
                                        << u"2026-07-01T20:00:00Z"_s;
        for (const QString& bad :
             {u"2026-02-30"_s, u"2026-7-1"_s, u"01.07.2026"_s, u"2026-07-01T25:00"_s,
              u"2026-07-01+01:00"_s, u"14:30"_s, u"2026-07-01T14:30+25:00"_s, u""_s, u"now"_s})
            QTest::addRow("not a date: '%s'", qPrintable(bad)) << bad << QString() << QString();
    }
    void timeArguments() {
        QFETCH(QString, text);
        QFETCH(QString, start);
        QFETCH(QString, end);
        const auto utc = [](const QString& iso) {
            return Instant::fromDateTime(QDateTime::fromString(iso, Qt::ISODate));
        };
        const std::optional<TimeArgument::Span> span = TimeArgument::parseDateOrTime(text);
        QCOMPARE(span.has_value(), !start.isEmpty());
        if (span) {
            QCOMPARE(span->start, utc(start));
            QCOMPARE(span->end, utc(end));
        }
    }

    void timeOfDayIsToday() {
        const QDate today(2026, 7, 1);
        QCOMPARE(TimeArgument::parseTime(u"14:30"_s, today),
                 std::optional(Instant::fromDateTime(QDateTime(today, QTime(14, 30)))));
        QCOMPARE(
            TimeArgument::parseTime(u"2026-06-30T23:59:30"_s, today),
            std::optional(Instant::fromDateTime(QDateTime(QDate(2026, 6, 30), QTime(23, 59, 30)))));
        QVERIFY(!TimeArgument::parseTime(u"2026-06-30"_s, today)); // a day is not a time
        QVERIFY(!TimeArgument::parseTime(u"24:00"_s, today));
    }
};

QTEST_MAIN(tst_CommandLine)
#include "tst_CommandLine.moc"
