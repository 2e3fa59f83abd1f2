#include "Translation.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace lumiset {

QTranslator* installQtRussian(QCoreApplication& app)
{
    // Qt's own folder (Debian's qt6-translations-l10n), or a "translations"
    // folder beside the program, where a Windows deployment puts it.
    const QString folders[] = {QLibraryInfo::path(QLibraryInfo::TranslationsPath),
                               QCoreApplication::applicationDirPath() + QStringLiteral("/translations")};
    auto* translator = new QTranslator(&app);
    for (const QString& folder : folders) {
        // An explicit file name: QTranslator::load(QLocale(), ...) would follow
        // the system language instead.
        if (translator->load(QStringLiteral("qtbase_ru"), folder) && QCoreApplication::installTranslator(translator))
            return translator;
    }
    delete translator;
    return nullptr;
}

} // namespace lumiset
