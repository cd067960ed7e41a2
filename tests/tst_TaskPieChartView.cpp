#include "HistoryTestSupport.h"
#include "Platform/SectorChart.h"
#include "Platform/Style.h"
#include "Views/CustomPieChartView.h"
#include "Views/HistoryWidgets.h"
#include "Views/TaskPieChartView.h"

#include <QTest>

namespace {

TaskEntry entry(const QString& name, qint64 seconds) {
    return entryAt(name, seconds, localTime(0, 10));
}

} // namespace

class TestTaskPieChartView : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { Style::setAnimationsEnabled(false); }
    void legendShowsTotalsAndTruncatedShares_data();
    void legendShowsTotalsAndTruncatedShares();
    void emptyDayShowsOnlyItsText();
    void pieIsTwoHundredPointsHighInTheChosenStyle();
    void legendColoursAreTheTaskColours();
    void longNamesKeepTheColumnsAtTheTrailingEdge();
};

void TestTaskPieChartView::legendShowsTotalsAndTruncatedShares_data() {
    QTest::addColumn<QList<TaskEntry>>("tasks");
    QTest::addColumn<QStringList>("rows"); // "name duration percentage"

    const auto e = [](const char* name, qint64 seconds) {
        return entry(QString::fromUtf8(name), seconds);
    };
    QTest::newRow("single") << QList<TaskEntry>{e("Write", 1500)}
                            << QStringList{QStringLiteral("Write 25m (100%)")};
    QTest::newRow("truncated, not rounded")
        << QList<TaskEntry>{e("Write", 1800), e("Read", 600), e("Write", 1200)}
        << QStringList{QStringLiteral("Write 50m (83%)"), QStringLiteral("Read 10m (16%)")};
    QTest::newRow("case counts") << QList<TaskEntry>{e("Write", 600), e("write", 300)}
                                 << QStringList{QStringLiteral("Write 10m (66%)"),
                                                QStringLiteral("write 5m (33%)")};
    QTest::newRow("all zero") << QList<TaskEntry>{e("A", 0), e("B", 0)}
                              << QStringList{QStringLiteral("A 0m (0%)"),
                                             QStringLiteral("B 0m (0%)")};
    QTest::newRow("hour boundary")
        << QList<TaskEntry>{e("A", 3600), e("B", 3599)}
        << QStringList{QStringLiteral("A 1h 0m (50%)"), QStringLiteral("B 59m (49%)")};
    // 29 of 100 through doubles gives 28.999...; the share must still read 29.
    QTest::newRow("exact share") << QList<TaskEntry>{e("A", 71), e("B", 29)}
                                 << QStringList{QStringLiteral("A 1m (71%)"),
                                                QStringLiteral("B 0m (29%)")};
    QTest::newRow("long day") << QList<TaskEntry>{e("A", 90061)}
                              << QStringList{QStringLiteral("A 25h 1m (100%)")};
}

void TestTaskPieChartView::legendShowsTotalsAndTruncatedShares() {
    QFETCH(QList<TaskEntry>, tasks);
    QFETCH(QStringList, rows);
    HistoryFixture fixture;
    TaskPieChartView chart(tasks, fixture.colors);
    QStringList shown;
    for (const QWidget* row : chart.findChildren<QWidget*>(QStringLiteral("legendRow"))) {
        shown.append(QStringLiteral("%1 %2 %3")
                         .arg(labelText(row, QStringLiteral("name")),
                              labelText(row, QStringLiteral("duration")),
                              labelText(row, QStringLiteral("percentage"))));
    }
    QCOMPARE(shown, rows);
    QVERIFY(!chart.findChild<QLabel*>(QStringLiteral("emptyText")));
}

void TestTaskPieChartView::emptyDayShowsOnlyItsText() {
    HistoryFixture fixture;
    TaskPieChartView chart({}, fixture.colors);
    QCOMPARE(labelText(&chart, QStringLiteral("emptyText")),
             QStringLiteral("No tasks for this day"));
    QVERIFY(!chart.findChild<QWidget*>(QStringLiteral("pie")));
    QVERIFY(!chart.findChild<QWidget*>(QStringLiteral("legend")));
}

void TestTaskPieChartView::pieIsTwoHundredPointsHighInTheChosenStyle() {
    HistoryFixture fixture;
    TaskPieChartView chart({entry(QStringLiteral("A"), 60), entry(QStringLiteral("A"), 60)},
                           fixture.colors);
    chart.resize(400, chart.sizeHint().height());
    chart.show();
    const QWidget* pie = chart.findChild<QWidget*>(QStringLiteral("pie"));
    QVERIFY(pie);
    QCOMPARE(pie->height(), 200);
    QVERIFY(pie->width() > 300);
#ifdef HOURLARK_SECTOR_CHART
    QVERIFY(qobject_cast<const SectorChart*>(pie));
#else
    QVERIFY(qobject_cast<const CustomPieChartView*>(pie));
#endif
}

void TestTaskPieChartView::legendColoursAreTheTaskColours() {
    HistoryFixture fixture;
    TaskPieChartView chart({entry(QStringLiteral("Write"), 60), entry(QStringLiteral("Read"), 30)},
                           fixture.colors);
    const auto dots = chart.findChildren<ColorDot*>();
    QCOMPARE(dots.size(), 2);
    QCOMPARE(dots[0]->color(), fixture.colors.colorForTask(QStringLiteral("Write")));
    QCOMPARE(dots[1]->color(), fixture.colors.colorForTask(QStringLiteral("Read")));
    QVERIFY(dots[0]->color() != dots[1]->color());
}

void TestTaskPieChartView::longNamesKeepTheColumnsAtTheTrailingEdge() {
    HistoryFixture fixture;
    const QString longName(200, QLatin1Char('x'));
    TaskPieChartView chart({entry(longName, 60), entry(QStringLiteral("B"), 30)}, fixture.colors);
    chart.resize(400, chart.sizeHint().height());
    chart.show();
    const auto percentages = chart.findChildren<QLabel*>(QStringLiteral("percentage"));
    QCOMPARE(percentages.size(), 2);
    for (const QLabel* percent : percentages) {
        QCOMPARE(percent->width(), TaskPieChartView::percentWidth);
        QCOMPARE(percent->mapTo(&chart, QPoint(percent->width(), 0)).x(),
                 chart.width() - Style::defaultPadding);
    }
    QCOMPARE(labelText(&chart, QStringLiteral("name")), longName);
}

QTEST_MAIN(TestTaskPieChartView)
#include "tst_TaskPieChartView.moc"
