#include "notifications/DBusNotifier.h"

#include "DesktopLog.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QObject>
#include <QVariantMap>
#include <QtDebug>
#include <utility>

#ifdef HOURLARK_HAVE_CANBERRA
#include <canberra.h>
#endif

namespace {

const QString service = QStringLiteral("org.freedesktop.Notifications");
const QString path = QStringLiteral("/org/freedesktop/Notifications");
const QString interface = QStringLiteral("org.freedesktop.Notifications");

// The desktop entry's name and icon, so the server can group and decorate our notifications.
const QString appId = QStringLiteral("hourlark");

// The freedesktop sound naming's "complete" (an operation or task has finished) is the event;
// "message-new-instant" would make a countdown sound like a chat message.
constexpr const char* eventSound = "complete";

} // namespace

struct DBusNotifier::Private {
    explicit Private(QDBusConnection connection)
        : bus(std::move(connection)) {}

    void send(const QDBusMessage& message,
              const std::function<void(const QDBusPendingCallWatcher&)>& answered);
    void reportOnce(const QString& problem);
    void askCapabilities();
    void playSound();

    QDBusConnection bus;
    // Owns the watchers; its destruction drops answers still on their way to a notifier that is
    // gone.
    QObject context;
    std::function<void()> soundPlayer;
    int pending = 0;

    enum class Capabilities { Unknown, Asking, Known } capabilities = Capabilities::Unknown;
    bool serverPlaysSound = false;
    bool soundWaiting = false;
    bool errorReported = false;

#ifdef HOURLARK_HAVE_CANBERRA
    ca_context* canberra = nullptr;
    bool soundUnavailable = false;
#endif
};

DBusNotifier::DBusNotifier(QDBusConnection bus)
    : d(std::make_unique<Private>(std::move(bus))) {
    d->soundPlayer = [this] { d->playSound(); };
}

DBusNotifier::DBusNotifier(QDBusConnection bus, std::function<void()> playSound)
    : d(std::make_unique<Private>(std::move(bus))) {
    d->soundPlayer = std::move(playSound);
}

DBusNotifier::~DBusNotifier() {
#ifdef HOURLARK_HAVE_CANBERRA
    if (d->canberra)
        ca_context_destroy(d->canberra);
#endif
}

int DBusNotifier::pendingCalls() const {
    return d->pending;
}

void DBusNotifier::notify(const QString& title, const QString& body) {
    if (!d->bus.isConnected()) {
        d->reportOnce(QStringLiteral("no session bus"));
        return;
    }

    QDBusMessage message =
        QDBusMessage::createMethodCall(service, path, interface, QStringLiteral("Notify"));
    const QVariantMap hints{
        {QStringLiteral("urgency"), QVariant::fromValue<uchar>(1)}, // normal
        {QStringLiteral("desktop-entry"), appId},
        {QStringLiteral("sound-name"), QString::fromLatin1(eventSound)},
    };
    message << QStringLiteral("Hourlark") << uint(0) << appId << title << body << QStringList()
            << hints << int(-1);
    d->send(message, [this](const QDBusPendingCallWatcher& answer) {
        if (answer.isError())
            d->reportOnce(answer.error().message());
    });

    // Which servers play sounds is asked once; until the answer comes the sound waits for it.
    switch (d->capabilities) {
    case Private::Capabilities::Unknown:
        d->soundWaiting = true;
        d->askCapabilities();
        break;
    case Private::Capabilities::Asking:
        d->soundWaiting = true;
        break;
    case Private::Capabilities::Known:
        if (!d->serverPlaysSound)
            d->soundPlayer();
        break;
    }
}

void DBusNotifier::Private::send(
    const QDBusMessage& message,
    const std::function<void(const QDBusPendingCallWatcher&)>& answered) {
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(message), &context);
    ++pending;
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, &context,
                     [this, answered](QDBusPendingCallWatcher* finished) {
                         --pending;
                         answered(*finished);
                         finished->deleteLater();
                     });
}

void DBusNotifier::Private::askCapabilities() {
    capabilities = Capabilities::Asking;
    const QDBusMessage message =
        QDBusMessage::createMethodCall(service, path, interface, QStringLiteral("GetCapabilities"));
    send(message, [this](const QDBusPendingCallWatcher& answer) {
        const QDBusPendingReply<QStringList> reply = answer;
        if (reply.isError()) {
            // No server to answer (Notify reports that); ask again with the next notification,
            // by when one may have started. Without a server there is nothing to sound for.
            capabilities = Capabilities::Unknown;
            soundWaiting = false;
            return;
        }
        capabilities = Capabilities::Known;
        serverPlaysSound = reply.value().contains(QLatin1String("sound"));
        if (std::exchange(soundWaiting, false) && !serverPlaysSound)
            soundPlayer();
    });
}

void DBusNotifier::Private::reportOnce(const QString& problem) {
    if (std::exchange(errorReported, true))
        return;
    qCWarning(lcNotifications).noquote() << "Notifications are not shown:" << problem;
}

void DBusNotifier::Private::playSound() {
#ifdef HOURLARK_HAVE_CANBERRA
    if (soundUnavailable)
        return;
    if (!canberra) {
        if (ca_context_create(&canberra) != CA_SUCCESS) {
            canberra = nullptr;
            soundUnavailable = true;
            return;
        }
        ca_context_change_props(canberra, CA_PROP_APPLICATION_NAME, "Hourlark",
                                CA_PROP_APPLICATION_ID, "hourlark", CA_PROP_APPLICATION_ICON_NAME,
                                "hourlark", nullptr);
    }
    // Plays in libcanberra's own thread. Where there is no sound device or theme, the first
    // attempt says so (the audio library may complain on stderr) and later ones stay silent.
    if (ca_context_play(canberra, 0, CA_PROP_EVENT_ID, eventSound, CA_PROP_EVENT_DESCRIPTION,
                        "Task complete", nullptr) != CA_SUCCESS) {
        ca_context_destroy(canberra);
        canberra = nullptr;
        soundUnavailable = true;
    }
#endif
}
