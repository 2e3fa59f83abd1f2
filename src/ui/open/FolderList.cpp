#include "FolderList.h"

#include <QDir>
#include <QFileInfo>
#include <QStyle>

namespace lumiset {

namespace {
constexpr int kIndent = 3; // blanks per level, as the classic folder list indented
}

FolderList::FolderList(QWidget* parent) : QListWidget(parent)
{
    setIconSize(QSize(16, 16)); // every row the same height, whatever sizes the style's icons come in
    connect(this, &QListWidget::itemActivated, this,
            [this](QListWidgetItem* item) { emit folderChosen(item->data(Qt::UserRole).toString()); });
}

bool FolderList::setPath(const QString& folder)
{
    const QFileInfo info(folder);
    if (!info.exists() || !info.isDir() || !info.isReadable())
        return false;
    QDir dir(info.absoluteFilePath());
    if (!dir.isReadable())
        return false;
    const QString target = QDir::cleanPath(dir.absolutePath());

    QStringList chain;
    for (QDir up(target);;) {
        chain.prepend(up.absolutePath());
        if (up.isRoot() || !up.cdUp())
            break;
    }

    clear();
    // One icon for every row: the depth shows in the indentation alone.
    const QIcon icon = style()->standardIcon(QStyle::SP_DirIcon);
    int level = 0;
    for (const QString& step : chain) {
        const QString name = level == 0 ? QDir::toNativeSeparators(step) : QFileInfo(step).fileName();
        auto* item = new QListWidgetItem(icon, QString(level * kIndent, QLatin1Char(' ')) + name, this);
        item->setData(Qt::UserRole, step);
        ++level;
    }
    const int currentRow = count() - 1;
    const QStringList subfolders = dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase);
    for (const QString& sub : subfolders) {
        auto* item = new QListWidgetItem(icon, QString(level * kIndent, QLatin1Char(' ')) + sub, this);
        item->setData(Qt::UserRole, QDir::cleanPath(target + QLatin1Char('/') + sub));
    }
    path_ = target;
    setCurrentRow(currentRow);
    return true;
}

} // namespace lumiset
