#include "Managers/HistoryManager.h"
#include "Managers/TimerManager.h"
#include "Platform/Clock.h"
#include "Platform/Notifier.h"
#include "Platform/PreferencesStore.h"
#include "Platform/StatusTitle.h"

#include <QSignalSpy>
#include <QTest>
#include <QTimer>

using namespace Qt::StringLiterals;

namespace {
class FakeStatusTitle final : public StatusTitle {
public:
    QString title() const override { return m_title; }
    void setTitle(const QString& title) override {
        m_title = title;
        ++writes;
    }
    int writes = 0;

private:
    QString m_title;
};

using Posted = RecordingNotifier::Posted;
const Posted autoCompleted{u"Countdown Complete!"_s, u"Your timer has finished."_s};
} // namespace

class TestTimerManager final : public QObject {
    Q_OBJECT

    // A fresh world per test: the clock only moves when a test advances it.
    struct World {
        MemoryPreferencesStore store;
        HistoryManager history{store};
        RecordingNotifier notifier;
        ManualClock clock;
        FakeStatusTitle status;
        TimerManager timer{&status, &history, notifier, clock};

        void tick(int times = 1) {
            for (int i = 0; i < times; ++i) {
                clock.advance(1);
                timer.tick();
            }
        }
    };

private slots:
    void freshModelShowsThirtyMinutesOnTheNextTurn() {
        World w;
        QCOMPARE(w.status.writes, 0); // deferred, never synchronous
        QTRY_COMPARE(w.status.title(), u"30:00"_s);
    }

    void oneMinuteCountdownCompletesOnTheSixtyFirstTick() {
        World w;
        w.timer.setInitialTime(1);
        w.timer.setCustomText(u"Write"_s);
        w.timer.startTimer();
        w.timer.updateDisplay();
        QTRY_COMPARE(w.status.title(), u"01:00 Write"_s);
        w.tick();
        QTRY_COMPARE(w.status.title(), u"00:59 Write"_s);
        w.tick(59);
        QTRY_COMPARE(w.status.title(), u"00:00 Write"_s);
        QVERIFY(w.timer.isRunning());
        QVERIFY(w.history.tasks().isEmpty());

        w.tick();
        QVERIFY(!w.timer.isRunning());
        QVERIFY(!w.timer.hasTickSource());
        QCOMPARE(w.history.tasks().size(), 1);
        const TaskEntry& entry = w.history.tasks().first();
        QCOMPARE(entry.duration(), 61);
        QCOMPARE(entry.taskName(), u"Write"_s);
        QCOMPARE(entry.startTime(), Instant(786000000.0));
        QCOMPARE(entry.endTime(), w.clock.now());
        QCOMPARE(entry.completionDate(), w.clock.now());
        QCOMPARE(w.notifier.posted, QList<Posted>{autoCompleted});
        QCOMPARE(w.timer.timeRemaining(), 60);
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
        QFETCH(qint64, recorded);
        World w;
        w.timer.startTimer();
        w.clock.advance(secondsBeforeStop);
        w.timer.stopTimer();
        w.clock.advance(secondsWhileStopped);
        w.timer.startTimer();
        w.clock.advance(secondsAfterRestart);
        w.timer.completeTask(false);
        QCOMPARE(w.history.tasks().size(), 1);
        QCOMPARE(w.history.tasks().first().duration(), recorded);
    }

    void stopThenStartResumesFromTheStoppedValue() {
        World w;
        w.timer.startTimer();
        w.tick(10);
        w.timer.stopTimer();
        QCOMPARE(w.timer.timeRemaining(), 1790);
        QVERIFY(!w.timer.hasTickSource());
        w.timer.startTimer();
        w.tick();
        QCOMPARE(w.timer.timeRemaining(), 1789);
    }

    void completeWhileIdleRecordsNothing() {
        World w;
        w.timer.startTimer();
        w.tick(5);
        w.timer.stopTimer();
        QTRY_COMPARE(w.status.title(), u"29:55"_s);
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
        World w;
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

    void manualCompletionOfAnUnnamedTask() {
        World w;
        w.timer.setInitialTime(25);
        w.timer.startTimer();
        w.tick(3);
        QTRY_COMPARE(w.status.title(), u"24:57"_s); // no trailing space without a name
        w.timer.completeTask(false);
        QCOMPARE(w.history.tasks().first().taskName(), u"Untitled Task"_s);
        const Posted manual{u"Task Completed!"_s, u"Untitled Task has been marked as complete."_s};
        QCOMPARE(w.notifier.posted, QList<Posted>{manual});
        QCOMPARE(w.timer.timeRemaining(), 1500);
        QTRY_COMPARE(w.status.title(), u"25:00"_s);
    }

    void spacesOnlyNameIsKept() {
        World w;
        w.timer.setCustomText(u"  "_s);
        w.timer.startTimer();
        w.timer.completeTask(false);
        QCOMPARE(w.history.tasks().first().taskName(), u"  "_s);
    }

    void resetRestoresThirtyMinutes() {
        World w;
        w.timer.setInitialTime(45);
        w.timer.setCustomText(u"Deep work"_s);
        w.timer.startTimer();
        w.tick(2);
        w.timer.resetTimer();
        QVERIFY(!w.timer.isRunning());
        QCOMPARE(w.timer.initialTime(), 1800);
        QCOMPARE(w.timer.customText(), QString());
        QTRY_COMPARE(w.status.title(), u"30:00"_s);
        QVERIFY(w.history.tasks().isEmpty());
    }

    void lengthChangeWhileRunningKeepsRunning() {
        World w;
        const QString name(40, u'x');
        w.timer.setCustomText(name);
        w.timer.startTimer();
        w.tick(5);
        w.timer.setInitialTime(600);
        QVERIFY(w.timer.isRunning());
        QCOMPARE(w.timer.initialTime(), 36000);
        QTRY_COMPARE(w.status.title(), u"600:00 "_s + name);
        w.tick();
        QCOMPARE(w.timer.timeRemaining(), 35999);
        w.timer.completeTask(false);
        QCOMPARE(w.history.tasks().first().duration(), 6); // since the start, not the length change
    }

    void oneTickSourceOnlyWhileRunning() {
        World w;
        QVERIFY(w.timer.findChildren<QTimer*>().isEmpty());
        w.timer.startTimer();
        w.timer.startTimer();
        const QList<QTimer*> timers = w.timer.findChildren<QTimer*>();
        QCOMPARE(timers.size(), 1);
        QCOMPARE(timers.first()->timerType(), Qt::PreciseTimer);
        QCOMPARE(timers.first()->interval(), 1000);
        QVERIFY(timers.first()->isActive());
        w.timer.stopTimer();
        QTRY_VERIFY(w.timer.findChildren<QTimer*>().isEmpty());
    }

    void realTimerTicks() {
        World w;
        w.timer.startTimer();
        QTRY_COMPARE_WITH_TIMEOUT(w.timer.timeRemaining(), 1799, 10000);
    }

    void signalsOnlyOnChange() {
        World w;
        QSignalSpy remaining(&w.timer, &TimerManager::timeRemainingChanged);
        QSignalSpy running(&w.timer, &TimerManager::isRunningChanged);
        QSignalSpy text(&w.timer, &TimerManager::customTextChanged);
        QSignalSpy initial(&w.timer, &TimerManager::initialTimeChanged);
        w.timer.setInitialTime(30);
        w.timer.setCustomText(QString());
        w.timer.stopTimer();
        QCOMPARE(remaining.size() + running.size() + text.size() + initial.size(), 0);
        w.timer.startTimer();
        w.timer.startTimer();
        w.tick();
        w.timer.setCustomText(u"a"_s);
        w.timer.setCustomText(u"a"_s);
        QCOMPARE(running.size(), 1);
        QCOMPARE(remaining.size(), 1);
        QCOMPARE(text.size(), 1);
        QCOMPARE(initial.size(), 0);
    }

    void completesWithoutStatusItemOrHistory() {
        RecordingNotifier notifier;
        ManualClock clock;
        TimerManager timer(nullptr, nullptr, notifier, clock);
        timer.startTimer();
        clock.advance(1);
        timer.completeTask(true);
        QCOMPARE(notifier.posted, QList<Posted>{autoCompleted});
        QCOMPARE(timer.timeRemaining(), 1800);
    }

    void deferredWriteSurvivesItsTargetsGoing() {
        RecordingNotifier notifier;
        ManualClock clock;
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

QTEST_GUILESS_MAIN(TestTimerManager)
#include "tst_TimerManager.moc"
