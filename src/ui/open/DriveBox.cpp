#include "DriveBox.h"

#include <QDir>

namespace lumiset {

DriveBox::DriveBox(DriveSource drives, QWidget* parent)
    : QComboBox(parent), source_(std::move(drives)), drives_(source_())
{
    for (const DriveEntry& d : drives_)
        addItem(d.label);
    connect(this, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (index != current_)
            emit driveChosen(index);
    });
}

void DriveBox::showDrive(int index)
{
    current_ = index;
    const QSignalBlocker block(this);
    setCurrentIndex(index);
}

int DriveBox::indexOfRoot(const QString& root) const
{
    int index = -1;
    for (int i = 0; i < drives_.size(); ++i)
        if (drives_[i].root.compare(root, Qt::CaseInsensitive) == 0)
            index = i;
    return index;
}

QString DriveBox::shownRoot() const
{
    return current_ >= 0 ? drives_[current_].root : QDir::rootPath();
}

QString DriveBox::folderOf(int index) const
{
    const QString root = drives_.value(index).root;
    return lastFolders_.value(root, root);
}

void DriveBox::folderShown(const QString& folder)
{
    folder_ = folder;
    // The list names the drive of the folder on screen, also after the folder
    // list or the path box left the drive chosen before.
    if (const int drive = driveOf(drives_, folder); drive >= 0 && drive != current_)
        showDrive(drive);
    if (current_ >= 0)
        lastFolders_[drives_[current_].root] = folder;
}

void DriveBox::showPopup()
{
    readDrives();
    QComboBox::showPopup();
}

void DriveBox::readDrives()
{
    const QString shownRoot = current_ >= 0 ? drives_[current_].root : QString();
    drives_ = source_();
    const QSignalBlocker block(this);
    clear();
    current_ = -1;
    for (int i = 0; i < drives_.size(); ++i) {
        addItem(drives_[i].label);
        if (drives_[i].root == shownRoot)
            current_ = i;
    }
    if (current_ < 0) // the shown drive went away: the list names the drive of the folder on screen
        current_ = driveOf(drives_, folder_);
    setCurrentIndex(current_);
}

} // namespace lumiset
