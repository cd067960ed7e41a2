#include "time/DateFormat.h"

#include <QDate>
#include <QLocale>
#include <QString>
#include <memory>
#include <unicode/udat.h>
#include <unicode/uloc.h>

QString mediumDate(const QDate& date, const QLocale& locale) {
    const QString fallback = locale.toString(date, QLocale::ShortFormat);
    if (!date.isValid())
        return fallback;

    UErrorCode status = U_ZERO_ERROR;
    char localeId[ULOC_FULLNAME_CAPACITY] = {};
    uloc_forLanguageTag(locale.bcp47Name().toLatin1().constData(), localeId, sizeof localeId,
                        nullptr, &status);
    if (U_FAILURE(status))
        return fallback;

    // The date is formatted at its noon in UTC, so no zone offset can move it to a neighbour.
    static constexpr UChar utc[] = u"UTC";
    std::unique_ptr<UDateFormat, decltype(&udat_close)> format(
        udat_open(UDAT_NONE, UDAT_MEDIUM, localeId, utc, -1, nullptr, 0, &status), &udat_close);
    if (U_FAILURE(status))
        return fallback;
    constexpr qint64 unixEpochJulianDay = 2440588;
    const UDate noon =
        static_cast<UDate>((date.toJulianDay() - unixEpochJulianDay) * 86400000LL + 43200000LL);

    UChar text[128];
    const int32_t length = udat_format(format.get(), noon, text, 128, nullptr, &status);
    if (U_FAILURE(status) || length <= 0 || length > 128)
        return fallback;
    return QString(reinterpret_cast<const QChar*>(text), length);
}
