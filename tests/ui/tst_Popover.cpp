#include "kit/Overlay.h"
#include "kit/Popover.h"
#include "kit/SwayPlacement.h"

#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QProcess>
#include <QScopeGuard>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <sys/socket.h>
#include <sys/un.h>
#include <thread>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

// What another client reads, and how it clicks: the X tools a person's desktop would use.
QString x11(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished() || process.exitCode() != 0)
        return u"%1 failed: %2"_s.arg(program, QString::fromUtf8(process.readAllStandardError()));
    return QString::fromUtf8(process.readAllStandardOutput());
}

// Sway's end of its IPC socket for one message: keeps what it was sent and answers `reply` in
// i3's framing (no answer at all when `reply` is null).
class FakeSway {
public:
    FakeSway(const QString& path, QByteArray reply)
        : m_reply(std::move(reply)) {
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        qstrncpy(address.sun_path, QFile::encodeName(path).constData(), sizeof(address.sun_path));
        m_listener = ::socket(AF_UNIX, SOCK_STREAM, 0);
        ::bind(m_listener, reinterpret_cast<const sockaddr*>(&address), sizeof(address));
        ::listen(m_listener, 1);
        m_thread = std::thread([this] { serve(); });
    }
    ~FakeSway() {
        received();
        ::close(m_listener);
    }
    QByteArray received() {
        if (m_thread.joinable())
            m_thread.join();
        return m_received;
    }

private:
    void serve() {
        const int client = ::accept(m_listener, nullptr, nullptr);
        char buffer[512];
        const ssize_t n = ::recv(client, buffer, sizeof(buffer), 0);
        m_received = QByteArray(buffer, n > 0 ? qsizetype(n) : 0);
        if (!m_reply.isNull()) {
            const quint32 header[] = {quint32(m_reply.size()), 0};
            QByteArray answer = "i3-ipc" + QByteArray(reinterpret_cast<const char*>(header), 8);
            answer += m_reply;
            ::send(client, answer.constData(), size_t(answer.size()), MSG_NOSIGNAL);
        }
        ::close(client);
    }

    QByteArray m_reply;
    QByteArray m_received;
    int m_listener = -1;
    std::thread m_thread;
};

} // namespace

class tst_Popover final : public QObject {
    Q_OBJECT

private slots:
    // Sway centres X11 windows whatever they ask for; its IPC socket puts the panel in its place.
    void swayMovesThePanel_data() {
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<bool>("moved");
        QTest::newRow("moved") << QByteArray(R"([ { "success": true } ])") << true;
        QTest::newRow("no such window yet")
            << QByteArray(R"([ { "success": false, "error": "No matching node." } ])") << false;
        QTest::newRow("not json") << QByteArray("nonsense") << false;
        QTest::newRow("no answer") << QByteArray() << false;
    }
    void swayMovesThePanel() {
        QFETCH(QByteArray, reply);
        QTemporaryDir folder;
        const QString socket = folder.filePath(u"sway-ipc.sock"_s);
        FakeSway sway(socket, reply);
        const QByteArray command = SwayPlacement::moveCommand(0x400006, QPoint(1046, 34));
        QTEST(SwayPlacement::run(socket, command), "moved");
        const QByteArray sent = sway.received();
        QVERIFY(sent.startsWith("i3-ipc"));
        QCOMPARE(sent.mid(14), "[id=4194310] move absolute position 1046 px 34 px");
        QVERIFY(!SwayPlacement::run(folder.filePath(u"gone.sock"_s), command));
    }

    // XWayland's screens on sway cover the bars too; sway's focused workspace does not.
    void swayUsableArea_data() {
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<QRect>("area");
        QTest::newRow("below a bar along the top")
            << QByteArray(R"([{"name": "1", "focused": false, "rect": {"x": 1280, "y": 0,
                 "width": 1280, "height": 800}}, {"name": "2", "focused": true, "rect":
                 {"x": 0, "y": 30, "width": 1280, "height": 770}}])")
            << QRect(0, 30, 1280, 770);
        QTest::newRow("none focused")
            << QByteArray(R"([{"name": "1", "focused": false}])") << QRect();
        QTest::newRow("not json") << QByteArray("nonsense") << QRect();
    }
    void swayUsableArea() {
        QFETCH(QByteArray, reply);
        QTemporaryDir folder;
        const QString socket = folder.filePath(u"sway-ipc.sock"_s);
        FakeSway sway(socket, reply);
        QTEST(SwayPlacement::usableArea(socket), "area");
        // GET_WORKSPACES: no payload, message type 1.
        QCOMPARE(sway.received().mid(6), QByteArray("\0\0\0\0\1\0\0\0", 8));
    }

    void placement_data() {
        QTest::addColumn<QRect>("anchor");
        QTest::addColumn<QPoint>("point");
        QTest::addColumn<QPoint>("expected");
        // A 350 x 300 panel on the screen's free area: 1000 x 800 below a 30-pixel top panel.
        QTest::newRow("below an item in a top panel")
            << QRect(500, 5, 20, 20) << QPoint() << QPoint(334, 30);
        QTest::newRow("above an item in a bottom panel")
            << QRect(500, 812, 20, 20) << QPoint() << QPoint(334, 508);
        QTest::newRow("pushed in from the right edge")
            << QRect(980, 5, 20, 20) << QPoint() << QPoint(650, 30);
        QTest::newRow("pushed in from the left edge")
            << QRect(0, 5, 20, 20) << QPoint() << QPoint(0, 30);
        QTest::newRow("no anchor: at the point") << QRect() << QPoint(400, 100) << QPoint(225, 104);
        QTest::newRow("no anchor near the bottom: above the point")
            << QRect() << QPoint(400, 800) << QPoint(225, 496);
    }
    void placement() {
        QFETCH(QRect, anchor);
        QFETCH(QPoint, point);
        QFETCH(QPoint, expected);
        QCOMPARE(Popover::placement(QSize(350, 300), anchor, point, QRect(0, 30, 1000, 800)),
                 expected);
    }

    // Clicking the status item while the popover is open first takes the focus away (closing it)
    // and then arrives as a click: that click must not open it again. An open sheet keeps it open.
    void togglesAndClosesWhenClickedOutside() {
        Popover popover;
        popover.setContent(new QLabel(u"panel"_s));
        popover.toggle(QRect(), QPoint(50, 50));
        QVERIFY(popover.isShown());
        popover.toggle(QRect(), QPoint(50, 50));
        QVERIFY(!popover.isShown());

        popover.showAt(QRect(), QPoint(50, 50));
        QEvent deactivate(QEvent::WindowDeactivate);
        QApplication::sendEvent(&popover, &deactivate);
        QVERIFY(!popover.isShown());
        popover.toggle(QRect(), QPoint(50, 50));
        QVERIFY(!popover.isShown());
        popover.toggle(QRect(), QPoint(50, 50));
        QVERIFY(popover.isShown());

        auto* overlay = new Overlay(popover.content(), new QLabel(u"sheet"_s));
        QApplication::sendEvent(&popover, &deactivate);
        QTest::keyClick(&popover, Qt::Key_Escape);
        QVERIFY(popover.isShown());
        overlay->dismiss();
        QTest::keyClick(&popover, Qt::Key_Escape);
        QVERIFY(!popover.isShown());
    }

    // On an X server (ctest runs these under Xvfb as tst_Popover_x11): taskbars and pagers leave
    // the panel out, and a press outside it closes it even where the click moves no focus, as on
    // GNOME's empty desktop; the press is not grabbed, so another window of ours still gets it.
    // GNOME's Wayland session, through XWayland, sees no press outside the program's windows:
    // there the press lands on a window of ours under the panel.
    void onX11_data() {
        QTest::addColumn<QPoint>("press"); // the panel's frame is at 125,104, 350 x 300
        QTest::addColumn<int>("button");
        QTest::addColumn<bool>("sheet");
        QTest::addColumn<bool>("menuThere");
        QTest::addColumn<bool>("gnomeOnWayland");
        QTest::addColumn<bool>("closes");
        const QPoint outside(800, 600);
        const QPoint inside(300, 250);
        QTest::newRow("left press outside") << outside << 1 << false << false << false << true;
        QTest::newRow("right press outside") << outside << 3 << false << false << false << true;
        QTest::newRow("the wheel outside") << outside << 4 << false << false << false << false;
        QTest::newRow("on the panel") << inside << 1 << false << false << false << false;
        QTest::newRow("outside, a sheet open") << outside << 1 << true << false << false << false;
        QTest::newRow("on a menu opened from the panel")
            << outside << 1 << false << true << false << false;
        QTest::newRow("GNOME on Wayland: outside")
            << outside << 1 << false << false << true << true;
        QTest::newRow("GNOME on Wayland: on the panel")
            << inside << 1 << false << false << true << false;
        QTest::newRow("GNOME on Wayland: outside, a sheet open")
            << outside << 1 << true << false << true << false;
    }
    void onX11() {
        if (QGuiApplication::platformName() != u"xcb")
            QSKIP("needs an X server");
        QFETCH(QPoint, press);
        QFETCH(int, button);
        QFETCH(bool, sheet);
        QFETCH(bool, menuThere);
        QFETCH(bool, gnomeOnWayland);
        QFETCH(bool, closes);
        const auto unset = [] {
            qunsetenv("WAYLAND_DISPLAY");
            qunsetenv("XDG_CURRENT_DESKTOP");
        };
        unset();
        if (gnomeOnWayland) {
            qputenv("WAYLAND_DISPLAY", "wayland-0");
            qputenv("XDG_CURRENT_DESKTOP", "ubuntu:GNOME");
        }
        const auto restore = qScopeGuard(unset);
        Popover popover(Popover::Frame::Plain);
        popover.setContent(new QLabel(u"panel"_s));
        popover.showAt(QRect(), QPoint(300, 100));
        QVERIFY(QTest::qWaitForWindowExposed(&popover));
        QMenu menu(popover.content());
        if (menuThere) {
            menu.addAction(u"Delete"_s);
            menu.popup(press - QPoint(10, 10));
            QVERIFY(QTest::qWaitForWindowExposed(&menu));
        }
        QCOMPARE(popover.geometry(), QRect(125, 104, 350, 300));
        const QString state =
            x11(u"xprop"_s, {u"-id"_s, QString::number(popover.winId()), u"_NET_WM_STATE"_s});
        QVERIFY2(state.contains(u"_NET_WM_STATE_SKIP_TASKBAR"_s) &&
                     state.contains(u"_NET_WM_STATE_SKIP_PAGER"_s),
                 qPrintable(state));
        if (sheet)
            new Overlay(popover.content(), new QLabel(u"sheet"_s));

        const QString clicked =
            x11(u"xdotool"_s, {u"mousemove"_s, QString::number(press.x()),
                               QString::number(press.y()), u"click"_s, QString::number(button)});
        QVERIFY2(clicked.isEmpty(), qPrintable(clicked));
        if (closes) {
            QTRY_VERIFY(!popover.isShown());
        } else {
            QTest::qWait(300);
            QVERIFY(popover.isShown());
        }
    }

    // The content keeps its size; a shadowed frame grows the window around it instead.
    void frameKeepsTheContentSize_data() {
        QTest::addColumn<Popover::Frame>("frame");
        QTest::newRow("plain") << Popover::Frame::Plain;
        QTest::newRow("shadowed") << Popover::Frame::Shadowed;
    }
    void frameKeepsTheContentSize() {
        QFETCH(Popover::Frame, frame);
        Popover popover(frame);
        popover.setContent(new QLabel(u"panel"_s));
        popover.showAt(QRect(500, 5, 20, 20), QPoint());
        const int margin = popover.shadowMargin();
        QCOMPARE(margin > 0, frame == Popover::Frame::Shadowed);
        QCOMPARE(popover.content()->size(), QSize(350, 300));
        QCOMPARE(popover.size(), QSize(350 + 2 * margin, 300 + 2 * margin));
        // A sheet dims the content, not the shadow.
        auto* overlay = new Overlay(popover.content(), new QLabel(u"sheet"_s));
        QCOMPARE(QRect(overlay->mapTo(&popover, QPoint()), overlay->size()),
                 popover.content()->geometry());
        overlay->dismiss();
        popover.setContentSize(QSize(400, 500));
        QCOMPARE(popover.content()->size(), QSize(400, 500));

        // The frame, not the shadow, hangs below the anchor and stays on the screen.
        const QRect available = popover.screen()->availableGeometry();
        const QPoint expected =
            Popover::placement(QSize(400, 500), QRect(500, 5, 20, 20), QPoint(), available);
        QCOMPARE(popover.pos() + QPoint(margin, margin), expected);
    }

    // Over a white window the panel still shows where it ends: a border at its edge and, shadowed,
    // a soft shadow in a transparent margin.
    void frameStandsOutOverAWhiteWindow_data() { frameKeepsTheContentSize_data(); }
    void frameStandsOutOverAWhiteWindow() {
        QFETCH(Popover::Frame, frame);
        Popover popover(frame);
        QPalette white = popover.palette();
        white.setColor(QPalette::Window, Qt::white);
        white.setColor(QPalette::WindowText, Qt::black);
        popover.setPalette(white);
        popover.setContent(new QWidget);
        popover.showAt(QRect(), QPoint(100, 100));
        const QImage shot = popover.grab().toImage();
        const int margin = popover.shadowMargin();
        const int middle = shot.height() / 2;

        const QColor edge = shot.pixelColor(margin, middle);
        QVERIFY2(qGray(edge.rgb()) < 230 && edge.alpha() == 255, qPrintable(edge.name()));
        QCOMPARE(shot.pixelColor(margin + 5, middle), QColor(Qt::white));
        if (frame == Popover::Frame::Shadowed) {
            QCOMPARE(shot.pixelColor(0, 0).alpha(), 0);
            const int belowFrame = shot.height() - margin + 1;
            QVERIFY(shot.pixelColor(shot.width() / 2, belowFrame).alpha() > 0);
            QVERIFY(shot.pixelColor(margin, margin).alpha() < 100); // a rounded corner
        }
    }
};

QTEST_MAIN(tst_Popover)
#include "tst_Popover.moc"
