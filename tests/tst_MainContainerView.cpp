#include "Managers/ColorManager.h"
#include "Managers/HistoryManager.h"
#include "Managers/TimerManager.h"
#include "Platform/Clock.h"
#include "Platform/Notifier.h"
#include "Platform/PreferencesStore.h"
#include "Platform/Style.h"
#include "Views/HistoryView.h"
#include "Views/MainContainerView.h"
#include "Views/SettingsView.h"

#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>

using namespace Qt::StringLiterals;
using Destination = MainContainerView::NavigationDestination;

class tst_MainContainerView final : public QObject {
    Q_OBJECT

    struct World {
        MemoryPreferencesStore store;
        HistoryManager history{store};
        ColorManager colors{store};
        RecordingNotifier notifier;
        ManualClock clock;
        TimerManager timer{nullptr, &history, notifier, clock};
        MainContainerView view{timer, history, colors};

        World() { view.show(); }
        template <typename T> T* child(const char* name) const {
            return view.findChild<T*>(QLatin1String(name));
        }
        QWidget* header() const { return child<QWidget>("historyHeader"); }
        // The screen shown; the one left behind is hidden at once and deleted a little later.
        template <typename T> T* screen() const {
            for (T* candidate : view.findChildren<T*>(Qt::FindDirectChildrenOnly)) {
                if (candidate->isVisible())
                    return candidate;
            }
            return nullptr;
        }
        void openHistory() const {
            QTest::mouseClick(screen<SettingsView>()->findChild<QPushButton*>(u"historyButton"_s),
                              Qt::LeftButton);
        }
        void goBack() const { QTest::mouseClick(child<QToolButton>("backButton"), Qt::LeftButton); }
    };

private slots:
    void initTestCase() { Style::setAnimationsEnabled(false); }

    void opensOnTheTimerPanel() {
        World w;
        QSignalSpy sizes(&w.view, &MainContainerView::sizeChangeRequested);
        QVERIFY(QTest::qWaitForWindowExposed(&w.view));
        QCOMPARE(w.view.currentView(), Destination::Settings);
        QCOMPARE(w.view.size(), QSize(350, 300));
        QVERIFY(w.screen<SettingsView>());
        QVERIFY(!w.header()->isVisible());
        QCOMPARE(sizes.count(), 0); // the popover already has this size
    }

    void navigatesBothWaysAndAsksForTheSize() {
        World w;
        QSignalSpy sizes(&w.view, &MainContainerView::sizeChangeRequested);

        w.openHistory();
        QCOMPARE(w.view.currentView(), Destination::History);
        QCOMPARE(w.view.size(), QSize(400, 500));
        QVERIFY(w.header()->isVisible());
        QVERIFY(w.screen<HistoryView>());
        QVERIFY(!w.screen<SettingsView>());
        QCOMPARE(sizes.count(), 1);
        QCOMPARE(sizes.last().first().toSize(), QSize(400, 500));

        w.goBack();
        QCOMPARE(w.view.currentView(), Destination::Settings);
        QCOMPARE(w.view.size(), QSize(350, 300));
        QVERIFY(!w.header()->isVisible());
        QVERIFY(w.screen<SettingsView>());
        QVERIFY(!w.screen<HistoryView>());
        QCOMPARE(sizes.count(), 2);
        QCOMPARE(sizes.last().first().toSize(), QSize(350, 300));

        // Asking for the screen already shown is not a switch.
        w.view.showDestination(Destination::Settings);
        QCOMPARE(sizes.count(), 2);
    }

    void everyVisitBuildsTheScreenAfresh() {
        World w;
        QPointer<SettingsView> firstPanel = w.screen<SettingsView>();
        w.openHistory();
        QPointer<HistoryView> firstHistory = w.screen<HistoryView>();
        QTRY_VERIFY(firstPanel.isNull());
        w.goBack();
        QTRY_VERIFY(firstHistory.isNull());
        w.openHistory();
        QVERIFY(w.screen<HistoryView>());
        QVERIFY(w.screen<HistoryView>() != firstHistory.data());
    }

    // The panel rebuilt on the way back starts at "30" and is refilled from the model, without
    // restarting a countdown stopped part-way.
    void returningKeepsAStoppedCountdown() {
        World w;
        SettingsView* panel = w.screen<SettingsView>();
        panel->findChild<QLineEdit*>(u"minutesField"_s)->setText(u"45"_s);
        panel->findChild<QLineEdit*>(u"taskNameField"_s)->setText(u"Write"_s);
        w.timer.startTimer();
        for (int i = 0; i < 5; ++i)
            w.timer.tick();
        w.timer.stopTimer();

        w.openHistory();
        w.goBack();
        panel = w.screen<SettingsView>();
        QCOMPARE(panel->findChild<QLineEdit*>(u"minutesField"_s)->text(), u"45"_s);
        QCOMPARE(panel->findChild<QLineEdit*>(u"taskNameField"_s)->text(), u"Write"_s);
        QCOMPARE(w.timer.timeRemaining(), 45 * 60 - 5);
    }

    void headerTitleIsCentred() {
        World w;
        w.openHistory();
        QVERIFY(QTest::qWaitForWindowExposed(&w.view));
        const QWidget* header = w.header();
        const auto* title = w.child<QLabel>("historyTitle");
        QCOMPARE(title->text(), u"Task History"_s);
        const int titleCentre = title->mapTo(header, title->rect().center()).x();
        QVERIFY2(
            qAbs(titleCentre - header->rect().center().x()) <= 1,
            qPrintable(
                u"title centre %1 in a header %2 wide"_s.arg(titleCentre).arg(header->width())));
        const auto* back = w.child<QToolButton>("backButton");
        QCOMPARE(back->text(), u"Back"_s);
        QCOMPARE(back->palette().color(QPalette::ButtonText),
                 Style::color(Style::ColorRole::Accent, w.view.palette()));
        QCOMPARE(header->width(), 400);
    }

    void startOnThePanelClosesThePopover() {
        World w;
        QSignalSpy dismiss(&w.view, &MainContainerView::dismissRequested);
        QTest::mouseClick(w.screen<SettingsView>()->findChild<QPushButton*>(u"startStopButton"_s),
                          Qt::LeftButton);
        QCOMPARE(dismiss.count(), 1);
        QVERIFY(w.timer.isRunning());
        QCOMPARE(w.view.currentView(), Destination::Settings);
    }
};

QTEST_MAIN(tst_MainContainerView)
#include "tst_MainContainerView.moc"
