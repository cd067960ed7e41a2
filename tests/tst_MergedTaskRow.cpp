#include "HistoryTestSupport.h"
#include "Platform/Style.h"
#include "Views/EditTaskSheet.h"
#include "Views/HistoryWidgets.h"
#include "Views/IndividualTaskRow.h"
#include "Views/MergedTaskRow.h"

#include <QLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

namespace {

// A merged task over completions of one name, newest first as the day section builds it.
MergedTask merged(const QList<TaskEntry>& tasks) {
    return mergedTasks(tasks).first();
}

struct Shown {
    QWidget window;
    MergedTaskRow* row = nullptr;
    int deleteAllCalls = 0;
};

std::unique_ptr<Shown> show(HistoryFixture& fixture, const MergedTask& task) {
    auto shown = std::make_unique<Shown>();
    shown->window.resize(400, 460);
    Shown* raw = shown.get();
    shown->row = new MergedTaskRow(
        task, fixture.history, fixture.colors, [raw] { ++raw->deleteAllCalls; }, &shown->window);
    shown->row->resize(400, shown->row->sizeHint().height());
    shown->window.show();
    return shown;
}

} // namespace

class TestMergedTaskRow : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { Style::setAnimationsEnabled(false); }
    void singleCompletionShowsItsTimeAndEdit();
    void repeatedTaskShowsCountAndDeleteAll();
    void durationPill_data();
    void durationPill();
    void clickListsCompletionsNewestFirst();
    void clickOnSingleCompletionDoesNothing();
    void deleteAllAsksFirst_data();
    void deleteAllAsksFirst();
    void editOpensTheSheetForTheOnlyCompletion();
    void badgeAndDotUseTheTaskColour();
};

void TestMergedTaskRow::singleCompletionShowsItsTimeAndEdit() {
    HistoryFixture fixture;
    auto shown = show(fixture, merged({entryAt(QStringLiteral("A"), 600, localTime(0, 15, 45))}));
    QCOMPARE(labelText(shown->row, QStringLiteral("name")), QStringLiteral("A"));
    QCOMPARE(labelText(shown->row, QStringLiteral("subtitle")), QStringLiteral("15:45"));
    QVERIFY(!shown->row->findChild<QLabel*>(QStringLiteral("badge")));
    QCOMPARE(menuTexts(shown->row->actionsButton()),
             (QStringList{QStringLiteral("Edit"), QStringLiteral("Delete")}));
}

void TestMergedTaskRow::repeatedTaskShowsCountAndDeleteAll() {
    HistoryFixture fixture;
    auto shown = show(fixture, merged({entryAt(QStringLiteral("Write"), 60, localTime(0, 9)),
                                       entryAt(QStringLiteral("Write"), 60, localTime(0, 10)),
                                       entryAt(QStringLiteral("Write"), 60, localTime(0, 11))}));
    QCOMPARE(labelText(shown->row, QStringLiteral("badge")), QStringLiteral("×3"));
    QCOMPARE(labelText(shown->row, QStringLiteral("subtitle")), QStringLiteral("3 completions"));
    QCOMPARE(menuTexts(shown->row->actionsButton()), QStringList{QStringLiteral("Delete All (3)")});
}

void TestMergedTaskRow::durationPill_data() {
    QTest::addColumn<qint64>("seconds");
    QTest::addColumn<QString>("text");
    QTest::newRow("seconds only") << qint64(45) << QStringLiteral("0:45");
    QTest::newRow("nothing") << qint64(0) << QStringLiteral("0:00");
    QTest::newRow("a minute and more") << qint64(65) << QStringLiteral("1:05");
    QTest::newRow("an hour") << qint64(3600) << QStringLiteral("1:00:00");
    QTest::newRow("hours padded below") << qint64(3725) << QStringLiteral("1:02:05");
    QTest::newRow("past a day") << qint64(90000) << QStringLiteral("25:00:00");
}

void TestMergedTaskRow::durationPill() {
    QFETCH(qint64, seconds);
    QFETCH(QString, text);
    HistoryFixture fixture;
    auto shown = show(fixture, merged({entryAt(QStringLiteral("A"), seconds, localTime(0, 10))}));
    QCOMPARE(labelText(shown->row, QStringLiteral("duration")), text);
}

void TestMergedTaskRow::clickListsCompletionsNewestFirst() {
    HistoryFixture fixture;
    const TaskEntry nine = entryAt(QStringLiteral("Write"), 60, localTime(0, 9));
    const TaskEntry eleven = entryAt(QStringLiteral("Write"), 120, localTime(0, 11));
    const TaskEntry ten = entryAt(QStringLiteral("Write"), 180, localTime(0, 10));
    auto shown = show(fixture, merged({nine, eleven, ten}));
    QVERIFY(!shown->row->isExpanded());
    QVERIFY(shown->row->findChildren<IndividualTaskRow*>().isEmpty());

    QTest::mouseClick(shown->row->rowArea(), Qt::LeftButton);
    QVERIFY(shown->row->isExpanded());
    const auto rows = shown->row->findChildren<IndividualTaskRow*>();
    QCOMPARE(rows.size(), 3);
    QCOMPARE(rows[0]->task(), eleven);
    QCOMPARE(rows[1]->task(), ten);
    QCOMPARE(rows[2]->task(), nine);
    // Dividers indented by 40 between the completions, none after the last.
    const QLayout* list = shown->row->findChild<QWidget*>(QStringLiteral("completions"))->layout();
    QCOMPARE(list->count(), 5);
    for (int i = 0; i < list->count(); ++i) {
        const auto* divider = qobject_cast<Divider*>(list->itemAt(i)->widget());
        QCOMPARE(divider != nullptr, i % 2 == 1);
        QVERIFY(!divider || divider->indent() == 40);
    }

    QTest::mouseClick(shown->row->rowArea(), Qt::LeftButton);
    QVERIFY(!shown->row->isExpanded());
    QCOMPARE(shown->row->findChild<QWidget*>(QStringLiteral("completions"))->maximumHeight(), 0);
}

void TestMergedTaskRow::clickOnSingleCompletionDoesNothing() {
    HistoryFixture fixture;
    auto shown = show(fixture, merged({entryAt(QStringLiteral("A"), 60, localTime(0, 9))}));
    QTest::mouseClick(shown->row->rowArea(), Qt::LeftButton);
    QVERIFY(!shown->row->isExpanded());
    QVERIFY(shown->row->findChildren<IndividualTaskRow*>().isEmpty());
}

void TestMergedTaskRow::deleteAllAsksFirst_data() {
    QTest::addColumn<int>("count");
    QTest::addColumn<QString>("item");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("message");
    QTest::newRow("single") << 1 << QStringLiteral("Delete")
                            << QStringLiteral("Delete all 1 completions of 'A'?")
                            << QStringLiteral("This will delete all 1 completions of this task.");
    QTest::newRow("three") << 3 << QStringLiteral("Delete All (3)")
                           << QStringLiteral("Delete all 3 completions of 'A'?")
                           << QStringLiteral("This will delete all 3 completions of this task.");
}

void TestMergedTaskRow::deleteAllAsksFirst() {
    QFETCH(int, count);
    QFETCH(QString, item);
    QFETCH(QString, title);
    QFETCH(QString, message);
    HistoryFixture fixture;
    QList<TaskEntry> tasks;
    for (int i = 0; i < count; ++i) {
        tasks.append(entryAt(QStringLiteral("A"), 60, localTime(0, 9 + i)));
    }
    auto shown = show(fixture, merged(tasks));

    QVERIFY(chooseMenuItem(shown->row->actionsButton(), item));
    ConfirmationDialog* dialog = openConfirmation(&shown->window);
    QVERIFY(dialog);
    QCOMPARE(labelText(dialog, QStringLiteral("title")), title);
    QCOMPARE(labelText(dialog, QStringLiteral("message")), message);
    QCOMPARE(dialog->destructiveButton()->text(), QStringLiteral("Delete All"));
    QCOMPARE(shown->deleteAllCalls, 0);
    QTest::mouseClick(dialog->cancelButton(), Qt::LeftButton);
    QCOMPARE(shown->deleteAllCalls, 0);
    QVERIFY(!Overlay::isOpenIn(&shown->window));

    chooseMenuItem(shown->row->actionsButton(), item);
    QTest::mouseClick(openConfirmation(&shown->window)->destructiveButton(), Qt::LeftButton);
    QCOMPARE(shown->deleteAllCalls, 1);
    QVERIFY(!Overlay::isOpenIn(&shown->window));
}

void TestMergedTaskRow::editOpensTheSheetForTheOnlyCompletion() {
    HistoryFixture fixture;
    const TaskEntry task = entryAt(QStringLiteral("A"), 1500, localTime(0, 9));
    fixture.history.saveTask(task);
    auto shown = show(fixture, merged({task}));
    QVERIFY(chooseMenuItem(shown->row->actionsButton(), QStringLiteral("Edit")));
    auto* sheet = shown->window.findChild<EditTaskSheet*>();
    QVERIFY(sheet);
    sheet->findChild<QLineEdit*>(QStringLiteral("minutesField"))->setText(QStringLiteral("10"));
    QTest::mouseClick(sheet->findChild<QPushButton*>(QStringLiteral("saveButton")), Qt::LeftButton);
    QCOMPARE(fixture.history.tasks().first().duration(), 600);
    QCOMPARE(fixture.history.tasks().first().id(), task.id());
}

void TestMergedTaskRow::badgeAndDotUseTheTaskColour() {
    HistoryFixture fixture;
    auto shown = show(fixture, merged({entryAt(QStringLiteral("A"), 60, localTime(0, 9)),
                                       entryAt(QStringLiteral("A"), 60, localTime(0, 10))}));
    const QColor color = fixture.colors.colorForTask(QStringLiteral("A"));
    QCOMPARE(shown->row->findChild<ColorDot*>()->color(), color);
    QColor badge = shown->row->findChild<Capsule*>(QStringLiteral("badge"))->background();
    QCOMPARE(badge.rgb(), color.rgb());
    QCOMPARE(qRound(badge.alphaF() * 10), 7);
}

QTEST_MAIN(TestMergedTaskRow)
#include "tst_MergedTaskRow.moc"
