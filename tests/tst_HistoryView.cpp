#include "HistoryTestSupport.h"
#include "Platform/Style.h"
#include "Views/DaySection.h"
#include "Views/EditTaskSheet.h"
#include "Views/HistoryView.h"
#include "Views/MergedTaskRow.h"

#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QScopeGuard>
#include <QScrollArea>
#include <QScrollBar>
#include <QStyle>
#include <QStyleFactory>
#include <QTest>

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
    QList<Instant> shownDays() const {
        QList<Instant> days;
        for (const DaySection* section : view->liveSections()) {
            days.append(section->date());
        }
        return days;
    }
    QList<Instant> expandedDays() const {
        QList<Instant> days;
        for (const DaySection* section : view->liveSections()) {
            if (section->isExpanded()) {
                days.append(section->date());
            }
        }
        return days;
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

// Every icon of the program at two sizes, on the palette's window colour.
QImage iconSheet(const QPalette& palette) {
    constexpr int count = int(Style::Icon::Trash) + 1;
    QImage sheet(QSize(count * 56, 90), QImage::Format_ARGB32);
    sheet.fill(palette.color(QPalette::Window));
    QPainter painter(&sheet);
    const QColor ink = Style::color(Style::ColorRole::Primary, palette);
    for (int i = 0; i < count; ++i) {
        const QIcon icon = Style::icon(Style::Icon(i), ink);
        icon.paint(&painter, QRect(i * 56 + 4, 4, 48, 48));
        icon.paint(&painter, QRect(i * 56 + 20, 60, 16, 16));
    }
    return sheet;
}

// Counts the widgets added to the list's content: one per section built.
class ChildCounter final : public QObject {
public:
    int added = 0;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::ChildAdded &&
            static_cast<QChildEvent*>(event)->child()->isWidgetType()) {
            ++added;
        }
        return QObject::eventFilter(watched, event);
    }
};

QPalette darkPalette() {
    QPalette dark;
    dark.setColor(QPalette::Window, QColor(40, 40, 42));
    dark.setColor(QPalette::WindowText, QColor(235, 235, 240));
    dark.setColor(QPalette::Base, QColor(30, 30, 32));
    dark.setColor(QPalette::AlternateBase, QColor(45, 45, 48));
    dark.setColor(QPalette::Text, QColor(235, 235, 240));
    dark.setColor(QPalette::Button, QColor(58, 58, 62));
    dark.setColor(QPalette::ButtonText, QColor(235, 235, 240));
    dark.setColor(QPalette::Highlight, QColor(10, 132, 255));
    dark.setColor(QPalette::HighlightedText, Qt::white);
    dark.setColor(QPalette::PlaceholderText, QColor(150, 150, 155));
    return dark;
}

} // namespace

class TestHistoryView : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { Style::setAnimationsEnabled(false); }
    void emptyHistoryShowsTheEmptyState();
    void daysAreListedNewestFirstAllCollapsed();
    void atMostOneDayIsExpanded();
    void completionRecordedWhileOpenIsListedAtOnce();
    void severalChangesInOneTurnRenderOnce();
    void firstCompletionOfTodayAddsItsSection();
    void deletingTheExpandedDayKeepsItsDateForLater();
    void deletingEverythingShowsTheEmptyState();
    void editMovesACompletionToAnotherDay();
    void mergedRowsStartCollapsedAfterEveryChange();
    void onlyNearlyVisibleDaysAreBuilt_data();
    void onlyNearlyVisibleDaysAreBuilt();
    void expandedDayStaysMeasuredWhenScrolledAway();
    void animatedChangesEndInTheSameState();
    void rendersScreenshots();
};

void TestHistoryView::emptyHistoryShowsTheEmptyState() {
    Screen screen;
    screen.open();
    QVERIFY(screen.view->showsEmptyState());
    QVERIFY(screen.view->liveSections().isEmpty());
    QCOMPARE(labelText(screen.view.get(), QStringLiteral("emptyTitle")),
             QStringLiteral("No Task History Yet"));
    QCOMPARE(labelText(screen.view.get(), QStringLiteral("emptyMessage")),
             QStringLiteral("Complete tasks to see them here"));
}

void TestHistoryView::daysAreListedNewestFirstAllCollapsed() {
    Screen screen;
    screen.add(QStringLiteral("A"), 60, 2, 10);
    screen.add(QStringLiteral("B"), 60, 0, 10);
    screen.add(QStringLiteral("C"), 60, 1, 10);
    screen.open();
    QVERIFY(!screen.view->showsEmptyState());
    QCOMPARE(screen.shownDays(), (QList<Instant>{dayOf(0), dayOf(1), dayOf(2)}));
    QVERIFY(screen.expandedDays().isEmpty());
    // Stacked without gaps, each below the previous.
    const auto sections = screen.view->liveSections();
    QCOMPARE(sections[1]->y(), sections[0]->geometry().bottom() + 1);
    QCOMPARE(sections[2]->y(), sections[1]->geometry().bottom() + 1);
}

void TestHistoryView::atMostOneDayIsExpanded() {
    Screen screen;
    for (int day = 0; day < 3; ++day) {
        screen.add(QStringLiteral("A"), 60, day, 10);
    }
    screen.open();
    screen.clickHeader(1);
    QCOMPARE(screen.expandedDays(), QList<Instant>{dayOf(1)});
    QCOMPARE(screen.view->expandedDay(), dayOf(1));
    screen.clickHeader(2);
    QCOMPARE(screen.expandedDays(), QList<Instant>{dayOf(2)});
    screen.clickHeader(2);
    QVERIFY(screen.expandedDays().isEmpty());
    QCOMPARE(screen.view->expandedDay(), std::nullopt);
    // The list follows the heights: no overlap after expanding and collapsing.
    screen.clickHeader(0);
    const auto sections = screen.view->liveSections();
    QTRY_COMPARE(sections[1]->y(), sections[0]->y() + sections[0]->sizeHint().height());
}

void TestHistoryView::completionRecordedWhileOpenIsListedAtOnce() {
    Screen screen;
    screen.add(QStringLiteral("A"), 600, 0, 9);
    screen.add(QStringLiteral("A"), 600, 1, 9);
    screen.open();
    screen.clickHeader(0);
    screen.add(QStringLiteral("B"), 1200, 0, 10);
    QTRY_COMPARE(labelText(screen.view->sectionFor(dayOf(0)), QStringLiteral("completionCount")),
                 QStringLiteral("2 completions"));
    DaySection* today = screen.view->sectionFor(dayOf(0));
    QVERIFY(today->isExpanded());
    QCOMPARE(labelText(today, QStringLiteral("totalDuration")), QStringLiteral("30m"));
    QCOMPARE(today->findChildren<MergedTaskRow*>().size(), 2);
    QCOMPARE(screen.expandedDays(), QList<Instant>{dayOf(0)});
}

void TestHistoryView::severalChangesInOneTurnRenderOnce() {
    Screen screen;
    screen.add(QStringLiteral("A"), 60, 0, 9);
    screen.open();
    ChildCounter built;
    screen.view->scrollArea()->widget()->installEventFilter(&built);
    screen.add(QStringLiteral("B"), 60, 0, 10);
    screen.add(QStringLiteral("C"), 60, 0, 11);
    screen.fixture.history.deleteTask(screen.fixture.history.tasks().first());
    QTRY_COMPARE(labelText(screen.view->sectionFor(dayOf(0)), QStringLiteral("completionCount")),
                 QStringLiteral("2 completions"));
    QCOMPARE(built.added, 1); // one new section for the one day: rendered once, not three times
}

void TestHistoryView::firstCompletionOfTodayAddsItsSection() {
    Screen screen;
    screen.add(QStringLiteral("A"), 60, 1, 9);
    screen.open();
    QCOMPARE(screen.shownDays(), QList<Instant>{dayOf(1)});
    screen.add(QStringLiteral("A"), 60, 0, 9);
    QTRY_COMPARE(screen.shownDays(), (QList<Instant>{dayOf(0), dayOf(1)}));
}

void TestHistoryView::deletingTheExpandedDayKeepsItsDateForLater() {
    Screen screen;
    screen.add(QStringLiteral("A"), 60, 0, 9);
    screen.add(QStringLiteral("B"), 60, 1, 9);
    screen.add(QStringLiteral("C"), 60, 2, 9);
    screen.open();
    // Delete yesterday's only task through its row and the confirmation.
    screen.confirmDeletion(screen.openFirstRow(1), QStringLiteral("Delete"));
    QTRY_COMPARE(screen.shownDays(), (QList<Instant>{dayOf(0), dayOf(2)}));
    QVERIFY(screen.expandedDays().isEmpty());
    QCOMPARE(screen.view->expandedDay(), dayOf(1));

    screen.add(QStringLiteral("D"), 60, 1, 15);
    QTRY_COMPARE(screen.shownDays(), (QList<Instant>{dayOf(0), dayOf(1), dayOf(2)}));
    QCOMPARE(screen.expandedDays(), QList<Instant>{dayOf(1)});
}

void TestHistoryView::deletingEverythingShowsTheEmptyState() {
    Screen screen;
    screen.add(QStringLiteral("A"), 60, 0, 9);
    screen.add(QStringLiteral("A"), 60, 0, 10);
    screen.open();
    screen.confirmDeletion(screen.openFirstRow(0), QStringLiteral("Delete All (2)"));
    QTRY_VERIFY(screen.view->showsEmptyState());
    QVERIFY(screen.view->liveSections().isEmpty());
    QVERIFY(screen.fixture.history.tasks().isEmpty());
}

void TestHistoryView::editMovesACompletionToAnotherDay() {
    Screen screen;
    screen.add(QStringLiteral("Other"), 60, 0, 12);
    // Started 23:45 yesterday, five minutes: twenty minutes end after midnight.
    screen.add(QStringLiteral("Late"), 300, 1, 23, 50);
    screen.open();
    chooseMenuItem(screen.openFirstRow(1)->actionsButton(), QStringLiteral("Edit"));
    auto* sheet = screen.view->findChild<EditTaskSheet*>();
    QVERIFY(sheet);
    sheet->findChild<QLineEdit*>(QStringLiteral("minutesField"))->setText(QStringLiteral("20"));
    QTest::mouseClick(sheet->findChild<QPushButton*>(QStringLiteral("saveButton")), Qt::LeftButton);
    QTRY_COMPARE(screen.shownDays(), QList<Instant>{dayOf(0)});
    QCOMPARE(labelText(screen.view->sectionFor(dayOf(0)), QStringLiteral("taskCount")),
             QStringLiteral("2 tasks"));
    QVERIFY(!Overlay::isOpenIn(screen.view.get()));
}

void TestHistoryView::mergedRowsStartCollapsedAfterEveryChange() {
    Screen screen;
    screen.add(QStringLiteral("A"), 60, 0, 9);
    screen.add(QStringLiteral("A"), 60, 0, 10);
    screen.add(QStringLiteral("B"), 30, 0, 11);
    screen.open();
    MergedTaskRow* row = screen.openFirstRow(0);
    QTest::mouseClick(row->rowArea(), Qt::LeftButton);
    QVERIFY(row->isExpanded());
    screen.add(QStringLiteral("C"), 10, 0, 12);
    QTRY_COMPARE(screen.view->sectionFor(dayOf(0))->findChildren<MergedTaskRow*>().size(), 3);
    for (const MergedTaskRow* rebuilt :
         screen.view->sectionFor(dayOf(0))->findChildren<MergedTaskRow*>()) {
        QVERIFY(!rebuilt->isExpanded());
    }
}

void TestHistoryView::onlyNearlyVisibleDaysAreBuilt_data() {
    QTest::addColumn<int>("days");
    QTest::newRow("a month") << 30;
    QTest::newRow("five years") << 1826;
}

void TestHistoryView::onlyNearlyVisibleDaysAreBuilt() {
    QFETCH(int, days);
    QList<TaskEntry> stored;
    for (int day = days - 1; day >= 0; --day) {
        stored.append(entryAt(QStringLiteral("A"), 60, localTime(day, 10)));
    }
    Screen screen(stored);
    screen.open();
    QCOMPARE(screen.view->dayCount(), days);
    const int perScreen = screenSize.height() / DaySection::collapsedHeight() + 1;
    QVERIFY(screen.view->liveSections().size() <= 2 * perScreen + 2);
    QCOMPARE(screen.view->liveSections().first()->date(), dayOf(0));
    QCOMPARE(screen.view->scrollArea()->widget()->height(), days * DaySection::collapsedHeight());

    // Scrolled to the end: the oldest day is built, the newest is gone.
    QScrollBar* bar = screen.view->scrollArea()->verticalScrollBar();
    bar->setValue(bar->maximum());
    QTRY_COMPARE(screen.view->liveSections().last()->date(), dayOf(days - 1));
    QVERIFY(screen.view->liveSections().size() <= 2 * perScreen + 2);
    if (days > 3 * perScreen) {
        QVERIFY(!screen.view->sectionFor(dayOf(0)));
    }
    // Each visible section sits where the fixed heights say.
    for (const DaySection* section : screen.view->liveSections()) {
        QCOMPARE(section->height(), DaySection::collapsedHeight());
        QCOMPARE(section->y() % DaySection::collapsedHeight(), 0);
    }
}

void TestHistoryView::expandedDayStaysMeasuredWhenScrolledAway() {
    QList<TaskEntry> stored;
    for (int day = 199; day >= 0; --day) {
        stored.append(entryAt(QStringLiteral("A"), 60, localTime(day, 10)));
        stored.append(entryAt(QStringLiteral("B"), 30, localTime(day, 11)));
    }
    Screen screen(stored);
    screen.open();
    screen.clickHeader(0);
    const int expandedHeight = screen.view->sectionFor(dayOf(0))->sizeHint().height();
    QVERIFY(expandedHeight > DaySection::collapsedHeight() + 200);
    QScrollBar* bar = screen.view->scrollArea()->verticalScrollBar();
    bar->setValue(bar->maximum());
    QVERIFY(screen.view->sectionFor(dayOf(0))); // kept: its height is not the fixed one
    QCOMPARE(screen.view->scrollArea()->widget()->height(),
             199 * DaySection::collapsedHeight() + expandedHeight);
    DaySection* oldest = screen.view->revealDay(dayOf(199));
    QVERIFY(oldest);
    QCOMPARE(oldest->geometry().bottom() + 1, screen.view->scrollArea()->widget()->height());
}

void TestHistoryView::animatedChangesEndInTheSameState() {
    Style::setAnimationsEnabled(true);
    const auto restore = qScopeGuard([] { Style::setAnimationsEnabled(false); });
    Screen screen;
    screen.add(QStringLiteral("A"), 60, 0, 9);
    screen.add(QStringLiteral("A"), 60, 0, 10);
    screen.add(QStringLiteral("B"), 60, 1, 9);
    screen.open();
    screen.clickHeader(0);
    DaySection* today = screen.view->sectionFor(dayOf(0));
    QTRY_COMPARE(today->body()->maximumHeight(), QWIDGETSIZE_MAX);
    QTRY_COMPARE(today->height(), today->sizeHint().height());
    QVERIFY(today->height() > DaySection::collapsedHeight() + 200);

    // Switching days: the old body closes and goes away, the new one opens.
    screen.clickHeader(1);
    DaySection* yesterday = screen.view->sectionFor(dayOf(1));
    QTRY_VERIFY(yesterday->body() && yesterday->body()->maximumHeight() == QWIDGETSIZE_MAX);
    QTRY_COMPARE(today->findChildren<QWidget*>(QStringLiteral("body")).size(), 0);
    QTRY_COMPARE(today->height(), DaySection::collapsedHeight());
    QTRY_COMPARE(yesterday->y(), DaySection::collapsedHeight());

    // A deletion re-renders with a brief fade; the end state is the same as without it.
    screen.fixture.history.deleteTasks(screen.fixture.history.tasks().mid(0, 2));
    QTRY_COMPARE(screen.shownDays(), QList<Instant>{dayOf(1)});
    QTRY_VERIFY(!screen.view->sectionFor(dayOf(1))->graphicsEffect());
    QVERIFY(screen.view->sectionFor(dayOf(1))->isExpanded());
}

void TestHistoryView::rendersScreenshots() {
    // For a person to look at: the screen with a fixed history, collapsed and with today open,
    // in a light and a dark palette.
    const QString folder = QStringLiteral(HOURLARK_SCREENSHOT_DIR);
    QVERIFY(QDir().mkpath(folder));
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    const QPalette light = QApplication::style()->standardPalette();
    for (const auto& [name, palette] : {std::pair{QStringLiteral("light"), light},
                                        std::pair{QStringLiteral("dark"), darkPalette()}}) {
        QApplication::setPalette(palette);
        QVERIFY(iconSheet(palette).save(folder + QStringLiteral("/icons-%1.png").arg(name)));
        {
            Screen empty;
            empty.open();
            QVERIFY(empty.view->grab().toImage().save(
                folder + QStringLiteral("/history-empty-%1.png").arg(name)));
        }
        Screen screen;
        screen.add(QStringLiteral("Write report"), 1500, 0, 9);
        screen.add(QStringLiteral("Email"), 300, 0, 10, 15);
        screen.add(QStringLiteral("Write report"), 1500, 0, 11);
        screen.add(QStringLiteral("Code review"), 2700, 0, 14, 30);
        screen.add(QStringLiteral("Write report"), 900, 0, 16);
        screen.add(QStringLiteral("Planning"), 3600, 1, 10);
        screen.add(QStringLiteral("Email"), 600, 1, 15);
        for (int day = 2; day < 9; ++day) {
            screen.add(QStringLiteral("Deep work"), 1500 * day, day, 10);
            screen.add(QStringLiteral("Email"), 59 + 60 * day, day, 11);
        }
        screen.open();
        QImage collapsed = screen.view->grab().toImage();
        QVERIFY(collapsed.save(folder + QStringLiteral("/history-collapsed-%1.png").arg(name)));

        MergedTaskRow* write = screen.openFirstRow(0);
        QTest::mouseClick(write->rowArea(), Qt::LeftButton);
        const DaySection* today = screen.view->sectionFor(dayOf(0));
        QTRY_COMPARE(write->height(), write->sizeHint().height()); // settled up the chain
        QTRY_COMPARE(today->height(), today->sizeHint().height());
        const auto content = screen.view->scrollArea()->widget();
        QImage whole = content->grab(QRect(0, 0, content->width(), content->height())).toImage();
        QVERIFY(whole.save(folder + QStringLiteral("/history-expanded-%1.png").arg(name)));
        QVERIFY(screen.view->grab().toImage().save(
            folder + QStringLiteral("/history-expanded-top-%1.png").arg(name)));

        chooseMenuItem(write->actionsButton(), QStringLiteral("Delete All (3)"));
        QVERIFY(screen.view->grab().toImage().save(
            folder + QStringLiteral("/history-confirmation-%1.png").arg(name)));
        QTest::mouseClick(openConfirmation(screen.view.get())->cancelButton(), Qt::LeftButton);

        const auto rows = screen.view->sectionFor(dayOf(0))->findChildren<MergedTaskRow*>();
        chooseMenuItem(rows[1]->actionsButton(), QStringLiteral("Edit"));
        QVERIFY(screen.view->grab().toImage().save(
            folder + QStringLiteral("/history-edit-%1.png").arg(name)));
    }
}

QTEST_MAIN(TestHistoryView)
#include "tst_HistoryView.moc"
