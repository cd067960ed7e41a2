#include "Fakes.h"
#include "TimerWorld.h"

#include <QTest>
#include <QTimer>

using namespace Qt::StringLiterals;

namespace {
using Posted = RecordingNotifier::Posted;
const Posted autoCompleted{u"Countdown Complete!"_s, u"Your timer has finished."_s};
} // namespace

class tst_TimerManager final : public QObject {
    Q_OBJECT

private slots:
    void oneMinuteCountdownCompletesOnTheSixtyFirstTick() {
        TimerWorld w;
        w.timer.setInitialTime(1);
        w.timer.setCustomText(u"Write"_s);
        w.timer.startTimer();
        w.tick(60);
        QTRY_COMPARE(w.status.title(), u"00:00 Write"_s);
        QVERIFY(w.timer.isRunning());
        QVERIFY(w.history.tasks().isEmpty());

        w.tick();
        QVERIFY(!w.timer.isRunning());
        QVERIFY(!w.timer.hasTickSource());
        const TaskEntry expected(w.history.tasks().value(0).id(), u"Write"_s, 61,
                                 Instant(786000000.0), w.clock.now(), w.clock.now());
        QCOMPARE(w.history.tasks(), QList<TaskEntry>{expected});
        QCOMPARE(w.notifier.posted, QList<Posted>{autoCompleted});
        QCOMPARE(w.timer.customText(), u"Write"_s);
        QTRY_COMPARE(w.status.title(), u"01:00 Write"_s);
    }

    void recordedDuration_data() {
        QTest::addColumn<double>("secondsBeforeStop");
        QTest::addColumn<double>("secondsWhileStopped");
        QTest::addColumn<double>("secondsAfterRestart");
        QTest::addColumn<qint64>("recorded");
        QTest::newRow("counts only from the last start") << 100.0 << 500.0 << 30.7 << qint64(30);
        QTest::newRow("truncated, not rounded") << 0.0 << 0.0 << 1.999 << qint64(1);
        QTest::newRow("clock set back records zero") << 0.0 << 0.0 << -3600.0 << qint64(0);
    }
    void recordedDuration() {
        QFETCH(double, secondsBeforeStop);
        QFETCH(double, secondsWhileStopped);
        QFETCH(double, secondsAfterRestart);
        TimerWorld w;
        w.timer.startTimer();
        w.clock.advance(secondsBeforeStop);
        w.timer.stopTimer();
        w.clock.advance(secondsWhileStopped);
        w.timer.startTimer();
        w.clock.advance(secondsAfterRestart);
        w.timer.completeTask(false);
        QCOMPARE(w.history.tasks().size(), 1);
        QTEST(w.history.tasks().first().duration(), "recorded");
    }

    void completeWhileIdleRecordsNothing() {
        TimerWorld w;
        w.timer.startTimer();
        w.tick(5);
        w.timer.stopTimer();
        QTRY_COMPARE(w.status.title(), u"29:55"_s);
        QCoreApplication::processEvents(); // the stop's own write
        const int writes = w.status.writes;
        w.timer.completeTask(false);
        w.timer.completeTask(true);
        QVERIFY(w.history.tasks().isEmpty());
        QVERIFY(w.notifier.posted.isEmpty());
        QCOMPARE(w.timer.timeRemaining(), 1795);
        QCoreApplication::processEvents();
        QCOMPARE(w.status.writes, writes);
    }

    void stopDuringZeroThenStartCompletesOnTheNextTick() {
        TimerWorld w;
        w.timer.setInitialTime(1);
        w.timer.startTimer();
        w.tick(60);
        w.timer.stopTimer();
        w.timer.startTimer();
        w.tick();
        QCOMPARE(w.history.tasks().size(), 1);
        QCOMPARE(w.history.tasks().first().duration(), 1);
        QCOMPARE(w.notifier.posted, QList<Posted>{autoCompleted});
    }

    void manualCompletion_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("recorded");
        QTest::addColumn<QString>("title"); // after three seconds
        QTest::newRow("unnamed") << QString() << u"Untitled Task"_s << u"24:57"_s;
        QTest::newRow("spaces only are a name") << u"  "_s << u"  "_s << u"24:57   "_s;
    }
    void manualCompletion() {
        QFETCH(QString, name);
        QFETCH(QString, recorded);
        QFETCH(QString, title);
        TimerWorld w;
        w.timer.setInitialTime(25);
        w.timer.setCustomText(name);
        w.timer.startTimer();
        w.tick(3);
        QTRY_COMPARE(w.status.title(), title);
        w.timer.completeTask(false);
        QCOMPARE(w.history.tasks().first().taskName(), recorded);
        const Posted manual{u"Task Completed!"_s, recorded + u" has been marked as complete."_s};
        QCOMPARE(w.notifier.posted, QList<Posted>{manual});
        QCOMPARE(w.timer.timeRemaining(), 1500);
        QTRY_COMPARE(w.status.title(), title.replace(u"24:57"_s, u"25:00"_s));
    }

    void oneRealTickSourceOnlyWhileRunning() {
        TimerWorld w;
        QVERIFY(w.timer.findChildren<QTimer*>().isEmpty());
        w.timer.startTimer();
        w.timer.startTimer();
        QCOMPARE(w.timer.findChildren<QTimer*>().size(), 1);
        QTRY_COMPARE_WITH_TIMEOUT(w.timer.timeRemaining(), 1799, 10000);
        w.timer.stopTimer();
        QTRY_VERIFY(w.timer.findChildren<QTimer*>().isEmpty());
    }

    void survivesMissingOrDeletedTargets() {
        RecordingNotifier notifier;
        ManualClock clock;
        TimerManager alone(nullptr, nullptr, notifier, clock);
        alone.startTimer();
        clock.advance(1);
        alone.completeTask(true);
        QCOMPARE(notifier.posted, QList<Posted>{autoCompleted});
        QCOMPARE(alone.timeRemaining(), 1800);

        auto* status = new FakeStatusTitle;
        auto* timer = new TimerManager(status, nullptr, notifier, clock);
        delete status; // the item goes before the queued write runs
        timer->updateDisplay();
        QCoreApplication::processEvents();
        timer->updateDisplay();
        delete timer; // and the model too
        QCoreApplication::processEvents();
    }
};

QTEST_GUILESS_MAIN(tst_TimerManager)
#include "tst_TimerManager.moc"
