#include "statusitem/SessionStatusItem.h"

#include "DesktopLog.h"
#include "statusitem/StatusNotifierItem.h"

#include <QDBusServiceWatcher>
#include <QSystemTrayIcon>
#include <QTimer>

namespace {
const QString watcherService = QStringLiteral("org.kde.StatusNotifierWatcher");
const QString watcherPath = QStringLiteral("/StatusNotifierWatcher");

const char* backendName(StatusItemFactory::Backend backend) {
    switch (backend) {
    case StatusItemFactory::Backend::StatusNotifier:
        return "the panel's StatusNotifierWatcher";
    case StatusItemFactory::Backend::Tray:
        return "the system tray";
    case StatusItemFactory::Backend::Window:
        break;
    }
    return "a window of its own";
}

} // namespace

SessionStatusItem::SessionStatusItem(Session session, Backend initial, QObject* parent)
    : StatusItem(parent)
    , m_session(std::move(session))
    , m_backend(initial)
    , m_watcherGraceTimer(new QTimer(this))
    , m_trayPollTimer(new QTimer(this)) {
    if (!m_session.trayAvailable)
        m_session.trayAvailable = &QSystemTrayIcon::isSystemTrayAvailable;
    if (!m_session.create)
        m_session.create = &StatusItemFactory::create;

    m_watcherGraceTimer->setSingleShot(true);
    m_watcherGraceTimer->setInterval(m_session.watcherGrace);
    connect(m_watcherGraceTimer, &QTimer::timeout, this, &SessionStatusItem::onWatcherGone);
    m_trayPollTimer->setInterval(m_session.trayPoll);
    connect(m_trayPollTimer, &QTimer::timeout, this, &SessionStatusItem::onTrayPoll);

    if (m_session.bus.isConnected()) {
        m_watcherWatcher = new QDBusServiceWatcher(watcherService, m_session.bus,
                                                   QDBusServiceWatcher::WatchForRegistration |
                                                       QDBusServiceWatcher::WatchForUnregistration,
                                                   this);
        connect(m_watcherWatcher, &QDBusServiceWatcher::serviceRegistered, this,
                &SessionStatusItem::onWatcherRegistered);
        connect(m_watcherWatcher, &QDBusServiceWatcher::serviceUnregistered, this,
                &SessionStatusItem::onWatcherUnregistered);
        m_session.bus.connect(watcherService, watcherPath, watcherService,
                              QStringLiteral("StatusNotifierHostRegistered"), this,
                              SLOT(onHostRegistered()));
    }
    switchTo(initial);
}

SessionStatusItem::~SessionStatusItem() = default;

void SessionStatusItem::setTitle(const QString& title) {
    m_title = title;
    m_current->setTitle(title);
}

QRect SessionStatusItem::anchorRect() const {
    return m_current->anchorRect();
}

void SessionStatusItem::setContextMenu(QMenu* menu) {
    StatusItem::setContextMenu(menu);
    m_current->setContextMenu(menu);
}

void SessionStatusItem::popUpContextMenu(const QPoint& globalPos) {
    m_current->popUpContextMenu(globalPos);
}

bool SessionStatusItem::opensMenuOnLeftClick() const {
    return m_current->opensMenuOnLeftClick();
}

void SessionStatusItem::onRunningChanged() {
    m_current->setRunning(isRunning());
}

// The new backend is complete before the old one goes, so a panel never sees the item missing
// longer than it takes the new one to register.
void SessionStatusItem::switchTo(Backend backend) {
    std::unique_ptr<StatusItem> next = m_session.create(backend);
    next->setTitle(m_title);
    next->setRunning(isRunning());
    next->setContextMenu(contextMenu());
    connect(next.get(), &StatusItem::leftClicked, this, &StatusItem::leftClicked);
    connect(next.get(), &StatusItem::rightClicked, this, &StatusItem::rightClicked);
    connect(next.get(), &StatusItem::contextMenuAboutToShow, this,
            &StatusItem::contextMenuAboutToShow);
    const bool changed = m_current != nullptr;
    m_current = std::move(next);
    m_backend = backend;
    // Only a session without any tray is looked at again and again; the others say when they
    // change.
    if (backend == Backend::Window)
        m_trayPollTimer->start();
    else
        m_trayPollTimer->stop();
    if (changed)
        qCInfo(lcStatusItem, "The status item moved to %s.", backendName(backend));
}

void SessionStatusItem::onWatcherRegistered() {
    m_watcherGraceTimer->stop();
    if (m_backend != Backend::StatusNotifier && StatusNotifierItem::isWatcherPresent(m_session.bus))
        switchTo(Backend::StatusNotifier);
}

void SessionStatusItem::onHostRegistered() {
    onWatcherRegistered();
}

void SessionStatusItem::onWatcherUnregistered() {
    if (m_backend == Backend::StatusNotifier)
        m_watcherGraceTimer->start();
}

void SessionStatusItem::onWatcherGone() {
    if (!StatusNotifierItem::isWatcherPresent(m_session.bus))
        switchTo(fallback());
}

// A watcher that appears is heard of on the bus; only the XEmbed tray has to be looked for.
void SessionStatusItem::onTrayPoll() {
    if (m_session.trayAvailable())
        switchTo(Backend::Tray);
}

SessionStatusItem::Backend SessionStatusItem::fallback() const {
    return StatusItemFactory::choose(false, m_session.trayAvailable());
}
