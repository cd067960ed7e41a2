#include "TimerWorld.h"
#include "control/TaskRules.h"
#include "control/TimerCommands.h"

#include <QTest>
#include <limits>
#include <optional>

using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(std::optional<qint64>)
Q_DECLARE_METATYPE(std::optional<QString>)
Q_DECLARE_METATYPE(TaskRules::PastCompletionProblem)

namespace {
const QString fortyLetters = u"abcdefghijklmnopqrstuvwxyzabcdefghijklmn"_s;
} // namespace

// What the control service and the command line do to the countdown must be what the panel's
// buttons do; these run the rules they share against a real countdown.
class tst_TimerCommands final : public QObject {
    Q_OBJECT

private slots:
    // The countdown was 25 minutes, named "Earlier", stopped with 12:34 left.
    void start_data() {
        QTest::addColumn<std::optional<qint64>>("minutes");
        QTest::addColumn<std::optional<QString>>("name");
        QTest::addColumn<qint64>("length");
        QTest::addColumn<qint64>("remaining");
        QTest::addColumn<QString>("customText");
        using Minutes = std::optional<qint64>;
        using Name = std::optional<QString>;
        QTest::newRow("nothing given resumes where it stopped")
            << Minutes() << Name() << 1500LL << 754LL << u"Earlier"_s;
        QTest::newRow("minutes start afresh at the full length")
            << Minutes(5) << Name() << 300LL << 300LL << u"Earlier"_s;
        QTest::newRow("the same minutes still restart the length")
            << Minutes(25) << Name() << 1500LL << 1500LL << u"Earlier"_s;
        QTest::newRow("0 becomes 1") << Minutes(0) << Name() << 60LL << 60LL << u"Earlier"_s;
        QTest::newRow("the largest integer becomes 600")
            << Minutes(std::numeric_limits<qint64>::max()) << Name() << 36000LL << 36000LL
            << u"Earlier"_s;
        // The panel's rules: controls dropped first, then cut at forty characters.
        QTest::newRow("a name replaces the old one, cleaned")
            << Minutes() << Name(u"\n"_s.repeated(5) + fortyLetters + u"X"_s) << 1500LL << 754LL
            << fortyLetters;
        QTest::newRow("an empty name clears it")
            << Minutes() << Name(QString()) << 1500LL << 754LL << QString();
    }
    void start() {
        QFETCH(std::optional<qint64>, minutes);
        QFETCH(std::optional<QString>, name);
        QFETCH(qint64, length);
        QFETCH(qint64, remaining);
        QFETCH(QString, customText);
        TimerWorld w;
        w.timer.setInitialTime(25);
        w.timer.setCustomText(u"Earlier"_s);
        w.timer.startTimer();
        w.tick(1500 - 754);
        w.timer.stopTimer();

        QVERIFY(TimerCommands::start(w.timer, minutes, name));
        QVERIFY(w.timer.isRunning());
        QCOMPARE(w.timer.initialTime(), length);
        QCOMPARE(w.timer.timeRemaining(), remaining);
        QCOMPARE(w.timer.customText(), customText);
        QTRY_COMPARE(w.status.title(), w.timer.statusTitle());
    }

    void startWhileRunningChangesNothing() {
        TimerWorld w;
        w.timer.setCustomText(u"Write"_s);
        w.timer.startTimer();
        w.tick(10);
        QVERIFY(!TimerCommands::start(w.timer, 5, u"Other"_s));
        QVERIFY(w.timer.isRunning());
        QCOMPARE(w.timer.initialTime(), 1800);
        QCOMPARE(w.timer.timeRemaining(), 1790);
        QCOMPARE(w.timer.customText(), u"Write"_s);
    }

    // Toggling stops and resumes where it stopped; resetting goes back to the defaults. Neither
    // records a completion.
    void toggleAndResetRecordNothing() {
        TimerWorld w;
        TimerCommands::start(w.timer, 5, u"Write"_s);
        w.tick(3);
        TimerCommands::toggle(w.timer);
        QVERIFY(!w.timer.isRunning());
        TimerCommands::toggle(w.timer);
        w.tick();
        QCOMPARE(w.timer.timeRemaining(), 296);
        TimerCommands::reset(w.timer);
        QVERIFY(!w.timer.isRunning());
        QCOMPARE(w.timer.initialTime(), TimerManager::defaultLength);
        QCOMPARE(w.timer.timeRemaining(), TimerManager::defaultLength);
        QCOMPARE(w.timer.customText(), QString());
        QVERIFY(w.history.tasks().isEmpty());
    }

    void complete_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("running");
        QTest::addColumn<QString>("recorded"); // empty: nothing is recorded
        QTest::newRow("named") << u"Write"_s << true << u"Write"_s;
        QTest::newRow("unnamed") << QString() << true << TaskRules::untitledName();
        QTest::newRow("stopped is refused") << u"Write"_s << false << QString();
    }
    void complete() {
        QFETCH(QString, name);
        QFETCH(bool, running);
        QFETCH(QString, recorded);
        TimerWorld w;
        QVERIFY(TimerCommands::start(w.timer, 10, name));
        w.tick(90);
        if (!running)
            TimerCommands::stop(w.timer);

        QCOMPARE(TimerCommands::complete(w.timer), running);
        QVERIFY(!w.timer.isRunning());
        if (recorded.isEmpty()) {
            QVERIFY(w.history.tasks().isEmpty());
            QCOMPARE(w.timer.timeRemaining(), 510); // a refused Complete leaves the countdown be
            return;
        }
        QCOMPARE(w.history.tasks().size(), 1);
        QCOMPARE(w.history.tasks().first().taskName(), recorded);
        QCOMPARE(w.history.tasks().first().duration(), 90);
        QCOMPARE(w.notifier.posted.size(), 1);
        QCOMPARE(w.timer.timeRemaining(), 600);
    }

    void pastCompletionCheck_data() {
        QTest::addColumn<qint64>("seconds");
        QTest::addColumn<double>("endFromNow");
        QTest::addColumn<TaskRules::PastCompletionProblem>("problem");
        using P = TaskRules::PastCompletionProblem;
        const double nan = std::numeric_limits<double>::quiet_NaN();
        const double inf = std::numeric_limits<double>::infinity();
        QTest::newRow("one second, ended now") << 1LL << 0.0 << P::None;
        QTest::newRow("600 minutes, a year ago") << 36000LL << -3.2e7 << P::None;
        QTest::newRow("zero seconds") << 0LL << -60.0 << P::Duration;
        QTest::newRow("one second over 600 minutes") << 36001LL << -60.0 << P::Duration;
        QTest::newRow("ends a second from now") << 60LL << 1.0 << P::EndInFuture;
        QTest::newRow("ends at no instant") << 60LL << nan << P::EndNotAnInstant;
        QTest::newRow("ends at the end of time") << 60LL << inf << P::EndNotAnInstant;
    }
    void pastCompletionCheck() {
        QFETCH(qint64, seconds);
        QFETCH(double, endFromNow);
        QFETCH(TaskRules::PastCompletionProblem, problem);
        const Instant now(786000000.5);
        QCOMPARE(TaskRules::checkPastCompletion(seconds, now.addingSeconds(endFromNow), now),
                 problem);
    }

    void pastCompletionEndsWhereItWasSaid_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("recorded");
        QTest::newRow("named") << u"Write"_s << u"Write"_s;
        QTest::newRow("only controls") << u"\n\t"_s << TaskRules::untitledName();
    }
    void pastCompletionEndsWhereItWasSaid() {
        QFETCH(QString, name);
        QFETCH(QString, recorded);
        const Instant end(786000000.25);
        const TaskEntry entry = TaskRules::pastCompletion(name, 1500, end);
        QCOMPARE(entry, TaskEntry(entry.id(), recorded, 1500, Instant(785998500.25), end, end));
        QVERIFY(!entry.id().isNull());
    }
};

QTEST_GUILESS_MAIN(tst_TimerCommands)
#include "tst_TimerCommands.moc"
