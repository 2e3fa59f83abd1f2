#pragma once

#include <QList>
#include <QString>

#include <functional>

namespace lumiset {

/// One entry of the drive list: what it shows and the folder it stands for.
struct DriveEntry {
    QString label;
    QString root; ///< absolute folder with '/' separators, ending in '/'
};

/// \brief The drives offered by the drive list.
///
/// Windows: the machine's drives. Elsewhere: the file-system root, the mounted
/// volumes and the home folder.
QList<DriveEntry> systemDrives();

/// Where the drive list takes its entries from; asked again each time the list drops down.
using DriveSource = std::function<QList<DriveEntry>()>;

/// \brief Index of the drive whose root is the longest prefix of \a folder; -1 when none.
int driveOf(const QList<DriveEntry>& drives, const QString& folder);

/// \brief \a folder with a trailing '/', as drive roots are kept.
QString withTrailingSlash(const QString& folder);

} // namespace lumiset
