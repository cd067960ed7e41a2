#include "statusitem/StatusIcon.h"

#include <QPainter>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

QImage over(const QImage& icon, const QColor& background) {
    QImage composed(icon.size(), QImage::Format_ARGB32);
    composed.fill(background);
    QPainter painter(&composed);
    painter.drawImage(0, 0, icon);
    return composed;
}

// Share of pixels that stand out from the panel behind the icon.
double visibleShare(const QImage& icon, const QColor& panel) {
    const QImage composed = over(icon, panel);
    int visible = 0;
    for (int y = 0; y < composed.height(); ++y) {
        for (int x = 0; x < composed.width(); ++x) {
            const QColor c = composed.pixelColor(x, y);
            const int distance = std::abs(c.red() - panel.red()) +
                                 std::abs(c.green() - panel.green()) +
                                 std::abs(c.blue() - panel.blue());
            if (distance > 120)
                ++visible;
        }
    }
    return double(visible) / (composed.width() * composed.height());
}

// The digits are light strokes on the dark badge: count both in the middle of the icon.
std::pair<int, int> lightAndDarkInCentre(const QImage& icon) {
    int light = 0;
    int dark = 0;
    const int margin = icon.width() / 4;
    for (int y = margin; y < icon.height() - margin; ++y) {
        for (int x = margin; x < icon.width() - margin; ++x) {
            const int lightness = QColor(icon.pixel(x, y)).lightness();
            if (lightness > 200)
                ++light;
            else if (lightness < 80)
                ++dark;
        }
    }
    return {light, dark};
}

} // namespace

class tst_StatusIcon final : public QObject {
    Q_OBJECT

private slots:
    void minutesDecideThePicture_data() {
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("second");
        QTest::addColumn<bool>("same");
        QTest::newRow("next minute") << u"30:00"_s << u"29:59"_s << false;
        QTest::newRow("last minute") << u"01:00"_s << u"00:59"_s << false;
        QTest::newRow("three digits") << u"600:00"_s << u"599:59"_s << false;
        QTest::newRow("seconds only") << u"24:59"_s << u"24:00"_s << true;
        QTest::newRow("task name") << u"24:59 Write"_s << u"24:59"_s << true;
        QTest::newRow("colon in the name") << u"24:59 Call 10:30"_s << u"24:10"_s << true;
        QTest::newRow("no time at all") << u""_s << u"30:00"_s << false;
    }
    void minutesDecideThePicture() {
        QFETCH(QString, first);
        QFETCH(QString, second);
        QFETCH(bool, same);
        for (const int size : {16, 22, 32}) {
            const QImage a = StatusIcon::render(first, size);
            const QImage b = StatusIcon::render(second, size);
            QCOMPARE(a.size(), QSize(size, size));
            QCOMPARE(a == b, same);
        }
    }

    void legibleOnLightAndDarkPanels_data() {
        QTest::addColumn<QString>("title");
        QTest::addColumn<int>("size");
        for (const char* title : {"30:00", "600:00", "7:00 Read"}) {
            for (const int size : {16, 24, 32})
                QTest::addRow("%s at %d", title, size) << QString::fromLatin1(title) << size;
        }
    }
    void legibleOnLightAndDarkPanels() {
        QFETCH(QString, title);
        QFETCH(int, size);
        const QImage icon = StatusIcon::render(title, size);
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
    }
};

QTEST_MAIN(tst_StatusIcon)
#include "tst_StatusIcon.moc"
