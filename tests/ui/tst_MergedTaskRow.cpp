#include "HistoryTestSupport.h"
#include "history/IndividualTaskRow.h"
#include "history/MergedTaskRow.h"
#include "kit/Style.h"
#include "kit/Widgets.h"

#include <QTest>

using namespace Qt::StringLiterals;

namespace {

struct Shown {
    QWidget window;
    MergedTaskRow* row = nullptr;
    int deleteAllCalls = 0;
};

// A row over completions of one name, newest first as the day section builds it.
std::unique_ptr<Shown> show(HistoryFixture& fixture, const QList<TaskEntry>& tasks) {
    auto shown = std::make_unique<Shown>();
    shown->window.resize(400, 460);
    Shown* raw = shown.get();
    shown->row = new MergedTaskRow(
        mergedTasks(tasks).first(), fixture.history, fixture.colors,
        [raw] { ++raw->deleteAllCalls; }, &shown->window);
    shown->row->resize(400, shown->row->sizeHint().height());
    shown->window.show();
    return shown;
}

QList<TaskEntry> completionsOfA(const QList<qint64>& durations) {
    QList<TaskEntry> tasks;
    for (qsizetype i = 0; i < durations.size(); ++i)
        tasks.append(entryAt(u"A"_s, durations[i], localTime(0, 15, 45 - int(i))));
    return tasks;
}

} // namespace

class tst_MergedTaskRow : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { Style::setAnimationsEnabled(false); }
    void summary_data() {
        QTest::addColumn<QList<qint64>>("durations");
        QTest::addColumn<QString>("pill");
        QTest::addColumn<QString>("subtitle");
        QTest::addColumn<QString>("badge");
        QTest::addColumn<QStringList>("menu");
        const QStringList single{u"Edit"_s, u"Delete"_s};
        QTest::newRow("one completion")
            << QList<qint64>{65} << u"1:05"_s << u"15:45"_s << QString() << single;
        QTest::newRow("three completions")
            << QList<qint64>{60, 60, 5} << u"2:05"_s << u"3 completions"_s << u"×3"_s
            << QStringList{u"Delete All (3)"_s};
    }

    void summary() {
        QFETCH(QList<qint64>, durations);
        HistoryFixture fixture;
        auto shown = show(fixture, completionsOfA(durations));
        QTEST(labelText(shown->row, u"duration"_s), "pill");
        QTEST(labelText(shown->row, u"subtitle"_s), "subtitle");
        const auto* badgeLabel = shown->row->findChild<QLabel*>(u"badge"_s);
        QTEST(badgeLabel ? badgeLabel->text() : QString(), "badge");
        QTEST(menuTexts(shown->row->actionsButton()), "menu");
        QCOMPARE(shown->row->findChild<ColorDot*>()->color(), fixture.colors.colorForTask(u"A"_s));
        // Only a row of several completions opens.
        QTest::mouseClick(shown->row->rowArea(), Qt::LeftButton);
        QCOMPARE(shown->row->isExpanded(), durations.size() > 1);
    }

    void clickListsCompletionsNewestFirst() {
        HistoryFixture fixture;
        const TaskEntry nine = entryAt(u"Write"_s, 60, localTime(0, 9));
        const TaskEntry eleven = entryAt(u"Write"_s, 120, localTime(0, 11));
        const TaskEntry ten = entryAt(u"Write"_s, 180, localTime(0, 10));
        auto shown = show(fixture, {nine, eleven, ten});
        QVERIFY(shown->row->findChildren<IndividualTaskRow*>().isEmpty());

        QTest::mouseClick(shown->row->rowArea(), Qt::LeftButton);
        QVERIFY(shown->row->isExpanded());
        QList<TaskEntry> listed;
        for (const IndividualTaskRow* row : shown->row->findChildren<IndividualTaskRow*>())
            listed.append(row->task());
        QCOMPARE(listed, (QList<TaskEntry>{eleven, ten, nine}));

        QTest::mouseClick(shown->row->rowArea(), Qt::LeftButton);
        QVERIFY(!shown->row->isExpanded());
        QCOMPARE(shown->row->findChild<QWidget*>(u"completions"_s)->maximumHeight(), 0);
    }

    // A single completion's Delete goes the same way; the history screen's tests use it.
    void deleteAllAsksFirst() {
        HistoryFixture fixture;
        auto shown = show(fixture, completionsOfA({60, 60, 60}));
        QVERIFY(chooseMenuItem(shown->row->actionsButton(), u"Delete All (3)"_s));
        ConfirmationDialog* dialog = openConfirmation(&shown->window);
        QVERIFY(dialog);
        QCOMPARE(shownText(dialog, u"title"_s), u"Delete all 3 completions of 'A'?"_s);
        QCOMPARE(shown->deleteAllCalls, 0); // nothing before the answer
        QTest::mouseClick(dialog->destructiveButton(), Qt::LeftButton);
        QCOMPARE(shown->deleteAllCalls, 1);
        QVERIFY(!Overlay::isOpenIn(&shown->window));
    }
};

QTEST_MAIN(tst_MergedTaskRow)
#include "tst_MergedTaskRow.moc"
