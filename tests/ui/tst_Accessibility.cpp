#include "HistoryTestSupport.h"
#include "TimerWorld.h"
#include "history/DaySection.h"
#include "history/EditTaskSheet.h"
#include "history/HistoryView.h"
#include "history/MergedTaskRow.h"
#include "i18n/Translations.h"
#include "kit/Overlay.h"
#include "kit/Style.h"
#include "kit/Widgets.h"
#include "timer/SettingsView.h"

#include <QAccessible>
#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScrollArea>
#include <QTest>
#include <QToolButton>
#include <QTranslator>

using namespace Qt::StringLiterals;

namespace {

QAccessibleInterface* accessible(QObject* object) {
    QAccessibleInterface* found = QAccessible::queryAccessibleInterface(object);
    Q_ASSERT(found);
    return found;
}

// Only the catalogues of `language` (and the English plural forms) are installed afterwards;
// returns the language whose texts were found, "" for the source texts.
QString useLanguage(const QString& language) {
    for (QTranslator* translator : qApp->findChildren<QTranslator*>()) {
        QCoreApplication::removeTranslator(translator);
        delete translator;
    }
    return Translations::install(*qApp, language.isEmpty() ? QLocale::c() : QLocale(language));
}

// Labels and buttons of `root` whose text is wider than the room they were given. Elided labels
// shorten on purpose, and wrapped labels grow downwards, so both are left out.
QStringList clipped(const QWidget* root) {
    QStringList found;
    for (const QLabel* label : root->findChildren<QLabel*>()) {
        if (!label->isVisibleTo(root) || label->text().isEmpty() || label->wordWrap() ||
            qobject_cast<const ElidedLabel*>(label) ||
            label->sizePolicy().horizontalPolicy() == QSizePolicy::Ignored)
            continue;
        const int needed = label->fontMetrics().horizontalAdvance(label->text());
        if (needed > label->contentsRect().width())
            found << u"label \"%1\": %2 > %3"_s.arg(label->text())
                         .arg(needed)
                         .arg(label->contentsRect().width());
    }
    for (const QPushButton* button : root->findChildren<QPushButton*>()) {
        if (button->isVisibleTo(root) && button->sizeHint().width() > button->width())
            found << u"button \"%1\": %2 > %3"_s.arg(button->text())
                         .arg(button->sizeHint().width())
                         .arg(button->width());
    }
    return found;
}

} // namespace

class tst_Accessibility final : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { Style::setAnimationsEnabled(false); }
    void cleanup() { useLanguage(QString()); }

    // In the C locale the texts are the English ones, with English plural forms; each catalogue
    // is found for its locale and carries the plural forms of its language.
    void texts_data() {
        QTest::addColumn<QString>("language"); // "": the C locale
        QTest::addColumn<QString>("context");
        QTest::addColumn<QString>("source");
        QTest::addColumn<int>("count");
        QTest::addColumn<QString>("expected");
        const auto tasks = [](const char* row, const QString& language, int n, const QString& to) {
            QTest::newRow(row) << language << u"DaySection"_s << u"%n tasks"_s << n << to;
        };
        tasks("C, one task", {}, 1, u"1 task"_s);
        tasks("C, two tasks", {}, 2, u"2 tasks"_s);
        QTest::newRow("C, one minute left")
            << QString() << u"SettingsView"_s << u"%n minutes remaining"_s << 1
            << u"1 minute remaining"_s;
        QTest::newRow("C, delete all, one: the program's own wording")
            << QString() << u"MergedTaskRow"_s << u"Delete all %n completions of '%1'?"_s << 1
            << u"Delete all 1 completions of '%1'?"_s;
        tasks("de", u"de_DE"_s, 2, u"2 Aufgaben"_s);
        tasks("fr, one", u"fr_FR"_s, 1, u"1 tâche"_s);
        tasks("es", u"es_ES"_s, 5, u"5 tareas"_s);
        tasks("pt_BR", u"pt_BR"_s, 1, u"1 tarefa"_s);
        tasks("ru, 21", u"ru_RU"_s, 21, u"21 задача"_s);
        tasks("ru, 3", u"ru_RU"_s, 3, u"3 задачи"_s);
        tasks("ru, 11", u"ru_RU"_s, 11, u"11 задач"_s);
        tasks("pl, 22", u"pl_PL"_s, 22, u"22 zadania"_s);
        tasks("pl, 12", u"pl_PL"_s, 12, u"12 zadań"_s);
        tasks("zh_CN", u"zh_CN"_s, 2, u"2 个任务"_s);
    }
    void texts() {
        QFETCH(QString, language);
        QFETCH(QString, context);
        QFETCH(QString, source);
        QFETCH(int, count);
        QFETCH(QString, expected);
        QCOMPARE(useLanguage(language).isEmpty(), language.isEmpty());
        QCOMPARE(QCoreApplication::translate(context.toLatin1(), source.toUtf8(), nullptr, count),
                 expected);
    }

    // The panel's controls by role and name, the countdown read as time, and Tab through them in
    // reading order, passing over a disabled one.
    void panel() {
        TimerWorld world;
        SettingsView view(world.timer);
        view.show();
        view.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&view));
        using A = QAccessible;
        for (const auto& [object, role, name] :
             {std::tuple{"taskNameField", A::EditableText, u"Task Name"_s},
              {"minutesField", A::EditableText, u"Time (minutes)"_s},
              {"startStopButton", A::Button, u"Start"_s},
              {"resetButton", A::Button, u"Reset"_s},
              {"completeButton", A::Button, u"Complete"_s},
              {"historyButton", A::Button, u"View History"_s},
              {"timeDisplay", A::StaticText, u"30 minutes remaining"_s}}) {
            QAccessibleInterface* face =
                accessible(view.findChild<QWidget*>(QLatin1String(object)));
            QCOMPARE(face->role(), role);
            QCOMPARE(face->text(QAccessible::Name), name);
            QCOMPARE(bool(face->state().disabled), name == u"Complete"_s); // until started
        }
        view.findChild<QLineEdit*>(u"taskNameField"_s)->setFocus();
        QStringList visited;
        for (int i = 0; i < 5; ++i) {
            visited << QApplication::focusWidget()->objectName();
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        }
        QCOMPARE(visited, (QStringList{u"taskNameField"_s, u"minutesField"_s, u"startStopButton"_s,
                                       u"resetButton"_s, u"historyButton"_s}));
        // Space on Start starts it; Complete is then the next stop after Reset.
        QPushButton* start = view.findChild<QPushButton*>(u"startStopButton"_s);
        start->setFocus();
        QTest::keyClick(start, Qt::Key_Space);
        QVERIFY(world.timer.isRunning());
        world.tick();
        QTRY_COMPARE(accessible(view.findChild<QLabel*>(u"timeDisplay"_s))->text(A::Name),
                     u"29 minutes 59 seconds remaining"_s);
        QTRY_VERIFY(view.findChild<QPushButton*>(u"completeButton"_s)->isEnabled());
        QTest::keyClick(start, Qt::Key_Tab);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget()->objectName(), u"completeButton"_s);
    }

    void dayAndRows() {
        HistoryFixture fixture({entryAt(u"Write"_s, 600, localTime(0, 9)),
                                entryAt(u"Write"_s, 300, localTime(0, 10)),
                                entryAt(u"Read"_s, 60, localTime(0, 11))});
        const QList<TaskEntry> today = fixture.history.tasks();
        DaySection section(dayOf(0), today, fixture.history, fixture.colors, false);
        section.show();
        QAccessibleInterface* header = accessible(section.header());
        QCOMPARE(header->role(), QAccessible::Button);
        QCOMPARE(header->text(QAccessible::Name), u"Today: 2 tasks, 3 completions, total 16m"_s);
        QVERIFY(header->state().expandable);
        QVERIFY(header->state().collapsed);
        section.setExpanded(true);
        QVERIFY(accessible(section.header())->state().expanded);

        MergedTaskRow* write = nullptr;
        for (MergedTaskRow* row : section.findChildren<MergedTaskRow*>())
            if (row->mergedTask().taskName == u"Write"_s)
                write = row;
        QVERIFY(write);
        QAccessibleInterface* row = accessible(write->rowArea());
        QCOMPARE(row->text(QAccessible::Name), u"Write, 2 completions, total 15:00"_s);
        QVERIFY(row->state().collapsed);
        QCOMPARE(accessible(write->actionsButton())->text(QAccessible::Name),
                 u"Actions for Write"_s);
        ColorDot* dot = write->findChild<ColorDot*>(u"dot"_s);
        QCOMPARE(accessible(dot)->role(), QAccessible::Graphic);
        QCOMPARE(accessible(dot)->text(QAccessible::Name), u"Write"_s);
    }

    // The keyboard alone: a day opens, Tab reaches a row, its menu (Menu key or Shift+F10) edits
    // the completion and saves it with Enter, then deletes it after a confirmation that Escape
    // cancels.
    void editAndDeleteFromKeyboard_data() {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::newRow("Menu key") << int(Qt::Key_Menu) << int(Qt::NoModifier);
        QTest::newRow("Shift+F10") << int(Qt::Key_F10) << int(Qt::ShiftModifier);
    }
    void editAndDeleteFromKeyboard() {
        QFETCH(int, key);
        QFETCH(int, modifiers);
        HistoryFixture fixture(
            {entryAt(u"Write"_s, 600, localTime(0, 9)), entryAt(u"Read"_s, 60, localTime(1, 11))});
        HistoryView history(fixture.history, fixture.colors);
        history.resize(400, 456);
        history.show();
        history.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&history));
        // The window's own focus: the offscreen platform activates no window again once a menu
        // has closed, where a desktop would.
        const auto focus = [&history] { return history.focusWidget(); };
        const auto press = [&](Qt::Key pressed, Qt::KeyboardModifiers with = {}) {
            QTest::keyClick(focus(), pressed, with);
        };
        // Tab until the focus is on the row of `task`.
        const auto tabToRow = [&](const QString& task) {
            for (int i = 0; i < 12; ++i) {
                press(Qt::Key_Tab);
                if (accessible(focus())->text(QAccessible::Name).startsWith(task + u", "_s))
                    return true;
            }
            return false;
        };
        // Opens the focused row's menu and picks its `n`th entry with the arrow keys.
        const auto choose = [&](int n) {
            press(Qt::Key(key), Qt::KeyboardModifiers(modifiers));
            QWidget* menu = QApplication::activePopupWidget();
            if (!menu)
                return false;
            for (int i = 0; i < n; ++i)
                QTest::keyClick(menu, Qt::Key_Down);
            QTest::keyClick(menu, Qt::Key_Return);
            return !QApplication::activePopupWidget();
        };

        history.sectionFor(dayOf(0))->header()->setFocus();
        press(Qt::Key_Space);
        QVERIFY(tabToRow(u"Write"_s));
        QVERIFY(choose(1)); // Edit
        QCOMPARE(focus()->objectName(), u"nameField"_s);
        press(Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(focus(), u"Draft"_s);
        press(Qt::Key_Tab);
        press(Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(focus(), u"45"_s);
        press(Qt::Key_Tab);
        press(Qt::Key_Tab);
        QCOMPARE(focus()->objectName(), u"saveButton"_s);
        press(Qt::Key_Tab); // round the sheet, never to the list under it
        QCOMPARE(focus()->objectName(), u"nameField"_s);
        press(Qt::Key_Backtab);
        press(Qt::Key_Enter);
        QVERIFY(!Overlay::isOpenIn(&history));
        const TaskEntry edited = fixture.history.tasks().constFirst();
        QCOMPARE(edited.taskName(), u"Draft"_s);
        QCOMPARE(edited.duration(), 2700);

        // Built again under its new name, the row is in reach from where the keyboard was.
        QTRY_VERIFY(std::ranges::any_of(history.findChildren<MergedTaskRow*>(), [](auto* row) {
            return row->mergedTask().taskName == u"Draft"_s;
        }));
        QVERIFY(tabToRow(u"Draft"_s));
        QVERIFY(choose(2)); // Delete; the confirmation starts on Cancel
        QCOMPARE(focus()->objectName(), u"cancelButton"_s);
        press(Qt::Key_Escape);
        QVERIFY(!Overlay::isOpenIn(&history));
        QCOMPARE(fixture.history.tasks().size(), 2);
        QVERIFY(choose(2));
        press(Qt::Key_Backtab);
        QCOMPARE(focus()->objectName(), u"destructiveButton"_s);
        press(Qt::Key_Return);
        QCOMPARE(fixture.history.tasks().size(), 1);
    }

    // Tab goes down the days in screen order, through the open day's rows on its way, across
    // sections built after the ones below them, and the list scrolls to show where the focus is.
    void historyTabOrder() {
        QList<TaskEntry> entries;
        QList<Instant> days;
        for (int day = 0; day < 20; ++day) {
            entries << entryAt(u"Day %1"_s.arg(day), 60, localTime(day, 9))
                    << entryAt(u"Other"_s, 60, localTime(day, 10));
            days << dayOf(day);
        }
        entries << entryAt(u"Other"_s, 60, localTime(1, 11)); // a row that opens, on the way
        HistoryFixture fixture(entries);
        HistoryView history(fixture.history, fixture.colors);
        history.resize(400, 456);
        history.show();
        // Halfway down and back up: the days above are built after the ones below them.
        history.revealDay(days.at(10));
        QCoreApplication::processEvents();
        history.revealDay(days.constFirst());
        history.toggleDay(days.at(1));
        QCoreApplication::processEvents();
        const QWidget* viewport = history.scrollArea()->viewport();
        history.sectionFor(days.constFirst())->header()->setFocus();
        // Each day the focus reaches is the next one down.
        qsizetype last = 0;
        for (int i = 0; i < 60 && last < days.size() - 1; ++i) {
            QTest::keyClick(history.focusWidget(), Qt::Key_Tab);
            QWidget* focus = history.focusWidget();
            const DaySection* section = nullptr;
            for (const QWidget* up = focus; up && !section; up = up->parentWidget())
                section = qobject_cast<const DaySection*>(up);
            QVERIFY2(section, qPrintable(focus->objectName()));
            QVERIFY(
                viewport->rect().contains(QRect(focus->mapTo(viewport, QPoint()), focus->size())));
            if (accessible(focus)->text(QAccessible::Name).startsWith(u"Other, 2 completions"_s))
                QTest::keyClick(history.focusWidget(), Qt::Key_Space);
            if (const qsizetype day = days.indexOf(section->date()); day != last) {
                QCOMPARE(day, last + 1);
                last = day;
            }
        }
        QCOMPARE(last, days.size() - 1);
    }

    // The timer panel, the history with a day open, the edit sheet and a confirmation, in the
    // longest languages and in one drawn with other glyphs: no text wider than its room. Each is
    // rendered to screenshots/<language>-<screen>.png for a person to look at.
    void layoutFits_data() {
        QTest::addColumn<QString>("language");
        QTest::newRow("de") << u"de_DE"_s;
        QTest::newRow("ru") << u"ru_RU"_s;
        QTest::newRow("zh_CN") << u"zh_CN"_s;
    }
    void layoutFits() {
        QFETCH(QString, language);
        useLanguage(language);
        QLocale::setDefault(QLocale(language));
        const auto restore = qScopeGuard([] { QLocale::setDefault(QLocale::c()); });
        const QString shots = QStringLiteral(HOURLARK_SCREENSHOT_DIR);
        QVERIFY(QDir().mkpath(shots));
        // What does not fit in `root`, with `shown` saved as the screenshot of `screen`.
        const auto clippedIn = [&](QWidget* root, QWidget* shown, const QString& screen) {
            shown->grab().save(u"%1/%2-%3.png"_s.arg(shots, language, screen));
            return clipped(root).join(u"; ");
        };

        TimerWorld world;
        SettingsView panel(world.timer);
        panel.resize(350, 300);
        panel.show();
        world.timer.setCustomText(u"Write"_s);
        world.timer.startTimer();
        QCoreApplication::processEvents();
        QCOMPARE(clippedIn(&panel, &panel, u"panel"_s), QString());

        HistoryFixture fixture({entryAt(u"Write"_s, 3700, localTime(0, 9)),
                                entryAt(u"Write"_s, 300, localTime(0, 10)),
                                entryAt(u"Read"_s, 60, localTime(1, 11))});
        HistoryView history(fixture.history, fixture.colors);
        history.resize(400, 456);
        history.show();
        history.toggleDay(dayOf(0));
        QCoreApplication::processEvents();
        QCOMPARE(clippedIn(&history, &history, u"history"_s), QString());

        Overlay* sheet =
            EditTaskSheet::open(&history, fixture.history, fixture.history.tasks().constFirst());
        QCoreApplication::processEvents();
        QCOMPARE(clippedIn(sheet, &history, u"edit"_s), QString());
        sheet->dismiss();

        auto* confirmation = new ConfirmationDialog(
            &history, MergedTaskRow::tr("Delete all %n completions of '%1'?", nullptr, 2),
            MergedTaskRow::tr("This will delete all %n completions of this task.", nullptr, 2),
            MergedTaskRow::tr("Delete All"));
        QCoreApplication::processEvents();
        QCOMPARE(clippedIn(confirmation, &history, u"confirmation"_s), QString());
        confirmation->dismiss();
    }
};

QTEST_MAIN(tst_Accessibility)
#include "tst_Accessibility.moc"
