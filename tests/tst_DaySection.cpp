#include "HistoryTestSupport.h"
#include "Platform/Style.h"
#include "Views/DaySection.h"
#include "Views/HistoryWidgets.h"
#include "Views/MergedTaskRow.h"
#include "Views/TaskPieChartView.h"

#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

using Durations = QList<std::pair<QString, qint64>>;

namespace {

QList<TaskEntry> dayOfTasks(const Durations& durations, int daysAgo = 0) {
    QList<TaskEntry> tasks;
    int minute = 0;
    for (const auto& [name, seconds] : durations) {
        tasks.prepend(entryAt(name, seconds, localTime(daysAgo, 12, minute++))); // newest first
    }
    return tasks;
}

} // namespace

class TestDaySection : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { Style::setAnimationsEnabled(false); }
    void headerCountsAndTotal_data();
    void headerCountsAndTotal();
    void headerNamesTheDay_data();
    void headerNamesTheDay();
    void bodyHasChartAndOneRowPerName_data();
    void bodyHasChartAndOneRowPerName();
    void headerClickOnlyAsks();
    void chevronPointsUpExactlyWhenExpanded();
    void collapsedHeightIsTheSameForEveryDay();
    void deleteAllRemovesOnlyThatDaysCompletionsOfTheName();
};

void TestDaySection::headerCountsAndTotal_data() {
    QTest::addColumn<Durations>("durations");
    QTest::addColumn<QString>("taskCount");
    QTest::addColumn<QString>("completionCount");
    QTest::addColumn<QString>("total");
    const QString a = QStringLiteral("A");
    QTest::newRow("one") << Durations{{a, 600}} << QStringLiteral("1 task")
                         << QStringLiteral("1 completion") << QStringLiteral("10m");
    QTest::newRow("merged") << Durations{{a, 600}, {a, 300}, {QStringLiteral("B"), 1200}}
                            << QStringLiteral("2 tasks") << QStringLiteral("3 completions")
                            << QStringLiteral("35m");
    QTest::newRow("case counts") << Durations{{QStringLiteral("Write"), 60},
                                              {QStringLiteral("write"), 60}}
                                 << QStringLiteral("2 tasks") << QStringLiteral("2 completions")
                                 << QStringLiteral("2m");
    QTest::newRow("59 s") << Durations{{a, 59}} << QStringLiteral("1 task")
                          << QStringLiteral("1 completion") << QStringLiteral("0m");
    QTest::newRow("60 s") << Durations{{a, 60}} << QStringLiteral("1 task")
                          << QStringLiteral("1 completion") << QStringLiteral("1m");
    QTest::newRow("3599 s") << Durations{{a, 3599}} << QStringLiteral("1 task")
                            << QStringLiteral("1 completion") << QStringLiteral("59m");
    QTest::newRow("3600 s") << Durations{{a, 3600}} << QStringLiteral("1 task")
                            << QStringLiteral("1 completion") << QStringLiteral("1h 0m");
    QTest::newRow("3 h 25 min 59 s") << Durations{{a, 12359}} << QStringLiteral("1 task")
                                     << QStringLiteral("1 completion") << QStringLiteral("3h 25m");
    QTest::newRow("25 h 1 min 1 s") << Durations{{a, 50000}, {a, 40061}} << QStringLiteral("1 task")
                                    << QStringLiteral("2 completions") << QStringLiteral("25h 1m");
}

void TestDaySection::headerCountsAndTotal() {
    QFETCH(Durations, durations);
    QFETCH(QString, taskCount);
    QFETCH(QString, completionCount);
    QFETCH(QString, total);
    HistoryFixture fixture;
    DaySection section(dayOf(0), dayOfTasks(durations), fixture.history, fixture.colors, false);
    QCOMPARE(labelText(&section, QStringLiteral("taskCount")), taskCount);
    QCOMPARE(labelText(&section, QStringLiteral("completionCount")), completionCount);
    QCOMPARE(labelText(&section, QStringLiteral("totalDuration")), total);
    QVERIFY(!section.body());
}

void TestDaySection::headerNamesTheDay_data() {
    QTest::addColumn<int>("daysAgo");
    QTest::addColumn<QString>("title");
    QTest::newRow("today") << 0 << QStringLiteral("Today");
    QTest::newRow("yesterday") << 1 << QStringLiteral("Yesterday");
    QTest::newRow("earlier") << 2 << HistoryManager::formatDay(dayOf(2));
}

void TestDaySection::headerNamesTheDay() {
    QFETCH(int, daysAgo);
    QFETCH(QString, title);
    HistoryFixture fixture;
    DaySection section(dayOf(daysAgo), dayOfTasks({{QStringLiteral("A"), 60}}, daysAgo),
                       fixture.history, fixture.colors, false);
    QCOMPARE(labelText(&section, QStringLiteral("title")), title);
    QVERIFY(title != QLatin1String("Today") || daysAgo == 0);
}

void TestDaySection::bodyHasChartAndOneRowPerName_data() {
    QTest::addColumn<Durations>("durations");
    QTest::addColumn<QStringList>("rows");
    const QString a = QStringLiteral("A");
    QTest::newRow("one") << Durations{{a, 600}} << QStringList{a};
    QTest::newRow("largest total first")
        << Durations{{a, 600}, {a, 300}, {QStringLiteral("B"), 1200}}
        << QStringList{QStringLiteral("B"), a};
    QTest::newRow("case counts") << Durations{{QStringLiteral("Write"), 120},
                                              {QStringLiteral("write"), 60}}
                                 << QStringList{QStringLiteral("Write"), QStringLiteral("write")};
}

void TestDaySection::bodyHasChartAndOneRowPerName() {
    QFETCH(Durations, durations);
    QFETCH(QStringList, rows);
    HistoryFixture fixture;
    DaySection section(dayOf(0), dayOfTasks(durations), fixture.history, fixture.colors, true);
    QVERIFY(section.body());
    QVERIFY(section.body()->findChild<TaskPieChartView*>());
    const auto merged = section.findChildren<MergedTaskRow*>();
    QStringList names;
    for (const MergedTaskRow* row : merged) {
        names.append(row->mergedTask().taskName);
        QVERIFY(!row->isExpanded());
    }
    QCOMPARE(names, rows);
    // One divider under the chart, one indented by 16 between rows, none after the last row.
    QList<int> indents;
    for (const Divider* divider : section.body()->findChildren<Divider*>()) {
        if (divider->parentWidget() == merged.first()->parentWidget() ||
            divider->parentWidget() == section.body()) {
            indents.append(divider->indent());
        }
    }
    QList<int> expected{0};
    for (qsizetype i = 1; i < rows.size(); ++i) {
        expected.append(16);
    }
    QCOMPARE(indents, expected);
}

void TestDaySection::headerClickOnlyAsks() {
    HistoryFixture fixture;
    DaySection section(dayOf(0), dayOfTasks({{QStringLiteral("A"), 60}}), fixture.history,
                       fixture.colors, false);
    section.resize(400, section.sizeHint().height());
    section.show();
    QSignalSpy toggled(&section, &DaySection::toggleRequested);
    QTest::mouseClick(section.header(), Qt::LeftButton);
    QCOMPARE(toggled.size(), 1);
    QTest::keyClick(section.header(), Qt::Key_Space); // the keyboard reaches it too
    QCOMPARE(toggled.size(), 2);
    QVERIFY(!section.isExpanded()); // the history screen decides
}

void TestDaySection::chevronPointsUpExactlyWhenExpanded() {
    HistoryFixture fixture;
    DaySection section(dayOf(0), dayOfTasks({{QStringLiteral("A"), 60}}), fixture.history,
                       fixture.colors, false);
    const QLabel* chevron = section.findChild<QLabel*>(QStringLiteral("chevron"));
    QCOMPARE(chevron->property("pointsUp").toBool(), false);
    section.setExpanded(true);
    QCOMPARE(chevron->property("pointsUp").toBool(), true);
    QVERIFY(section.body());
    section.setExpanded(false);
    QCOMPARE(chevron->property("pointsUp").toBool(), false);
    QVERIFY(!section.body());
}

void TestDaySection::collapsedHeightIsTheSameForEveryDay() {
    HistoryFixture fixture;
    DaySection small(dayOf(0), dayOfTasks({{QStringLiteral("A"), 60}}), fixture.history,
                     fixture.colors, false);
    DaySection long_(dayOf(1), dayOfTasks({{QString(300, QLatin1Char('x')), 999999}}, 1),
                     fixture.history, fixture.colors, false);
    QCOMPARE(small.sizeHint().height(), DaySection::collapsedHeight());
    QCOMPARE(long_.sizeHint().height(), DaySection::collapsedHeight());
}

void TestDaySection::deleteAllRemovesOnlyThatDaysCompletionsOfTheName() {
    HistoryFixture fixture;
    const TaskEntry yesterdayA = entryAt(QStringLiteral("A"), 60, localTime(1, 10));
    const TaskEntry todayA1 = entryAt(QStringLiteral("A"), 60, localTime(0, 9));
    const TaskEntry todayB = entryAt(QStringLiteral("B"), 60, localTime(0, 10));
    const TaskEntry todayA2 = entryAt(QStringLiteral("A"), 60, localTime(0, 11));
    for (const TaskEntry& task : {yesterdayA, todayA1, todayB, todayA2}) {
        fixture.history.saveTask(task);
    }
    QWidget window;
    window.resize(400, 700);
    auto* section = new DaySection(dayOf(0), fixture.history.getTasksByDay().first().tasks,
                                   fixture.history, fixture.colors, true, &window);
    section->resize(400, section->sizeHint().height());
    window.show();
    MergedTaskRow* rowA = section->findChildren<MergedTaskRow*>().first();
    QCOMPARE(rowA->mergedTask().taskName, QStringLiteral("A"));
    chooseMenuItem(rowA->actionsButton(), QStringLiteral("Delete All (2)"));
    QTest::mouseClick(openConfirmation(&window)->destructiveButton(), Qt::LeftButton);
    QCOMPARE(fixture.history.tasks(), (QList<TaskEntry>{yesterdayA, todayB}));
}

QTEST_MAIN(TestDaySection)
#include "tst_DaySection.moc"
