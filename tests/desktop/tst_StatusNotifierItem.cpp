// Runs on a private session bus (dbus-run-session): a fake StatusNotifierWatcher on its own
// connection and thread, and a "panel" connection that calls the item the way hosts do.

#include "AppDelegate.h"
#include "Fakes.h"
#include "SessionWatcher.h"
#include "autostart/LoginItemService.h"
#include "kit/Popover.h"
#include "managers/ColorManager.h"
#include "managers/TimerManager.h"
#include "statusitem/DBusMenuExporter.h"
#include "statusitem/StatusIcon.h"
#include "statusitem/StatusNotifierItem.h"

#include <QApplication>
#include <QCursor>
#include <QDBusArgument>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusVariant>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QMenu>
#include <QProcess>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QSocketNotifier>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <limits>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

const QString itemPath = u"/StatusNotifierItem"_s;
const QString itemInterface = u"org.kde.StatusNotifierItem"_s;
const QString menuInterface = u"com.canonical.dbusmenu"_s;

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
        QString row =
            p.value(u"type"_s).toString() == u"separator" ? u"-"_s : p.value(u"label"_s).toString();
        if (!p.value(u"visible"_s, true).toBool())
            row += u" (hidden)"_s;
        else if (!p.value(u"enabled"_s, true).toBool())
            row += u" (disabled)"_s;
        if (p.value(u"toggle-type"_s).toString() == u"checkmark")
            row += p.value(u"toggle-state"_s).toInt() ? u" [x]"_s : u" [ ]"_s;
        if (p.contains(u"shortcut"_s)) {
            // aas: one list of key names per chord
            const auto chords = p.value(u"shortcut"_s).value<QDBusArgument>();
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

// A watcher served by a copy of this binary under a panel's program name: the item tells panels
// apart by the process that owns the watcher.
struct NamedWatcher {
    NamedWatcher(SessionWatcher& session, const QString& program) {
        if (!session.setPresent(false))
            return;
        const QString path = m_bin.filePath(program);
        QFile::link(QCoreApplication::applicationFilePath(), path);
        m_process.start(path, {u"--serve-watcher"_s});
        ready = m_process.waitForStarted() && QTest::qWaitFor([&] {
                    return (m_said += m_process.readAllStandardOutput()).contains("ready\n");
                });
    }
    // What the item registered with, once it has.
    QString registration() {
        m_said += m_process.readAllStandardOutput();
        const qsizetype at = m_said.indexOf("registered ");
        return at < 0 ? QString() : QString::fromUtf8(m_said.mid(at + 11).split('\n').value(0));
    }
    ~NamedWatcher() {
        m_process.closeWriteChannel();
        m_process.waitForFinished();
    }
    bool ready = false;

private:
    QTemporaryDir m_bin;
    QProcess m_process;
    QByteArray m_said;
};

class tst_StatusNotifierItem final : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        QVERIFY2(QDBusConnection::sessionBus().isConnected(),
                 "needs a session bus: dbus-run-session");
        QVERIFY(m_config.isValid());
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_config.path()));
        qputenv("XDG_CONFIG_DIRS", QFile::encodeName(m_config.filePath(u"system"_s)));

        m_panelBus = QDBusConnection::connectToBus(QDBusConnection::SessionBus, u"panel"_s);
        QVERIFY(m_session.registered && m_panelBus.isConnected());
        connect(m_session.watcher, &FakeWatcher::itemRegistered, this,
                [this](const QString& service) { m_registrations << service; });
    }

    void init() {
        m_registrations.clear();
        QVERIFY(m_session.setPresent(true));
        QFile::remove(LoginItemService::entryPath());
    }

    void registrationReachesEachWatcher() {
        StatusNotifierItem item(QDBusConnection::sessionBus());
        const QString expectedPrefix =
            u"org.kde.StatusNotifierItem-%1-"_s.arg(QCoreApplication::applicationPid());
        QVERIFY2(item.serviceName().startsWith(expectedPrefix), qPrintable(item.serviceName()));
        QTRY_COMPARE(m_registrations, QStringList{item.serviceName()});
        QVERIFY(m_panelBus.interface()->isServiceRegistered(item.serviceName()).value());
        // A panel restarting brings a new watcher, which must hear of the item again.
        QVERIFY(m_session.setPresent(false));
        QVERIFY(m_session.setPresent(true));
        QTRY_COMPARE(m_registrations, QStringList({item.serviceName(), item.serviceName()}));
    }

    // The indicator service of MATE and Ayatana desktops shows icons only by name and opens the
    // menu on a left click; the item learns which panel it has from the process that owns the
    // watcher.
    void indicatorHostGetsIconFiles() {
        const NamedWatcher watcher(m_session, u"ayatana-indicator-application-service"_s);
        QVERIFY(watcher.ready);
        StatusNotifierItem item(QDBusConnection::sessionBus());
        m_itemService = item.serviceName();
        QVERIFY(item.opensMenuOnLeftClick());
        item.setTitle(u"24:59 Write"_s);
        QTRY_COMPARE(property(u"XAyatanaLabel"_s).toString(), u"24:59 Write"_s);

        const auto iconFile = [this](int size) {
            return QDir(property(u"IconThemePath"_s).toString())
                .filePath(u"hicolor/%1x%1/apps/%2.png"_s.arg(size).arg(
                    property(u"IconName"_s).toString()));
        };
        const QString first = iconFile(22);
        QVERIFY2(QFileInfo::exists(first), qPrintable(first));
        const QImage drawn = StatusIcon::render(StatusIcon::faceOf(u"24:59 Write"_s, false), 22)
                                 .convertToFormat(QImage::Format_ARGB32);
        QCOMPARE(QImage(first).convertToFormat(QImage::Format_ARGB32), drawn);

        // New minutes, new name (hosts cache icons by name), and the old drawing is gone. The
        // service rescans only when the theme folder's own time moves.
        const QString theme = QDir(property(u"IconThemePath"_s).toString()).filePath(u"hicolor"_s);
        const QDateTime past = QDateTime::currentDateTime().addSecs(-3600);
        const timespec pastTimes[2]{{time_t(past.toSecsSinceEpoch()), 0},
                                    {time_t(past.toSecsSinceEpoch()), 0}};
        QVERIFY(::utimensat(AT_FDCWD, QFile::encodeName(theme).constData(), pastTimes, 0) == 0);
        item.setTitle(u"23:59 Write"_s);
        QTRY_VERIFY(iconFile(22) != first);
        QVERIFY(QFileInfo::exists(iconFile(22)));
        QVERIFY(!QFileInfo::exists(first));
        QVERIFY(QFileInfo(theme).lastModified() > past.addSecs(3000));
    }

    // Each panel says where a click was in its own way; the item keeps where the panel is.
    void clicksAsEachPanelSendsThem_data() {
        QTest::addColumn<QString>("panel");
        QTest::addColumn<bool>("wayland"); // the pointer on the panel cannot be seen
        QTest::addColumn<QString>("method");
        QTest::addColumn<QVariantList>("arguments");
        QTest::addColumn<bool>("refused");
        QTest::addColumn<QPoint>("item"); // (-1, -1): the end of a bar along the top
        const QPoint none;
        const QPoint barEnd(-1, -1);
        const QPoint pointer(420, 9);
        const QVariantList stamp{QVariant::fromValue(7u)};
        QTest::newRow("Ayatana's middle click: the pointer is on the item")
            << u"ayatana-indicator-application-service"_s << false << u"XAyatanaSecondaryActivate"_s
            << stamp << false << pointer;
        // GNOME's extension falls back to SecondaryActivate, which has the click's place.
        QTest::newRow("GNOME's middle click without a place is refused")
            << u"gnome-shell"_s << true << u"XAyatanaSecondaryActivate"_s << stamp << true << none;
        QTest::newRow("GNOME's middle click with its place")
            << u"gnome-shell"_s << true << u"SecondaryActivate"_s << QVariantList{300, 12} << false
            << QPoint(300, 12);
        QTest::newRow("a click with no place on GNOME's X11 session: the pointer")
            << u"gnome-shell"_s << false << u"Activate"_s << QVariantList{0, 0} << false << pointer;
        QTest::newRow("and on its Wayland session: the top bar's right end")
            << u"gnome-shell"_s << true << u"Activate"_s << QVariantList{0, 0} << false << barEnd;
        QTest::newRow("waybar's click within the icon")
            << u"waybar"_s << true << u"Activate"_s << QVariantList{11, 15} << false << barEnd;
        QTest::newRow("waybar's menu within the icon")
            << u"waybar"_s << true << u"ContextMenu"_s << QVariantList{11, 15} << false << barEnd;
        QTest::newRow("a click on the screen, from waybar")
            << u"waybar"_s << true << u"Activate"_s << QVariantList{300, 15} << false
            << QPoint(300, 15);
    }
    void clicksAsEachPanelSendsThem() {
        QFETCH(QString, panel);
        QFETCH(bool, wayland);
        QFETCH(QString, method);
        QFETCH(QVariantList, arguments);
        QFETCH(QPoint, item);
        NamedWatcher watcher(m_session, panel);
        QVERIFY(watcher.ready);
        if (wayland)
            qputenv("WAYLAND_DISPLAY", "wayland-0");
        const auto session = qScopeGuard([] { qunsetenv("WAYLAND_DISPLAY"); });
        StatusNotifierItem statusItem(QDBusConnection::sessionBus());
        m_itemService = statusItem.serviceName();
        // GNOME's extension is told the item's path: an item it knows by name it may drop.
        QTRY_COMPARE(watcher.registration(),
                     panel == u"gnome-shell" ? itemPath : statusItem.serviceName());
        QSignalSpy leftClicks(&statusItem, &StatusItem::leftClicked);
        QSignalSpy rightClicks(&statusItem, &StatusItem::rightClicked);
        QCursor::setPos(420, 9);

        const QDBusMessage reply = call(itemPath, itemInterface, method, arguments);
        QTEST(reply.type() == QDBusMessage::ErrorMessage, "refused");
        if (reply.type() == QDBusMessage::ErrorMessage) {
            QCOMPARE(reply.errorName(), u"org.freedesktop.DBus.Error.UnknownMethod"_s);
            QVERIFY(leftClicks.isEmpty());
            return;
        }
        QSignalSpy& clicks = method == u"ContextMenu" ? rightClicks : leftClicks;
        QTRY_COMPARE(clicks.size(), 1);
        if (item == QPoint(-1, -1))
            item = QGuiApplication::primaryScreen()->geometry().topRight();
        QCOMPARE(statusItem.anchorRect().topLeft(), item);
        if (!item.isNull())
            QCOMPARE(clicks.constFirst().constFirst().toPoint(), item);
    }

    // What a panel is told, step by step. The label follows every title, and titles written
    // within one turn go out as one change; a panel told of a new tooltip re-reads every
    // property, so while the countdown runs that goes with the icon. The tooltip always reads the
    // title as it is when asked.
    void announcementsPerChange() {
        SignalRecorder recorder;
        const QStringList names{u"XAyatanaNewLabel"_s, u"NewToolTip"_s, u"NewIcon"_s};
        connectRecorder(recorder, itemPath, itemInterface, names);
        StatusNotifierItem item(QDBusConnection::sessionBus());
        m_itemService = item.serviceName();
        struct Step {
            const char* what;
            QStringList titles; // written in one turn
            bool running;
            QList<qsizetype> announced; // label, tooltip, icon
        };
        const QList<Step> steps{
            {"set up", {u"02:00 Write"_s}, false, {1, 1, 1}},
            {"started", {u"02:00 Write"_s}, true, {1, 1, 2}},
            {"a second", {u"01:59 Write"_s}, true, {2, 1, 2}},
            {"two seconds in one turn", {u"01:58 Write"_s, u"01:57 Write"_s}, true, {3, 1, 2}},
            {"the same title again", {u"01:57 Write"_s}, true, {3, 1, 2}},
            {"a minute", {u"01:00 Write"_s}, true, {4, 2, 3}},
            {"into the last minute", {u"00:59 Write"_s}, true, {5, 2, 3}},
            {"stopped", {u"00:59 Write"_s}, false, {5, 3, 4}},
            {"renamed while stopped", {u"00:59 Read"_s}, false, {6, 4, 4}},
            {"length set", {u"05:00 Read"_s}, false, {7, 5, 5}},
        };
        for (const Step& step : steps) {
            for (const QString& title : step.titles)
                item.setTitle(title);
            item.setRunning(step.running);
            QTest::qWait(0);
            // The round trip lets every signal sent before it arrive.
            QCOMPARE(toolTipTitle(), step.titles.constLast());
            QList<qsizetype> counts;
            for (const QString& name : names)
                counts << recorder.named(name).size();
            QVERIFY2(counts == step.announced, step.what);
            // '0' is as wide as any digit: the guide keeps the label's width steady.
            QString guide = step.titles.constLast();
            guide.replace(QRegularExpression(u"\\d"_s), u"0"_s);
            QCOMPARE(recorder.named(names[0]).constLast().arguments(),
                     QVariantList({step.titles.constLast(), guide}));
            QCOMPARE(property(u"XAyatanaLabelGuide"_s).toString(), guide);
        }
    }

    // The title of a stopped countdown keeps its time, so only the shell can tell the item.
    void iconAndToolTipOnTheWire() {
        const auto shell = launchShell();
        QTRY_COMPARE(property(u"XAyatanaLabel"_s).toString(), u"30:00"_s);
        const QDBusMessage all =
            call(itemPath, u"org.freedesktop.DBus.Properties"_s, u"GetAll"_s, {itemInterface});
        const QVariantMap props = qdbus_cast<QVariantMap>(all.arguments().value(0));
        QCOMPARE(props.value(u"Menu"_s).value<QDBusObjectPath>().path(), u"/MenuBar"_s);
        QCOMPARE(props.value(u"ItemIsMenu"_s).typeId(), QMetaType::Bool);

        // Each size the shared icon draws, in network byte order: A, R, G, B of each pixel.
        const auto drawnAt = [](bool running) {
            QMap<int, QByteArray> drawn;
            for (const int size : {16, 22, 24, 32, 48})
                drawn[size] =
                    pixmapPixels(StatusIcon::render(StatusIcon::faceOf(u"30:00"_s, running), size));
            return drawn;
        };
        const auto wire = [this] {
            return pixmaps(property(u"IconPixmap"_s).value<QDBusArgument>());
        };
        QCOMPARE(wire(), drawnAt(false));
        shell->timerManager()->startTimer();
        QTRY_COMPARE(wire(), drawnAt(true));
        shell->timerManager()->stopTimer();
        QTRY_COMPARE(wire(), drawnAt(false));
    }

    // The shell's menu as the panel reads it; a click on an entry is the entry's own.
    void menuOfTheShell() {
        const auto shell = launchShell();
        const MenuNode root = layout();
        QCOMPARE(root.id, 0);
        QCOMPARE(root.properties.value(u"children-display"_s).toString(), u"submenu"_s);

        // Where the panel opens the menu on a left click, "Open Timer" leads to the panel.
        const QString openTimer =
            shell->statusItem()->opensMenuOnLeftClick() ? QString() : u" (hidden)"_s;
        QCOMPARE(describe(root), QStringList({
                                     u"Open Timer"_s + openTimer,
                                     u"-"_s + openTimer,
                                     u"Hourlark v1.0 (disabled)"_s,
                                     u"-"_s,
                                     u"Launch at Login [ ]"_s,
                                     u"-"_s,
                                     u"Quit Hourlark Control+q"_s,
                                 }));

        // Turned on behind the menu's back, e.g. by a second instance or by hand: the host's
        // AboutToShow refreshes the check mark and says the layout changed.
        QVERIFY(LoginItemService().setEnabled(true));
        QCOMPARE(menuCall(u"AboutToShow"_s, {0}).arguments(), QVariantList{true});
        QCOMPARE(describe(layout()).value(4), u"Launch at Login [x]"_s);
        QCOMPARE(menuCall(u"AboutToShow"_s, {0}).arguments(), QVariantList{false});

        menuCall(u"Event"_s,
                 {root.children.at(4).id, u"clicked"_s, QVariant::fromValue(QDBusVariant(0)), 0u});
        QTRY_VERIFY(!LoginItemService().isEnabled());
        QTRY_COMPARE(describe(layout()).value(4), u"Launch at Login [ ]"_s);
    }

    void menuChangesAreAnnouncedAndUnknownIdsFail() {
        StatusNotifierItem item(QDBusConnection::sessionBus());
        m_itemService = item.serviceName();
        QMenu menu;
        QAction* first = menu.addAction(u"First"_s);
        SignalRecorder recorder;
        connectRecorder(recorder, u"/MenuBar"_s, menuInterface,
                        {u"LayoutUpdated"_s, u"ItemsPropertiesUpdated"_s});
        item.setContextMenu(&menu);
        QTRY_COMPARE(recorder.named(u"LayoutUpdated"_s).size(), 1);
        const uint revision = recorder.messages.constLast().arguments().value(0).toUInt();
        recorder.messages.clear();

        menu.addAction(u"Second"_s);
        menu.addAction(u"Third"_s);
        QTRY_COMPARE(recorder.named(u"LayoutUpdated"_s).size(), 1);
        QVERIFY(recorder.messages.constLast().arguments().value(0).toUInt() > revision);
        QCOMPARE(layout().children.size(), 3);

        first->setEnabled(false);
        first->setText(u"Renamed"_s);
        QTRY_COMPARE(recorder.named(u"ItemsPropertiesUpdated"_s).size(), 1);
        QCOMPARE(describe(layout()).value(0), u"Renamed (disabled)"_s);

        // The rest of a group is still handled and the unknown id reported.
        const QDBusMessage group =
            menuCall(u"AboutToShowGroup"_s, {QVariant::fromValue(QList<int>{0, 999})});
        QCOMPARE(group.signature(), u"aiai"_s);
        QCOMPARE(qdbus_cast<QList<int>>(group.arguments().value(1)), QList<int>{999});
    }

    // A panel may make these calls blocking: anything but a prompt error freezes it until its
    // own timeout.
    void callsAboutUnknownItemsFail_data() {
        QTest::addColumn<QString>("method");
        QTest::addColumn<QVariantList>("args");
        constexpr int firstItem = -1; // stands for the id the menu's first action got
        QTest::newRow("GetProperty of an unknown id")
            << u"GetProperty"_s << QVariantList{999, u"label"_s};
        QTest::newRow("GetProperty of an unknown property")
            << u"GetProperty"_s << QVariantList{firstItem, u"no-such-property"_s};
        QTest::newRow("GetProperty the menu itself lacks")
            << u"GetProperty"_s << QVariantList{0, u"label"_s};
        QTest::newRow("GetLayout of an unknown id")
            << u"GetLayout"_s << QVariantList{999, -1, QStringList()};
        QTest::newRow("AboutToShow of an unknown id") << u"AboutToShow"_s << QVariantList{999};
    }
    void callsAboutUnknownItemsFail() {
        QFETCH(QString, method);
        QFETCH(QVariantList, args);
        StatusNotifierItem item(QDBusConnection::sessionBus());
        m_itemService = item.serviceName();
        QMenu menu;
        menu.addAction(u"First"_s);
        item.setContextMenu(&menu);
        const int first = layout().children.value(0).id;
        QVERIFY(first > 0);
        if (args.value(0).toInt() == -1)
            args[0] = first;

        const QDBusMessage reply = call(u"/MenuBar"_s, menuInterface, method, args, 5000);
        QCOMPARE(reply.type(), QDBusMessage::ErrorMessage);
        QCOMPARE(reply.errorName(), u"org.freedesktop.DBus.Error.InvalidArgs"_s);
        // The item itself still answers.
        const QDBusMessage label = menuCall(u"GetProperty"_s, {first, u"label"_s});
        QCOMPARE(label.arguments().value(0).value<QDBusVariant>().variant().toString(), u"First"_s);
    }

    // A panel's clicks reach the shell where they happened. Coordinates come from whatever
    // program sits on the bus; the extremes of an int must not overflow the rectangle the popover
    // or the menu is placed by.
    void clicksFarOffScreenAreClamped_data() {
        QTest::addColumn<QString>("method");
        QTest::addColumn<int>("x");
        QTest::addColumn<int>("y");
        constexpr int most = std::numeric_limits<int>::max();
        constexpr int least = std::numeric_limits<int>::min();
        QTest::newRow("Activate") << u"Activate"_s << 120 << 8;
        QTest::newRow("ContextMenu") << u"ContextMenu"_s << 200 << 10;
        QTest::newRow("Activate far right, far up") << u"Activate"_s << most << least;
        QTest::newRow("Activate far left, far down") << u"Activate"_s << least << most;
        QTest::newRow("SecondaryActivate") << u"SecondaryActivate"_s << most << most;
        QTest::newRow("ContextMenu far right, far up") << u"ContextMenu"_s << most << least;
    }
    void clicksFarOffScreenAreClamped() {
        QFETCH(QString, method);
        QFETCH(int, x);
        QFETCH(int, y);
        const auto shell = launchShell();
        QSignalSpy leftClicks(shell->statusItem(), &StatusItem::leftClicked);
        QSignalSpy rightClicks(shell->statusItem(), &StatusItem::rightClicked);
        call(itemPath, itemInterface, method, {x, y});
        const bool context = method == u"ContextMenu";
        QSignalSpy& clicks = context ? rightClicks : leftClicks;
        QTRY_COMPARE(clicks.size(), 1);
        const QPoint point = clicks.constFirst().constFirst().toPoint();
        const auto onScreen = [](int v) { return std::abs(qint64(v)) <= QWIDGETSIZE_MAX; };
        QVERIFY2(onScreen(point.x()) && onScreen(point.y()),
                 qPrintable(u"%1,%2"_s.arg(point.x()).arg(point.y())));
        if (onScreen(x) && onScreen(y))
            QCOMPARE(point, QPoint(x, y));

        QWidget* shown = context ? static_cast<QWidget*>(shell->menu()) : shell->popover();
        QWidget* other = context ? shell->popover() : static_cast<QWidget*>(shell->menu());
        QTRY_VERIFY(shown->isVisible());
        QVERIFY(!other->isVisible());
        QVERIFY(QGuiApplication::primaryScreen()->geometry().intersects(shown->geometry()));
        if (!context) {
            const QRect anchor = shell->statusItem()->anchorRect();
            QCOMPARE(anchor.size(), QSize(1, 1));
            QCOMPARE(anchor.topLeft(), point);
        }
        shown->hide();
    }

    void labelFromText_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("label");
        QTest::newRow("mnemonic") << u"&Quit"_s << u"_Quit"_s;
        QTest::newRow("literal ampersand") << u"Fish && Chips"_s << u"Fish & Chips"_s;
        QTest::newRow("literal underscore") << u"snake_case"_s << u"snake__case"_s;
        QTest::newRow("trailing ampersand") << u"Odd&"_s << u"Odd"_s;
        QTest::newRow("shortcut column") << u"Quit\tCtrl+Q"_s << u"Quit"_s;
    }

    void labelFromText() {
        QFETCH(QString, text);
        QFETCH(QString, label);
        QCOMPARE(DBusMenuExporter::labelFromText(text), label);
    }

private:
    QDBusMessage call(const QString& path, const QString& interface, const QString& method,
                      const QVariantList& args = {}, int timeoutMs = -1) {
        QDBusMessage message =
            QDBusMessage::createMethodCall(m_itemService, path, interface, method);
        message.setArguments(args);
        // Never block: the item answers from this very thread.
        QDBusPendingCallWatcher pending(m_panelBus.asyncCall(message, timeoutMs));
        if (!pending.isFinished())
            QSignalSpy(&pending, &QDBusPendingCallWatcher::finished).wait(30000);
        return pending.reply();
    }
    QDBusMessage menuCall(const QString& method, const QVariantList& args) {
        return call(u"/MenuBar"_s, menuInterface, method, args);
    }

    QVariant property(const QString& name) {
        const QDBusMessage reply =
            call(itemPath, u"org.freedesktop.DBus.Properties"_s, u"Get"_s, {itemInterface, name});
        if (reply.type() != QDBusMessage::ReplyMessage)
            return {};
        return reply.arguments().value(0).value<QDBusVariant>().variant();
    }

    // The title of the ToolTip property: (icon name, icon pixmaps, title, description).
    QString toolTipTitle() {
        const auto toolTip = property(u"ToolTip"_s).value<QDBusArgument>();
        QString iconName, title, description;
        toolTip.beginStructure();
        toolTip >> iconName;
        pixmaps(toolTip);
        toolTip >> title >> description;
        toolTip.endStructure();
        return title;
    }

    // An a(iiay) of icon pixmaps, by width.
    static QMap<int, QByteArray> pixmaps(const QDBusArgument& arg) {
        QMap<int, QByteArray> found;
        arg.beginArray();
        while (!arg.atEnd()) {
            int width = 0, height = 0;
            QByteArray bytes;
            arg.beginStructure();
            arg >> width >> height >> bytes;
            arg.endStructure();
            found[width] = bytes;
        }
        arg.endArray();
        return found;
    }
    static QByteArray pixmapPixels(const QImage& drawn) {
        const QImage image = drawn.convertToFormat(QImage::Format_ARGB32);
        QByteArray bytes(qsizetype(image.width()) * image.height() * 4, Qt::Uninitialized);
        auto* out = reinterpret_cast<uchar*>(bytes.data());
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x, out += 4)
                qToBigEndian<quint32>(image.pixel(x, y), out);
        }
        return bytes;
    }

    MenuNode layout() {
        const QDBusMessage reply = menuCall(u"GetLayout"_s, {0, -1, QStringList()});
        if (reply.type() != QDBusMessage::ReplyMessage || reply.signature() != u"u(ia{sv}av)")
            return {-1, {}, {}};
        return parseNode(reply.arguments().value(1).value<QDBusArgument>());
    }

    void connectRecorder(SignalRecorder& recorder, const QString& path, const QString& interface,
                         const QStringList& names) {
        for (const QString& name : names)
            QVERIFY(m_panelBus.connect(QString(), path, interface, name, &recorder,
                                       SLOT(record(QDBusMessage))));
        // The match rules go to the bus without waiting; a call answered after them proves them in
        // place before the item sends anything.
        QVERIFY(m_panelBus.interface()->isServiceRegistered(u"org.freedesktop.DBus"_s).value());
    }
    std::unique_ptr<AppDelegate> launchShell() {
        static ColorManager colors(m_store);
        auto delegate = std::make_unique<AppDelegate>(m_store, m_notifier, m_clock, colors);
        auto item = std::make_unique<StatusNotifierItem>(QDBusConnection::sessionBus());
        m_itemService = item->serviceName();
        delegate->applicationDidFinishLaunching(std::move(item));
        return delegate;
    }

    SessionWatcher m_session;
    QDBusConnection m_panelBus{QString()};
    QStringList m_registrations;
    QString m_itemService;
    QTemporaryDir m_config;

    MemoryPreferencesStore m_store;
    RecordingNotifier m_notifier;
    ManualClock m_clock;
};

// With --serve-watcher the binary is only a watcher on the session bus, until its input closes.
static int serveWatcher(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    FakeWatcher watcher;
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.registerObject(SessionWatcher::path, &watcher,
                            QDBusConnection::ExportAllSlots |
                                QDBusConnection::ExportAllProperties) ||
        !bus.registerService(SessionWatcher::service))
        return 1;
    QObject::connect(&watcher, &FakeWatcher::itemRegistered, [](const QString& service) {
        std::printf("registered %s\n", qPrintable(service));
        std::fflush(stdout);
    });
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
