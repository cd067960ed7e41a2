#include "HistoryTestSupport.h"
#include "kit/Style.h"

#include <QApplication>
#include <QScopeGuard>
#include <QStyle>
#include <QTest>
#include <algorithm>
#include <limits>

using namespace Qt::StringLiterals;

namespace {

// The sheet open over a popover-sized window, on a history that holds only `task`.
struct Opened {
    explicit Opened(const TaskEntry& task)
        : task(task) {
        fixture.history.saveTask(task);
        window.resize(400, 460);
        window.show();
        overlay = EditTaskSheet::open(&window, fixture.history, task);
        name = overlay->findChild<QLineEdit*>(u"nameField"_s);
        minutes = overlay->findChild<QLineEdit*>(u"minutesField"_s);
        save = overlay->findChild<QPushButton*>(u"saveButton"_s);
    }
    TaskEntry stored() const { return fixture.history.tasks().first(); }

    HistoryFixture fixture;
    TaskEntry task;
    QWidget window;
    Overlay* overlay = nullptr;
    QLineEdit* name = nullptr;
    QLineEdit* minutes = nullptr;
    QPushButton* save = nullptr;
};

// A dark theme whose accent is a deep selection blue.
QPalette darkPalette() {
    QPalette dark;
    for (const auto& [role, rgb] : {std::pair{QPalette::Window, 0x353535},
                                    {QPalette::WindowText, 0xeeeeec},
                                    {QPalette::Base, 0x2d2d2d},
                                    {QPalette::Text, 0xeeeeec},
                                    {QPalette::Button, 0x373737},
                                    {QPalette::ButtonText, 0xeeeeec},
                                    {QPalette::Highlight, 0x15539e},
                                    {QPalette::HighlightedText, 0xffffff}})
        dark.setColor(role, QColor(QRgb(rgb)));
    return dark;
}

int distance(const QColor& a, const QColor& b) {
    return qMax(qAbs(a.red() - b.red()),
                qMax(qAbs(a.green() - b.green()), qAbs(a.blue() - b.blue())));
}

TaskEntry write(qint64 seconds) {
    return entryAt(u"Write"_s, seconds, localTime(0, 10));
}

} // namespace

class tst_EditTaskSheet : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { Style::setAnimationsEnabled(false); }

    void saveFollowsTheMinutesText_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("enabled");
        const qint64 largest = std::numeric_limits<qint64>::max() / 60;
        QTest::newRow("plain") << u"5"_s << true;
        QTest::newRow("plus sign") << u"+5"_s << true;
        QTest::newRow("largest that fits") << QString::number(largest) << true;
        QTest::newRow("leading space") << u" 5"_s << false;
        QTest::newRow("negative") << u"-3"_s << false;
        QTest::newRow("zero") << u"0"_s << false;
        QTest::newRow("empty") << QString() << false;
        QTest::newRow("sign only") << u"+"_s << false;
        QTest::newRow("non-ASCII digits") << u"\u0665"_s << false;
        QTest::newRow("seconds overflow") << QString::number(largest + 1) << false;
        QTest::newRow("beyond 64 bits") << u"99999999999999999999"_s << false;
    }
    void saveFollowsTheMinutesText() {
        QFETCH(QString, text);
        QFETCH(bool, enabled);
        Opened opened(write(1500));
        opened.minutes->selectAll();
        QTest::keyClick(opened.minutes, Qt::Key_Backspace);
        const bool ascii =
            std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() < 128; });
        if (ascii)
            QTest::keyClicks(opened.minutes, text);
        else
            opened.minutes->insert(text); // pasted: the test keyboard only types ASCII
        QCOMPARE(opened.minutes->text(), text);
        QCOMPARE(opened.save->isEnabled(), enabled);

        // Clicking a disabled Save stores nothing; an enabled one stores minutes x 60.
        QTest::mouseClick(opened.save, Qt::LeftButton);
        QCOMPARE(opened.stored().duration(),
                 enabled ? *EditTaskSheet::parseMinutes(text) * 60 : 1500);
    }

    // A name must not be empty (a space is a name), and a pasted one loses its control characters.
    void savedName_data() {
        QTest::addColumn<QString>("entered");
        QTest::addColumn<QString>("saved"); // "Write": Save refused
        QTest::newRow("empty") << QString() << u"Write"_s;
        QTest::newRow("a space") << u" "_s << u" "_s;
        QTest::newRow("controls") << u"Bob\u202E's\treport"_s << u"Bob'sreport"_s;
    }
    void savedName() {
        QFETCH(QString, entered);
        QFETCH(QString, saved);
        Opened opened(write(600));
        opened.name->selectAll();
        opened.name->insert(entered);
        QCOMPARE(opened.save->isEnabled(), !entered.isEmpty());
        QTest::mouseClick(opened.save, Qt::LeftButton);
        QCOMPARE(opened.stored().taskName(), saved);
    }

    // Save is filled with the accent colour in light and dark themes alike, and a refused
    // duration shows: the disabled button looks different.
    void saveShowsWhetherItCanSave_data() {
        QTest::addColumn<QPalette>("palette");
        QTest::newRow("light") << QApplication::style()->standardPalette();
        QTest::newRow("dark, deep accent") << darkPalette();
    }
    void saveShowsWhetherItCanSave() {
        QFETCH(QPalette, palette);
        const QPalette usual = QApplication::palette();
        const auto restore = qScopeGuard([&usual] { QApplication::setPalette(usual); });
        QApplication::setPalette(palette);
        Opened opened(write(1500));
        const auto fill = [&opened] {
            const QImage face = opened.save->grab().toImage();
            return face.pixelColor(4, face.height() / 2); // beside the title
        };
        const QColor enabled = fill();
        QVERIFY2(distance(enabled, palette.color(QPalette::Active, QPalette::Highlight)) < 16,
                 qPrintable(enabled.name()));
        opened.minutes->setText(u"0"_s);
        QVERIFY(!opened.save->isEnabled());
        const QColor disabled = fill();
        QVERIFY2(distance(disabled, enabled) > 40,
                 qPrintable(disabled.name() + u" vs "_s + enabled.name()));
    }

    // Taller fonts or styles make the fields taller: the sheet grows instead of squeezing them.
    void sheetGrowsToFitItsContent_data() {
        QTest::addColumn<qreal>("fontScale");
        QTest::newRow("usual font") << 1.0;
        QTest::newRow("large font") << 1.8;
    }
    void sheetGrowsToFitItsContent() {
        QFETCH(qreal, fontScale);
        const QFont usual = QApplication::font();
        const auto restore = qScopeGuard([&usual] { QApplication::setFont(usual); });
        QFont font = usual;
        font.setPointSizeF(usual.pointSizeF() * fontScale);
        QApplication::setFont(font);

        Opened opened(write(1500));
        const auto* sheet = opened.overlay->findChild<EditTaskSheet*>();
        QVERIFY(sheet->width() >= 350 && sheet->height() >= 250);
        QVERIFY(opened.overlay->rect().contains(sheet->geometry()));
        for (const QWidget* field : sheet->findChildren<QWidget*>()) {
            if (!qobject_cast<const QLineEdit*>(field) && !qobject_cast<const QPushButton*>(field))
                continue;
            QVERIFY2(field->height() >= field->sizeHint().height(),
                     qPrintable(field->objectName()));
            QVERIFY(sheet->rect().contains(QRect(field->mapTo(sheet, QPoint()), field->size())));
        }
    }

    // The fields open with the stored values; the minutes are whole, so the seconds of the old
    // duration go. Return is not bound to Save (the keyboard walk in tst_Accessibility saves).
    void opensWithTheStoredValuesAndSaves() {
        Opened opened(entryAt(u"Bob's \"report\""_s, 1530, localTime(0, 10)));
        QCOMPARE(opened.name->text(), opened.task.taskName());
        QCOMPARE(opened.minutes->text(), u"25"_s);
        QTest::keyClick(opened.minutes, Qt::Key_Return);
        QTest::keyClick(opened.name, Qt::Key_Enter);
        QVERIFY(Overlay::isOpenIn(&opened.window));
        QCOMPARE(opened.stored(), opened.task);
        QTest::mouseClick(opened.save, Qt::LeftButton);
        QVERIFY(!Overlay::isOpenIn(&opened.window));
        QCOMPARE(opened.stored().duration(), 1500);
    }

    void cancelChangesNothing() {
        Opened opened(write(1530));
        const int writes = opened.fixture.historyStore.writeCount;
        opened.name->setText(u"Other"_s);
        opened.minutes->setText(u"99"_s);
        clickButton(opened.overlay, u"cancelButton"_s);
        QVERIFY(!Overlay::isOpenIn(&opened.window));
        QCOMPARE(opened.stored(), opened.task);
        QCOMPARE(opened.fixture.historyStore.writeCount, writes);
    }
};

QTEST_MAIN(tst_EditTaskSheet)
#include "tst_EditTaskSheet.moc"
