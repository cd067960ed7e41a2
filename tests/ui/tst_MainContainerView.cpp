#include "TimerWorld.h"
#include "history/HistoryView.h"
#include "kit/Style.h"
#include "managers/ColorManager.h"
#include "timer/MainContainerView.h"
#include "timer/SettingsView.h"

#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>

using namespace Qt::StringLiterals;
using Destination = MainContainerView::NavigationDestination;

namespace {

struct World : TimerWorld {
    ColorManager colors{store};
    MainContainerView view{timer, history, colors};

    World() { view.show(); }
    template <typename T> T* child(const QString& name) const { return view.findChild<T*>(name); }
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
    void goBack() const { QTest::mouseClick(child<QToolButton>(u"backButton"_s), Qt::LeftButton); }
};

} // namespace

class tst_MainContainerView final : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { Style::setAnimationsEnabled(false); }

    void navigatesBothWaysAndAsksForTheSize() {
        World w;
        QSignalSpy sizes(&w.view, &MainContainerView::sizeChangeRequested);
        const auto shows = [&w](Destination where, QSize size) {
            const bool history = where == Destination::History;
            QCOMPARE(w.view.currentView(), where);
            QCOMPARE(w.view.size(), size);
            QCOMPARE(w.child<QWidget>(u"historyHeader"_s)->isVisible(), history);
            QCOMPARE(bool(w.screen<HistoryView>()), history);
            QCOMPARE(bool(w.screen<SettingsView>()), !history);
        };
        shows(Destination::Settings, QSize(350, 300));
        // The screen left behind goes; the panel built again refills from the model as any panel
        // shown does (tst_SettingsView).
        const QPointer<SettingsView> firstPanel = w.screen<SettingsView>();
        w.openHistory();
        QTRY_VERIFY(firstPanel.isNull());
        shows(Destination::History, QSize(400, 500));
        QCOMPARE(sizes.count(), 1); // the sizes asked for: AppDelegate's routing test
        w.goBack();
        shows(Destination::Settings, QSize(350, 300));
        QCOMPARE(sizes.count(), 2);

        // Asking for the screen already shown is not a switch.
        w.view.showDestination(Destination::Settings);
        QCOMPARE(sizes.count(), 2);

        // The rebuilt panel's Start still closes the popover.
        QSignalSpy dismiss(&w.view, &MainContainerView::dismissRequested);
        QTest::mouseClick(w.screen<SettingsView>()->findChild<QPushButton*>(u"startStopButton"_s),
                          Qt::LeftButton);
        QCOMPARE(dismiss.count(), 1);
    }

    // Back is drawn in the accent colour, unless that would barely show on the header: a dark
    // theme's deep selection blue is lifted until it reads.
    void backReadsOnTheHeader_data() {
        QTest::addColumn<QColor>("window");
        QTest::addColumn<QColor>("text");
        QTest::addColumn<QColor>("accent");
        QTest::addColumn<bool>("accentKept");
        QTest::newRow("light") << QColor(0xefefef) << QColor(Qt::black) << QColor(0x1a5fb4) << true;
        QTest::newRow("dark, light accent")
            << QColor(0x353535) << QColor(0xeeeeec) << QColor(0x78aeed) << true;
        QTest::newRow("dark, deep accent")
            << QColor(0x353535) << QColor(0xeeeeec) << QColor(0x15539e) << false;
    }
    void backReadsOnTheHeader() {
        QFETCH(QColor, window);
        QFETCH(QColor, text);
        QFETCH(QColor, accent);
        QFETCH(bool, accentKept);
        World w;
        QPalette palette = w.view.palette();
        palette.setColor(QPalette::Window, window);
        palette.setColor(QPalette::WindowText, text);
        palette.setColor(QPalette::ButtonText, text);
        palette.setColor(QPalette::Highlight, accent);
        w.view.setPalette(palette);
        w.openHistory();

        const auto* header = w.child<QWidget>(u"historyHeader"_s);
        const QColor background = header->palette().color(QPalette::Window);
        const QImage shot = w.child<QToolButton>(u"backButton"_s)->grab().toImage();
        qreal strongest = 1;
        QColor ink;
        for (int y = 0; y < shot.height(); ++y) {
            for (int x = 0; x < shot.width(); ++x) {
                const qreal ratio = Style::contrastRatio(shot.pixelColor(x, y), background);
                if (ratio > strongest) {
                    strongest = ratio;
                    ink = shot.pixelColor(x, y);
                }
            }
        }
        QVERIFY2(strongest >= 3.0, qPrintable(QString::number(strongest)));
        // Still the accent's hue, and unchanged where it already read.
        QVERIFY(qAbs(ink.hslHue() - accent.hslHue()) < 12);
        QCOMPARE(ink == accent, accentKept);
    }
};

QTEST_MAIN(tst_MainContainerView)
#include "tst_MainContainerView.moc"
