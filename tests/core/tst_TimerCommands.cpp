#include "TimerWorld.h"
#include "control/TaskRules.h"
#include "control/TimerCommands.h"

#include <QTest>
#include <optional>

using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(std::optional<qint64>)
Q_DECLARE_METATYPE(std::optional<QString>)
Q_DECLARE_METATYPE(TaskRules::PastCompletionProblem)

// What the control service and the command line do to the countdown must be what the panel's
// buttons do; these run the rules they share against a real countdown.
class tst_TimerCommands final : public QObject {
    Q_OBJECT

private slots:
    // The countdown was 25 minutes, named "Earlier", stopped with 12:34 left. Refusals, Toggle,
    // Reset, Complete, clamping and cutting the name are driven through the control service's
    // table; these are the rules it cannot reach.
    void start_data() {
        QTest::addColumn<std::optional<qint64>>("minutes");
        QTest::addColumn<std::optional<QString>>("name");
        QTest::addColumn<qint64>("remaining");
        QTest::addColumn<QString>("customText");
        using Minutes = std::optional<qint64>;
        using Name = std::optional<QString>;
        QTest::newRow("resumes") << Minutes() << Name() << 754LL << u"Earlier"_s;
        QTest::newRow("same minutes restart") << Minutes(25) << Name() << 1500LL << u"Earlier"_s;
        QTest::newRow("empty name clears") << Minutes() << Name(QString()) << 754LL << QString();
    }
    void start() {
        QFETCH(std::optional<qint64>, minutes);
        QFETCH(std::optional<QString>, name);
        TimerWorld w;
        w.timer.setInitialTime(25);
        w.timer.setCustomText(u"Earlier"_s);
        w.timer.startTimer();
        w.tick(1500 - 754);
        w.timer.stopTimer();

        QVERIFY(TimerCommands::start(w.timer, minutes, name));
        QVERIFY(w.timer.isRunning());
        QCOMPARE(w.timer.initialTime(), 1500);
        QTEST(w.timer.timeRemaining(), "remaining");
        QTEST(w.timer.customText(), "customText");
        QTRY_COMPARE(w.status.title(), w.timer.statusTitle());
    }

    // The edges of what AddCompletion accepts; the refusals beyond them go through the control
    // service's table.
    void pastCompletionCheck_data() {
        QTest::addColumn<qint64>("seconds");
        QTest::addColumn<double>("endFromNow");
        QTest::addColumn<TaskRules::PastCompletionProblem>("problem");
        using P = TaskRules::PastCompletionProblem;
        QTest::newRow("one second, ended now") << 1LL << 0.0 << P::None;
        QTest::newRow("600 minutes, a year ago") << 36000LL << -3.2e7 << P::None;
        QTest::newRow("zero seconds") << 0LL << -60.0 << P::Duration;
        QTest::newRow("one second over 600 minutes") << 36001LL << -60.0 << P::Duration;
    }
    void pastCompletionCheck() {
        QFETCH(qint64, seconds);
        QFETCH(double, endFromNow);
        const Instant now(786000000.5);
        QTEST(TaskRules::checkPastCompletion(seconds, now.addingSeconds(endFromNow), now),
              "problem");
    }

    void pastCompletionOfOnlyControlsIsUntitled() {
        const Instant end(786000000.25);
        const TaskEntry entry = TaskRules::pastCompletion(u"\n\t"_s, 1500, end);
        QCOMPARE(entry, TaskEntry(entry.id(), TaskRules::untitledName(), 1500,
                                  Instant(785998500.25), end, end));
        QVERIFY(!entry.id().isNull());
    }
};

QTEST_GUILESS_MAIN(tst_TimerCommands)
#include "tst_TimerCommands.moc"
