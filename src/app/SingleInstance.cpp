#include "SingleInstance.h"

#include "AppLog.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocalSocket>
#include <QLockFile>
#include <QThread>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QByteArray openMessage = QByteArrayLiteral("open\n");
const QByteArray acknowledgement = QByteArrayLiteral("ok\n");
constexpr int retryMs = 100;

// Why `path` is not a folder that only this user can enter, or empty when it is. The last
// component is not followed: a link could be swapped for one to somebody else's folder.
QString unsafeBecause(const QString& path) {
    struct stat info = {};
    if (::lstat(QFile::encodeName(path).constData(), &info) != 0)
        return QString::fromLocal8Bit(std::strerror(errno));
    if (S_ISLNK(info.st_mode))
        return QStringLiteral("it is a symbolic link");
    if (!S_ISDIR(info.st_mode))
        return QStringLiteral("it is not a folder");
    if (info.st_uid != ::geteuid())
        return QStringLiteral("it belongs to user %1").arg(info.st_uid);
    if ((info.st_mode & 0777) != 0700)
        return QStringLiteral("its mode is %1, not 700").arg(info.st_mode & 0777, 0, 8);
    return {};
}

QString privateFolder(const QString& runtimeDir, const QString& tempRoot) {
    if (!runtimeDir.isEmpty()) {
        const QString problem = QDir::isAbsolutePath(runtimeDir)
                                    ? unsafeBecause(runtimeDir)
                                    : QStringLiteral("it is not an absolute path");
        if (problem.isEmpty())
            return runtimeDir;
        qCWarning(lcApp, "Not using XDG_RUNTIME_DIR %s: %s", qPrintable(runtimeDir),
                  qPrintable(problem));
    }
    // Named after the user id, like other programs' folders in a shared temporary folder, so that
    // every run of this user finds the same one.
    const QString own = QDir(tempRoot).filePath(QStringLiteral("hourlark-%1").arg(::geteuid()));
    const QByteArray native = QFile::encodeName(own);
    if (::mkdir(native.constData(), 0700) == 0) {
        // Just made by us, so the umask alone can have narrowed it.
        ::chmod(native.constData(), 0700);
    } else if (errno != EEXIST) {
        qCWarning(lcApp, "Cannot create %s: %s", qPrintable(own), std::strerror(errno));
        return {};
    }
    // Somebody else may have put it there first; then it is not ours to use or to repair.
    const QString problem = unsafeBecause(own);
    if (!problem.isEmpty()) {
        qCWarning(lcApp, "Not using %s: %s", qPrintable(own), qPrintable(problem));
        return {};
    }
    return own;
}

} // namespace

SingleInstance::SingleInstance(const QString& folder, QObject* parent)
    : QObject(parent) {
    if (!folder.isEmpty()) {
        m_lock = std::make_unique<QLockFile>(folder + QStringLiteral("/hourlark.lock"));
        m_socketPath = folder + QStringLiteral("/hourlark.socket");
        // Age never makes the lock stale; a lock whose process has died is taken over.
        m_lock->setStaleLockTime(0);
    }
    m_server.setSocketOptions(QLocalServer::UserAccessOption);
    connect(&m_server, &QLocalServer::newConnection, this, &SingleInstance::onNewConnection);
}

SingleInstance::~SingleInstance() = default;

QString SingleInstance::defaultFolder() {
    return privateFolder(qEnvironmentVariable("XDG_RUNTIME_DIR"), QDir::tempPath());
}

bool SingleInstance::claim() {
    if (!m_lock) {
        qCWarning(lcApp, "No private folder for the lock and socket: this Hourlark neither checks "
                         "for another one nor answers later launches.");
        return true;
    }
    QDir().mkpath(QFileInfo(m_socketPath).absolutePath());
    if (!m_lock->tryLock(0))
        return false;
    // A socket left behind by a process that died belongs to nobody now; the lock says so.
    QLocalServer::removeServer(m_socketPath);
    if (!m_server.listen(m_socketPath))
        qCWarning(lcApp, "Cannot listen for later launches on %s: %s", qPrintable(m_socketPath),
                  qPrintable(m_server.errorString()));
    return true;
}

bool SingleInstance::notifyFirst(int timeoutMs) {
    if (m_socketPath.isEmpty())
        return false;
    // The first instance may hold the lock but not listen yet, so keep trying until the deadline.
    const QDeadlineTimer deadline(timeoutMs);
    while (true) {
        QLocalSocket socket;
        socket.connectToServer(m_socketPath);
        if (socket.waitForConnected(int(std::max<qint64>(deadline.remainingTime(), 0)))) {
            socket.write(openMessage);
            while (!socket.canReadLine() && !deadline.hasExpired()) {
                if (!socket.waitForReadyRead(int(std::max<qint64>(deadline.remainingTime(), 0))))
                    break;
            }
            if (socket.canReadLine() && socket.readLine() == acknowledgement)
                return true;
        }
        if (deadline.hasExpired())
            return false;
        QThread::msleep(retryMs);
    }
}

void SingleInstance::onNewConnection() {
    while (QLocalSocket* socket = m_server.nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            if (!socket->canReadLine())
                return;
            if (socket->readLine() == openMessage) {
                socket->write(acknowledgement);
                socket->flush();
                emit openRequested();
            }
            socket->disconnectFromServer();
        });
    }
}
