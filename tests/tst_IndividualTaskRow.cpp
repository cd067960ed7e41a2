#include "HistoryTestSupport.h"
#include "Platform/Style.h"
#include "Views/EditTaskSheet.h"
#include "Views/IndividualTaskRow.h"

#include <QLayout>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

namespace {

// A row for `shown` in a popover-sized window, over a history that holds `stored`.
struct Shown {
    Shown(const QList<TaskEntry>& stored, const TaskEntry& shown)
        : fixture(stored) {
        window.resize(400, 460);
        row = new IndividualTaskRow(shown, shown.taskName(), fixture.history, &window);
        window.show();
    }
    ConfirmationDialog* askToDelete() {
        chooseMenuItem(row->actionsButton(), QStringLiteral("Delete"));
        return openConfirmation(&window);
    }

    HistoryFixture fixture;
    QWidget window;
    IndividualTaskRow* row = nullptr;
};

} // namespace

class TestIndividualTaskRow : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { Style::setAnimationsEnabled(false); }
    void showsTimeAndDuration();
    void deleteConfirmationQuotesTheNameAsStored_data();
    void deleteConfirmationQuotesTheNameAsStored();
    void cancelKeepsTheCompletion();
    void deleteRemovesOnlyThisCompletion();
    void editOpensTheSheetForThisCompletion();
    void escapeDismissesTheConfirmation();
};

void TestIndividualTaskRow::showsTimeAndDuration() {
    const TaskEntry task = entryAt(QStringLiteral("Write"), 3725, localTime(0, 0, 5));
    Shown shown({task}, task);
    QCOMPARE(labelText(shown.row, QStringLiteral("time")), QStringLiteral("00:05"));
    QCOMPARE(labelText(shown.row, QStringLiteral("duration")), QStringLiteral("1:02:05"));
    QCOMPARE(menuTexts(shown.row->actionsButton()),
             (QStringList{QStringLiteral("Edit"), QStringLiteral("Delete")}));
    QCOMPARE(shown.row->layout()->contentsMargins(), QMargins(40, 6, 40, 6));
}

void TestIndividualTaskRow::deleteConfirmationQuotesTheNameAsStored_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("title");
    QTest::newRow("plain") << QStringLiteral("Write")
                           << QStringLiteral("Delete this completion of 'Write'?");
    QTest::newRow("apostrophe") << QStringLiteral("Bob's report")
                                << QStringLiteral("Delete this completion of 'Bob's report'?");
    QTest::newRow("quotes and markers")
        << QStringLiteral("\"%1\" <b>x</b>")
        << QStringLiteral("Delete this completion of '\"%1\" <b>x</b>'?");
}

void TestIndividualTaskRow::deleteConfirmationQuotesTheNameAsStored() {
    QFETCH(QString, name);
    QFETCH(QString, title);
    const TaskEntry task = entryAt(name, 65, localTime(0, 15, 45));
    Shown shown({task}, task);
    ConfirmationDialog* dialog = shown.askToDelete();
    QVERIFY(dialog);
    QCOMPARE(labelText(dialog, QStringLiteral("title")), title);
    QCOMPARE(labelText(dialog, QStringLiteral("message")), QStringLiteral("15:45 - 1:05"));
    QCOMPARE(dialog->destructiveButton()->text(), QStringLiteral("Delete"));
    QCOMPARE(dialog->cancelButton()->text(), QStringLiteral("Cancel"));
    QCOMPARE(shown.fixture.history.tasks().size(), 1); // nothing deleted before the answer
}

void TestIndividualTaskRow::cancelKeepsTheCompletion() {
    const TaskEntry task = entryAt(QStringLiteral("Write"), 65, localTime(0, 10));
    Shown shown({task}, task);
    const int writes = shown.fixture.historyStore.writeCount;
    QTest::mouseClick(shown.askToDelete()->cancelButton(), Qt::LeftButton);
    QVERIFY(!Overlay::isOpenIn(&shown.window));
    QCOMPARE(shown.fixture.history.tasks(), QList<TaskEntry>{task});
    QCOMPARE(shown.fixture.historyStore.writeCount, writes);
}

void TestIndividualTaskRow::deleteRemovesOnlyThisCompletion() {
    // Two completions that look the same: only the row's own id goes.
    const TaskEntry first = entryAt(QStringLiteral("Write"), 65, localTime(0, 10));
    const TaskEntry twin = entryAt(QStringLiteral("Write"), 65, localTime(0, 10));
    Shown shown({first, twin}, twin);
    QTest::mouseClick(shown.askToDelete()->destructiveButton(), Qt::LeftButton);
    QVERIFY(!Overlay::isOpenIn(&shown.window));
    QCOMPARE(shown.fixture.history.tasks(), QList<TaskEntry>{first});
}

void TestIndividualTaskRow::editOpensTheSheetForThisCompletion() {
    const TaskEntry task = entryAt(QStringLiteral("Write"), 600, localTime(0, 10));
    Shown shown({task}, task);
    QVERIFY(chooseMenuItem(shown.row->actionsButton(), QStringLiteral("Edit")));
    QVERIFY(Overlay::isOpenIn(&shown.window));
    auto* sheet = shown.window.findChild<EditTaskSheet*>();
    QVERIFY(sheet);
    QTest::mouseClick(sheet->findChild<QPushButton*>(QStringLiteral("cancelButton")),
                      Qt::LeftButton);
    QVERIFY(!Overlay::isOpenIn(&shown.window));
    QCOMPARE(shown.fixture.history.tasks(), QList<TaskEntry>{task});
}

void TestIndividualTaskRow::escapeDismissesTheConfirmation() {
    const TaskEntry task = entryAt(QStringLiteral("Write"), 65, localTime(0, 10));
    Shown shown({task}, task);
    ConfirmationDialog* dialog = shown.askToDelete();
    QSignalSpy confirmed(dialog, &ConfirmationDialog::confirmed);
    QSignalSpy dismissed(dialog, &Overlay::dismissed);
    QTest::keyClick(dialog->cancelButton(), Qt::Key_Escape);
    QCOMPARE(dismissed.size(), 1);
    QCOMPARE(confirmed.size(), 0);
    QVERIFY(!Overlay::isOpenIn(&shown.window));
    QCOMPARE(shown.fixture.history.tasks().size(), 1);
}

QTEST_MAIN(TestIndividualTaskRow)
#include "tst_IndividualTaskRow.moc"
