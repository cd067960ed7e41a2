#include "TimerWorld.h"
#include "kit/Style.h"
#include "time/DurationText.h"
#include "timer/SettingsView.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// The panel as the popover shows it, on a countdown of its own.
struct Panel : TimerWorld {
    Panel() {
        view.resize(350, 300);
        view.show();
    }
    template <typename T> T* child(const char* name) const {
        auto* found = view.findChild<T*>(QLatin1String(name));
        Q_ASSERT(found);
        return found;
    }
    QLineEdit* minutes() const { return child<QLineEdit>("minutesField"); }
    QLineEdit* name() const { return child<QLineEdit>("taskNameField"); }
    QPushButton* startStop() const { return child<QPushButton>("startStopButton"); }
    QPushButton* reset() const { return child<QPushButton>("resetButton"); }
    QPushButton* complete() const { return child<QPushButton>("completeButton"); }
    QLabel* display() const { return child<QLabel>("timeDisplay"); }
    QLabel* nameDisplay() const { return child<QLabel>("taskNameDisplay"); }
    void click(QPushButton* button) const { QTest::mouseClick(button, Qt::LeftButton); }

    SettingsView view{timer};
};

// The run of blank columns between the first drawn thing on a button (its icon) and the next
// (its title), in pixels. Blank: no pixel of the middle rows stands out from the face.
int gapAfterIcon(const QImage& face) {
    const int top = face.height() / 4;
    const int bottom = face.height() - face.height() / 4;
    const auto inked = [&](int x) {
        for (int y = top; y < bottom; ++y) {
            const int here = qGray(face.pixel(x, y));
            const int plain = qGray(face.pixel(3, y));
            if (qAbs(here - plain) > 60)
                return true;
        }
        return false;
    };
    int x = 4;
    while (x < face.width() && !inked(x))
        ++x; // up to the icon
    while (x < face.width() && inked(x))
        ++x; // across it
    const int iconEnd = x;
    while (x < face.width() && !inked(x))
        ++x; // up to the title
    return x - iconEnd;
}

} // namespace

class tst_SettingsView final : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { Style::setAnimationsEnabled(false); }

    void minutesAreFilteredAndClamped_data() {
        QTest::addColumn<QString>("entered");
        QTest::addColumn<QString>("field");
        QTest::addColumn<qint64>("minutes"); // the model's length afterwards; it was 45

        QTest::newRow("letters dropped") << u"12a"_s << u"12"_s << qint64(12);
        QTest::newRow("zero becomes one") << u"0"_s << u"1"_s << qint64(1);
        QTest::newRow("above the bound") << u"601"_s << u"600"_s << qint64(600);
        QTest::newRow("largest 64-bit number")
            << u"9223372036854775807"_s << u"600"_s << qint64(600);
        QTest::newRow("one past 64 bits left alone")
            << u"9223372036854775808"_s << u"9223372036854775808"_s << qint64(45);
        QTest::newRow("other script's digits kept, not read")
            << u"\u0664\u0665"_s << u"\u0664\u0665"_s << qint64(45);
        QTest::newRow("digit outside the BMP kept")
            << u"\U0001D7DC"_s << u"\U0001D7DC"_s << qint64(45);
        QTest::newRow("only letters") << u"abc"_s << QString() << qint64(45);
    }
    void minutesAreFilteredAndClamped() {
        QFETCH(QString, entered);
        QFETCH(qint64, minutes);
        Panel panel;
        panel.minutes()->setText(u"45"_s);
        panel.timer.startTimer();
        panel.tick(10);
        panel.timer.stopTimer();

        // Typing and setting the text both go through textChanged.
        panel.minutes()->setText(entered);
        QTEST(panel.minutes()->text(), "field");
        QCOMPARE(panel.timer.initialTime(), minutes * 60);
        // An accepted length also restarts the stopped countdown from it.
        QCOMPARE(panel.timer.timeRemaining(), minutes == 45 ? 45 * 60 - 10 : minutes * 60);
    }

    // Typed or pasted, a name loses its control characters and the characters that would embed or
    // override a writing direction; marks and joiners that shape the text stay. It is cut at forty
    // characters as a reader counts them, never inside one.
    void nameKeepsControlCharactersOut_data() {
        QTest::addColumn<QString>("entered"); // typed or pasted, it reaches the same textChanged
        QTest::addColumn<QString>("kept");
        QTest::newRow("C0, DEL, C1 and paragraph separator")
            << u"A\tB\nC\u007FD\u0085E\u2029F"_s << u"ABCDEF"_s;
        QTest::newRow("embeddings, overrides and isolates")
            << u"\u202Bx\u202C \u2067y\u2069 a\u202Eb"_s << u"x y ab"_s;
        QTest::newRow("marks and joiners stay") << u"a\u200Fb\u200Dc"_s << u"a\u200Fb\u200Dc"_s;
        QTest::newRow("fifty letters") << u"b"_s.repeated(50) << u"b"_s.repeated(40);
        const QString accented = u"e\u0301"_s; // e and a combining acute: one character
        QTest::newRow("combining marks") << accented.repeated(45) << accented.repeated(40);
        const QString family = u"\U0001F468\u200D\U0001F469\u200D\U0001F467"_s;
        QTest::newRow("emoji joined into one") << family.repeated(41) << family.repeated(40);
        const QString emoji = u"\U0001F600"_s; // two UTF-16 units
        QTest::newRow("cut inside an emoji run")
            << u"x"_s.repeated(39) + emoji.repeated(3) << u"x"_s.repeated(39) + emoji;
    }
    void nameKeepsControlCharactersOut() {
        QFETCH(QString, entered);
        QFETCH(QString, kept);
        Panel panel;
        panel.name()->insert(entered);
        QCOMPARE(panel.name()->text(), kept);
        QCOMPARE(panel.name()->cursorPosition(), kept.size());
        QCOMPARE(panel.timer.customText(), kept);
        QTRY_COMPARE(panel.status.title(), u"30:00 "_s + kept);
    }

    // Styled while the window was not yet active, the idle display used to carry the inactive
    // text colour into the active group and looked disabled until Start or Stop.
    void idleCountdownHasTheActiveTextColour() {
        const QPalette usual = QApplication::palette();
        const auto restore = qScopeGuard([&usual] { QApplication::setPalette(usual); });
        QPalette palette = usual;
        palette.setColor(QPalette::Active, QPalette::WindowText, Qt::black);
        palette.setColor(QPalette::Inactive, QPalette::WindowText, QColor(150, 150, 150));
        QApplication::setPalette(palette);

        Panel panel;
        QApplication::setActiveWindow(&panel.view);
        QVERIFY(QTest::qWaitForWindowActive(&panel.view));
        QCOMPARE(panel.display()->palette().color(QPalette::Active, QPalette::WindowText),
                 QColor(Qt::black));
        const QColor caption = panel.child<QLabel>("taskNameDisplay")
                                   ->palette()
                                   .color(QPalette::Active, QPalette::WindowText);
        QCOMPARE(caption.rgb(), QColor(Qt::black).rgb()); // dimmed by alpha, not greyed
    }

    // The drawn icons fill their square, and styles leave only a few pixels before the title.
    void iconsStandApartFromTheirTitles_data() {
        QTest::addColumn<QString>("button");
        QTest::newRow("Reset") << u"resetButton"_s;
        QTest::newRow("View History") << u"historyButton"_s;
    }
    void iconsStandApartFromTheirTitles() {
        QFETCH(QString, button);
        Panel panel;
        const QImage face = panel.child<QPushButton>(qPrintable(button))->grab().toImage();
        QVERIFY2(gapAfterIcon(face) >= 8, qPrintable(QString::number(gapAfterIcon(face))));
    }

    void controlsFollowTheRunningState() {
        Panel panel;
        const auto running = [&panel](bool on) {
            QTRY_COMPARE(panel.startStop()->text(), on ? u"Stop"_s : u"Start"_s);
            QCOMPARE(panel.minutes()->isEnabled(), !on);
            QCOMPARE(panel.complete()->isEnabled(), on);
            QCOMPARE(panel.display()->palette().color(QPalette::WindowText) == Style::green(), on);
        };
        running(false);
        panel.click(panel.startStop());
        QVERIFY(panel.timer.isRunning());
        running(true);
        // Running: edits of the length are ignored even when they do not come from typing.
        panel.minutes()->setText(u"5"_s);
        QCOMPARE(panel.timer.initialTime(), 1800);
        panel.tick(61);
        QTRY_COMPARE(panel.display()->text(), u"28:59"_s);
        panel.click(panel.startStop());
        QVERIFY(!panel.timer.isRunning());
        running(false);
    }

    // Only Start closes the popover; Complete and Reset leave it open. Reset records nothing and
    // empties the fields. What Complete records and tells is tst_TimerManager's.
    void completeRecordsTheNamedTaskResetRecordsNothing() {
        Panel panel;
        QSignalSpy dismiss(&panel.view, &SettingsView::dismissRequested);
        panel.name()->setText(u"Write"_s);
        panel.click(panel.startStop());
        QCOMPARE(dismiss.count(), 1);
        panel.tick(3);
        QTRY_VERIFY(panel.complete()->isEnabled());
        panel.click(panel.complete());
        QCOMPARE(panel.history.tasks().size(), 1);
        QTRY_COMPARE(panel.display()->text(), u"30:00"_s);

        panel.minutes()->setText(u"45"_s);
        panel.click(panel.startStop());
        panel.tick(20);
        panel.click(panel.reset());
        QCOMPARE(dismiss.count(), 2);
        QCOMPARE(panel.timer.timeRemaining(), 1800);
        QCOMPARE(panel.minutes()->text(), u"30"_s);
        QCOMPARE(panel.name()->text(), QString());
        QCOMPARE(panel.history.tasks().size(), 1);
        QTRY_VERIFY(!panel.nameDisplay()->isVisible());
    }

    // Reopening the panel reloads its fields from the model but never moves the countdown.
    void showingNeverChangesTheCountdown_data() {
        QTest::addColumn<int>("length");
        QTest::addColumn<QString>("typed"); // left in the field when the panel closed
        QTest::addColumn<QString>("shown");
        QTest::newRow("after a stop") << 45 << u"45"_s << u"45"_s;
        QTest::newRow("with leading zeros") << 7 << u"007"_s << u"7"_s;
        QTest::newRow("with the field emptied") << 45 << QString() << u"45"_s;
    }
    void showingNeverChangesTheCountdown() {
        QFETCH(int, length);
        QFETCH(QString, typed);
        Panel panel;
        panel.minutes()->setText(QString::number(length));
        panel.minutes()->setText(typed);
        panel.name()->setText(u"Write"_s);
        panel.timer.startTimer();
        panel.tick(7);
        panel.timer.stopTimer();
        const qint64 remaining = panel.timer.timeRemaining();

        panel.view.hide();
        panel.view.show();
        QTEST(panel.minutes()->text(), "shown");
        QCOMPARE(panel.name()->text(), u"Write"_s);
        QCOMPARE(panel.timer.timeRemaining(), remaining);
        QCOMPARE(panel.timer.initialTime(), length * 60);
        QTRY_COMPARE(panel.display()->text(), DurationText::countdown(remaining));
    }

    void everythingFitsThePopover() {
        Panel panel;
        panel.name()->setText(u"W"_s.repeated(40));
        QTRY_VERIFY(panel.nameDisplay()->isVisible());
        QVERIFY(QTest::qWaitForWindowExposed(&panel.view));
        const QSize needed = panel.view.minimumSizeHint();
        QVERIFY2(needed.width() <= 350 && needed.height() <= 300,
                 qPrintable(u"%1 x %2"_s.arg(needed.width()).arg(needed.height())));
        const QPushButton* last = panel.child<QPushButton>("historyButton");
        QCOMPARE(last->height(), last->sizeHint().height());
        QVERIFY(last->mapTo(&panel.view, QPoint(0, last->height())).y() <= 300);
    }
};

QTEST_MAIN(tst_SettingsView)
#include "tst_SettingsView.moc"
