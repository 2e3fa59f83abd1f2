#include "Startup.h"

#include "Version.h"
#include "output/XlsxWorkbook.h"

#include <QFileInfo>
#include <QGuiApplication>
#include <QIcon>

#include <cstring>

namespace lumiset {

std::optional<StartPlace> startPlaceOf(const QString& path)
{
    const QFileInfo info(path);
    if (!info.exists())
        return std::nullopt;
    if (info.isDir())
        return StartPlace{info.absoluteFilePath(), QString()};
    return StartPlace{info.absolutePath(), info.fileName()};
}

std::optional<Language> languageOption(const QStringList& arguments, QString* invalid)
{
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& word = arguments[i];
        QString code;
        if (word == QLatin1String("--language") || word == QLatin1String("-language"))
            code = arguments.value(i + 1, QStringLiteral(""));
        else if (word.startsWith(QLatin1String("--language=")))
            code = word.mid(int(std::strlen("--language=")));
        else
            continue;
        if (const auto language = languageNamed(code))
            return language;
        *invalid = code.isNull() ? QStringLiteral("") : code;
        return std::nullopt;
    }
    return std::nullopt;
}

void prepareApplication(QCoreApplication& app, Language language)
{
    QCoreApplication::setApplicationName(QStringLiteral("lumiset"));
    QCoreApplication::setOrganizationName(QStringLiteral("lumiset")); // the folder of the settings file
    QCoreApplication::setApplicationVersion(QLatin1String(kVersionText));
    keepCNumberFormatting();
    useLanguage(language, true);
    if (qobject_cast<QGuiApplication*>(&app)) {
        // Lets the desktop match the windows to the installed entry and its icon.
        QGuiApplication::setDesktopFileName(QStringLiteral(LUMISET_APP_ID));
        QGuiApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral(LUMISET_APP_ID)));
    }
}

} // namespace lumiset
