#include "statusitem/StatusNotifierItem.h"

#include "statusitem/DBusMenuExporter.h"
#include "statusitem/DBusTypes.h"
#include "statusitem/StatusIcon.h"

#include <QCoreApplication>
#include <QCursor>
#include <QDBusAbstractAdaptor>
#include <QDBusConnectionInterface>
#include <QDBusError>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusReply>
#include <QDBusServiceWatcher>
#include <QDBusVariant>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QScreen>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>
#include <QWidget>
#include <QtEndian>
#include <algorithm>
#include <array>
#include <fcntl.h>
#include <sys/stat.h>

namespace {

const QString watcherService = QStringLiteral("org.kde.StatusNotifierWatcher");
const QString watcherPath = QStringLiteral("/StatusNotifierWatcher");
const QString itemPath = QStringLiteral("/StatusNotifierItem");
const QString menuPath = QStringLiteral("/MenuBar");
// Panels pick the size they need; these cover 16 px panels up to 2x scaled 24 px ones.
constexpr std::array iconSizes{16, 22, 24, 32, 48};

SniPixmap pixmapOf(const QImage& rendered) {
    const QImage image = rendered.convertToFormat(QImage::Format_ARGB32);
    SniPixmap pixmap{image.width(), image.height(), {}};
    pixmap.bytes.resize(qsizetype(image.width()) * image.height() * 4);
    auto* out = reinterpret_cast<uchar*>(pixmap.bytes.data());
    for (int y = 0; y < image.height(); ++y) {
        const auto* line = reinterpret_cast<const quint32*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x, out += 4)
            qToBigEndian(line[x], out);
    }
    return pixmap;
}

// Coordinates come from any program on the bus: kept where the rectangles the popover and the
// menu are placed by cannot overflow, then taken from the panel's device pixels to ours.
QPoint panelPoint(QPoint sent) {
    const QPoint device(std::clamp(sent.x(), -QWIDGETSIZE_MAX, QWIDGETSIZE_MAX),
                        std::clamp(sent.y(), -QWIDGETSIZE_MAX, QWIDGETSIZE_MAX));
    // 0,0 is how panels that do not know say so.
    return device.isNull() ? device : StatusItem::logicalFromDevice(device);
}

// Larger than any panel's icon, in device pixels.
constexpr int iconReach = 64;

// In a Wayland session a program sees the pointer only over its own windows (through XWayland,
// over X windows), never on the panel.
bool pointerHiddenOnPanel() {
    return !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
}

} // namespace

// org.kde.StatusNotifierItem, answered from the item's state.
class StatusNotifierItemAdaptor final : public QDBusAbstractAdaptor {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(StatusNotifierItemAdaptor)
    Q_CLASSINFO("D-Bus Interface", "org.kde.StatusNotifierItem")
    Q_PROPERTY(QString Category READ category)
    Q_PROPERTY(QString Id READ id)
    Q_PROPERTY(QString Title READ titleProperty)
    Q_PROPERTY(QString Status READ status)
    Q_PROPERTY(int WindowId READ windowId)
    Q_PROPERTY(QString IconThemePath READ iconThemePath)
    Q_PROPERTY(QString IconName READ iconName)
    Q_PROPERTY(SniPixmapList IconPixmap READ iconPixmap)
    Q_PROPERTY(QString OverlayIconName READ emptyString)
    Q_PROPERTY(SniPixmapList OverlayIconPixmap READ noPixmaps)
    Q_PROPERTY(QString AttentionIconName READ emptyString)
    Q_PROPERTY(SniPixmapList AttentionIconPixmap READ noPixmaps)
    Q_PROPERTY(QString AttentionMovieName READ emptyString)
    // None of our own: hosts then name the item by its title.
    Q_PROPERTY(QString IconAccessibleDesc READ emptyString)
    Q_PROPERTY(QString AttentionAccessibleDesc READ emptyString)
    Q_PROPERTY(SniToolTip ToolTip READ toolTip)
    Q_PROPERTY(bool ItemIsMenu READ itemIsMenu)
    Q_PROPERTY(QDBusObjectPath Menu READ menu)
    Q_PROPERTY(QString XAyatanaLabel READ label)
    Q_PROPERTY(QString XAyatanaLabelGuide READ labelGuide)
    Q_PROPERTY(uint XAyatanaOrderingIndex READ orderingIndex)
public:
    explicit StatusNotifierItemAdaptor(StatusNotifierItem* item)
        : QDBusAbstractAdaptor(item)
        , m_item(item) {}

    QString category() const { return QStringLiteral("ApplicationStatus"); }
    QString id() const { return QStringLiteral("hourlark"); }
    QString titleProperty() const { return QStringLiteral("Hourlark"); }
    // Always on show: the countdown is the item's whole purpose.
    QString status() const { return QStringLiteral("Active"); }
    int windowId() const { return 0; }
    QString emptyString() const { return {}; }
    SniPixmapList noPixmaps() const { return {}; }
    bool itemIsMenu() const { return false; }
    QDBusObjectPath menu() const { return QDBusObjectPath(menuPath); }
    QString label() const { return m_item->m_title; }
    QString iconName() const { return m_item->m_iconName; }
    QString iconThemePath() const {
        return m_item->m_iconFolder ? m_item->m_iconFolder->path() : QString();
    }
    QString labelGuide() const { return m_item->labelGuide(); }
    uint orderingIndex() const { return 0; }

    SniPixmapList iconPixmap() {
        // Drawn when a panel asks, and only again once the picture changes.
        const StatusIcon::Face face = m_item->face();
        if (face != m_pixmapsFace) {
            m_pixmaps.clear();
            for (int size : iconSizes)
                m_pixmaps.append(pixmapOf(StatusIcon::render(face, size)));
            m_pixmapsFace = face;
        }
        return m_pixmaps;
    }

    SniToolTip toolTip() const { return {QString(), {}, m_item->m_title, QString()}; }

public slots:
    void Activate(int x, int y) { m_item->onActivated(QPoint(x, y)); }
    // A middle click: the same as a left click, which is the one way to the timer on panels
    // that open the menu on the left button.
    void SecondaryActivate(int x, int y) { m_item->onActivated(QPoint(x, y)); }
    // Ayatana's spelling of the middle click, with no position: the pointer is on the item then.
    // It does what SecondaryActivate does; starting or stopping the countdown from a stray middle
    // click would change it unseen, while the panel shows what a click did.
    void XAyatanaSecondaryActivate(uint timestamp) {
        Q_UNUSED(timestamp)
        if (m_item->m_host.placesMiddleClicksWithoutAyatana) {
            // Such a panel then sends SecondaryActivate, which says where the item is.
            m_item->sendErrorReply(QDBusError::UnknownMethod,
                                   QStringLiteral("SecondaryActivate tells where the click was"));
            return;
        }
        m_item->onActivated(QPoint());
    }
    void ContextMenu(int x, int y) { m_item->onContextMenuRequested(QPoint(x, y)); }
    // Scrolling has no meaning for a countdown.
    void Scroll(int delta, const QString& orientation) {
        Q_UNUSED(delta)
        Q_UNUSED(orientation)
    }

signals:
    // Title and Status never change here, but panels listen for them.
    void NewTitle();
    void NewIcon();
    void NewToolTip();
    void NewStatus(const QString& status);
    void XAyatanaNewLabel(const QString& label, const QString& guide);

private:
    StatusNotifierItem* m_item;
    std::optional<StatusIcon::Face> m_pixmapsFace;
    SniPixmapList m_pixmaps;
};

StatusNotifierItem::HostTraits StatusNotifierItem::hostTraits(const QDBusConnection& bus) {
    QDBusConnectionInterface* daemon = bus.interface();
    if (!daemon)
        return {};
    const QDBusReply<uint> pid = daemon->servicePid(watcherService);
    if (!pid.isValid())
        return {};
    QFile cmdline(QStringLiteral("/proc/%1/cmdline").arg(pid.value()));
    if (!cmdline.open(QIODevice::ReadOnly))
        return {};
    const QByteArray program = cmdline.readAll().split('\0').value(0);
    const QString name = QFileInfo(QString::fromLocal8Bit(program)).fileName();
    HostTraits host;
    // GNOME's AppIndicator extension.
    if (name == QLatin1String("gnome-shell")) {
        host.opensMenuOnLeftClick = true;
        host.placesMiddleClicksWithoutAyatana = true;
        host.keepsItemsTopRight = true; // in the top bar's right-hand box, as it is set up
        host.registersByPath = true;
    }
    // The indicator services of MATE, Unity and Ayatana desktops.
    if (name == QLatin1String("ayatana-indicator-application-service") ||
        name == QLatin1String("indicator-application-service")) {
        host.opensMenuOnLeftClick = true;
        host.takesIconsByNameOnly = true;
    }
    // Its stock layout: a bar along the top of the screen with the tray at its right end.
    if (name == QLatin1String("waybar")) {
        host.placesClicksWithinIcon = true;
        host.keepsItemsTopRight = true;
    }
    return host;
}

StatusNotifierItem::StatusNotifierItem(QDBusConnection bus, QObject* parent)
    : StatusItem(parent)
    , m_bus(std::move(bus))
    , m_changeTimer(new QTimer(this)) {
    // Every change within one turn of the event loop goes out as one set of signals.
    m_changeTimer->setSingleShot(true);
    m_changeTimer->setInterval(0);
    connect(m_changeTimer, &QTimer::timeout, this, &StatusNotifierItem::emitChangeSignals);

    DBusTypes::registerAll();
    m_adaptor = new StatusNotifierItemAdaptor(this);
    m_menuExporter = new DBusMenuExporter(m_bus, menuPath, this);
    connect(m_menuExporter, &DBusMenuExporter::refreshRequested, this,
            &StatusItem::contextMenuAboutToShow);
    if (!m_bus.isConnected())
        return;

    static int itemCount = 0;
    m_serviceName = QStringLiteral("org.kde.StatusNotifierItem-%1-%2")
                        .arg(QCoreApplication::applicationPid())
                        .arg(++itemCount);
    m_objectRegistered = m_bus.registerObject(itemPath, this, QDBusConnection::ExportAdaptors);
    m_bus.registerService(m_serviceName);

    m_watcherWatcher = new QDBusServiceWatcher(watcherService, m_bus,
                                               QDBusServiceWatcher::WatchForRegistration, this);
    connect(m_watcherWatcher, &QDBusServiceWatcher::serviceRegistered, this,
            &StatusNotifierItem::onWatcherRegistered);
    registerWithWatcher();
}

StatusNotifierItem::~StatusNotifierItem() {
    if (!m_bus.isConnected())
        return;
    // The watcher drops the item when its name goes.
    m_bus.unregisterService(m_serviceName);
    if (m_objectRegistered)
        m_bus.unregisterObject(itemPath);
}

bool StatusNotifierItem::isWatcherPresent(const QDBusConnection& bus) {
    QDBusConnectionInterface* daemon = bus.isConnected() ? bus.interface() : nullptr;
    if (!daemon || !daemon->isServiceRegistered(watcherService).value())
        return false;
    // A watcher left behind by a panel that is gone would hide the item; one that cannot say
    // (no such property, or too slow to answer) is trusted.
    QDBusMessage get = QDBusMessage::createMethodCall(
        watcherService, watcherPath, QStringLiteral("org.freedesktop.DBus.Properties"),
        QStringLiteral("Get"));
    get << watcherService << QStringLiteral("IsStatusNotifierHostRegistered");
    const QDBusMessage reply = bus.call(get, QDBus::Block, 1000);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
        return true;
    const QVariant value = reply.arguments().constFirst().value<QDBusVariant>().variant();
    return value.typeId() != QMetaType::Bool || value.toBool();
}

void StatusNotifierItem::setTitle(const QString& title) {
    if (title == m_title)
        return;
    m_title = title;
    scheduleChangeSignals();
}

QRect StatusNotifierItem::anchorRect() const {
    if (m_activatePoint)
        return QRect(*m_activatePoint, QSize(1, 1));
    // Nor can the pointer on a Wayland panel tell: the item is looked for where the panel keeps
    // it unless set up otherwise.
    if (m_host.keepsItemsTopRight && pointerHiddenOnPanel()) {
        if (const QScreen* screen = QGuiApplication::primaryScreen())
            return QRect(screen->geometry().topRight(), QSize(1, 1));
    }
    return {};
}

void StatusNotifierItem::setContextMenu(QMenu* menu) {
    // Popped up by us when the panel sends ContextMenu, drawn by the panel itself otherwise.
    StatusItem::setContextMenu(menu);
    m_menuExporter->setMenu(menu);
}

StatusIcon::Face StatusNotifierItem::face() const {
    return StatusIcon::faceOf(m_title, isRunning());
}

void StatusNotifierItem::onRunningChanged() {
    scheduleChangeSignals();
}

QString StatusNotifierItem::labelGuide() const {
    // '0' is as wide as any digit, so the guide only changes when the task name or the number of
    // minute digits does.
    QString guide = m_title;
    for (QChar& c : guide) {
        if (c.isDigit())
            c = QLatin1Char('0');
    }
    return guide;
}

void StatusNotifierItem::registerWithWatcher() {
    m_host = hostTraits(m_bus);
    if (m_host.takesIconsByNameOnly && !m_iconFolder) {
        // Without a usable runtime folder Qt answers empty, which would put the icons in '/'.
        QString parent = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
        if (parent.isEmpty())
            parent = QDir::tempPath();
        m_iconFolder = std::make_unique<QTemporaryDir>(parent + QStringLiteral("/hourlark-XXXXXX"));
        if (m_iconFolder->isValid())
            writeIconFiles();
        else
            m_iconFolder.reset();
    }
    QDBusMessage call = QDBusMessage::createMethodCall(
        watcherService, watcherPath, watcherService, QStringLiteral("RegisterStatusNotifierItem"));
    call << (m_host.registersByPath ? itemPath : m_serviceName);
    // Never block: the watcher reads our properties before it answers.
    m_bus.asyncCall(call);
}

// A fresh name for every drawing: hosts cache icons by name and would keep showing old minutes.
void StatusNotifierItem::writeIconFiles() {
    const QString previous = m_iconName;
    const QString name = QStringLiteral("hourlark-minutes-%1").arg(++m_iconSerial);
    const QDir root(m_iconFolder->path());
    for (int size : iconSizes) {
        const QString folder = QStringLiteral("hicolor/%1x%1/apps/").arg(size);
        root.mkpath(folder);
        StatusIcon::render(face(), size).save(root.filePath(folder + name + QLatin1String(".png")));
        if (!previous.isEmpty())
            QFile::remove(root.filePath(folder + previous + QLatin1String(".png")));
    }
    // The indicator service looks for new icons only when the theme folder itself changed, and a
    // file written below it changes only its own folder's time.
    ::utimensat(AT_FDCWD, QFile::encodeName(root.filePath(QStringLiteral("hicolor"))).constData(),
                nullptr, 0);
    m_iconName = name;
}

void StatusNotifierItem::onWatcherRegistered() {
    registerWithWatcher();
}

// Where a click on the item was, from the place the panel sent; kept as the item's place when it
// tells where the item is.
QPoint StatusNotifierItem::takeClick(const QPoint& device) {
    // A place within the icon says nothing of where the icon is.
    const bool withinIcon =
        m_host.placesClicksWithinIcon && device.x() < iconReach && device.y() < iconReach;
    QPoint point = withinIcon ? QPoint() : panelPoint(device);
    // Panels that do not know the place send 0,0: the pointer is on the item then, where we can
    // see it.
    if (point.isNull() && !withinIcon && !pointerHiddenOnPanel())
        point = QCursor::pos();
    if (!point.isNull()) {
        m_activatePoint = point;
        return point;
    }
    const QRect known = anchorRect();
    return known.isValid() ? known.topLeft() : QCursor::pos();
}

void StatusNotifierItem::onActivated(const QPoint& device) {
    emit leftClicked(takeClick(device));
}

void StatusNotifierItem::onContextMenuRequested(const QPoint& device) {
    // Where the menu was asked for is where the item is, for "Open Timer" as much as a click.
    emit rightClicked(takeClick(device));
}

void StatusNotifierItem::scheduleChangeSignals() {
    if (!m_changeTimer->isActive())
        m_changeTimer->start();
}

// The label is there to count the seconds, so it follows every title. A panel that hears of a new
// tooltip reads every property again, each icon size among them; while the countdown runs the
// tooltip is therefore announced with the drawn minutes, and reads the title as it is whenever the
// panel asks. A stopped countdown's title changes only as the person edits it: each change goes
// out.
void StatusNotifierItem::emitChangeSignals() {
    if (m_title != m_announcedTitle) {
        m_announcedTitle = m_title;
        emit m_adaptor->XAyatanaNewLabel(m_title, labelGuide());
    }
    const StatusIcon::Face drawn = face();
    const bool redrawn = drawn != m_announcedFace;
    if (m_title != m_announcedToolTip && (redrawn || !isRunning())) {
        m_announcedToolTip = m_title;
        emit m_adaptor->NewToolTip();
    }
    if (redrawn) {
        m_announcedFace = drawn;
        if (m_iconFolder)
            writeIconFiles();
        emit m_adaptor->NewIcon();
    }
}

#include "StatusNotifierItem.moc"
