#include "HistoryTestSupport.h"
#include "Platform/Overlay.h"
#include "Platform/Style.h"
#include "Views/EditTaskSheet.h"

#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <algorithm>
#include <limits>

class TestEditTaskSheet : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { Style::setAnimationsEnabled(false); }
    void saveFollowsTheMinutesText_data();
    void saveFollowsTheMinutesText();
    void nameMustNotBeEmpty();
    void opensWithTheStoredValues();
    void saveStoresMinutesAsSecondsAndCloses();
    void cancelChangesNothing();
    void renameDropsTheSecondsOfTheOldDuration();

private:
    struct Opened {
        QWidget window;
        Overlay* overlay = nullptr;
        EditTaskSheet* sheet = nullptr;
        QLineEdit* name = nullptr;
        QLineEdit* minutes = nullptr;
        QPushButton* save = nullptr;
        QPushButton* cancel = nullptr;
    };
    static std::unique_ptr<Opened> open(HistoryManager& history, const TaskEntry& task);
};

std::unique_ptr<TestEditTaskSheet::Opened> TestEditTaskSheet::open(HistoryManager& history,
                                                                   const TaskEntry& task) {
    auto opened = std::make_unique<Opened>();
    opened->window.resize(400, 460);
    opened->window.show();
    opened->overlay = EditTaskSheet::open(&opened->window, history, task);
    opened->sheet = opened->overlay->findChild<EditTaskSheet*>();
    opened->name = opened->sheet->findChild<QLineEdit*>(QStringLiteral("nameField"));
    opened->minutes = opened->sheet->findChild<QLineEdit*>(QStringLiteral("minutesField"));
    opened->save = opened->sheet->findChild<QPushButton*>(QStringLiteral("saveButton"));
    opened->cancel = opened->sheet->findChild<QPushButton*>(QStringLiteral("cancelButton"));
    return opened;
}

void TestEditTaskSheet::saveFollowsTheMinutesText_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("enabled");
    const qint64 largest = std::numeric_limits<qint64>::max() / 60;
    QTest::newRow("plain") << QStringLiteral("5") << true;
    QTest::newRow("plus sign") << QStringLiteral("+5") << true;
    QTest::newRow("leading zero") << QStringLiteral("05") << true;
    QTest::newRow("largest that fits") << QString::number(largest) << true;
    QTest::newRow("leading space") << QStringLiteral(" 5") << false;
    QTest::newRow("trailing space") << QStringLiteral("5 ") << false;
    QTest::newRow("decimal") << QStringLiteral("5.0") << false;
    QTest::newRow("exponent") << QStringLiteral("1e2") << false;
    QTest::newRow("negative") << QStringLiteral("-3") << false;
    QTest::newRow("minus sign") << QStringLiteral("\u22123") << false;
    QTest::newRow("zero") << QStringLiteral("0") << false;
    QTest::newRow("minus zero") << QStringLiteral("-0") << false;
    QTest::newRow("empty") << QString() << false;
    QTest::newRow("sign only") << QStringLiteral("+") << false;
    QTest::newRow("non-ASCII digits") << QStringLiteral("\u0665") << false;
    QTest::newRow("seconds overflow") << QString::number(largest + 1) << false;
    QTest::newRow("beyond 64 bits") << QStringLiteral("99999999999999999999") << false;
}

void TestEditTaskSheet::saveFollowsTheMinutesText() {
    QFETCH(QString, text);
    QFETCH(bool, enabled);
    HistoryFixture fixture;
    const TaskEntry task = entryAt(QStringLiteral("Write"), 1500, localTime(0, 10));
    fixture.history.saveTask(task);
    auto opened = open(fixture.history, task);
    opened->minutes->selectAll();
    QTest::keyClick(opened->minutes, Qt::Key_Backspace);
    const bool ascii =
        std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() < 128; });
    if (ascii) {
        QTest::keyClicks(opened->minutes, text);
    } else {
        opened->minutes->insert(text); // pasted: the test keyboard only types ASCII
    }
    QCOMPARE(opened->minutes->text(), text);
    QCOMPARE(opened->save->isEnabled(), enabled);

    // Clicking a disabled Save stores nothing; an enabled one stores minutes x 60.
    QTest::mouseClick(opened->save, Qt::LeftButton);
    const qint64 stored = fixture.history.tasks().first().duration();
    QCOMPARE(stored, enabled ? *EditTaskSheet::parseMinutes(text) * 60 : 1500);
}

void TestEditTaskSheet::nameMustNotBeEmpty() {
    HistoryFixture fixture;
    const TaskEntry task = entryAt(QStringLiteral("Write"), 600, localTime(0, 10));
    fixture.history.saveTask(task);
    auto opened = open(fixture.history, task);
    QVERIFY(opened->save->isEnabled());
    opened->name->clear();
    QVERIFY(!opened->save->isEnabled());
    QTest::keyClick(opened->name, Qt::Key_Space);
    QVERIFY(opened->save->isEnabled());
    QTest::mouseClick(opened->save, Qt::LeftButton);
    QCOMPARE(fixture.history.tasks().first().taskName(), QStringLiteral(" "));
}

void TestEditTaskSheet::opensWithTheStoredValues() {
    HistoryFixture fixture;
    const TaskEntry task = entryAt(QStringLiteral("Bob's \"report\""), 30, localTime(0, 10));
    fixture.history.saveTask(task);
    auto opened = open(fixture.history, task);
    QCOMPARE(opened->name->text(), task.taskName());
    QCOMPARE(opened->minutes->text(), QStringLiteral("0"));
    QVERIFY(!opened->save->isEnabled());
    QVERIFY(Overlay::isOpenIn(&opened->window));
    QCOMPARE(opened->window.focusWidget(), opened->name); // typing goes to the sheet, not below
}

void TestEditTaskSheet::saveStoresMinutesAsSecondsAndCloses() {
    HistoryFixture fixture;
    const TaskEntry task = entryAt(QStringLiteral("Write"), 1500, localTime(0, 10));
    fixture.history.saveTask(task);
    auto opened = open(fixture.history, task);
    QSignalSpy closed(opened->overlay, &Overlay::dismissed);
    opened->minutes->setText(QStringLiteral("45"));
    QTest::keyClick(opened->minutes, Qt::Key_Return); // Return is not bound to Save
    QTest::keyClick(opened->name, Qt::Key_Enter);
    QCOMPARE(closed.size(), 0);
    QCOMPARE(fixture.history.tasks().first().duration(), 1500);
    QTest::mouseClick(opened->save, Qt::LeftButton);
    QCOMPARE(closed.size(), 1);
    QVERIFY(!Overlay::isOpenIn(&opened->window));
    const TaskEntry stored = fixture.history.tasks().first();
    QCOMPARE(stored.id(), task.id());
    QCOMPARE(stored.duration(), 2700);
    QCOMPARE(stored.startTime(), task.startTime());
}

void TestEditTaskSheet::cancelChangesNothing() {
    HistoryFixture fixture;
    const TaskEntry task = entryAt(QStringLiteral("Write"), 1530, localTime(0, 10));
    fixture.history.saveTask(task);
    const int writes = fixture.historyStore.writeCount;
    auto opened = open(fixture.history, task);
    opened->name->setText(QStringLiteral("Other"));
    opened->minutes->setText(QStringLiteral("99"));
    QTest::mouseClick(opened->cancel, Qt::LeftButton);
    QVERIFY(!Overlay::isOpenIn(&opened->window));
    QCOMPARE(fixture.history.tasks().first(), task);
    QCOMPARE(fixture.historyStore.writeCount, writes);

    auto reopened = open(fixture.history, fixture.history.tasks().first());
    QCOMPARE(reopened->name->text(), QStringLiteral("Write"));
    QCOMPARE(reopened->minutes->text(), QStringLiteral("25"));
}

void TestEditTaskSheet::renameDropsTheSecondsOfTheOldDuration() {
    HistoryFixture fixture;
    const TaskEntry task = entryAt(QStringLiteral("Write"), 1530, localTime(0, 10));
    fixture.history.saveTask(task);
    auto opened = open(fixture.history, task);
    opened->name->setText(QStringLiteral("Read"));
    QTest::mouseClick(opened->save, Qt::LeftButton);
    QCOMPARE(fixture.history.tasks().first().taskName(), QStringLiteral("Read"));
    QCOMPARE(fixture.history.tasks().first().duration(), 1500);
}

QTEST_MAIN(TestEditTaskSheet)
#include "tst_EditTaskSheet.moc"
