#include "FileSizeLimit.h"
#include "managers/ColorManager.h"
#include "managers/HistoryManager.h"
#include "model/TaskEntryJson.h"
#include "storage/DurableFile.h"
#include "storage/PreferencesStore.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <sys/stat.h>

using namespace Qt::StringLiterals;

namespace {

QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(bytes), bytes.size());
}

int modeOf(const QString& path) {
    struct stat info {};
    return ::lstat(QFile::encodeName(path).constData(), &info) == 0 ? int(info.st_mode & 0777) : -1;
}

QStringList filesIn(const QString& folder) {
    return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
}

QList<TaskEntry> history(int count) {
    QList<TaskEntry> tasks;
    for (int i = 0; i < count; ++i) {
        const Instant end(786000000.0 + i * 3600);
        tasks << TaskEntry(QUuid::createUuid(), u"Task %1"_s.arg(i % 7), 1500,
                           end.addingSeconds(-1500), end, end);
    }
    return tasks;
}

QByteArray encoded(const QList<TaskEntry>& tasks) {
    QByteArray bytes;
    encodeTaskHistory(tasks, bytes);
    return bytes;
}

enum class Writer { File, History, Colors, KeptAside };

} // namespace

class tst_DurableFile final : public QObject {
    Q_OBJECT

private slots:
    // Sizes on both sides of the 16 KiB that used to sit in a write buffer until commit.
    void fullDiskLeavesEveryFileWhole_data() {
        QTest::addColumn<Writer>("writer");
        QTest::addColumn<int>("size");
        for (const int size : {100, 16384, 16385, 1 << 20})
            QTest::addRow("file, %d bytes", size) << Writer::File << size;
        for (const int entries : {40, 400})
            QTest::addRow("history of %d", entries) << Writer::History << entries;
        QTest::newRow("colour mappings") << Writer::Colors << 3;
        for (const int size : {8192, 40000})
            QTest::addRow("copy aside, %d bytes", size) << Writer::KeptAside << size;
    }
    void fullDiskLeavesEveryFileWhole() {
        QFETCH(Writer, writer);
        QFETCH(int, size);
        QTemporaryDir dir;
        const QString folder = dir.path();
        FilePreferencesStore store(folder);
        const QString path =
            store.pathFor(writer == Writer::Colors ? u"TaskColorMappings"_s : u"TaskHistoryData"_s);
        const QByteArray before = writer == Writer::File      ? QByteArray("the good value")
                                  : writer == Writer::History ? encoded(history(size))
                                  : writer == Writer::Colors  ? QByteArray(R"({"A":"blue"})")
                                                              : QByteArray(size, '?');
        writeFile(path, before);
        std::function<bool()> write = [&] { return store.keepAside(u"TaskHistoryData"_s); };
        if (writer == Writer::File) {
            write = [&] { return writeFileDurably(path, QByteArray(size, 'x')); };
        } else if (writer == Writer::History) {
            auto manager = std::make_shared<HistoryManager>(store);
            QCOMPARE(manager->tasks().size(), size);
            write = [manager] {
                manager->saveTask(history(1).constFirst());
                return !manager->storedValue().hasPendingWrite();
            };
        } else if (writer == Writer::Colors) {
            auto colors = std::make_shared<ColorManager>(store);
            write = [colors] {
                colors->colorForTask(u"C"_s);
                return !colors->storedValue().hasPendingWrite();
            };
        }
        const QStringList filesBefore = filesIn(folder);

        QVERIFY(![&] {
            const FileSizeLimit full(rlim_t(before.size() / 2 + 10));
            return write();
        }());
        QCOMPARE(readFile(path), before);
        QCOMPARE(filesIn(folder), filesBefore); // no short copy, no temporary left behind
    }

    void historyKeptInMemoryIsWrittenOnceTheDiskHasRoom() {
        QTemporaryDir dir;
        FilePreferencesStore store(dir.path());
        HistoryManager manager(store);
        const QList<TaskEntry> tasks = history(40);
        {
            FileSizeLimit full(1000);
            for (const TaskEntry& task : tasks)
                manager.saveTask(task);
        }
        QCOMPARE(manager.tasks().size(), 40);
        QVERIFY(manager.storedValue().hasPendingWrite());
        QVERIFY(manager.storedValue().problem().contains(u"File too large"_s));

        QVERIFY(manager.storedValue().flush());
        QCOMPARE(decodeTaskHistory(readFile(store.pathFor(u"TaskHistoryData"_s))), tasks);
        QVERIFY(manager.storedValue().problem().isEmpty());
    }

    void newFilesArePrivateExistingOnesKeepTheirPermissions() {
        QTemporaryDir dir;
        const QString folder = dir.filePath(u"share/hourlark"_s);
        QVERIFY(writeFileDurably(folder + u"/new.json"_s, "{}"));
        QCOMPARE(modeOf(folder), 0700);
        QCOMPARE(modeOf(dir.filePath(u"share"_s)), 0700);
        QCOMPARE(modeOf(folder + u"/new.json"_s), 0600);

        const QString mine = dir.filePath(u"mine"_s);
        QVERIFY(QDir().mkdir(mine));
        QVERIFY(::chmod(QFile::encodeName(mine).constData(), 0755) == 0);
        writeFile(mine + u"/shared.json"_s, "old");
        QVERIFY(::chmod(QFile::encodeName(mine + u"/shared.json"_s).constData(), 0644) == 0);
        QVERIFY(writeFileDurably(mine + u"/shared.json"_s, "new"));
        QCOMPARE(modeOf(mine), 0755);
        QCOMPARE(modeOf(mine + u"/shared.json"_s), 0644);
        QCOMPARE(readFile(mine + u"/shared.json"_s), QByteArray("new"));
    }

    void aSymlinkedFileIsReplacedWhereItLives() {
        QTemporaryDir dir;
        QVERIFY(QDir().mkdir(dir.filePath(u"data"_s)) && QDir().mkdir(dir.filePath(u"sync"_s)));
        const QString target = dir.filePath(u"sync/history.json"_s);
        const QString link = dir.filePath(u"data/history.json"_s);
        writeFile(target, "old");
        QVERIFY(QFile::link(target, link));

        QVERIFY(writeFileDurably(link, "new"));
        QVERIFY(QFileInfo(link).isSymLink());
        QCOMPARE(readFile(target), QByteArray("new"));
        QCOMPARE(filesIn(dir.filePath(u"sync"_s)), QStringList{u"history.json"_s});
    }

    void failuresReplaceNothing_data() {
        QTest::addColumn<QString>("setup");
        QTest::newRow("a file where the folder should be") << u"file-as-folder"_s;
        QTest::newRow("a folder where the file should be") << u"folder-as-file"_s;
        QTest::newRow("a dangling link into a missing folder") << u"dangling"_s;
        QTest::newRow("no folder at all") << u"relative"_s;
    }
    void failuresReplaceNothing() {
        QFETCH(QString, setup);
        QTemporaryDir dir;
        QString path = dir.filePath(u"value.json"_s);
        if (setup == u"file-as-folder"_s) {
            writeFile(dir.filePath(u"blocker"_s), "a file");
            path = dir.filePath(u"blocker/value.json"_s);
        } else if (setup == u"folder-as-file"_s) {
            QVERIFY(QDir().mkdir(path));
        } else if (setup == u"dangling"_s) {
            QVERIFY(QFile::link(dir.filePath(u"gone/value.json"_s), path));
        } else {
            path = u"value.json"_s;
        }
        QString error;
        QVERIFY(!writeFileDurably(path, "new", &error));
        QVERIFY2(!error.isEmpty(), qPrintable(setup));
        QVERIFY(!QFileInfo::exists(dir.filePath(u"gone"_s)));
        QVERIFY(!QFileInfo::exists(QDir::current().filePath(u"value.json"_s)));
        if (setup == u"folder-as-file"_s)
            QVERIFY(QFileInfo(path).isDir());
    }

    void interruptedSavesLeaveNothingBehind() {
        QTemporaryDir dir;
        const QStringList kept{u"TaskHistoryData.json"_s, u"TaskHistoryData.json.backup"_s,
                               u"TaskHistoryData.json.BACKUP"_s, u"notes.txt"_s,
                               u"other.json.AbC12"_s};
        for (const QString& name : kept)
            writeFile(dir.filePath(name), "mine");
        writeFile(dir.filePath(u"TaskHistoryData.json.aB3xYz.saving"_s), "half a history");
        writeFile(dir.filePath(u"TaskColorMappings.json.Q1w2E3"_s), "an earlier version's");

        FilePreferencesStore store(dir.path());
        QStringList expected = kept;
        expected.sort();
        QCOMPARE(filesIn(dir.path()), expected);
    }
};

QTEST_GUILESS_MAIN(tst_DurableFile)
#include "tst_DurableFile.moc"
