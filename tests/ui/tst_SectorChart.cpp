#include "HistoryTestSupport.h"
#include "kit/SectorChart.h"

#include <QImage>
#include <QPainterPath>
#include <QTest>
#include <QtMath>
#include <cmath>

using namespace Qt::StringLiterals;

namespace {

using Marks = QList<SectorChart::Mark>;

QColor colorFor(const QString& key) {
    return key == QLatin1String("A") ? QColor(Qt::red) : QColor(Qt::blue);
}

QImage drawn(const Marks& marks, QSize size) {
    SectorChart chart(marks, colorFor);
    return renderedOnTransparent(chart, size);
}

QPointF polar(QPointF centre, double clockDegrees, double radius) {
    const double angle = qDegreesToRadians(clockDegrees - 90.0);
    return centre + QPointF(radius * std::cos(angle), radius * std::sin(angle));
}

} // namespace

class tst_SectorChart : public QObject {
    Q_OBJECT
private slots:
    void anglesFollowTheValuesInOrder_data() {
        QTest::addColumn<Marks>("marks");
        QTest::addColumn<QList<double>>("degrees");
        const QString a = u"A"_s;
        QTest::newRow("empty") << Marks{} << QList<double>{};
        QTest::newRow("all zero") << Marks{{a, 0}, {a, 0}} << QList<double>{};
        // Per entry, in the given order (not largest first): same names stay separate sectors.
        QTest::newRow("in order") << Marks{{a, 900}, {a, 2700}} << QList<double>{-90, 0, 0, 270};
        QTest::newRow("three") << Marks{{a, 1800}, {u"B"_s, 600}, {a, 1200}}
                               << QList<double>{-90, 90, 90, 150, 150, 270};
    }

    void anglesFollowTheValuesInOrder() {
        QFETCH(Marks, marks);
        QFETCH(QList<double>, degrees);
        const auto angles = SectorChart::angles(marks);
        QCOMPARE(angles.size() * 2, degrees.size());
        for (qsizetype i = 0; i < angles.size(); ++i) {
            QVERIFY(qAbs(qRadiansToDegrees(angles[i].first) - degrees[2 * i]) < 1e-9);
            QVERIFY(qAbs(qRadiansToDegrees(angles[i].second) - degrees[2 * i + 1]) < 1e-9);
        }
    }

    void sectorsAreRingsWithGapsBetweenNeighbours() {
        const QImage image = drawn({{u"A"_s, 2700}, {u"B"_s, 900}}, QSize(300, 200));
        const QPointF centre(150, 100);
        QCOMPARE(image.pixelColor(polar(centre, 90, 75).toPoint()), QColor(Qt::red));
        QCOMPARE(image.pixelColor(polar(centre, 315, 75).toPoint()), QColor(Qt::blue));
        // Inner radius is half the outer one.
        QCOMPARE(image.pixelColor(polar(centre, 90, 45).toPoint()).alpha(), 0);
        QCOMPARE(image.pixelColor(polar(centre, 90, 56).toPoint()), QColor(Qt::red));
        // The boundary at 9 o'clock lies on the centre line: the 1.5-point gap leaves that pixel
        // row mostly empty, while the rows beside it are filled.
        QVERIFY(image.pixelColor(75, 99).alpha() < 128);
        QCOMPARE(image.pixelColor(75, 96), QColor(Qt::blue));
        QCOMPARE(image.pixelColor(75, 102), QColor(Qt::red));
        // The same at 12 o'clock, on the centre column.
        QVERIFY(image.pixelColor(149, 25).alpha() < 128);
    }

    void cornersAreRounded() {
        // A sharp corner would fill the pixel right beside the gap on the outer rim; 5-point
        // rounding leaves it empty, while the same radius further along the arc is filled.
        const QPainterPath sector = SectorChart::sectorPath(QPointF(0, 0), 50, 100, -M_PI / 2, 0);
        QVERIFY(!sector.contains(QPointF(1.5, -99.0)));
        QVERIFY(sector.contains(polar(QPointF(0, 0), 45, 99.0)));
        QVERIFY(!sector.contains(QPointF(1.2, -50.6))); // inner corner
        QVERIFY(sector.contains(QPointF(6.0, -75.0)));  // the edge itself is straight
        QVERIFY(!sector.contains(QPointF(0.5, -75.0))); // inside the gap
    }

    void singleMarkIsOneRingWithAnEmptyHole() {
        const QImage image = drawn({{u"A"_s, 1500}}, QSize(300, 200));
        const QPointF centre(150, 100);
        for (const double clock : {0.0, 180.0, 359.5}) {
            QCOMPARE(image.pixelColor(polar(centre, clock, 75).toPoint()), QColor(Qt::red));
            QCOMPARE(image.pixelColor(polar(centre, clock, 30).toPoint()).alpha(), 0);
        }
    }
};

QTEST_MAIN(tst_SectorChart)
#include "tst_SectorChart.moc"
