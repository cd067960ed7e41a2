#include "HistoryTestSupport.h"
#include "history/CustomPieChartView.h"
#include "history/TaskPieChartView.h"
#include "kit/SectorChart.h"
#include "kit/Style.h"
#include "kit/Widgets.h"

#include <QTest>

using namespace Qt::StringLiterals;

namespace {

TaskEntry entry(const QString& name, qint64 seconds) {
    return entryAt(name, seconds, localTime(0, 10));
}

} // namespace

class tst_TaskPieChartView : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { Style::setAnimationsEnabled(false); }
    void legendShowsTotalsAndTruncatedShares_data() {
        QTest::addColumn<QList<TaskEntry>>("tasks");
        QTest::addColumn<QStringList>("rows"); // "name duration percentage"

        const auto e = [](const char* name, qint64 seconds) {
            return entry(QString::fromUtf8(name), seconds);
        };
        QTest::newRow("single") << QList<TaskEntry>{e("Write", 1500)}
                                << QStringList{u"Write 25m (100%)"_s};
        QTest::newRow("truncated, not rounded")
            << QList<TaskEntry>{e("Write", 1800), e("Read", 600), e("Write", 1200)}
            << QStringList{u"Write 50m (83%)"_s, u"Read 10m (16%)"_s};
        QTest::newRow("all zero") << QList<TaskEntry>{e("A", 0), e("B", 0)}
                                  << QStringList{u"A 0m (0%)"_s, u"B 0m (0%)"_s};
        // 29 of 100 through doubles gives 28.999...; the share must still read 29.
        QTest::newRow("exact share") << QList<TaskEntry>{e("A", 71), e("B", 29)}
                                     << QStringList{u"A 1m (71%)"_s, u"B 0m (29%)"_s};
    }

    void legendShowsTotalsAndTruncatedShares() {
        QFETCH(QList<TaskEntry>, tasks);
        HistoryFixture fixture;
        TaskPieChartView chart(tasks, fixture.colors);
        QStringList shown;
        for (const QWidget* row : chart.findChildren<QWidget*>(u"legendRow"_s)) {
            QCOMPARE(row->findChild<ColorDot*>()->color(),
                     fixture.colors.colorForTask(labelText(row, u"name"_s)));
            shown.append(u"%1 %2 %3"_s.arg(labelText(row, u"name"_s), labelText(row, u"duration"_s),
                                           labelText(row, u"percentage"_s)));
        }
        QTEST(shown, "rows");
        QVERIFY(!chart.findChild<QLabel*>(u"emptyText"_s));
    }

    void emptyDayShowsOnlyItsText() {
        HistoryFixture fixture;
        TaskPieChartView chart({}, fixture.colors);
        QVERIFY(chart.findChild<QLabel*>(u"emptyText"_s));
        QVERIFY(!chart.findChild<QWidget*>(u"pie"_s));
        QVERIFY(!chart.findChild<QWidget*>(u"legend"_s));
    }

    // The pie is 200 points high in the chosen style; a long name leaves the duration and share
    // columns at the trailing edge.
    void layout() {
        HistoryFixture fixture;
        const QString longName(200, QLatin1Char('x'));
        TaskPieChartView chart({entry(longName, 60), entry(u"B"_s, 30)}, fixture.colors);
        chart.resize(400, chart.sizeHint().height());
        chart.show();
        const QWidget* pie = chart.findChild<QWidget*>(u"pie"_s);
        QCOMPARE(pie->height(), 200);
#ifdef HOURLARK_SECTOR_CHART
        QVERIFY(qobject_cast<const SectorChart*>(pie));
#else
        QVERIFY(qobject_cast<const CustomPieChartView*>(pie));
#endif
        const auto percentages = chart.findChildren<QLabel*>(u"percentage"_s);
        QCOMPARE(percentages.size(), 2);
        for (const QLabel* percent : percentages) {
            QCOMPARE(percent->mapTo(&chart, QPoint(percent->width(), 0)).x(),
                     chart.width() - Style::defaultPadding);
        }
    }
};

QTEST_MAIN(tst_TaskPieChartView)
#include "tst_TaskPieChartView.moc"
