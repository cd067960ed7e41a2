#include "HistoryTestSupport.h"
#include "history/CustomPieChartView.h"

#include <QImage>
#include <QTest>
#include <QtMath>
#include <cmath>

using namespace Qt::StringLiterals;

namespace {

TaskEntry entry(const QString& name, qint64 seconds) {
    return entryAt(name, seconds, localTime(0, 10));
}

QColor colorFor(const QString& name) {
    static const QHash<QString, QColor> colors{
        {u"A"_s, Qt::red}, {u"B"_s, Qt::blue}, {u"C"_s, Qt::green}};
    return colors.value(name, Qt::magenta);
}

QImage drawn(const QList<TaskEntry>& tasks, QSize size) {
    CustomPieChartView chart(tasks, colorFor);
    return renderedOnTransparent(chart, size);
}

// The pixel at a clock angle (degrees clockwise from 12 o'clock) and radius around the centre.
QColor pixelAt(const QImage& image, double clockDegrees, double radius) {
    const double angle = qDegreesToRadians(clockDegrees - 90.0);
    const QPointF centre(image.width() / 2.0, image.height() / 2.0);
    const QPoint point =
        (centre + QPointF(radius * std::cos(angle), radius * std::sin(angle))).toPoint();
    return image.pixelColor(point);
}

} // namespace

class tst_CustomPieChartView : public QObject {
    Q_OBJECT
private slots:
    void slicesFollowTheTotalsLargestFirst_data() {
        QTest::addColumn<QList<TaskEntry>>("tasks");
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<QList<double>>("degrees"); // start, end of each slice

        QTest::newRow("nothing") << QList<TaskEntry>{} << QStringList{} << QList<double>{};
        QTest::newRow("all zero") << QList<TaskEntry>{entry(u"A"_s, 0), entry(u"B"_s, 0)}
                                  << QStringList{} << QList<double>{};
        QTest::newRow("three quarters and one")
            << QList<TaskEntry>{entry(u"B"_s, 900), entry(u"A"_s, 2700)}
            << QStringList{u"A"_s, u"B"_s} << QList<double>{-90, 180, 180, 270};
        QTest::newRow("same name merged")
            << QList<TaskEntry>{entry(u"A"_s, 600), entry(u"B"_s, 1800), entry(u"A"_s, 600)}
            << QStringList{u"B"_s, u"A"_s} << QList<double>{-90, 126, 126, 270};
        QTest::newRow("zero duration keeps an empty slice")
            << QList<TaskEntry>{entry(u"A"_s, 60), entry(u"C"_s, 0)} << QStringList{u"A"_s, u"C"_s}
            << QList<double>{-90, 270, 270, 270};
    }

    void slicesFollowTheTotalsLargestFirst() {
        QFETCH(QList<TaskEntry>, tasks);
        QFETCH(QStringList, names);
        QFETCH(QList<double>, degrees);
        const QList<PieSliceData> slices = CustomPieChartView::pieSlices(tasks);
        QCOMPARE(slices.size(), names.size());
        for (qsizetype i = 0; i < slices.size(); ++i) {
            QCOMPARE(slices[i].taskName, names[i]);
            QVERIFY(qAbs(qRadiansToDegrees(slices[i].startAngle) - degrees[2 * i]) < 1e-9);
            QVERIFY(qAbs(qRadiansToDegrees(slices[i].endAngle) - degrees[2 * i + 1]) < 1e-9);
        }
    }

    void twoTasksFillThreeQuartersAndOneQuarter() {
        const QImage image = drawn({entry(u"A"_s, 2700), entry(u"B"_s, 900)}, QSize(300, 200));
        QCOMPARE(pixelAt(image, 90, 75), QColor(Qt::red));   // 3 o'clock
        QCOMPARE(pixelAt(image, 180, 75), QColor(Qt::red));  // 6 o'clock
        QCOMPARE(pixelAt(image, 315, 75), QColor(Qt::blue)); // between 9 and 12
        QCOMPARE(pixelAt(image, 20, 75), QColor(Qt::red));   // just after 12
    }

    // One task is a whole ring with an empty hole, as wide as the smaller side allows.
    void singleTaskIsOneRingFittingTheSmallerSide() {
        const QImage image = drawn({entry(u"A"_s, 1500)}, QSize(120, 300));
        for (const double clock : {0.0, 135.0, 359.0}) {
            QCOMPARE(pixelAt(image, clock, 55), QColor(Qt::red));
            QCOMPARE(pixelAt(image, clock, 65).alpha(), 0);
            QCOMPARE(pixelAt(image, clock, 25).alpha(), 0); // the hole
            QCOMPARE(pixelAt(image, clock, 0).alpha(), 0);
        }
    }
};

QTEST_MAIN(tst_CustomPieChartView)
#include "tst_CustomPieChartView.moc"
