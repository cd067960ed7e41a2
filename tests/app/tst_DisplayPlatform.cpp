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
        QTest::newRow("X11 session: Qt's choice") << QByteArray() << QByteArray() << "x11"_ba
                                                  << ":0"_ba << QByteArray() << QByteArray();
        QTest::newRow("Wayland with XWayland") << QByteArray() << "wayland-0"_ba
                                               << "wayland"_ba
                                               << ":0"_ba << QByteArray() << "xcb"_ba;
        QTest::newRow("Wayland session type, socket by default")
            << QByteArray() << QByteArray() << "wayland"_ba
            << ":1"_ba << QByteArray() << "xcb"_ba;
        QTest::newRow("Wayland without XWayland")
            << QByteArray() << "wayland-0"_ba
            << "wayland"_ba << QByteArray() << QByteArray() << QByteArray();
        QTest::newRow("the person asked for a platform") << "wayland"_ba
                                                         << "wayland-0"_ba
                                                         << "wayland"_ba
                                                         << ":0"_ba << QByteArray() << QByteArray();
        QTest::newRow("opted out of XWayland") << QByteArray() << "wayland-0"_ba
                                               << "wayland"_ba
                                               << ":0"_ba
                                               << "1"_ba << QByteArray();
        QTest::newRow("opt-out switched off") << QByteArray() << "wayland-0"_ba
                                              << "wayland"_ba
                                              << ":0"_ba
                                              << "0"_ba
                                              << "xcb"_ba;
    }
    void choosesXWaylandWhereThePanelCanBePlaced() {
        QFETCH(QByteArray, qpa);
        QFETCH(QByteArray, wayland);
        QFETCH(QByteArray, session);
        QFETCH(QByteArray, x11);
        QFETCH(QByteArray, optOut);
        QFETCH(QByteArray, chosen);
        QCOMPARE(DisplayPlatform::choose(Environment{qpa, wayland, session, x11, optOut}), chosen);
    }
};

QTEST_GUILESS_MAIN(tst_DisplayPlatform)
#include "tst_DisplayPlatform.moc"
