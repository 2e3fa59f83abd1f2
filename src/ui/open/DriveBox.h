#pragma once

#include "Drives.h"

#include <QComboBox>
#include <QHash>

namespace lumiset {

/// \brief The drive list: the drives, the one shown and the folder last shown
/// on each.
///
/// It reads the volumes again whenever it drops down, so a volume mounted or
/// removed since start-up shows as it is now.
class DriveBox : public QComboBox {
    Q_OBJECT
public:
    /// Reads \a drives now and each time the list drops down.
    explicit DriveBox(DriveSource drives, QWidget* parent = nullptr);

    const QList<DriveEntry>& drives() const { return drives_; }
    /// The drive shown; -1 when none.
    int current() const { return current_; }
    /// Shows drive \a index (-1: none) without announcing it.
    void showDrive(int index);
    /// The drive whose root is \a root, in any case; -1 when none.
    int indexOfRoot(const QString& root) const;
    /// The root of the drive shown; the file-system root when none is.
    QString shownRoot() const;
    /// Where drive \a index opens: the folder last shown on it, else its root.
    QString folderOf(int index) const;
    /// \a folder is on screen: the list names its drive, which remembers it.
    void folderShown(const QString& folder);

    void showPopup() override;

signals:
    /// The user picked a drive other than the one shown.
    void driveChosen(int index);

private:
    void readDrives();

    DriveSource source_;
    QList<DriveEntry> drives_;
    QHash<QString, QString> lastFolders_; ///< last folder shown on each drive, by root
    QString folder_;                      ///< the folder on screen
    int current_ = -1;
};

} // namespace lumiset
