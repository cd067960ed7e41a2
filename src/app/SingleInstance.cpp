#include "SingleInstance.h"

#include "AppLog.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QLocalSocket>
#include <QStandardPaths>
#include <QThread>
#include <algorithm>

namespace {

const QByteArray openMessage = QByteArrayLiteral("open\n");
const QByteArray acknowledgement = QByteArrayLiteral("ok\n");
constexpr int retryMs = 100;

} // namespace

SingleInstance::SingleInstance(const QString& folder, QObject* parent)
    : QObject(parent)
    , m_lock(folder + QStringLiteral("/hourlark.lock"))
    , m_socketPath(folder + QStringLiteral("/hourlark.socket")) {
    // Age never makes the lock stale; a lock whose process has died is taken over.
    m_lock.setStaleLockTime(0);
    m_server.setSocketOptions(QLocalServer::UserAccessOption);
    connect(&m_server, &QLocalServer::newConnection, this, &SingleInstance::onNewConnection);
}

SingleInstance::~SingleInstance() = default;

QString SingleInstance::defaultFolder() {
    return QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
}

bool SingleInstance::claim() {
    QDir().mkpath(QFileInfo(m_socketPath).absolutePath());
    if (!m_lock.tryLock(0))
        return false;
    // A socket left behind by a process that died belongs to nobody now; the lock says so.
    QLocalServer::removeServer(m_socketPath);
    if (!m_server.listen(m_socketPath))
        qCWarning(lcApp, "Cannot listen for later launches on %s: %s", qPrintable(m_socketPath),
                  qPrintable(m_server.errorString()));
    return true;
}

bool SingleInstance::notifyFirst(int timeoutMs) {
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
