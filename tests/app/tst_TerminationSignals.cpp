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
};

QTEST_MAIN(tst_TerminationSignals)
#include "tst_TerminationSignals.moc"
