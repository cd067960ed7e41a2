#include "control/ControlNames.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusReply>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>

using namespace Qt::StringLiterals;

namespace {

struct Ran {
    int status = -1;
    QString out;
    QString err;
};

// Processes running the binary with the given argument, by their command lines.
QList<qint64> processesWith(const QString& argument) {
    QList<qint64> found;
    const QString binary = QFileInfo(QStringLiteral(HOURLARK_BINARY)).canonicalFilePath();
    for (const QString& entry : QDir(u"/proc"_s).entryList(QDir::Dirs)) {
        bool isPid = false;
        const qint64 pid = entry.toLongLong(&isPid);
        QFile cmdline(u"/proc/%1/cmdline"_s.arg(entry));
        if (!isPid || !cmdline.open(QIODevice::ReadOnly))
            continue;
        const QList<QByteArray> parts = cmdline.readAll().split('\0');
        if (QFileInfo(QString::fromLocal8Bit(parts.value(0))).canonicalFilePath() == binary &&
            (argument.isEmpty() ? parts.size() <= 2 : parts.contains(argument.toLocal8Bit())))
            found.append(pid);
    }
    return found;
}

} // namespace

// D-Bus activation through the service file, and the single-instance rule alongside it.
class tst_Activation final : public QObject {
    Q_OBJECT

    QTemporaryDir m_home;
    QProcess m_daemon;
    QString m_address;

    QProcessEnvironment environment() const {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(u"DBUS_SESSION_BUS_ADDRESS"_s, m_address);
        return environment;
    }

    Ran hourlark(const QStringList& arguments, int timeoutMs = 30000) {
        QProcess process;
        process.setProcessEnvironment(environment());
        process.start(QStringLiteral(HOURLARK_BINARY), arguments);
        if (!process.waitForFinished(timeoutMs))
            process.kill();
        process.waitForFinished();
        return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
                QString::fromUtf8(process.readAllStandardOutput()),
                QString::fromUtf8(process.readAllStandardError())};
    }

    QDBusConnection bus() { return QDBusConnection(u"activation-test"_s); }

    qint64 ownerPid() {
        const QDBusReply<uint> pid = bus().interface()->servicePid(ControlNames::service);
        return pid.isValid() ? qint64(pid.value()) : -1;
    }

    void endOwner() {
        const qint64 pid = ownerPid();
        if (pid <= 0)
            return;
        ::kill(pid_t(pid), SIGTERM);
        QTRY_VERIFY_WITH_TIMEOUT(!bus().interface()->isServiceRegistered(ControlNames::service),
                                 10000);
        QTRY_VERIFY_WITH_TIMEOUT(processesWith(QString()).isEmpty() &&
                                     processesWith(u"--dbus-activated"_s).isEmpty(),
                                 10000);
    }

private slots:
    void initTestCase() {
        QVERIFY(m_home.isValid());
        for (const char* folder : {"data", "config", "runtime", "bus"})
            QVERIFY(QDir(m_home.path()).mkpath(QString::fromLatin1(folder)));
        QFile::setPermissions(m_home.filePath(u"runtime"_s), QFileDevice::ReadOwner |
                                                                 QFileDevice::WriteOwner |
                                                                 QFileDevice::ExeOwner);
        // What the bus daemon hands on to the Hourlark it starts.
        qputenv("XDG_DATA_HOME", QFile::encodeName(m_home.filePath(u"data"_s)));
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_home.filePath(u"config"_s)));
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(m_home.filePath(u"runtime"_s)));
        qputenv("QT_QPA_PLATFORM", "offscreen");

        // The tests' private bus, with a services folder that holds this build's service file, so
        // a call to Hourlark's name starts this build's binary.
        QFile privateBus(QStringLiteral(HOURLARK_PRIVATE_BUS_CONFIG));
        QVERIFY(privateBus.open(QIODevice::ReadOnly));
        QByteArray text = privateBus.readAll();
        text.replace("</busconfig>",
                     "  <servicedir>" HOURLARK_SERVICES "</servicedir>\n</busconfig>");
        QFile config(m_home.filePath(u"bus.conf"_s));
        QVERIFY(config.open(QIODevice::WriteOnly));
        config.write(text);
        config.close();
        m_daemon.start(u"dbus-daemon"_s, {u"--nofork"_s, u"--print-address=1"_s, u"--config-file"_s,
                                          config.fileName()});
        if (!m_daemon.waitForStarted(5000))
            QSKIP("no dbus-daemon here");
        QVERIFY(m_daemon.waitForReadyRead(10000));
        m_address = QString::fromUtf8(m_daemon.readLine()).trimmed();
        QVERIFY(QDBusConnection::connectToBus(m_address, u"activation-test"_s).isConnected());
    }

    void cleanup() { endOwner(); }

    void cleanupTestCase() {
        QDBusConnection::disconnectFromBus(u"activation-test"_s);
        m_daemon.terminate();
        m_daemon.waitForFinished();
    }

    void aCommandStartsHourlark() {
        const Ran started = hourlark({u"start"_s, u"5"_s, u"Activated"_s});
        QCOMPARE(started.err, QString());
        QCOMPARE(started.status, 0);
        const QList<qint64> activated = processesWith(u"--dbus-activated"_s);
        QCOMPARE(activated, QList<qint64>{ownerPid()});

        const Ran status = hourlark({u"status"_s});
        QCOMPARE(status.status, 0);
        QVERIFY2(status.out.endsWith(u" Activated\n"_s), qPrintable(status.out));

        // Later calls go to the same Hourlark; a launch by hand asks it to open its panel.
        QCOMPARE(hourlark({u"stop"_s}).status, 0);
        QCOMPARE(hourlark({}).status, 0);
        QCOMPARE(processesWith(u"--dbus-activated"_s), activated);
        QCOMPARE(processesWith(QString()), QList<qint64>());
        // Started again with the option while one runs, it leaves that one be.
        QCOMPARE(hourlark({u"--dbus-activated"_s}, 10000).status, 0);
        QCOMPARE(ownerPid(), activated.value(0));
    }

    // A call that comes while Hourlark is still starting (it takes its name only once its status
    // item is up) makes the bus start a second one; that one finds the first's lock, waits until
    // the first owns the name, and leaves. The call reaches the first. The first is held still
    // between its lock and its name, so the call surely comes in between.
    void aCallDuringStartUpReachesTheFirst() {
        QProcess first;
        first.setProcessEnvironment(environment());
        first.start(QStringLiteral(HOURLARK_BINARY), QStringList());
        QVERIFY(first.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(m_home.filePath(u"runtime/hourlark.lock"_s)), 10000);
        ::kill(pid_t(first.processId()), SIGSTOP);
        QVERIFY(!bus().interface()->isServiceRegistered(ControlNames::service));

        QProcess call;
        call.setProcessEnvironment(environment());
        call.start(QStringLiteral(HOURLARK_BINARY), {u"start"_s, u"3"_s, u"Early"_s});
        QTRY_COMPARE_WITH_TIMEOUT(processesWith(u"--dbus-activated"_s).size(), 1, 10000);
        ::kill(pid_t(first.processId()), SIGCONT);

        QVERIFY(call.waitForFinished(30000));
        QCOMPARE(QString::fromUtf8(call.readAllStandardError()), QString());
        QCOMPARE(call.exitCode(), 0);
        QCOMPARE(ownerPid(), first.processId());
        QTRY_VERIFY_WITH_TIMEOUT(processesWith(u"--dbus-activated"_s).isEmpty(), 10000);
        QVERIFY2(hourlark({u"status"_s}).out.contains(u" Early"_s), "the first one got the call");
        QCOMPARE(first.state(), QProcess::Running);
    }
};

QTEST_GUILESS_MAIN(tst_Activation)
#include "tst_Activation.moc"
