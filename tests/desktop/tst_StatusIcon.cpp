#include "statusitem/StatusIcon.h"

#include <QPainter>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// Share of pixels where two drawings differ plainly, not by a shade of anti-aliasing.
double differingShare(const QImage& a, const QImage& b) {
    int differing = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            const QColor p = a.pixelColor(x, y);
            const QColor q = b.pixelColor(x, y);
            const int distance = std::abs(p.red() - q.red()) + std::abs(p.green() - q.green()) +
                                 std::abs(p.blue() - q.blue()) + std::abs(p.alpha() - q.alpha());
            if (distance > 120)
                ++differing;
        }
    }
    return double(differing) / (a.width() * a.height());
}

// Share of pixels that stand out from the panel behind the icon.
double visibleShare(const QImage& icon, const QColor& panel) {
    QImage bare(icon.size(), QImage::Format_ARGB32);
    bare.fill(panel);
    QImage composed = bare;
    QPainter(&composed).drawImage(0, 0, icon);
    return differingShare(composed, bare);
}

// The digits are light strokes on a darker badge (at its darkest while running, greyed out while
// stopped): count both in the middle of the icon.
std::pair<int, int> lightAndDarkInCentre(const QImage& icon) {
    int light = 0;
    int dark = 0;
    const int margin = icon.width() / 4;
    for (int y = margin; y < icon.height() - margin; ++y) {
        for (int x = margin; x < icon.width() - margin; ++x) {
            const int lightness = QColor(icon.pixel(x, y)).lightness();
            if (lightness > 200)
                ++light;
            else if (lightness < 120)
                ++dark;
        }
    }
    return {light, dark};
}

QImage render(const QString& title, int size, bool running = true) {
    return StatusIcon::render(StatusIcon::faceOf(title, running), size);
}

} // namespace

class tst_StatusIcon final : public QObject {
    Q_OBJECT

private slots:
    // A countdown reads like a kitchen timer: the minutes begun, never 0 while time remains.
    void minutesShown_data() {
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("minutes");
        QTest::newRow("whole minutes") << u"30:00"_s << u"30"_s;
        QTest::newRow("a second gone") << u"29:59 Write"_s << u"30"_s;
        QTest::newRow("last minute") << u"00:59"_s << u"1"_s;
        QTest::newRow("run out") << u"00:00"_s << u"0"_s;
        QTest::newRow("no leading zero") << u"05:00"_s << u"5"_s;
        QTest::newRow("three digits") << u"599:30"_s << u"600"_s;
        QTest::newRow("colon in the name") << u"24:00 Call 10:30"_s << u"24"_s;
        QTest::newRow("beyond any number")
            << u"99999999999999999999:30"_s << u"99999999999999999999"_s;
        QTest::newRow("largest number")
            << u"18446744073709551615:30"_s << u"18446744073709551615"_s;
        QTest::newRow("no time at all") << u"Write"_s << QString();
    }
    void minutesShown() {
        QFETCH(QString, title);
        QFETCH(QString, minutes);
        QCOMPARE(StatusIcon::faceOf(title, true).minutes, minutes);
    }

    // The picture is drawn from the face alone: faces that differ must look different.
    void minutesDecideThePicture_data() {
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("second");
        QTest::newRow("a minute gone") << u"30:00"_s << u"29:00"_s;
        QTest::newRow("last minute is not zero") << u"00:59"_s << u"00:00"_s;
        QTest::newRow("three digits") << u"600:00"_s << u"599:00"_s;
        QTest::newRow("no time at all") << u""_s << u"30:00"_s;
    }
    void minutesDecideThePicture() {
        QFETCH(QString, first);
        QFETCH(QString, second);
        for (const int size : {16, 22, 32}) {
            const QImage a = render(first, size);
            QCOMPARE(a.size(), QSize(size, size));
            QVERIFY(a != render(second, size));
        }
    }

    // A tray paints the icon into the slot it gives it, at its screen's pixel ratio: that one size
    // is drawn, centred in the slot and as sharp as a drawing made for it.
    void iconDrawsTheSizeItIsPaintedAt_data() {
        QTest::addColumn<QSize>("slot");
        QTest::addColumn<int>("ratio");
        QTest::addColumn<QRect>("drawn"); // in device pixels
        QTest::newRow("22 px tray") << QSize(22, 22) << 1 << QRect(0, 0, 22, 22);
        QTest::newRow("taller slot") << QSize(24, 32) << 1 << QRect(0, 4, 24, 24);
        QTest::newRow("wider slot") << QSize(30, 22) << 1 << QRect(4, 0, 22, 22);
        QTest::newRow("doubled screen") << QSize(16, 16) << 2 << QRect(0, 0, 32, 32);
    }
    void iconDrawsTheSizeItIsPaintedAt() {
        QFETCH(QSize, slot);
        QFETCH(int, ratio);
        QFETCH(QRect, drawn);
        const StatusIcon::Face face = StatusIcon::faceOf(u"24:59 Write"_s, true);
        QImage painted(slot * ratio, QImage::Format_ARGB32_Premultiplied);
        painted.setDevicePixelRatio(ratio);
        painted.fill(Qt::transparent);
        QPainter painter(&painted);
        StatusIcon::icon(face).paint(&painter, QRect(QPoint(), slot));
        painter.end();
        painted.setDevicePixelRatio(1);

        QImage expected(painted.size(), QImage::Format_ARGB32_Premultiplied);
        expected.fill(Qt::transparent);
        QPainter(&expected).drawImage(drawn.topLeft(), StatusIcon::render(face, drawn.width()));
        QCOMPARE(painted, expected);
    }

    // Legible on any panel, and running and stopped differ at a glance, even at the smallest size
    // a panel asks for.
    void legibleOnLightAndDarkPanels_data() {
        QTest::addColumn<QString>("title");
        QTest::addColumn<int>("size");
        QTest::addColumn<bool>("running");
        for (const char* title : {"30:00", "600:00", "7:00 Read", "00:59"}) {
            for (const int size : {16, 24, 32}) {
                for (const bool running : {true, false}) {
                    QTest::addRow("%s at %d, %s", title, size, running ? "running" : "stopped")
                        << QString::fromLatin1(title) << size << running;
                }
            }
        }
    }
    void legibleOnLightAndDarkPanels() {
        QFETCH(QString, title);
        QFETCH(int, size);
        QFETCH(bool, running);
        const QImage icon = render(title, size, running);
        // The digits stand on a ground of their own, so the panel never shows through behind them.
        const int margin = size / 4;
        for (int y = margin; y < size - margin; ++y) {
            for (int x = margin; x < size - margin; ++x)
                QCOMPARE(qAlpha(icon.pixel(x, y)), 255);
        }
        // And the icon's outline stands out from any panel.
        for (const QColor panel : {QColor(Qt::white), QColor(0xf0, 0xf0, 0xf0), QColor(Qt::black),
                                   QColor(0x30, 0x30, 0x30), QColor(0x26, 0x32, 0x38)}) {
            QVERIFY2(visibleShare(icon, panel) > 0.15, qPrintable(panel.name()));
        }
        const auto [light, dark] = lightAndDarkInCentre(icon);
        QVERIFY2(light >= size / 2, "the digits are drawn");
        QVERIFY2(dark >= size / 2, "the digits stand on a dark ground");
        QVERIFY(differingShare(icon, render(title, size, !running)) > 0.15);
    }
};

QTEST_MAIN(tst_StatusIcon)
#include "tst_StatusIcon.moc"
