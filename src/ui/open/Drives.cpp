#include "Drives.h"

#include <QDir>
#include <QFileInfo>
#include <QStorageInfo>

#include <algorithm>

namespace lumiset {

QString withTrailingSlash(const QString& folder)
{
    return folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/');
}

QList<DriveEntry> systemDrives()
{
    QList<DriveEntry> drives;
#ifdef Q_OS_WIN
    for (const QFileInfo& drive : QDir::drives()) {
        const QString root = withTrailingSlash(QDir::fromNativeSeparators(drive.absoluteFilePath()));
        const QStorageInfo info(root);
        QString label = root.left(2).toLower();
        if (info.isValid() && info.isReady() && !info.name().isEmpty())
            label += QStringLiteral(" [%1]").arg(info.name());
        drives.append({label, root});
    }
#else
    drives.append({QStringLiteral("/"), QStringLiteral("/")});
    // Mounted volumes the user can browse: skip the kernel's and the runtime's pseudo file systems.
    static const QStringList hidden{QStringLiteral("/proc"), QStringLiteral("/sys"),  QStringLiteral("/dev"),
                                    QStringLiteral("/run"),  QStringLiteral("/snap"), QStringLiteral("/boot")};
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
        const QString root = withTrailingSlash(volume.rootPath());
        if (!volume.isValid() || !volume.isReady() || root == QLatin1String("/"))
            continue;
        const bool pseudo = std::any_of(hidden.begin(), hidden.end(), [&](const QString& h) {
            return root == h + QLatin1Char('/') || root.startsWith(h + QLatin1Char('/'));
        });
        if (pseudo || (volume.fileSystemType() == "tmpfs" && !root.startsWith(QLatin1String("/tmp"))))
            continue;
        const bool known = std::any_of(drives.begin(), drives.end(),
                                       [&](const DriveEntry& d) { return d.root == root; });
        if (!known)
            drives.append({volume.name().isEmpty() ? root : QStringLiteral("%1 [%2]").arg(root, volume.name()), root});
    }
    const QString home = withTrailingSlash(QDir::homePath());
    if (home != QLatin1String("/"))
        drives.append({QStringLiteral("~  (%1)").arg(QDir::homePath()), home});
#endif
    return drives;
}

int driveOf(const QList<DriveEntry>& drives, const QString& folder)
{
    const QString path = withTrailingSlash(QDir::fromNativeSeparators(folder));
    int best = -1;
    for (int i = 0; i < drives.size(); ++i) {
        const bool inside = path.startsWith(drives[i].root, Qt::CaseInsensitive);
        if (inside && (best < 0 || drives[i].root.size() > drives[best].root.size()))
            best = i;
    }
    return best;
}

} // namespace lumiset
