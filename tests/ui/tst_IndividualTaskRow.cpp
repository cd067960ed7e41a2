#include "HistoryTestSupport.h"
#include "history/IndividualTaskRow.h"
#include "kit/Style.h"

#include <QApplication>
#include <QScopeGuard>
#include <QTest>
#include <QTextLayout>
#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

// The label's text on one unbounded line: the x of each character, in logical order.
QList<qreal> positionsOnOneLine(const QLabel* label) {
    QTextLayout layout(label->text(), label->font());
    layout.beginLayout();
    const QTextLine line = layout.createLine();
    layout.endLayout();
    QList<qreal> x;
    for (qsizetype i = 0; i < label->text().size(); ++i)
        x.append(line.cursorToX(int(i)));
    return x;
}

// The label's text word-wrapped at its width: the line each character falls on, and the widest
// line.
struct Wrapped {
    QList<int> lineOf;
    qreal widest = 0;
};

Wrapped wrapped(const QLabel* label) {
    QTextLayout layout(label->text(), label->font());
    QTextOption option;
    option.setWrapMode(QTextOption::WordWrap);
    layout.setTextOption(option);
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine())
        line.setLineWidth(label->contentsRect().width());
    layout.endLayout();
    Wrapped result;
    for (int i = 0; i < layout.lineCount(); ++i) {
        const QTextLine line = layout.lineAt(i);
        result.widest = qMax(result.widest, line.naturalTextWidth());
        for (int c = 0; c < line.textLength(); ++c)
            result.lineOf.append(i);
    }
    return result;
}

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
    void deleteConfirmationQuotesTheNameAsStored_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("title");
        QTest::newRow("apostrophe")
            << u"Bob's report"_s << u"Delete this completion of 'Bob's report'?"_s;
        QTest::newRow("quotes and markers")
            << u"\"%1\" <b>x</b>"_s << u"Delete this completion of '\"%1\" <b>x</b>'?"_s;
        // Stored before names were filtered: shown as stored, but kept from reordering the title.
        QTest::newRow("right-to-left override")
            << u"Draft\u202Eabc"_s << u"Delete this completion of 'Draft\u202Eabc'?"_s;
        QTest::newRow("embedding left open")
            << u"\u202Bx"_s << u"Delete this completion of '\u202Bx'?"_s;
        QTest::newRow("right-to-left name")
            << u"\u05D8\u05D9\u05D5\u05D8\u05D4"_s
            << u"Delete this completion of '\u05D8\u05D9\u05D5\u05D8\u05D4'?"_s;
    }

    void deleteConfirmationQuotesTheNameAsStored() {
        QFETCH(QString, name);
        const TaskEntry task = entryAt(name, 3725, localTime(0, 5, 45));
        Shown shown({task}, task);
        QCOMPARE(labelText(shown.row, u"time"_s), u"05:45"_s);
        QCOMPARE(labelText(shown.row, u"duration"_s), u"1:02:05"_s);
        ConfirmationDialog* dialog = shown.askToDelete();
        QVERIFY(dialog);
        QTEST(shownText(dialog, u"title"_s), "title");
        // The closing "'?" still comes last, to the right of the whole name.
        const QList<qreal> x = positionsOnOneLine(dialog->findChild<QLabel*>(u"title"_s));
        QCOMPARE(*std::max_element(x.begin(), x.end()), x.last());
        QCOMPARE(labelText(dialog, u"message"_s), u"05:45 - 1:02:05"_s);
        QCOMPARE(shown.fixture.history.tasks().size(), 1); // nothing deleted before the answer
    }

    // The title wraps before the quoted name, never inside it; a name too long for a line is
    // elided to fit it, and the dialog grows to show every line.
    void confirmationTitleKeepsTheNameOnOneLine_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<qreal>("fontScale");
        QTest::newRow("words") << u"Write the quarterly report"_s << 1.0;
        QTest::newRow("hyphen and slash") << u"Follow-up/notes"_s << 1.0;
        QTest::newRow("forty letters, no space") << u"W"_s.repeated(40) << 1.0;
        QTest::newRow("words, large font") << u"Write the quarterly report"_s << 1.6;
    }

    void confirmationTitleKeepsTheNameOnOneLine() {
        QFETCH(QString, name);
        QFETCH(qreal, fontScale);
        const QFont usual = QApplication::font();
        const auto restore = qScopeGuard([&usual] { QApplication::setFont(usual); });
        QFont font = usual;
        font.setPointSizeF(usual.pointSizeF() * fontScale);
        QApplication::setFont(font);

        const TaskEntry task = entryAt(name, 65, localTime(0, 15, 45));
        Shown shown({task}, task);
        ConfirmationDialog* dialog = shown.askToDelete();
        const auto* title = dialog->findChild<QLabel*>(u"title"_s);
        const QString text = title->text();
        const Wrapped lines = wrapped(title);
        QCOMPARE(lines.lineOf.at(text.indexOf(u'\'')), lines.lineOf.at(text.lastIndexOf(u'\'')));
        QVERIFY(lines.widest <= title->contentsRect().width());
        QVERIFY2(shownText(dialog, u"title"_s).contains(name) || text.contains(u'…'),
                 qPrintable(text));

        const QWidget* panel = title->parentWidget();
        QVERIFY(title->height() >= title->heightForWidth(title->width()));
        QVERIFY(panel->rect().contains(dialog->cancelButton()->geometry()));
        QVERIFY(panel->height() >= panel->minimumSizeHint().height());
    }
    void answeringTheConfirmation_data() {
        QTest::addColumn<bool>("deleted");
        QTest::newRow("cancel") << false;
        QTest::newRow("delete") << true;
    }

    void answeringTheConfirmation() {
        QFETCH(bool, deleted);
        // Two completions that look the same: only the row's own id may go.
        const TaskEntry first = entryAt(u"Write"_s, 65, localTime(0, 10));
        const TaskEntry twin = entryAt(u"Write"_s, 65, localTime(0, 10));
        Shown shown({first, twin}, twin);
        const int writes = shown.fixture.historyStore.writeCount;
        ConfirmationDialog* dialog = shown.askToDelete();
        QTest::mouseClick(deleted ? dialog->destructiveButton() : dialog->cancelButton(),
                          Qt::LeftButton);
        QVERIFY(!Overlay::isOpenIn(&shown.window));
        QCOMPARE(shown.fixture.history.tasks(),
                 (deleted ? QList<TaskEntry>{first} : QList<TaskEntry>{first, twin}));
        QCOMPARE(shown.fixture.historyStore.writeCount, writes + int(deleted));
    }

    // Of two completions that look the same, Edit changes only the row's own.
    void editChangesThisCompletion() {
        const TaskEntry first = entryAt(u"Write"_s, 600, localTime(0, 10));
        const TaskEntry twin = entryAt(u"Write"_s, 600, localTime(0, 10));
        Shown shown({first, twin}, twin);
        QVERIFY(chooseMenuItem(shown.row->actionsButton(), u"Edit"_s));
        saveEditedMinutes(&shown.window, u"20"_s);
        QCOMPARE(shown.fixture.history.tasks().constFirst(), first);
        QCOMPARE(shown.fixture.history.tasks().constLast().id(), twin.id());
        QCOMPARE(shown.fixture.history.tasks().constLast().duration(), 1200);
    }
};

QTEST_MAIN(tst_IndividualTaskRow)
#include "tst_IndividualTaskRow.moc"
