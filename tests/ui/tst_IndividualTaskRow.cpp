#include "HistoryTestSupport.h"
#include "history/IndividualTaskRow.h"
#include "kit/Style.h"

#include <QTest>

using namespace Qt::StringLiterals;

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
        chooseMenuItem(row->actionsButton(), u"Delete"_s);
        return openConfirmation(&window);
    }

    HistoryFixture fixture;
    QWidget window;
    IndividualTaskRow* row = nullptr;
};

} // namespace

class tst_IndividualTaskRow : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { Style::setAnimationsEnabled(false); }
    void showsTimeAndDuration() {
        const TaskEntry task = entryAt(u"Write"_s, 3725, localTime(0, 0, 5));
        Shown shown({task}, task);
        QCOMPARE(labelText(shown.row, u"time"_s), u"00:05"_s);
        QCOMPARE(labelText(shown.row, u"duration"_s), u"1:02:05"_s);
        QCOMPARE(menuTexts(shown.row->actionsButton()), (QStringList{u"Edit"_s, u"Delete"_s}));
    }

    void deleteConfirmationQuotesTheNameAsStored_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("title");
        QTest::newRow("apostrophe")
            << u"Bob's report"_s << u"Delete this completion of 'Bob's report'?"_s;
        QTest::newRow("quotes and markers")
            << u"\"%1\" <b>x</b>"_s << u"Delete this completion of '\"%1\" <b>x</b>'?"_s;
    }

    void deleteConfirmationQuotesTheNameAsStored() {
        QFETCH(QString, name);
        QFETCH(QString, title);
        const TaskEntry task = entryAt(name, 65, localTime(0, 15, 45));
        Shown shown({task}, task);
        ConfirmationDialog* dialog = shown.askToDelete();
        QVERIFY(dialog);
        QCOMPARE(labelText(dialog, u"title"_s), title);
        QCOMPARE(labelText(dialog, u"message"_s), u"15:45 - 1:05"_s);
        QCOMPARE(dialog->destructiveButton()->text(), u"Delete"_s);
        QCOMPARE(shown.fixture.history.tasks().size(), 1); // nothing deleted before the answer
    }

    void answeringTheConfirmation_data() {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<bool>("deleted");
        QTest::newRow("cancel") << u"cancel"_s << false;
        QTest::newRow("escape") << u"escape"_s << false;
        QTest::newRow("delete") << u"delete"_s << true;
    }

    void answeringTheConfirmation() {
        QFETCH(QString, answer);
        QFETCH(bool, deleted);
        // Two completions that look the same: only the row's own id may go.
        const TaskEntry first = entryAt(u"Write"_s, 65, localTime(0, 10));
        const TaskEntry twin = entryAt(u"Write"_s, 65, localTime(0, 10));
        Shown shown({first, twin}, twin);
        const int writes = shown.fixture.historyStore.writeCount;
        ConfirmationDialog* dialog = shown.askToDelete();
        if (answer == u"cancel")
            QTest::mouseClick(dialog->cancelButton(), Qt::LeftButton);
        else if (answer == u"escape")
            QTest::keyClick(dialog->cancelButton(), Qt::Key_Escape);
        else
            QTest::mouseClick(dialog->destructiveButton(), Qt::LeftButton);
        QVERIFY(!Overlay::isOpenIn(&shown.window));
        QCOMPARE(shown.fixture.history.tasks(),
                 (deleted ? QList<TaskEntry>{first} : QList<TaskEntry>{first, twin}));
        QCOMPARE(shown.fixture.historyStore.writeCount, writes + int(deleted));
    }

    void editOpensTheSheetForThisCompletion() {
        const TaskEntry task = entryAt(u"Write"_s, 600, localTime(0, 10));
        Shown shown({task}, task);
        QVERIFY(chooseMenuItem(shown.row->actionsButton(), u"Edit"_s));
        QVERIFY(shown.window.findChild<EditTaskSheet*>());
        clickButton(&shown.window, u"cancelButton"_s);
        QVERIFY(!Overlay::isOpenIn(&shown.window));
        QCOMPARE(shown.fixture.history.tasks(), QList<TaskEntry>{task});
    }
};

QTEST_MAIN(tst_IndividualTaskRow)
#include "tst_IndividualTaskRow.moc"
