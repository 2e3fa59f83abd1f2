#include "Startup.h"

#include "Version.h"
#include "common/Translation.h"

#include <QFileInfo>
#include <QGuiApplication>
#include <QIcon>

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

void prepareApplication(QCoreApplication& app)
{
    QCoreApplication::setApplicationName(QStringLiteral("lumiset"));
    QCoreApplication::setOrganizationName(QStringLiteral("lumiset")); // the folder of the settings file
    QCoreApplication::setApplicationVersion(QLatin1String(kVersionText));
    installQtRussian(app);
    if (qobject_cast<QGuiApplication*>(&app)) {
        // Lets the desktop match the windows to the installed entry and its icon.
        QGuiApplication::setDesktopFileName(QStringLiteral(LUMISET_APP_ID));
        QGuiApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral(LUMISET_APP_ID)));
    }
}

} // namespace lumiset
