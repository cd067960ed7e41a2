#pragma once

#include <QString>

class QCoreApplication;
class QLocale;

namespace Translations {

// Installs the program's texts in the locale's user-interface languages (LANGUAGE, then LC_ALL,
// LC_MESSAGES, LANG), with Qt's own for its standard texts. English plural forms lie underneath
// every language, so "1 task" reads right in English and in the C locale. Returns the language of
// the program's texts that was found, or "" when the source texts stay.
QString install(QCoreApplication& app, const QLocale& locale);

} // namespace Translations
