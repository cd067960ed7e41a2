#include "SingleInstance.h"

#include <QFile>
#include <QLocalServer>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <atomic>

using namespace Qt::StringLiterals;

class tst_SingleInstance final : public QObject {
    Q_OBJECT

    // A later launch blocks while it waits for the answer, so it runs on a thread of its own while
    // the first instance answers from this thread's event loop.
    static bool notifyFromAnotherThread(const QString& folder, QSignalSpy& openSpy) {
        std::atomic<int> result = -1;
        QThread* launch = QThread::create([&] {
            SingleInstance second(folder);
            result = second.notifyFirst(10000) ? 1 : 0;
        });
        launch->start();
        const bool answered = QTest::qWaitFor([&] { return result != -1; }, 20000);
        launch->wait();
        delete launch;
        return answered && result == 1 && openSpy.size() == 1;
    }

private slots:
    void secondLaunchAsksTheFirstToOpen() {
        QTemporaryDir folder;
        SingleInstance first(folder.path());
        QVERIFY(first.claim());
        QSignalSpy open(&first, &SingleInstance::openRequested);

        SingleInstance second(folder.path());
        QVERIFY(!second.claim());
        QVERIFY(notifyFromAnotherThread(folder.path(), open));
    }

    void nobodyAnswersWithoutAFirstInstance() {
        QTemporaryDir folder;
        SingleInstance lone(folder.path());
        QVERIFY(!lone.notifyFirst(300));
    }

    void leftoversOfACrashedInstanceDoNotBlock_data() {
        QTest::addColumn<bool>("staleLock");
        QTest::addColumn<bool>("staleSocket");
        QTest::newRow("lock of a dead process") << true << false;
        QTest::newRow("socket file without a process") << false << true;
    }
    void leftoversOfACrashedInstanceDoNotBlock() {
        QFETCH(bool, staleLock);
        QFETCH(bool, staleSocket);
        QTemporaryDir folder;
        if (staleLock) {
            // QLockFile's format: pid, application name, host name. No such process exists.
            QFile lock(folder.filePath(u"hourlark.lock"_s));
            QVERIFY(lock.open(QIODevice::WriteOnly));
            lock.write("2147483646\nhourlark\n\n");
        }
        if (staleSocket) {
            QFile socket(folder.filePath(u"hourlark.socket"_s));
            QVERIFY(socket.open(QIODevice::WriteOnly));
        }
        SingleInstance first(folder.path());
        QVERIFY(first.claim());
        QSignalSpy open(&first, &SingleInstance::openRequested);
        QVERIFY(notifyFromAnotherThread(folder.path(), open));
    }

    void theNextRunClaimsAfterTheFirstEnds() {
        QTemporaryDir folder;
        {
            SingleInstance first(folder.path());
            QVERIFY(first.claim());
        }
        SingleInstance next(folder.path());
        QVERIFY(next.claim());
    }
};

QTEST_MAIN(tst_SingleInstance)
#include "tst_SingleInstance.moc"
