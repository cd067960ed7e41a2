#include "Platform/Style.h"

#include <QApplication>
#include <QFontInfo>
#include <QImage>
#include <QPainter>
#include <QPalette>
#include <QTest>

class TestStyle : public QObject {
    Q_OBJECT
private slots:
    void fontRolesKeepTheirOrder();
    void headerAndBodyStayApart_data();
    void headerAndBodyStayApart();
    void iconCutOutsNeverClearWhatIsBeneath();
    void iconsAreCrispAtHighPixelRatios();
};

void TestStyle::fontRolesKeepTheirOrder() {
    using Style::TextRole;
    const auto size = [](TextRole role) { return Style::font(role).pointSizeF(); };
    QVERIFY(size(TextRole::Caption) < size(TextRole::Callout));
    QVERIFY(size(TextRole::Callout) < size(TextRole::Body));
    QVERIFY(size(TextRole::Body) < size(TextRole::Title2));
    QCOMPARE(size(TextRole::Headline), size(TextRole::Body));
    QVERIFY(Style::font(TextRole::Headline).weight() > Style::font(TextRole::Body).weight());
}

void TestStyle::headerAndBodyStayApart_data() {
    QTest::addColumn<QColor>("window");
    QTest::addColumn<QColor>("text");
    QTest::addColumn<QColor>("base");
    QTest::newRow("light") << QColor(239, 239, 239) << QColor(Qt::black) << QColor(Qt::white);
    QTest::newRow("dark") << QColor(40, 40, 42) << QColor(235, 235, 240) << QColor(30, 30, 32);
    // A theme whose window and base colours are the same.
    QTest::newRow("flat") << QColor(Qt::white) << QColor(Qt::black) << QColor(Qt::white);
}

void TestStyle::headerAndBodyStayApart() {
    QFETCH(QColor, window);
    QFETCH(QColor, text);
    QFETCH(QColor, base);
    QPalette palette;
    palette.setColor(QPalette::Window, window);
    palette.setColor(QPalette::WindowText, text);
    palette.setColor(QPalette::Base, base);
    const QColor header = Style::color(Style::ColorRole::ControlBackground, palette);
    const QColor body = Style::color(Style::ColorRole::TextBackground, palette);
    QVERIFY(qAbs(header.lightness() - body.lightness()) >= 5);
    const QColor secondary = Style::color(Style::ColorRole::Secondary, palette);
    QCOMPARE(secondary.rgb(), text.rgb());
    QVERIFY(secondary.alphaF() < 1.0);
}

void TestStyle::iconCutOutsNeverClearWhatIsBeneath() {
    for (const Style::Icon which :
         {Style::Icon::CheckmarkCircleFill, Style::Icon::ClockQuestionmark}) {
        QImage canvas(64, 64, QImage::Format_ARGB32_Premultiplied);
        canvas.fill(Qt::red);
        {
            QPainter painter(&canvas);
            Style::icon(which, Qt::white).paint(&painter, canvas.rect());
        }
        for (int y = 0; y < canvas.height(); ++y) {
            for (int x = 0; x < canvas.width(); ++x) {
                QCOMPARE(canvas.pixelColor(x, y).alpha(), 255);
            }
        }
        // The check mark itself is a hole: red shows through inside the white disc.
        if (which == Style::Icon::CheckmarkCircleFill) {
            QCOMPARE(canvas.pixelColor(29, 40), QColor(Qt::red));
            QCOMPARE(canvas.pixelColor(12, 32), QColor(Qt::white));
        }
    }
}

void TestStyle::iconsAreCrispAtHighPixelRatios() {
    const QPixmap pixmap = Style::icon(Style::Icon::Trash, Qt::black).pixmap(QSize(16, 16), 2.0);
    QCOMPARE(pixmap.size(), QSize(32, 32));
    QCOMPARE(pixmap.devicePixelRatio(), 2.0);
}

QTEST_MAIN(TestStyle)
#include "tst_Style.moc"
