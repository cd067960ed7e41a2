#include "time/LocalDays.h"

#include <QDateTime>
#include <QTest>
#include <ctime>

class tst_LocalDays final : public QObject {
    Q_OBJECT

private slots:
    void cleanup() {
        qputenv("TZ", "UTC");
        tzset();
    }

    // Walking day by day, as grouping does, every day must start where Qt's local time says,
    // including the days around each transition, which the walk computes without asking.
    void everyDayStartsWhereLocalTimeSays_data() {
        QTest::addColumn<QByteArray>("zone");
        for (const char* zone : {"UTC", "Europe/Berlin", "America/Sao_Paulo", "Pacific/Apia",
                                 "Australia/Lord_Howe", "Africa/Casablanca", "America/Havana"})
            QTest::newRow(zone) << QByteArray(zone);
    }
    void everyDayStartsWhereLocalTimeSays() {
        QFETCH(QByteArray, zone);
        qputenv("TZ", zone);
        tzset();
        LocalDays days;
        LocalDay day;
        for (QDate date(2008, 1, 1); date < QDate(2027, 1, 1); date = date.addDays(1)) {
            const QDateTime start = date.startOfDay();
            if (!start.isValid())
                continue; // a date the zone skipped
            const Instant midday = Instant::fromDateTime(start.addSecs(12 * 3600));
            day = days.from(day, midday);
            QCOMPARE(day.date, date);
            QCOMPARE(day.start, Instant::fromDateTime(start).secondsSinceReference());
        }
    }
};

QTEST_GUILESS_MAIN(tst_LocalDays)
#include "tst_LocalDays.moc"
