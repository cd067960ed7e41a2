#include "time/DurationText.h"

#include <QTest>
#include <functional>

using namespace Qt::StringLiterals;

namespace {
using Format = std::function<QString(qint64)>;
} // namespace

Q_DECLARE_METATYPE(Format)

class tst_DurationText final : public QObject {
    Q_OBJECT

private slots:
    // Each form at the edges where its fields change, and with the negative durations a stored
    // history may hold, where the forms part ways.
    void forms_data() {
        QTest::addColumn<Format>("format");
        QTest::addColumn<qint64>("seconds");
        QTest::addColumn<QString>("text");
        const Format countdown = &DurationText::countdown;
        const Format minutes = &DurationText::wholeMinutes;
        const Format completion = &DurationText::completionClock;
        const Format merged = &DurationText::mergedTotalClock;
        const Format day = &DurationText::dayTotal;
        const Format legend = &DurationText::legendTotal;

        QTest::newRow("countdown, last second") << countdown << qint64(1) << u"00:01"_s;
        QTest::newRow("countdown, no hours") << countdown << qint64(36000) << u"600:00"_s;
        QTest::newRow("minutes, truncated") << minutes << qint64(1530) << u"25"_s;

        QTest::newRow("completion, zero") << completion << qint64(0) << u"0:00"_s;
        QTest::newRow("completion, 3599 s") << completion << qint64(3599) << u"59:59"_s;
        QTest::newRow("completion, 25 h") << completion << qint64(90061) << u"25:01:01"_s;
        QTest::newRow("completion, negative") << completion << qint64(-65) << u"-1:-5"_s;

        QTest::newRow("merged, 65 s") << merged << qint64(65) << u"1:05"_s;
        QTest::newRow("merged, 3725 s") << merged << qint64(3725) << u"1:02:05"_s;
        QTest::newRow("merged, negative") << merged << qint64(-65) << u"0:-5"_s;

        QTest::newRow("day, 3599 s") << day << qint64(3599) << u"59m"_s;
        QTest::newRow("day, 3600 s") << day << qint64(3600) << u"1h 0m"_s;
        QTest::newRow("day, 25 h 1 min 1 s") << day << qint64(90061) << u"25h 1m"_s;
        QTest::newRow("day, negative over an hour") << day << qint64(-3700) << u"-61m"_s;
        QTest::newRow("day, negative under a minute") << day << qint64(-59) << u"0m"_s;

        QTest::newRow("legend, 3600 s") << legend << qint64(3600) << u"1h 0m"_s;
        QTest::newRow("legend, 5430 s") << legend << qint64(5430) << u"1h 30m"_s;
        QTest::newRow("legend, negative over an hour") << legend << qint64(-3700) << u"-1m"_s;
    }
    void forms() {
        QFETCH(Format, format);
        QFETCH(qint64, seconds);
        QTEST(format(seconds), "text");
    }
};

QTEST_MAIN(tst_DurationText)
#include "tst_DurationText.moc"
