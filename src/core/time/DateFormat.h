#pragma once

class QDate;
class QLocale;
class QString;

// The locale's medium date style ("Dec 6, 2026" in US English), as CLDR defines it. QLocale only
// offers the short and long styles, so this goes through ICU, which Qt already links.
QString mediumDate(const QDate& date, const QLocale& locale);
