#include "Startup.h"

#include "Version.h"
#include "common/Translation.h"
#include "open/OpenForm.h"

#include <QGuiApplication>
#include <QComboBox>
#include <QFileInfo>
#include <QIcon>
#include <QListWidget>

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
    QCoreApplication::setApplicationVersion(QLatin1String(kVersionText));
    installQtRussian(app);
    if (qobject_cast<QGuiApplication*>(&app)) {
        // Lets the desktop match the windows to the installed entry and its icon.
        QGuiApplication::setDesktopFileName(QStringLiteral(LUMISET_APP_ID));
        QGuiApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral(LUMISET_APP_ID)));
    }
}

void selectFile(OpenForm& form, const QString& fileName)
{
    auto* files = form.findChild<QListWidget*>(QStringLiteral("File1"));
    auto* filter = form.findChild<QComboBox*>(QStringLiteral("ComboPattern"));
    if (files->findItems(fileName, Qt::MatchExactly).isEmpty()) {
        // The "*.*" entry lists every file of the folder.
        const int everyFile = filter->findText(QStringLiteral("*.*"), Qt::MatchStartsWith);
        filter->setCurrentIndex(everyFile);
        emit filter->activated(everyFile);
    }
    const QList<QListWidgetItem*> items = files->findItems(fileName, Qt::MatchExactly);
    if (!items.isEmpty())
        files->setCurrentItem(items.first());
}

} // namespace lumiset
