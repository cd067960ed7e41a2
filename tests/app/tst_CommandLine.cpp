#include "AppDelegate.h"
#include "Fakes.h"
#include "HistoryTestSupport.h"
#include "cli/TimeArgument.h"
#include "control/ControlNames.h"
#include "control/ControlService.h"
#include "history/DaySection.h"
#include "history/HistoryView.h"
#include "history/MergedTaskRow.h"
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
        const QString any = u"*"_s;
        const QString usage = u"^hourlark %1: .+\n$"_s;
        const QString unchanged = u"running 24:59 Write"_s;

        QTest::newRow("start MINUTES NAME")
            << Before::Fresh << QStringList{u"start"_s, u"25"_s, u"Write"_s} << 0 << QString()
            << QString() << u"running 25:00 Write"_s << 0;
        QTest::newRow("start resumes a stopped countdown")
            << Before::Stopped << QStringList{u"start"_s} << 0 << QString() << QString()
            << unchanged << 0;
        QTest::newRow("start with leading zeros")
            << Before::Fresh << QStringList{u"start"_s, u"007"_s} << 0 << QString() << QString()
            << u"running 07:00"_s << 0;
        QTest::newRow("start with a name after --")
            << Before::Fresh << QStringList{u"start"_s, u"5"_s, u"--"_s, u"-x-"_s} << 0 << QString()
            << QString() << u"running 05:00 -x-"_s << 0;
        QTest::newRow("start cuts a long name")
            << Before::Fresh << QStringList{u"start"_s, u"5"_s, u"n"_s.repeated(45)} << 0
            << QString() << QString() << u"running 05:00 "_s + u"n"_s.repeated(40) << 0;
        QTest::newRow("start while running")
            << Before::Running << QStringList{u"start"_s, u"5"_s} << 1 << QString()
            << usage.arg(u"start"_s) << unchanged << 0;
        for (const QString& minutes :
             {u"0"_s, u"601"_s, u"abc"_s, u"-5"_s, u"2.5"_s, u""_s, u"99999999999999999999"_s})
            QTest::addRow("start %s", qPrintable(minutes.isEmpty() ? u"''"_s : minutes))
                << Before::Stopped << QStringList{u"start"_s, minutes} << 1 << QString()
                << usage.arg(u"start"_s) << u"stopped 24:59 Write"_s << 0;
        QTest::newRow("start with three arguments")
            << Before::Stopped << QStringList{u"start"_s, u"5"_s, u"Write"_s, u"more"_s} << 1
            << QString() << usage.arg(u"start"_s) << u"stopped 24:59 Write"_s << 0;
        QTest::newRow("stop") << Before::Running << QStringList{u"stop"_s} << 0 << QString()
                              << QString() << u"stopped 24:59 Write"_s << 0;
        QTest::newRow("toggle starts") << Before::Stopped << QStringList{u"toggle"_s} << 0
                                       << QString() << QString() << unchanged << 0;
        QTest::newRow("toggle stops") << Before::Running << QStringList{u"toggle"_s} << 0
                                      << QString() << QString() << u"stopped 24:59 Write"_s << 0;
        QTest::newRow("reset") << Before::Running << QStringList{u"reset"_s} << 0 << QString()
                               << QString() << u"stopped 30:00"_s << 0;
        QTest::newRow("complete") << Before::Running << QStringList{u"complete"_s} << 0 << QString()
                                  << QString() << u"stopped 25:00 Write"_s << 1;
        QTest::newRow("complete while stopped")
            << Before::Stopped << QStringList{u"complete"_s} << 1 << QString()
            << usage.arg(u"complete"_s) << u"stopped 24:59 Write"_s << 0;
        QTest::newRow("stop with an argument")
            << Before::Running << QStringList{u"stop"_s, u"now"_s} << 1 << QString()
            << usage.arg(u"stop"_s) << unchanged << 0;
        QTest::newRow("an unknown option")
            << Before::Running << QStringList{u"stop"_s, u"--soon"_s} << 1 << QString()
            << usage.arg(u"stop"_s) << unchanged << 0;
        QTest::newRow("an unknown command")
            << Before::Running << QStringList{u"pause"_s} << 1 << QString()
            << u"^hourlark: unknown command \"pause\"; .+\n$"_s << unchanged << 0;

        QTest::newRow("status") << Before::Running << QStringList{u"status"_s} << 0
                                << u"24:59 Write\n"_s << QString() << unchanged << 0;
        QTest::newRow("status --format plain")
            << Before::Fresh << QStringList{u"status"_s, u"--format"_s, u"plain"_s} << 0
            << u"30:00\n"_s << QString() << u"stopped 30:00"_s << 0;
        QTest::newRow("status --json")
            << Before::Running << QStringList{u"status"_s, u"--json"_s} << 0
            << uR"({"initial":1500,"name":"Write","remaining":1499,"running":true,)"
               uR"("title":"24:59 Write"})"
               u"\n"_s
            << QString() << unchanged << 0;
        QTest::newRow("status --format waybar")
            << Before::Stopped << QStringList{u"status"_s, u"--format=waybar"_s} << 0
            << uR"({"class":"stopped","percentage":0,"text":"24:59 Write",)"
               uR"("tooltip":"Write\nStopped: 24:59 left of 25:00"})"
               u"\n"_s
            << QString() << u"stopped 24:59 Write"_s << 0;
        QTest::newRow("status in an unknown format")
            << Before::Running << QStringList{u"status"_s, u"--format"_s, u"i3bar"_s} << 1
            << QString() << usage.arg(u"status"_s) << unchanged << 0;
        QTest::newRow("status in two formats")
            << Before::Running << QStringList{u"status"_s, u"--json"_s, u"--format=waybar"_s} << 1
            << QString() << usage.arg(u"status"_s) << unchanged << 0;
        QTest::newRow("status --help") << Before::Running << QStringList{u"status"_s, u"--help"_s}
                                       << 0 << any << QString() << unchanged << 0;

        QTest::newRow("add") << Before::Running << QStringList{u"add"_s, u"Read"_s, u"20"_s} << 0
                             << QString() << QString() << unchanged << 1;
        QTest::newRow("add without a name")
            << Before::Running << QStringList{u"add"_s, u""_s, u"20"_s} << 0 << QString()
            << QString() << unchanged << 1;
        QTest::newRow("add without minutes")
            << Before::Running << QStringList{u"add"_s, u"Read"_s} << 1 << QString()
            << usage.arg(u"add"_s) << unchanged << 0;
        QTest::newRow("add 0 minutes")
            << Before::Running << QStringList{u"add"_s, u"Read"_s, u"0"_s} << 1 << QString()
            << usage.arg(u"add"_s) << unchanged << 0;
        QTest::newRow("add at a time that does not parse")
            << Before::Running
            << QStringList{u"add"_s, u"Read"_s, u"20"_s, u"--at"_s, u"yesterday"_s} << 1
            << QString() << usage.arg(u"add"_s) << unchanged << 0;
        QTest::newRow("add ending in the future")
            << Before::Running
            << QStringList{u"add"_s, u"Read"_s, u"20"_s, u"--at"_s, u"2999-01-01T10:00"_s} << 1
            << QString() << usage.arg(u"add"_s) << unchanged << 0;

        QTest::newRow("export with a date that does not parse")
            << Before::Running << QStringList{u"export"_s, u"--from"_s, u"2026-02-30"_s} << 1
            << QString() << usage.arg(u"export"_s) << unchanged << 0;
        QTest::newRow("export from after to")
            << Before::Running
            << QStringList{u"export"_s, u"--from"_s, u"2026-03-02"_s, u"--to"_s, u"2026-03-01"_s}
            << 1 << QString() << usage.arg(u"export"_s) << unchanged << 0;
        QTest::newRow("export in two formats")
            << Before::Running << QStringList{u"export"_s, u"--csv"_s, u"--json"_s} << 1
            << QString() << usage.arg(u"export"_s) << unchanged << 0;
    }
    void commands() {
        QFETCH(Before, before);
        QFETCH(QStringList, arguments);
        QFETCH(QString, out);
        QFETCH(QString, err);
        QFETCH(QString, countdownAfter);
        QFETCH(int, recorded);
        Running running;
        prepare(running, before);

        const Ran ran = hourlark(arguments);
        QTEST(ran.status, "status");
        if (out != u"*")
            QCOMPARE(ran.out, out);
        if (err.isEmpty())
            QCOMPARE(ran.err, QString());
        else
            QVERIFY2(QRegularExpression(err).match(ran.err).hasMatch(), qPrintable(ran.err));
        const QString state = (running.timer().isRunning() ? u"running "_s : u"stopped "_s) +
                              running.timer().statusTitle();
        QCOMPARE(state, countdownAfter);
        QCOMPARE(running.history().tasks().size(), recorded);
    }

    void showOpensThePanelAndHistoryTheHistory() {
        Running running;
        QVERIFY(!running.delegate.popover()->isShown());
        QCOMPARE(hourlark({u"show"_s}).status, 0);
        QVERIFY(running.delegate.popover()->isShown());
        QCOMPARE(running.delegate.mainContainerView()->currentView(),
                 MainContainerView::NavigationDestination::Settings);
        QCOMPARE(hourlark({u"history"_s}).status, 0);
        QVERIFY(running.delegate.popover()->isShown());
        QCOMPARE(running.delegate.mainContainerView()->currentView(),
                 MainContainerView::NavigationDestination::History);
    }

    // The issue this exists for: a task the user forgot to time, added afterwards, is where every
    // other completion is: on the history screen at once, and in the export.
    void addedCompletionShowsInHistoryAndExport() {
        Running running;
        const QString name = u"Review, \"draft\" 校正"_s;
        const QDateTime end = QDateTime::currentDateTime().addSecs(-3600);
        QCOMPARE(hourlark({u"history"_s}).status, 0);
        auto* view = running.delegate.mainContainerView()->findChild<HistoryView*>();
        QVERIFY(view);

        const Ran added =
            hourlark({u"add"_s, name, u"45"_s, u"--at"_s, end.toString(u"yyyy-MM-ddTHH:mm:ss"_s)});
        QCOMPARE(added.status, 0);
        QCOMPARE(added.err, QString());

        const TaskEntry entry = running.history().tasks().value(0);
        QCOMPARE(entry.taskName(), name);
        QCOMPARE(entry.duration(), 45 * 60);
        QCOMPARE(entry.completionDate(), Instant::fromDateTime(end.addMSecs(-end.time().msec())));
        DaySection* day = nullptr;
        QTRY_VERIFY(day = view->revealDay(HistoryManager::startOfDay(entry.completionDate())));
        QTest::mouseClick(day->header(), Qt::LeftButton);
        QTRY_VERIFY(day->findChild<MergedTaskRow*>());
        QCOMPARE(shownText(day->findChild<MergedTaskRow*>(), u"name"_s), name);

        const Ran csv = hourlark({u"export"_s});
        QCOMPARE(csv.status, 0);
        const QStringList lines = csv.out.split(u"\r\n"_s);
        QCOMPARE(lines.value(0), u"id,task,start,end,completed,duration_seconds,duration"_s);
        QCOMPARE(lines.value(1).section(u',', 0, 0),
                 entry.id().toString(QUuid::WithoutBraces).toUpper());
        const QDateTime start = end.addSecs(-45 * 60);
        const QString startText = start.toString(u"yyyy-MM-ddTHH:mm:ss"_s) +
                                  (start.offsetFromUtc() == 3600 ? u"+01:00"_s : u"+02:00"_s);
        QVERIFY2(lines.value(1).contains(u",\"Review, \"\"draft\"\" 校正\","_s + startText + u','),
                 qPrintable(lines.value(1)));
        QVERIFY(lines.value(1).endsWith(u",2700,0:45:00"_s));

        const Ran json = hourlark({u"export"_s, u"--json"_s});
        QCOMPARE(json.status, 0);
        QCOMPARE(decodeTaskHistory(json.out.toUtf8()), std::optional(running.history().tasks()));
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
        QTest::newRow("one day") << QStringList{u"--from"_s, u"2026-03-02"_s, u"--to"_s,
                                                u"2026-03-02"_s}
                                 << QStringList{u"b"_s};
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
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("err");
        // The private bus has no service files, so nothing can be started either.
        QTest::newRow("status") << QStringList{u"status"_s} << 69
                                << u"^hourlark status: Hourlark is not running\n$"_s;
        QTest::newRow("status --json")
            << QStringList{u"status"_s, u"--json"_s} << 69 << u"not running"_s;
        QTest::newRow("toggle") << QStringList{u"toggle"_s} << 69
                                << u"^hourlark toggle: Hourlark is not running and cannot be "
                                   u"started"_s;
        QTest::newRow("add") << QStringList{u"add"_s, u"Read"_s, u"5"_s} << 69
                             << u"cannot be started"_s;
        QTest::newRow("bad arguments still come first")
            << QStringList{u"start"_s, u"0"_s} << 1 << u"MINUTES"_s;
        QTest::newRow("export reads the file") << QStringList{u"export"_s} << 0 << QString();
    }
    void withoutHourlark() {
        QFETCH(QStringList, arguments);
        QFETCH(QString, err);
        const Ran ran = hourlark(arguments);
        QTEST(ran.status, "status");
        if (err.isEmpty())
            QCOMPARE(ran.err, QString());
        else
            QVERIFY2(QRegularExpression(err).match(ran.err).hasMatch(), qPrintable(ran.err));
    }

    void exportOfAnUnreadableFileFails() {
        QVERIFY(QDir().mkpath(historyFolder()));
        QFile file(HistoryFile::path(historyFolder()));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("[{\"id\":");
        file.close();
        const Ran ran = hourlark({u"export"_s});
        QCOMPARE(ran.status, 1);
        QVERIFY2(ran.err.contains(u"TaskHistoryData.json"_s), qPrintable(ran.err));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), "[{\"id\":"_ba);
    }

    void followPrintsALinePerChange_data() {
        QTest::addColumn<QString>("format");
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("plain") << u"plain"_s
                               << QStringList{u"30:00"_s,       u"01:00 Write"_s, u"00:59 Write"_s,
                                              u"00:58 Write"_s, u"00:58 Read"_s,  QString(),
                                              u"00:58 Read"_s};
        QTest::newRow("waybar")
            << u"waybar"_s
            << QStringList{
                   uR"({"class":"stopped","percentage":0,"text":"30:00","tooltip":"Stopped: 30:00 left of 30:00"})"_s,
                   uR"({"class":"running","percentage":0,"text":"01:00 Write","tooltip":"Write\nRunning: 01:00 left of 01:00"})"_s,
                   uR"({"class":"running","percentage":1,"text":"00:59 Write","tooltip":"Write\nRunning: 00:59 left of 01:00"})"_s,
                   uR"({"class":"running","percentage":3,"text":"00:58 Write","tooltip":"Write\nRunning: 00:58 left of 01:00"})"_s,
                   uR"({"class":"running","percentage":3,"text":"00:58 Read","tooltip":"Read\nRunning: 00:58 left of 01:00"})"_s,
                   uR"({"class":"stopped","percentage":0,"text":"","tooltip":"Hourlark is not running"})"_s,
                   uR"({"class":"running","percentage":3,"text":"00:58 Read","tooltip":"Read\nRunning: 00:58 left of 01:00"})"_s};
    }
    void followPrintsALinePerChange() {
        QFETCH(QString, format);
        QFETCH(QStringList, lines);
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
        expectLines(2);
        running.timer().tick();
        expectLines(3);
        running.timer().tick();
        expectLines(4);
        running.timer().setCustomText(u"Read"_s);
        expectLines(5);
        // Changes that do not show print nothing: the next line is Hourlark going away.
        running.withdraw();
        expectLines(6);
        running.publish();
        expectLines(7);
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
