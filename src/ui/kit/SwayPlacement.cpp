#include "kit/SwayPlacement.h"

#include <QGuiApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <array>
#include <cstring>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace SwayPlacement {
namespace {

// i3's IPC framing, which sway speaks: a magic string, the payload's length and the message type,
// both in the machine's own byte order.
constexpr char magic[] = {'i', '3', '-', 'i', 'p', 'c'};
constexpr quint32 runCommand = 0;
constexpr quint32 getWorkspaces = 1;
constexpr qsizetype headerSize = sizeof(magic) + 2 * sizeof(quint32);

bool sendAll(int fd, const QByteArray& bytes) {
    qsizetype sent = 0;
    while (sent < bytes.size()) {
        const ssize_t n =
            ::send(fd, bytes.constData() + sent, size_t(bytes.size() - sent), MSG_NOSIGNAL);
        if (n <= 0)
            return false;
        sent += n;
    }
    return true;
}

bool receiveAll(int fd, char* into, qsizetype size) {
    qsizetype got = 0;
    while (got < size) {
        const ssize_t n = ::recv(fd, into + got, size_t(size - got), 0);
        if (n <= 0)
            return false;
        got += n;
    }
    return true;
}

// Sends one message over the socket at `socketPath` and returns sway's answer; null when there
// is none.
QJsonDocument request(const QString& socketPath, quint32 type, const QByteArray& payload) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const QByteArray path = socketPath.toLocal8Bit();
    if (path.isEmpty() || size_t(path.size()) >= sizeof(address.sun_path))
        return {};
    std::memcpy(address.sun_path, path.constData(), size_t(path.size()));

    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return {};
    // A stuck compositor must not stall the panel.
    const timeval wait{0, 200'000};
    ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &wait, sizeof(wait));
    ::setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &wait, sizeof(wait));

    QByteArray message(magic, sizeof(magic));
    const std::array<quint32, 2> lengthAndType{quint32(payload.size()), type};
    message.append(reinterpret_cast<const char*>(lengthAndType.data()), sizeof(lengthAndType));
    message.append(payload);

    QJsonDocument answer;
    std::array<char, headerSize> header{};
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) == 0 &&
        sendAll(fd, message) && receiveAll(fd, header.data(), headerSize) &&
        std::memcmp(header.data(), magic, sizeof(magic)) == 0) {
        quint32 length = 0;
        std::memcpy(&length, header.data() + sizeof(magic), sizeof(length));
        QByteArray reply(qsizetype(std::min<quint32>(length, 1 << 16)), '\0');
        if (length <= 1 << 16 && receiveAll(fd, reply.data(), reply.size()))
            answer = QJsonDocument::fromJson(reply);
    }
    ::close(fd);
    return answer;
}

} // namespace

bool wanted() {
    return QGuiApplication::platformName() == u"xcb" &&
           !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") &&
           !qEnvironmentVariableIsEmpty("SWAYSOCK");
}

QByteArray moveCommand(WId window, QPoint position) {
    return QStringLiteral("[id=%1] move absolute position %2 px %3 px")
        .arg(window)
        .arg(position.x())
        .arg(position.y())
        .toUtf8();
}

bool run(const QString& socketPath, const QByteArray& command) {
    // One result per command: [{"success": true}] or {"success": false, "error": ...}.
    const QJsonArray results = request(socketPath, runCommand, command).array();
    return !results.isEmpty() && results.first().toObject().value(u"success").toBool();
}

QRect usableArea(const QString& socketPath) {
    const QJsonArray workspaces = request(socketPath, getWorkspaces, {}).array();
    for (const QJsonValue& workspace : workspaces) {
        if (!workspace[u"focused"].toBool())
            continue;
        const QJsonValue rect = workspace[u"rect"];
        return QRect(rect[u"x"].toInt(), rect[u"y"].toInt(), rect[u"width"].toInt(),
                     rect[u"height"].toInt());
    }
    return {};
}

} // namespace SwayPlacement
