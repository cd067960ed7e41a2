#include "HistoryTestSupport.h"
#include "history/DaySection.h"
#include "history/MergedTaskRow.h"
#include "history/TaskPieChartView.h"
#include "i18n/Translations.h"
#include "kit/Style.h"

#include <QLocale>
#include <QSignalSpy>
#include <QTest>

using namespace Qt::StringLiterals;

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

class tst_DaySection : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        Style::setAnimationsEnabled(false);
        // As the program starts in the C locale: English plural forms, source texts otherwise.
        Translations::install(*QCoreApplication::instance(), QLocale::c());
    }
    void headerCountsAndTotal_data() {
        QTest::addColumn<Durations>("durations");
        QTest::addColumn<QString>("header"); // tasks, completions, total
        const QString a = u"A"_s;
        QTest::newRow("one") << Durations{{a, 600}} << u"1 task, 1 completion, 10m"_s;
        QTest::newRow("merged") << Durations{{a, 600}, {a, 300}, {u"B"_s, 1200}}
                                << u"2 tasks, 3 completions, 35m"_s;
        // Stored durations may be negative: the minutes are the whole total's. The other forms of
        // the total are DurationText's table.
        QTest::newRow("negative, over an hour")
            << Durations{{a, 300}, {a, -4000}} << u"1 task, 2 completions, -61m"_s;
    }

    void headerCountsAndTotal() {
        QFETCH(Durations, durations);
        HistoryFixture fixture;
        DaySection section(dayOf(0), dayOfTasks(durations), fixture.history, fixture.colors, false);
        QTEST(QStringList({labelText(&section, u"taskCount"_s),
                           labelText(&section, u"completionCount"_s),
                           labelText(&section, u"totalDuration"_s)})
                  .join(u", "_s),
              "header");
        QVERIFY(!section.body());
    }

    // The history screen decides what opens; opened, the body has the chart and one closed row
    // per name, largest total first.
    void headerClickOnlyAsks() {
        HistoryFixture fixture;
        const Durations durations{{u"A"_s, 600}, {u"A"_s, 300}, {u"B"_s, 1200}};
        DaySection section(dayOf(0), dayOfTasks(durations), fixture.history, fixture.colors, false);
        section.resize(400, section.sizeHint().height());
        section.show();
        QSignalSpy toggled(&section, &DaySection::toggleRequested);
        QTest::mouseClick(section.header(), Qt::LeftButton);
        QCOMPARE(toggled.size(), 1);
        QTest::keyClick(section.header(), Qt::Key_Space); // the keyboard reaches it too
        QCOMPARE(toggled.size(), 2);
        QVERIFY(!section.isExpanded());
        QVERIFY(!section.body());
        section.setExpanded(true);
        QVERIFY(section.body()->findChild<TaskPieChartView*>());
        QStringList names;
        for (const MergedTaskRow* row : section.findChildren<MergedTaskRow*>()) {
            names.append(row->mergedTask().taskName);
            QVERIFY(!row->isExpanded());
        }
        QCOMPARE(names, QStringList({u"B"_s, u"A"_s}));
        section.setExpanded(false);
        QVERIFY(!section.body()); // closed, the body is gone again
    }

    void collapsedHeightIsTheSameForEveryDay() {
        HistoryFixture fixture;
        DaySection small(dayOf(0), dayOfTasks({{u"A"_s, 60}}), fixture.history, fixture.colors,
                         false);
        DaySection long_(dayOf(1), dayOfTasks({{QString(300, QLatin1Char('x')), 999999}}, 1),
                         fixture.history, fixture.colors, false);
        QCOMPARE(small.sizeHint().height(), DaySection::collapsedHeight());
        QCOMPARE(long_.sizeHint().height(), DaySection::collapsedHeight());
    }

    void deleteAllRemovesOnlyThatDaysCompletionsOfTheName() {
        HistoryFixture fixture;
        const TaskEntry yesterdayA = entryAt(u"A"_s, 60, localTime(1, 10));
        const TaskEntry todayA1 = entryAt(u"A"_s, 60, localTime(0, 9));
        const TaskEntry todayB = entryAt(u"B"_s, 60, localTime(0, 10));
        const TaskEntry todayA2 = entryAt(u"A"_s, 60, localTime(0, 11));
        for (const TaskEntry& task : {yesterdayA, todayA1, todayB, todayA2})
            fixture.history.saveTask(task);
        QWidget window;
        window.resize(400, 700);
        auto* section = new DaySection(dayOf(0), fixture.history.getTasksByDay().first().tasks,
                                       fixture.history, fixture.colors, true, &window);
        section->resize(400, section->sizeHint().height());
        window.show();
        MergedTaskRow* rowA = section->findChildren<MergedTaskRow*>().first();
        QCOMPARE(rowA->mergedTask().taskName, u"A"_s);
        chooseMenuItem(rowA->actionsButton(), u"Delete All (2)"_s);
        QTest::mouseClick(openConfirmation(&window)->destructiveButton(), Qt::LeftButton);
        QCOMPARE(fixture.history.tasks(), (QList<TaskEntry>{yesterdayA, todayB}));
    }
};

QTEST_MAIN(tst_DaySection)
#include "tst_DaySection.moc"
