#include "i18n/Translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace Translations {

namespace {

// The catalogues are embedded in the core (translations/CMakeLists.txt).
const QString embedded = QStringLiteral(":/i18n");

QTranslator* load(QCoreApplication& app, const QLocale& locale, const QString& name,
                  const QString& folder) {
    auto* translator = new QTranslator(&app);
    if (translator->load(locale, name, QStringLiteral("_"), folder) &&
        QCoreApplication::installTranslator(translator))
        return translator;
    delete translator;
    return nullptr;
}

} // namespace

QString install(QCoreApplication& app, const QLocale& locale) {
    // Installed first, searched last: the English plural forms answer only what nothing else does.
    load(app, QLocale(QLocale::English), QStringLiteral("hourlark"), embedded);
    load(app, locale, QStringLiteral("qtbase"), QLibraryInfo::path(QLibraryInfo::TranslationsPath));
    const QTranslator* ours = load(app, locale, QStringLiteral("hourlark"), embedded);
    return ours ? ours->language() : QString();
}

} // namespace Translations
