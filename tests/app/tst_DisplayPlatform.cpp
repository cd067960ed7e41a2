#include "DisplayPlatform.h"

#include <QTest>

using namespace Qt::StringLiterals;

using Environment = DisplayPlatform::Environment;

class tst_DisplayPlatform final : public QObject {
    Q_OBJECT

private slots:
    void choosesXWaylandWhereThePanelCanBePlaced_data() {
        QTest::addColumn<QByteArray>("qpa");
        QTest::addColumn<QByteArray>("wayland");
        QTest::addColumn<QByteArray>("session");
        QTest::addColumn<QByteArray>("x11");
        QTest::addColumn<QByteArray>("optOut");
        QTest::addColumn<QByteArray>("chosen");
        const auto row = [](const char* name, std::initializer_list<QByteArray> values) {
            QTestData& data = QTest::newRow(name);
            for (const QByteArray& value : values)
                data << value;
        };
        row("X11 session: Qt's choice", {"", "", "x11", ":0", "", ""});
        row("Wayland with XWayland", {"", "wayland-0", "wayland", ":0", "", "xcb"});
        row("Wayland session type, socket by default", {"", "", "wayland", ":1", "", "xcb"});
        row("Wayland without XWayland", {"", "wayland-0", "wayland", "", "", ""});
        row("the person asked for a platform", {"wayland", "wayland-0", "wayland", ":0", "", ""});
        row("opted out of XWayland", {"", "wayland-0", "wayland", ":0", "1", ""});
        row("opt-out switched off", {"", "wayland-0", "wayland", ":0", "0", "xcb"});
    }
    void choosesXWaylandWhereThePanelCanBePlaced() {
        QFETCH(QByteArray, qpa);
        QFETCH(QByteArray, wayland);
        QFETCH(QByteArray, session);
        QFETCH(QByteArray, x11);
        QFETCH(QByteArray, optOut);
        QTEST(DisplayPlatform::choose(Environment{qpa, wayland, session, x11, optOut}), "chosen");
    }
};

QTEST_GUILESS_MAIN(tst_DisplayPlatform)
#include "tst_DisplayPlatform.moc"
