#include "SingleInstance.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <atomic>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

// How a test lays out a candidate folder before the program looks at it.
enum class Folder {
    Missing,
    Private,      // ours, 0700
    OpenToOthers, // ours, 0755
    Symlink,      // a link to a private folder of ours
    OtherOwner,   // 0700, but someone else's (needs root to set up)
    File,         // not a folder at all
    Relative,     // a relative path (only as $XDG_RUNTIME_DIR)
};

enum class Chosen { Runtime, Own, None };

// Lays out `folder` at `path`; false (with the test skipped) when that needs root.
bool layOut(Folder folder, const QString& path, const QString& linkTarget) {
    const QByteArray native = QFile::encodeName(path);
    switch (folder) {
    case Folder::Missing:
    case Folder::Relative:
        return true;
    case Folder::Private:
        return ::mkdir(native.constData(), 0700) == 0 && ::chmod(native.constData(), 0700) == 0;
    case Folder::OpenToOthers:
        return ::mkdir(native.constData(), 0700) == 0 && ::chmod(native.constData(), 0755) == 0;
    case Folder::Symlink:
        return ::mkdir(QFile::encodeName(linkTarget).constData(), 0700) == 0 &&
               QFile::link(linkTarget, path);
    case Folder::OtherOwner:
        return ::mkdir(native.constData(), 0700) == 0 &&
               ::chown(native.constData(), 65534, 65534) == 0;
    case Folder::File: {
        QFile file(path);
        return file.open(QIODevice::WriteOnly);
    }
    }
    return false;
}

bool isPrivate(const QString& path) {
    struct stat info = {};
    return ::lstat(QFile::encodeName(path).constData(), &info) == 0 && S_ISDIR(info.st_mode) &&
           info.st_uid == ::geteuid() && (info.st_mode & 0777) == 0700;
}

} // namespace

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
    void init() {
        m_runtimeDir = qgetenv("XDG_RUNTIME_DIR");
        m_tmpDir = qgetenv("TMPDIR");
    }
    void cleanup() {
        qputenv("XDG_RUNTIME_DIR", m_runtimeDir);
        qputenv("TMPDIR", m_tmpDir);
    }

    void secondLaunchAsksTheFirstToOpen_data() {
        QTest::addColumn<bool>("staleLock");
        QTest::addColumn<bool>("staleSocket");
        QTest::newRow("empty folder") << false << false;
        QTest::newRow("lock of a dead process") << true << false;
        QTest::newRow("socket file without a process") << false << true;
    }
    void secondLaunchAsksTheFirstToOpen() {
        QFETCH(bool, staleLock);
        QFETCH(bool, staleSocket);
        QTemporaryDir folder;
        if (staleLock) {
            // QLockFile's format: pid, application name, host name. No such process exists.
            QFile lock(folder.filePath(u"hourlark.lock"_s));
            QVERIFY(lock.open(QIODevice::WriteOnly));
            lock.write("2147483646\nhourlark\n\n");
        }
        if (staleSocket)
            QVERIFY(QFile(folder.filePath(u"hourlark.socket"_s)).open(QIODevice::WriteOnly));
        SingleInstance first(folder.path());
        QVERIFY(first.claim());
        QSignalSpy open(&first, &SingleInstance::openRequested);
        QVERIFY(!SingleInstance(folder.path()).claim());
        QVERIFY(notifyFromAnotherThread(folder.path(), open));
    }

    // The lock and the socket decide who owns the history, so they only go where nobody else can
    // reach: $XDG_RUNTIME_DIR when it is ours alone, else a folder of our own in the temporary
    // folder, else nowhere.
    void folderIsOursAlone_data() {
        QTest::addColumn<Folder>("runtime");
        QTest::addColumn<Folder>("own");
        QTest::addColumn<Chosen>("chosen");
        QTest::newRow("runtime folder") << Folder::Private << Folder::Missing << Chosen::Runtime;
        QTest::newRow("no runtime folder") << Folder::Missing << Folder::Missing << Chosen::Own;
        QTest::newRow("own folder from an earlier run")
            << Folder::Missing << Folder::Private << Chosen::Own;
        QTest::newRow("runtime folder open to others")
            << Folder::OpenToOthers << Folder::Missing << Chosen::Own;
        QTest::newRow("runtime folder a symlink")
            << Folder::Symlink << Folder::Missing << Chosen::Own;
        QTest::newRow("runtime folder another user's")
            << Folder::OtherOwner << Folder::Missing << Chosen::Own;
        QTest::newRow("runtime folder a file") << Folder::File << Folder::Missing << Chosen::Own;
        QTest::newRow("runtime folder relative")
            << Folder::Relative << Folder::Missing << Chosen::Own;
        QTest::newRow("own folder open to others")
            << Folder::Missing << Folder::OpenToOthers << Chosen::None;
        QTest::newRow("own folder a symlink") << Folder::Missing << Folder::Symlink << Chosen::None;
        QTest::newRow("own folder another user's")
            << Folder::Missing << Folder::OtherOwner << Chosen::None;
    }
    void folderIsOursAlone() {
        QFETCH(Folder, runtime);
        QFETCH(Folder, own);
        QFETCH(Chosen, chosen);
        if ((runtime == Folder::OtherOwner || own == Folder::OtherOwner) && ::geteuid() != 0)
            QSKIP("giving a folder to another user needs root");
        QTemporaryDir root;
        QVERIFY(root.isValid());
        const QString runtimePath = root.filePath(u"runtime"_s);
        const QString tmp = root.filePath(u"tmp"_s);
        QVERIFY(QDir().mkpath(tmp));
        const QString ownPath = QDir(tmp).filePath(u"hourlark-%1"_s.arg(::geteuid()));
        QVERIFY(layOut(runtime, runtimePath, root.filePath(u"runtime-target"_s)));
        QVERIFY(layOut(own, ownPath, root.filePath(u"own-target"_s)));
        struct stat ownBefore = {};
        ::lstat(QFile::encodeName(ownPath).constData(), &ownBefore);

        if (runtime == Folder::Missing)
            qunsetenv("XDG_RUNTIME_DIR");
        else if (runtime == Folder::Relative)
            qputenv("XDG_RUNTIME_DIR", "runtime");
        else
            qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtimePath));
        qputenv("TMPDIR", QFile::encodeName(tmp));

        const QString expected[] = {runtimePath, ownPath, QString()};
        QCOMPARE(SingleInstance::defaultFolder(), expected[int(chosen)]);
        if (chosen == Chosen::Own)
            QVERIFY(isPrivate(ownPath));
        // Somebody else's folder is left exactly as it was.
        struct stat ownAfter = {};
        ::lstat(QFile::encodeName(ownPath).constData(), &ownAfter);
        if (chosen == Chosen::None)
            QVERIFY(ownAfter.st_mode == ownBefore.st_mode && ownAfter.st_uid == ownBefore.st_uid);
    }

    // Without a safe folder every launch runs on its own, at once, and nothing lands in '/'.
    void withoutAFolderEveryLaunchRuns() {
        const bool lockBefore = QFile::exists(u"/hourlark.lock"_s);
        const bool socketBefore = QFile::exists(u"/hourlark.socket"_s);
        // And the log says why a second launch may start another one.
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(u"No private folder"_s));
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(u"No private folder"_s));
        SingleInstance first{QString()};
        QVERIFY(first.claim());
        SingleInstance second{QString()};
        QVERIFY(second.claim());
        QElapsedTimer waited;
        waited.start();
        QVERIFY(!second.notifyFirst(5000));
        QVERIFY(waited.elapsed() < 1000);
        QCOMPARE(QFile::exists(u"/hourlark.lock"_s), lockBefore);
        QCOMPARE(QFile::exists(u"/hourlark.socket"_s), socketBefore);
    }

private:
    QByteArray m_runtimeDir;
    QByteArray m_tmpDir;
};

QTEST_MAIN(tst_SingleInstance)
#include "tst_SingleInstance.moc"
