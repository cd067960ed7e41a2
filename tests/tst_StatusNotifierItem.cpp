// Runs on a private session bus (dbus-run-session): a fake StatusNotifierWatcher on its own
// connection and thread, and a "panel" connection that calls the item the way hosts do.

#include "AppDelegate.h"
#include "Managers/ColorManager.h"
#include "Managers/HistoryManager.h"
#include "Managers/TimerManager.h"
#include "Platform/Clock.h"
#include "Platform/DBusMenuExporter.h"
#include "Platform/LoginItemService.h"
#include "Platform/Notifier.h"
#include "Platform/Popover.h"
#include "Platform/PreferencesStore.h"
#include "Platform/StatusIcon.h"
#include "Platform/StatusNotifierItem.h"

#include <QApplication>
#include <QDBusArgument>
#include <QDBusConnectionInterface>
#include <QDBusContext>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusVariant>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QMenu>
#include <QProcess>
#include <QSignalSpy>
#include <QSocketNotifier>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <QtEndian>
#include <atomic>
#include <cstdio>
#include <unistd.h>

namespace {

const QString watcherService = QStringLiteral("org.kde.StatusNotifierWatcher");
const QString itemPath = QStringLiteral("/StatusNotifierItem");
const QString itemInterface = QStringLiteral("org.kde.StatusNotifierItem");
const QString menuInterface = QStringLiteral("com.canonical.dbusmenu");

// A panel's watcher: records registrations and says whether a host is there.
class FakeWatcher final : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.StatusNotifierWatcher")
    Q_PROPERTY(bool IsStatusNotifierHostRegistered READ isHostRegistered)
public:
    bool isHostRegistered() const { return hostRegistered; }
    std::atomic_bool hostRegistered = true;

public slots:
    void RegisterStatusNotifierItem(const QString& service) { emit itemRegistered(service); }

signals:
    void itemRegistered(const QString& service);
};

// Collects D-Bus signals as they reach the panel's connection.
class SignalRecorder final : public QObject {
    Q_OBJECT
public:
    QList<QDBusMessage> messages;
    QList<QDBusMessage> named(const QString& name) const {
        QList<QDBusMessage> found;
        for (const QDBusMessage& m : messages) {
            if (m.member() == name)
                found << m;
        }
        return found;
    }
public slots:
    void record(const QDBusMessage& message) { messages << message; }
};

struct MenuNode {
    int id = 0;
    QVariantMap properties;
    QList<MenuNode> children;
};

MenuNode parseNode(const QDBusArgument& arg) {
    MenuNode node;
    arg.beginStructure();
    arg >> node.id >> node.properties;
    arg.beginArray();
    while (!arg.atEnd()) {
        QDBusVariant child;
        arg >> child;
        node.children << parseNode(child.variant().value<QDBusArgument>());
    }
    arg.endArray();
    arg.endStructure();
    return node;
}

// One line per item: its label ("-" for a separator), then what sets it apart from a plain one.
QStringList describe(const MenuNode& menu) {
    QStringList rows;
    for (const MenuNode& node : menu.children) {
        const QVariantMap& p = node.properties;
        QString row = p.value(QStringLiteral("type")).toString() == u"separator"
                          ? QStringLiteral("-")
                          : p.value(QStringLiteral("label")).toString();
        if (!p.value(QStringLiteral("visible"), true).toBool())
            row += QStringLiteral(" (hidden)");
        else if (!p.value(QStringLiteral("enabled"), true).toBool())
            row += QStringLiteral(" (disabled)");
        if (p.value(QStringLiteral("toggle-type")).toString() == u"checkmark")
            row += p.value(QStringLiteral("toggle-state")).toInt() ? QStringLiteral(" [x]")
                                                                   : QStringLiteral(" [ ]");
        if (p.contains(QStringLiteral("shortcut"))) {
            // aas: one list of key names per chord
            const auto chords = p.value(QStringLiteral("shortcut")).value<QDBusArgument>();
            chords.beginArray();
            while (!chords.atEnd()) {
                QStringList keys;
                chords >> keys;
                row += u' ' + keys.join(u'+');
            }
            chords.endArray();
        }
        rows << row;
    }
    return rows;
}

} // namespace

class tst_StatusNotifierItem final : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();

    void registrationReachesWatcher();
    void watcherPresence_data();
    void watcherPresence();
    void reRegistersWhenWatcherReturns();
    void indicatorHostGetsIconFiles();
    void missingBusKeepsItemSilent();

    void labelFollowsCountdown();
    void changesGoOutOncePerTurn();
    void iconAndToolTipHaveWireTypes();

    void activateTogglesPopover();
    void contextMenuOpensMenu();
    void layoutHoldsShellMenu();
    void clickTogglesLaunchAtLoginAndQuits();
    void aboutToShowRefreshesCheckMark();
    void menuChangesAreAnnounced();
    void unknownIdsFail();

    void labelFromText_data();
    void labelFromText();

private:
    QDBusMessage call(const QString& path, const QString& interface, const QString& method,
                      const QVariantList& args = {});
    QDBusMessage menuCall(const QString& method, const QVariantList& args) {
        return call(QStringLiteral("/MenuBar"), menuInterface, method, args);
    }
    QVariant property(const QString& name);
    MenuNode layout();
    void connectRecorder(SignalRecorder& recorder, const QString& path, const QString& interface,
                         const QStringList& names);
    std::unique_ptr<AppDelegate> launchShell();

    QDBusConnection m_watcherBus{QString()};
    QDBusConnection m_panelBus{QString()};
    QThread m_watcherThread;
    FakeWatcher* m_watcher = nullptr;
    QStringList m_registrations;
    QString m_itemService;
    QTemporaryDir m_config;

    MemoryPreferencesStore m_store;
    RecordingNotifier m_notifier;
    ManualClock m_clock;
};

void tst_StatusNotifierItem::initTestCase() {
    QVERIFY2(QDBusConnection::sessionBus().isConnected(), "needs a session bus: dbus-run-session");
    QVERIFY(m_config.isValid());
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_config.path()));
    qputenv("XDG_CONFIG_DIRS", QFile::encodeName(m_config.filePath(QStringLiteral("system"))));

    m_watcherBus =
        QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("watcher"));
    m_panelBus =
        QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("panel"));
    QVERIFY(m_watcherBus.isConnected() && m_panelBus.isConnected());

    // Its own thread, so that blocking calls from the item's thread get answered.
    m_watcher = new FakeWatcher;
    m_watcher->moveToThread(&m_watcherThread);
    connect(m_watcher, &FakeWatcher::itemRegistered, this,
            [this](const QString& service) { m_registrations << service; });
    m_watcherThread.start();
    QVERIFY(m_watcherBus.registerObject(QStringLiteral("/StatusNotifierWatcher"), m_watcher,
                                        QDBusConnection::ExportAllSlots |
                                            QDBusConnection::ExportAllProperties));
}

void tst_StatusNotifierItem::cleanupTestCase() {
    m_watcherBus.unregisterObject(QStringLiteral("/StatusNotifierWatcher"));
    m_watcher->deleteLater();
    m_watcherThread.quit();
    m_watcherThread.wait();
}

void tst_StatusNotifierItem::init() {
    m_registrations.clear();
    m_watcher->hostRegistered = true;
    if (!m_watcherBus.interface()->isServiceRegistered(watcherService).value())
        QVERIFY(m_watcherBus.registerService(watcherService));
    QFile::remove(LoginItemService::entryPath());
}

QDBusMessage tst_StatusNotifierItem::call(const QString& path, const QString& interface,
                                          const QString& method, const QVariantList& args) {
    QDBusMessage message = QDBusMessage::createMethodCall(m_itemService, path, interface, method);
    message.setArguments(args);
    // Never block: the item answers from this very thread.
    QDBusPendingCallWatcher pending(m_panelBus.asyncCall(message));
    if (!pending.isFinished()) {
        QSignalSpy finished(&pending, &QDBusPendingCallWatcher::finished);
        finished.wait(30000);
    }
    return pending.reply();
}

QVariant tst_StatusNotifierItem::property(const QString& name) {
    const QDBusMessage reply = call(itemPath, QStringLiteral("org.freedesktop.DBus.Properties"),
                                    QStringLiteral("Get"), {itemInterface, name});
    if (reply.type() != QDBusMessage::ReplyMessage)
        return {};
    return reply.arguments().value(0).value<QDBusVariant>().variant();
}

MenuNode tst_StatusNotifierItem::layout() {
    const QDBusMessage reply = menuCall(QStringLiteral("GetLayout"), {0, -1, QStringList()});
    if (reply.type() != QDBusMessage::ReplyMessage || reply.signature() != u"u(ia{sv}av)")
        return {-1, {}, {}};
    return parseNode(reply.arguments().value(1).value<QDBusArgument>());
}

void tst_StatusNotifierItem::connectRecorder(SignalRecorder& recorder, const QString& path,
                                             const QString& interface, const QStringList& names) {
    for (const QString& name : names)
        QVERIFY(m_panelBus.connect(QString(), path, interface, name, &recorder,
                                   SLOT(record(QDBusMessage))));
}

std::unique_ptr<AppDelegate> tst_StatusNotifierItem::launchShell() {
    static ColorManager colors(m_store);
    auto delegate = std::make_unique<AppDelegate>(m_store, m_notifier, m_clock, colors);
    auto item = std::make_unique<StatusNotifierItem>(QDBusConnection::sessionBus());
    m_itemService = item->serviceName();
    delegate->applicationDidFinishLaunching(std::move(item));
    return delegate;
}

void tst_StatusNotifierItem::registrationReachesWatcher() {
    StatusNotifierItem item(QDBusConnection::sessionBus());
    const QString expectedPrefix =
        QStringLiteral("org.kde.StatusNotifierItem-%1-").arg(QCoreApplication::applicationPid());
    QVERIFY2(item.serviceName().startsWith(expectedPrefix), qPrintable(item.serviceName()));
    QTRY_COMPARE(m_registrations, QStringList{item.serviceName()});
    QVERIFY(m_panelBus.interface()->isServiceRegistered(item.serviceName()).value());
}

void tst_StatusNotifierItem::watcherPresence_data() {
    QTest::addColumn<bool>("watcherRunning");
    QTest::addColumn<bool>("hostRegistered");
    QTest::addColumn<bool>("present");
    QTest::newRow("watcher with a host") << true << true << true;
    QTest::newRow("watcher left without a host") << true << false << false;
    QTest::newRow("no watcher") << false << true << false;
}

void tst_StatusNotifierItem::watcherPresence() {
    QFETCH(bool, watcherRunning);
    QFETCH(bool, hostRegistered);
    QFETCH(bool, present);
    m_watcher->hostRegistered = hostRegistered;
    if (!watcherRunning)
        QVERIFY(m_watcherBus.unregisterService(watcherService));
    QCOMPARE(StatusNotifierItem::isWatcherPresent(QDBusConnection::sessionBus()), present);
}

void tst_StatusNotifierItem::reRegistersWhenWatcherReturns() {
    StatusNotifierItem item(QDBusConnection::sessionBus());
    QTRY_COMPARE(m_registrations.size(), 1);
    QVERIFY(m_watcherBus.unregisterService(watcherService));
    QVERIFY(m_watcherBus.registerService(watcherService));
    QTRY_COMPARE(m_registrations, QStringList({item.serviceName(), item.serviceName()}));
}

// The indicator service of MATE and Ayatana desktops shows icons only by name and opens the menu
// on a left click; the item learns which panel it has from the process that owns the watcher.
void tst_StatusNotifierItem::indicatorHostGetsIconFiles() {
    QTemporaryDir bin;
    const QString host = bin.filePath(QStringLiteral("ayatana-indicator-application-service"));
    QVERIFY(QFile::link(QCoreApplication::applicationFilePath(), host));
    QVERIFY(m_watcherBus.unregisterService(watcherService));
    QProcess watcher;
    watcher.start(host, {QStringLiteral("--serve-watcher")});
    QVERIFY(watcher.waitForStarted());
    QByteArray said;
    QTRY_VERIFY2((said += watcher.readAllStandardOutput()).contains("ready"), said.constData());

    StatusNotifierItem item(QDBusConnection::sessionBus());
    m_itemService = item.serviceName();
    QVERIFY(item.opensMenuOnLeftClick());
    item.setTitle(QStringLiteral("24:59 Write"));
    QTRY_COMPARE(property(QStringLiteral("XAyatanaLabel")).toString(),
                 QStringLiteral("24:59 Write"));

    const auto iconFile = [this](int size) {
        return QDir(property(QStringLiteral("IconThemePath")).toString())
            .filePath(QStringLiteral("hicolor/%1x%1/apps/%2.png")
                          .arg(size)
                          .arg(property(QStringLiteral("IconName")).toString()));
    };
    const QString first = iconFile(22);
    QVERIFY2(QFileInfo::exists(first), qPrintable(first));
    const QImage drawn = StatusIcon::render(QStringLiteral("24:59 Write"), 22)
                             .convertToFormat(QImage::Format_ARGB32);
    QCOMPARE(QImage(first).convertToFormat(QImage::Format_ARGB32), drawn);

    // New minutes, new name (hosts cache icons by name), and the old drawing is gone.
    item.setTitle(QStringLiteral("23:59 Write"));
    QTRY_VERIFY(iconFile(22) != first);
    QVERIFY(QFileInfo::exists(iconFile(22)));
    QVERIFY(!QFileInfo::exists(first));

    watcher.closeWriteChannel();
    QVERIFY(watcher.waitForFinished());
}

void tst_StatusNotifierItem::missingBusKeepsItemSilent() {
    const QDBusConnection noBus(QStringLiteral("no such connection"));
    QVERIFY(!noBus.isConnected());
    QVERIFY(!StatusNotifierItem::isWatcherPresent(noBus));
    StatusNotifierItem item(noBus);
    QMenu menu;
    item.setContextMenu(&menu);
    item.setTitle(QStringLiteral("12:00"));
    QCOMPARE(item.title(), QStringLiteral("12:00"));
    QVERIFY(item.serviceName().isEmpty());
    QVERIFY(item.anchorRect().isNull());
    QTest::qWait(0); // the change signals run with nobody to send them to
}

void tst_StatusNotifierItem::labelFollowsCountdown() {
    SignalRecorder recorder;
    connectRecorder(recorder, itemPath, itemInterface,
                    {QStringLiteral("XAyatanaNewLabel"), QStringLiteral("NewIcon")});
    StatusNotifierItem item(QDBusConnection::sessionBus());
    m_itemService = item.serviceName();
    HistoryManager history(m_store);
    TimerManager timer(&item, &history, m_notifier, m_clock);
    QTRY_COMPARE(property(QStringLiteral("XAyatanaLabel")).toString(), QStringLiteral("30:00"));
    QCOMPARE(property(QStringLiteral("XAyatanaLabelGuide")).toString(), QStringLiteral("00:00"));

    timer.setCustomText(QStringLiteral("Write"));
    timer.updateDisplay();
    timer.setInitialTime(1);
    timer.startTimer();
    // The test ticks by hand; the real second must not slip in between.
    timer.findChild<QTimer*>()->stop();
    timer.tick();
    QTRY_COMPARE(property(QStringLiteral("XAyatanaLabel")).toString(),
                 QStringLiteral("00:59 Write"));
    QCOMPARE(property(QStringLiteral("XAyatanaLabelGuide")).toString(),
             QStringLiteral("00:00 Write"));

    // The titles written within that one turn went out as one change.
    const auto announced = [&recorder] {
        QList<QVariantList> labels;
        for (const QDBusMessage& m : recorder.named(QStringLiteral("XAyatanaNewLabel")))
            labels << m.arguments();
        return labels;
    };
    const QList<QVariantList> expected = {
        {QStringLiteral("30:00"), QStringLiteral("00:00")},
        {QStringLiteral("00:59 Write"), QStringLiteral("00:00 Write")},
    };
    QTRY_COMPARE(announced(), expected);
    QTRY_COMPARE(recorder.named(QStringLiteral("NewIcon")).size(), 2); // "30", then "00"

    timer.tick();
    QTRY_COMPARE(recorder.named(QStringLiteral("XAyatanaNewLabel")).size(), 3);
    const QDBusMessage last = recorder.named(QStringLiteral("XAyatanaNewLabel")).constLast();
    QCOMPARE(last.arguments(),
             QVariantList({QStringLiteral("00:58 Write"), QStringLiteral("00:00 Write")}));
    // Same minutes, same icon.
    QCOMPARE(property(QStringLiteral("XAyatanaLabel")).toString(), QStringLiteral("00:58 Write"));
    QCOMPARE(recorder.named(QStringLiteral("NewIcon")).size(), 2);
}

void tst_StatusNotifierItem::changesGoOutOncePerTurn() {
    SignalRecorder recorder;
    connectRecorder(recorder, itemPath, itemInterface,
                    {QStringLiteral("XAyatanaNewLabel"), QStringLiteral("NewToolTip")});
    StatusNotifierItem item(QDBusConnection::sessionBus());
    m_itemService = item.serviceName();
    item.setTitle(QStringLiteral("10:00"));
    item.setTitle(QStringLiteral("09:59"));
    item.setTitle(QStringLiteral("09:58 Read"));
    QTRY_COMPARE(recorder.named(QStringLiteral("NewToolTip")).size(), 1);
    // Setting the same title again announces nothing; the round trip flushes what is in flight.
    item.setTitle(QStringLiteral("09:58 Read"));
    QTest::qWait(0);
    QCOMPARE(property(QStringLiteral("XAyatanaLabel")).toString(), QStringLiteral("09:58 Read"));
    const auto labels = recorder.named(QStringLiteral("XAyatanaNewLabel"));
    QCOMPARE(labels.size(), 1);
    QCOMPARE(labels.constFirst().arguments(),
             QVariantList({QStringLiteral("09:58 Read"), QStringLiteral("00:00 Read")}));
    QCOMPARE(recorder.named(QStringLiteral("NewToolTip")).size(), 1);
}

void tst_StatusNotifierItem::iconAndToolTipHaveWireTypes() {
    StatusNotifierItem item(QDBusConnection::sessionBus());
    m_itemService = item.serviceName();
    item.setTitle(QStringLiteral("24:59 Write"));
    QTRY_COMPARE(property(QStringLiteral("XAyatanaLabel")).toString(),
                 QStringLiteral("24:59 Write"));

    const QVariant icon = property(QStringLiteral("IconPixmap"));
    QCOMPARE(icon.value<QDBusArgument>().currentSignature(), QStringLiteral("a(iiay)"));
    const auto pixmaps = icon.value<QDBusArgument>();
    QList<int> sizes;
    pixmaps.beginArray();
    while (!pixmaps.atEnd()) {
        int width = 0;
        int height = 0;
        QByteArray bytes;
        pixmaps.beginStructure();
        pixmaps >> width >> height >> bytes;
        pixmaps.endStructure();
        QCOMPARE(bytes.size(), width * height * 4);
        // Network byte order: A, R, G, B of each pixel, as drawn by the shared icon.
        const QImage drawn = StatusIcon::render(QStringLiteral("24:59 Write"), width)
                                 .convertToFormat(QImage::Format_ARGB32);
        const QPoint centre(width / 2, height / 2);
        const int offset = (centre.y() * width + centre.x()) * 4;
        QCOMPARE(qFromBigEndian<quint32>(bytes.constData() + offset), drawn.pixel(centre));
        sizes << width;
    }
    pixmaps.endArray();
    QCOMPARE(sizes, QList<int>({16, 22, 24, 32, 48}));

    const QVariant tip = property(QStringLiteral("ToolTip"));
    QCOMPARE(tip.value<QDBusArgument>().currentSignature(), QStringLiteral("(sa(iiay)ss)"));
    const QDBusMessage all = call(itemPath, QStringLiteral("org.freedesktop.DBus.Properties"),
                                  QStringLiteral("GetAll"), {itemInterface});
    QCOMPARE(all.signature(), QStringLiteral("a{sv}"));
    const QVariantMap props = qdbus_cast<QVariantMap>(all.arguments().value(0));
    QCOMPARE(props.value(QStringLiteral("Menu")).value<QDBusObjectPath>().path(),
             QStringLiteral("/MenuBar"));
    QCOMPARE(props.value(QStringLiteral("ItemIsMenu")).typeId(), QMetaType::Bool);
    QCOMPARE(props.value(QStringLiteral("XAyatanaLabel")).toString(),
             QStringLiteral("24:59 Write"));
}

void tst_StatusNotifierItem::activateTogglesPopover() {
    const auto shell = launchShell();
    QVERIFY(!shell->popover()->isVisible());
    QVERIFY(shell->statusItem()->anchorRect().isNull());
    QSignalSpy rightClicks(shell->statusItem(), &StatusItem::rightClicked);
    call(itemPath, itemInterface, QStringLiteral("Activate"), {120, 8});
    QTRY_VERIFY(shell->popover()->isVisible());
    QCOMPARE(shell->statusItem()->anchorRect(), QRect(120, 8, 1, 1));
    call(itemPath, itemInterface, QStringLiteral("Activate"), {120, 8});
    QTRY_VERIFY(!shell->popover()->isVisible());
    // Scrolling does nothing at all.
    call(itemPath, itemInterface, QStringLiteral("Scroll"), {3, QStringLiteral("vertical")});
    QVERIFY(!shell->popover()->isVisible());
    QCOMPARE(rightClicks.size(), 0);
}

void tst_StatusNotifierItem::contextMenuOpensMenu() {
    const auto shell = launchShell();
    QSignalSpy rightClicks(shell->statusItem(), &StatusItem::rightClicked);
    call(itemPath, itemInterface, QStringLiteral("ContextMenu"), {200, 10});
    QTRY_VERIFY(shell->menu()->isVisible());
    QCOMPARE(rightClicks.size(), 1);
    QCOMPARE(rightClicks.constFirst().constFirst().toPoint(), QPoint(200, 10));
    QVERIFY(!shell->popover()->isVisible());
    shell->menu()->hide();
}

void tst_StatusNotifierItem::layoutHoldsShellMenu() {
    const auto shell = launchShell();
    const MenuNode root = layout();
    QCOMPARE(root.id, 0);
    QCOMPARE(root.properties.value(QStringLiteral("children-display")).toString(),
             QStringLiteral("submenu"));

    // Where the panel opens the menu on a left click, "Open Timer" leads to the panel.
    const QString openTimer =
        shell->statusItem()->opensMenuOnLeftClick() ? QString() : QStringLiteral(" (hidden)");
    QCOMPARE(describe(root), QStringList({
                                 QStringLiteral("Open Timer") + openTimer,
                                 QStringLiteral("-") + openTimer,
                                 QStringLiteral("Hourlark v1.0 (disabled)"),
                                 QStringLiteral("-"),
                                 QStringLiteral("Launch at Login [ ]"),
                                 QStringLiteral("-"),
                                 QStringLiteral("Quit Hourlark Control+q"),
                             }));

    // The group call answers the same properties, by id.
    const QDBusMessage group = menuCall(QStringLiteral("GetGroupProperties"),
                                        {QVariant::fromValue(QList<int>{root.children.at(2).id}),
                                         QStringList{QStringLiteral("enabled")}});
    QCOMPARE(group.signature(), QStringLiteral("a(ia{sv})"));
}

void tst_StatusNotifierItem::clickTogglesLaunchAtLoginAndQuits() {
    const auto shell = launchShell();
    SignalRecorder recorder;
    connectRecorder(recorder, QStringLiteral("/MenuBar"), menuInterface,
                    {QStringLiteral("ItemsPropertiesUpdated")});
    const MenuNode root = layout();
    const int launchAtLogin = root.children.at(4).id;
    const int quit = root.children.at(6).id;
    const QVariant noData = QVariant::fromValue(QDBusVariant(0));

    QVERIFY(!LoginItemService().isEnabled());
    menuCall(QStringLiteral("Event"), {launchAtLogin, QStringLiteral("clicked"), noData, 0u});
    QTRY_VERIFY(LoginItemService().isEnabled());
    QTRY_COMPARE(describe(layout()).value(4), QStringLiteral("Launch at Login [x]"));
    QTRY_VERIFY(!recorder.named(QStringLiteral("ItemsPropertiesUpdated")).isEmpty());

    menuCall(QStringLiteral("Event"), {launchAtLogin, QStringLiteral("clicked"), noData, 0u});
    QTRY_VERIFY(!LoginItemService().isEnabled());

    QSignalSpy quitRequested(shell.get(), &AppDelegate::quitRequested);
    menuCall(QStringLiteral("Event"), {quit, QStringLiteral("clicked"), noData, 0u});
    QTRY_COMPARE(quitRequested.size(), 1);
}

void tst_StatusNotifierItem::aboutToShowRefreshesCheckMark() {
    const auto shell = launchShell();
    QCOMPARE(describe(layout()).value(4), QStringLiteral("Launch at Login [ ]"));
    // Turned on behind the menu's back, e.g. by a second instance or by hand.
    QVERIFY(LoginItemService().setEnabled(true));
    QDBusMessage reply = menuCall(QStringLiteral("AboutToShow"), {0});
    QCOMPARE(reply.arguments(), QVariantList{true});
    QCOMPARE(describe(layout()).value(4), QStringLiteral("Launch at Login [x]"));
    reply = menuCall(QStringLiteral("AboutToShow"), {0});
    QCOMPARE(reply.arguments(), QVariantList{false});
}

void tst_StatusNotifierItem::menuChangesAreAnnounced() {
    StatusNotifierItem item(QDBusConnection::sessionBus());
    m_itemService = item.serviceName();
    QMenu menu;
    QAction* first = menu.addAction(QStringLiteral("First"));
    SignalRecorder recorder;
    connectRecorder(recorder, QStringLiteral("/MenuBar"), menuInterface,
                    {QStringLiteral("LayoutUpdated"), QStringLiteral("ItemsPropertiesUpdated")});
    item.setContextMenu(&menu);
    QTRY_COMPARE(recorder.named(QStringLiteral("LayoutUpdated")).size(), 1);
    const QDBusMessage before = menuCall(QStringLiteral("GetLayout"), {0, -1, QStringList()});
    const uint revision = before.arguments().value(0).toUInt();
    recorder.messages.clear();

    menu.addAction(QStringLiteral("Second"));
    menu.addAction(QStringLiteral("Third"));
    QTRY_COMPARE(recorder.named(QStringLiteral("LayoutUpdated")).size(), 1);
    QVERIFY(recorder.messages.constLast().arguments().value(0).toUInt() > revision);
    QCOMPARE(layout().children.size(), 3);

    first->setEnabled(false);
    first->setText(QStringLiteral("Renamed"));
    QTRY_COMPARE(recorder.named(QStringLiteral("ItemsPropertiesUpdated")).size(), 1);
    QCOMPARE(layout().children.at(0).properties.value(QStringLiteral("label")).toString(),
             QStringLiteral("Renamed"));
}

void tst_StatusNotifierItem::unknownIdsFail() {
    StatusNotifierItem item(QDBusConnection::sessionBus());
    m_itemService = item.serviceName();
    QMenu menu;
    menu.addAction(QStringLiteral("Only"));
    item.setContextMenu(&menu);
    QCOMPARE(menuCall(QStringLiteral("GetLayout"), {999, -1, QStringList()}).type(),
             QDBusMessage::ErrorMessage);
    QCOMPARE(menuCall(QStringLiteral("AboutToShow"), {999}).type(), QDBusMessage::ErrorMessage);
    // The rest of a group is still handled; the unknown id is reported back.
    const QDBusMessage group =
        menuCall(QStringLiteral("AboutToShowGroup"), {QVariant::fromValue(QList<int>{0, 999})});
    QCOMPARE(group.signature(), QStringLiteral("aiai"));
    QCOMPARE(qdbus_cast<QList<int>>(group.arguments().value(1)), QList<int>{999});
}

void tst_StatusNotifierItem::labelFromText_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("label");
    QTest::newRow("plain") << QStringLiteral("Quit Hourlark") << QStringLiteral("Quit Hourlark");
    QTest::newRow("mnemonic") << QStringLiteral("&Quit") << QStringLiteral("_Quit");
    QTest::newRow("literal ampersand")
        << QStringLiteral("Fish && Chips") << QStringLiteral("Fish & Chips");
    QTest::newRow("literal underscore")
        << QStringLiteral("snake_case") << QStringLiteral("snake__case");
    QTest::newRow("trailing ampersand") << QStringLiteral("Odd&") << QStringLiteral("Odd");
    QTest::newRow("shortcut column") << QStringLiteral("Quit\tCtrl+Q") << QStringLiteral("Quit");
}

void tst_StatusNotifierItem::labelFromText() {
    QFETCH(QString, text);
    QFETCH(QString, label);
    QCOMPARE(DBusMenuExporter::labelFromText(text), label);
}

// With --serve-watcher the binary is only a watcher on the session bus, until its input closes.
static int serveWatcher(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    FakeWatcher watcher;
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.registerObject(QStringLiteral("/StatusNotifierWatcher"), &watcher,
                            QDBusConnection::ExportAllSlots |
                                QDBusConnection::ExportAllProperties) ||
        !bus.registerService(watcherService))
        return 1;
    QSocketNotifier input(0, QSocketNotifier::Read);
    QObject::connect(&input, &QSocketNotifier::activated, &app, [&app] {
        char buffer[64];
        if (::read(0, buffer, sizeof buffer) <= 0)
            app.quit();
    });
    std::fputs("ready\n", stdout);
    std::fflush(stdout);
    return app.exec();
}

int main(int argc, char** argv) {
    if (argc > 1 && qstrcmp(argv[1], "--serve-watcher") == 0)
        return serveWatcher(argc, argv);
    QApplication app(argc, argv);
    tst_StatusNotifierItem test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}
#include "tst_StatusNotifierItem.moc"
