#include "Fakes.h"
#include "storage/PreferencesStore.h"
#include "storage/StoredValue.h"

#include <QDir>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {
const QString key = u"Key"_s;
}

class tst_StoredValue final : public QObject {
    Q_OBJECT

private slots:
    // However often saving fails, the user hears once that it does and once that it works again.
    void oneProblemPerEpisode() {
        MemoryPreferencesStore store;
        StoredValue value(store, key);
        QSignalSpy started(&value, &StoredValue::problemStarted);
        QSignalSpy ended(&value, &StoredValue::problemEnded);

        store.failWrites = true;
        QVERIFY(!value.write("1"));
        QVERIFY(!value.write("2"));
        QVERIFY(!value.flush());
        QCOMPARE(started.size(), 1);
        QCOMPARE(started[0][0].toString(), u"Key.json"_s);
        QCOMPARE(started[0][1].toString(), u"No space left on device"_s);
        QVERIFY(value.hasPendingWrite());

        store.failWrites = false;
        QVERIFY(value.flush());
        QCOMPARE(store.values[key], QByteArray("2")); // the latest change, not the first
        QCOMPARE(ended.size(), 1);
        QVERIFY(value.write("3"));
        QCOMPARE(ended.size(), 1);

        store.failWrites = true;
        QVERIFY(!value.write("4"));
        QCOMPARE(started.size(), 2); // a new episode
    }

    void pendingChangeIsRetriedWithoutAnotherChange() {
        MemoryPreferencesStore store;
        StoredValue value(store, key);
        store.failWrites = true;
        QVERIFY(!value.write("kept"));
        store.failWrites = false;
        QTRY_COMPARE_WITH_TIMEOUT(store.values.value(key), QByteArray("kept"),
                                  StoredValue::firstRetryMs * 3);
        QVERIFY(!value.hasPendingWrite());
    }

    // Mode 000 or a folder in the file's place: present, unreadable, and never overwritten
    // before a copy of it exists.
    void unreadableFileIsReportedAndBlocksWritesUntilItCanBeCopied() {
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkdir(u"Key.json"_s));
        FilePreferencesStore store(dir.path());
        StoredValue value(store, key);
        QSignalSpy started(&value, &StoredValue::problemStarted);

        QCOMPARE(value.read(), std::optional<QByteArray>(QByteArray()));
        QCOMPARE(started.size(), 1);
        QVERIFY(value.problem().contains(dir.filePath(u"Key.json"_s)));
        QVERIFY(!value.write("new"));
        QVERIFY(QFileInfo(dir.filePath(u"Key.json"_s)).isDir());
        QCOMPARE(started.size(), 1);

        // Once the user has moved it out of the way, the pending change lands.
        QVERIFY(QDir(dir.path()).rmdir(u"Key.json"_s));
        QVERIFY(value.flush());
        QVERIFY(value.problem().isEmpty());
    }
};

QTEST_GUILESS_MAIN(tst_StoredValue)
#include "tst_StoredValue.moc"
