#include "kit/Style.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QPalette>
#include <QTest>

class tst_Style : public QObject {
    Q_OBJECT
private slots:
    void headerAndBodyStayApart_data() {
        QTest::addColumn<QColor>("window");
        QTest::addColumn<QColor>("text");
        QTest::addColumn<QColor>("base");
        QTest::newRow("light") << QColor(239, 239, 239) << QColor(Qt::black) << QColor(Qt::white);
        QTest::newRow("dark") << QColor(40, 40, 42) << QColor(235, 235, 240) << QColor(30, 30, 32);
        // A theme whose window and base colours are the same.
        QTest::newRow("flat") << QColor(Qt::white) << QColor(Qt::black) << QColor(Qt::white);
    }

    void headerAndBodyStayApart() {
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
    }

    void contrastRatio_data() {
        QTest::addColumn<QColor>("a");
        QTest::addColumn<QColor>("b");
        QTest::addColumn<qreal>("ratio");
        QTest::newRow("black on white") << QColor(Qt::black) << QColor(Qt::white) << 21.0;
        QTest::newRow("either way round") << QColor(Qt::white) << QColor(Qt::black) << 21.0;
        QTest::newRow("the same") << QColor(0x777777) << QColor(0x777777) << 1.0;
        QTest::newRow("mid grey on white") << QColor(0x777777) << QColor(Qt::white) << 4.48;
    }
    void contrastRatio() {
        QFETCH(QColor, a);
        QFETCH(QColor, b);
        QFETCH(qreal, ratio);
        QVERIFY(qAbs(Style::contrastRatio(a, b) - ratio) < 0.01);
    }

    void iconCutOutsNeverClearWhatIsBeneath() {
        for (const Style::Icon which :
             {Style::Icon::CheckmarkCircleFill, Style::Icon::ClockQuestionmark}) {
            QImage canvas(64, 64, QImage::Format_ARGB32_Premultiplied);
            canvas.fill(Qt::red);
            {
                QPainter painter(&canvas);
                Style::icon(which, Qt::white).paint(&painter, canvas.rect());
            }
            for (int y = 0; y < canvas.height(); ++y) {
                for (int x = 0; x < canvas.width(); ++x)
                    QCOMPARE(canvas.pixelColor(x, y).alpha(), 255);
            }
            // The check mark itself is a hole: red shows through inside the white disc.
            if (which == Style::Icon::CheckmarkCircleFill) {
                QCOMPARE(canvas.pixelColor(29, 40), QColor(Qt::red));
                QCOMPARE(canvas.pixelColor(12, 32), QColor(Qt::white));
            }
        }
    }

    void iconsAreCrispAtHighPixelRatios() {
        const QPixmap pixmap =
            Style::icon(Style::Icon::Trash, Qt::black).pixmap(QSize(16, 16), 2.0);
        QCOMPARE(pixmap.size(), QSize(32, 32));
        QCOMPARE(pixmap.devicePixelRatio(), 2.0);
    }
};

QTEST_MAIN(tst_Style)
#include "tst_Style.moc"
