#include "HistoryTestSupport.h"
#include "history/DaySection.h"
#include "history/HistoryView.h"
#include "history/MergedTaskRow.h"
#include "kit/Style.h"

#include <QPointer>
#include <QScopeGuard>
#include <QScrollArea>
#include <QScrollBar>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

constexpr QSize screenSize(400, 460); // the popover's history area under its header

struct Screen {
    explicit Screen(const QList<TaskEntry>& stored = {})
        : fixture(stored) {}

    HistoryFixture fixture;
    std::unique_ptr<HistoryView> view;

    void open() {
        view = std::make_unique<HistoryView>(fixture.history, fixture.colors);
        view->resize(screenSize);
        view->show();
    }

    void add(const QString& name, qint64 seconds, int daysAgo, int hour, int minute = 0) {
        fixture.history.saveTask(entryAt(name, seconds, localTime(daysAgo, hour, minute)));
    }
    QList<Instant> days(bool expandedOnly = false) const {
        QList<Instant> days;
        for (const DaySection* section : view->liveSections()) {
            if (!expandedOnly || section->isExpanded())
                days.append(section->date());
        }
        return days;
    }
    QList<Instant> expandedDays() const { return days(true); }
    QString label(int daysAgo, const QString& name) const {
        return labelText(view->sectionFor(dayOf(daysAgo)), name);
    }
    // Opens the day and returns its first merged row.
    MergedTaskRow* openFirstRow(int daysAgo) {
        clickHeader(daysAgo);
        return view->sectionFor(dayOf(daysAgo))->findChild<MergedTaskRow*>();
    }

    void confirmDeletion(MergedTaskRow* row, const QString& menuItem) {
        QVERIFY(chooseMenuItem(row->actionsButton(), menuItem));
        QTest::mouseClick(openConfirmation(view.get())->destructiveButton(), Qt::LeftButton);
    }

    void clickHeader(int daysAgo) {
        DaySection* section = view->sectionFor(dayOf(daysAgo));
        QVERIFY(section);
        QTest::mouseClick(section->header(), Qt::LeftButton);
    }
};

} // namespace

class tst_HistoryView : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { Style::setAnimationsEnabled(false); }
    void daysAreListedNewestFirstAndAtMostOneIsExpanded() {
        Screen screen;
        screen.add(u"A"_s, 60, 2, 10);
        screen.add(u"B"_s, 60, 0, 10);
        screen.add(u"C"_s, 60, 1, 10);
        screen.open();
        QCOMPARE(screen.days(), (QList<Instant>{dayOf(0), dayOf(1), dayOf(2)}));
        QVERIFY(screen.expandedDays().isEmpty());
        screen.clickHeader(1);
        QCOMPARE(screen.expandedDays(), QList<Instant>{dayOf(1)});
        screen.clickHeader(2);
        QCOMPARE(screen.expandedDays(), QList<Instant>{dayOf(2)});
        QCOMPARE(screen.view->expandedDay(), dayOf(2));
        screen.clickHeader(2);
        QVERIFY(screen.expandedDays().isEmpty());
        QCOMPARE(screen.view->expandedDay(), std::nullopt);
        // The list follows the heights: stacked without gaps or overlap, also once expanded.
        screen.clickHeader(0);
        const auto sections = screen.view->liveSections();
        QTRY_COMPARE(sections[1]->y(), sections[0]->y() + sections[0]->sizeHint().height());
        QCOMPARE(sections[2]->y(), sections[1]->geometry().bottom() + 1);
    }

    void completionsRecordedWhileOpenAreListedAtOnce() {
        Screen screen;
        screen.add(u"A"_s, 600, 2, 9);
        screen.add(u"A"_s, 600, 1, 8);
        screen.add(u"A"_s, 600, 1, 9);
        screen.open();
        MergedTaskRow* row = screen.openFirstRow(1);
        QTest::mouseClick(row->rowArea(), Qt::LeftButton);
        row->actionsButton()->setFocus();
        const QPointer<DaySection> yesterday = screen.view->sectionFor(dayOf(1));
        const QPointer<DaySection> older = screen.view->sectionFor(dayOf(2));
        // The first completion of today adds its section; the other days are not built again.
        screen.add(u"A"_s, 600, 0, 9);
        QTRY_COMPARE(screen.days(), (QList<Instant>{dayOf(0), dayOf(1), dayOf(2)}));
        QCOMPARE(screen.view->sectionFor(dayOf(1)), yesterday.data());
        // One on the open day builds that day again, with its open row and the focus kept.
        screen.add(u"B"_s, 300, 1, 10);
        QTRY_COMPARE(screen.label(1, u"completionCount"_s), u"3 completions"_s);
        QCOMPARE(screen.label(1, u"totalDuration"_s), u"25m"_s);
        QCOMPARE(screen.view->sectionFor(dayOf(2)), older.data());
        const auto rows = screen.view->sectionFor(dayOf(1))->findChildren<MergedTaskRow*>();
        QCOMPARE(rows.size(), 2);
        QVERIFY(rows[0]->isExpanded());
        QCOMPARE(screen.view->focusWidget(), rows[0]->actionsButton());
        QCOMPARE(screen.expandedDays(), QList<Instant>{dayOf(1)});
    }

    // Hidden (the panel closed), the screen holds no days; shown again it is the same screen.
    void reopenedScreenShowsTheSame() {
        QList<TaskEntry> stored;
        for (int day = 39; day >= 0; --day) {
            stored.append(entryAt(u"A"_s, 600, localTime(day, 10)));
            stored.append(entryAt(u"A"_s, 300, localTime(day, 11)));
            stored.append(entryAt(u"B"_s, 300, localTime(day, 12)));
        }
        Screen screen(stored);
        screen.open();
        MergedTaskRow* row = screen.openFirstRow(5);
        QTest::mouseClick(row->rowArea(), Qt::LeftButton);
        row->actionsButton()->setFocus();
        QTRY_COMPARE(row->height(), row->sizeHint().height());
        screen.view->scrollArea()->verticalScrollBar()->setValue(4 * DaySection::collapsedHeight() +
                                                                 10);
        const QList<Instant> built = screen.days();
        const QImage shown = screen.view->grab().toImage();

        screen.view->hide();
        QCOMPARE(screen.view->dayCount(), 0);
        QVERIFY(screen.view->liveSections().isEmpty());
        screen.view->show();
        QCOMPARE(screen.days(), built);
        const auto* again = screen.view->sectionFor(dayOf(5))->findChild<MergedTaskRow*>();
        QVERIFY(again->isExpanded());
        QCOMPARE(screen.view->focusWidget(), again->actionsButton());
        QTRY_COMPARE(again->height(), again->sizeHint().height());
        QCOMPARE(screen.view->grab().toImage(), shown);
    }

    void deletingTheExpandedDayKeepsItsDateForLater() {
        Screen screen;
        screen.add(u"A"_s, 60, 0, 9);
        screen.add(u"B"_s, 60, 1, 9);
        screen.add(u"C"_s, 60, 2, 9);
        screen.open();
        // Delete yesterday's only task through its row and the confirmation.
        screen.confirmDeletion(screen.openFirstRow(1), u"Delete"_s);
        QTRY_COMPARE(screen.days(), (QList<Instant>{dayOf(0), dayOf(2)}));
        QVERIFY(screen.expandedDays().isEmpty());
        QCOMPARE(screen.view->expandedDay(), dayOf(1));

        screen.add(u"D"_s, 60, 1, 15);
        QTRY_COMPARE(screen.days(), (QList<Instant>{dayOf(0), dayOf(1), dayOf(2)}));
        QCOMPARE(screen.expandedDays(), QList<Instant>{dayOf(1)});

        screen.fixture.history.deleteTasks(screen.fixture.history.tasks());
        QTRY_VERIFY(screen.view->showsEmptyState());
        QVERIFY(screen.view->liveSections().isEmpty());
    }

    // Five years: only the days near the view are built, at the fixed heights, but for the open
    // one, kept when scrolled away since its height is not the fixed one.
    void onlyNearlyVisibleDaysAreBuilt() {
        const int days = 1826;
        const int collapsed = DaySection::collapsedHeight();
        QList<TaskEntry> stored;
        for (int day = days - 1; day >= 0; --day)
            stored.append(entryAt(u"A"_s, 60, localTime(day, 10)));
        Screen screen(stored);
        screen.open();
        QCOMPARE(screen.view->dayCount(), days);
        const int perScreen = screenSize.height() / collapsed + 1;
        QVERIFY(screen.view->liveSections().size() <= 2 * perScreen + 2);
        QCOMPARE(screen.view->liveSections().first()->date(), dayOf(0));
        QCOMPARE(screen.view->scrollArea()->widget()->height(), days * collapsed);

        // Yesterday open, scrolled to the end: the oldest day is built, today is gone.
        screen.clickHeader(1);
        const int open = screen.view->sectionFor(dayOf(1))->sizeHint().height();
        QScrollBar* bar = screen.view->scrollArea()->verticalScrollBar();
        bar->setValue(bar->maximum());
        QTRY_COMPARE(screen.view->liveSections().last()->date(), dayOf(days - 1));
        QVERIFY(screen.view->liveSections().size() <= 2 * perScreen + 3);
        QVERIFY(!screen.view->sectionFor(dayOf(0)));
        QVERIFY(screen.view->sectionFor(dayOf(1)));
        const int height = screen.view->scrollArea()->widget()->height();
        QCOMPARE(height, (days - 1) * collapsed + open);
        QCOMPARE(screen.view->liveSections().last()->geometry().bottom() + 1, height);
        for (const DaySection* section : screen.view->liveSections()) {
            if (section->date() != dayOf(1))
                QCOMPARE((section->y() - open) % collapsed, 0);
        }
    }

    // Opening a day below the open one closes that one in the same change: the clicked header
    // stays where it was on screen instead of jumping up and out of view.
    void openingADayBelowTheOpenOneKeepsItsHeaderInPlace_data() {
        QTest::addColumn<bool>("animated");
        QTest::newRow("at once") << false;
        QTest::newRow("animated") << true;
    }

    void openingADayBelowTheOpenOneKeepsItsHeaderInPlace() {
        QFETCH(bool, animated);
        Style::setAnimationsEnabled(animated);
        const auto restore = qScopeGuard([] { Style::setAnimationsEnabled(false); });
        QList<TaskEntry> stored;
        for (int day = 11; day >= 0; --day) {
            stored.append(entryAt(u"A"_s, 600, localTime(day, 10)));
            stored.append(entryAt(u"B"_s, 300, localTime(day, 11)));
        }
        Screen screen(stored);
        screen.open();
        const auto settled = [&screen] {
            const auto live = screen.view->liveSections();
            return std::none_of(live.begin(), live.end(),
                                [](const DaySection* section) { return section->isResizing(); });
        };
        screen.clickHeader(3);
        QTRY_VERIFY(settled());

        QScrollBar* bar = screen.view->scrollArea()->verticalScrollBar();
        const DaySection* below = screen.view->sectionFor(dayOf(4));
        const auto onScreen = [&screen](const DaySection* section) {
            return section->mapTo(screen.view->scrollArea()->viewport(), QPoint()).y();
        };
        bar->setValue(below->y() - 100);
        QCOMPARE(onScreen(below), 100);

        screen.clickHeader(4);
        QTRY_VERIFY(settled());
        QCOMPARE(screen.expandedDays(), QList<Instant>{dayOf(4)});
        QCOMPARE(onScreen(below), 100);
        // Either way the change ends the same: the new body at full height, the old one gone.
        const DaySection* above = screen.view->sectionFor(dayOf(3));
        QTRY_COMPARE(above->findChildren<QWidget*>(u"body"_s).size(), 0);
        QCOMPARE(above->height(), DaySection::collapsedHeight());
        QCOMPARE(below->body()->maximumHeight(), QWIDGETSIZE_MAX);
        // Once settled the list scrolls freely again.
        bar->setValue(0);
        QCOMPARE(bar->value(), 0);

        // A deletion builds the open day again, faded in when animated, and leaves it open.
        screen.fixture.history.deleteTasks(screen.fixture.history.tasks().mid(0, 2));
        QTRY_COMPARE(screen.view->dayCount(), 11);
        QTRY_VERIFY(!screen.view->sectionFor(dayOf(4))->graphicsEffect());
        QCOMPARE(screen.expandedDays(), QList<Instant>{dayOf(4)});
    }
};

QTEST_MAIN(tst_HistoryView)
#include "tst_HistoryView.moc"
