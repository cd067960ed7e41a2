#include "TerminationSignals.h"

#include <QSignalSpy>
#include <QTest>
#include <csignal>

class tst_TerminationSignals final : public QObject {
    Q_OBJECT

private slots:
    void signalReachesTheEventLoop_data() {
        QTest::addColumn<int>("signalNumber");
        QTest::newRow("SIGTERM (logout, shutdown)") << SIGTERM;
        QTest::newRow("SIGINT (Ctrl+C)") << SIGINT;
        QTest::newRow("SIGHUP (terminal or session gone)") << SIGHUP;
    }
    void signalReachesTheEventLoop() {
        QFETCH(int, signalNumber);
        TerminationSignals watcher;
        QSignalSpy requested(&watcher, &TerminationSignals::terminationRequested);
        // Without the handler this would end the test process.
        QCOMPARE(std::raise(signalNumber), 0);
        QVERIFY(requested.wait(10000));
        QCOMPARE(requested.size(), 1);
        QCOMPARE(requested.first().first().toInt(), signalNumber);
        QVERIFY(watcher.received());
    }

    // Started under nohup, or in the background of a script: the signal was meant to pass us by.
    void signalIgnoredAtStartStaysIgnored() {
        struct sigaction ignore = {};
        ignore.sa_handler = SIG_IGN;
        struct sigaction before = {};
        QCOMPARE(::sigaction(SIGHUP, &ignore, &before), 0);
        {
            TerminationSignals watcher;
            QSignalSpy requested(&watcher, &TerminationSignals::terminationRequested);
            QCOMPARE(std::raise(SIGHUP), 0);
            QVERIFY(!requested.wait(200));
            QVERIFY(!watcher.received());
        }
        struct sigaction after = {};
        QCOMPARE(::sigaction(SIGHUP, &before, &after), 0);
        QVERIFY(after.sa_handler == SIG_IGN);
    }
};

QTEST_MAIN(tst_TerminationSignals)
#include "tst_TerminationSignals.moc"
