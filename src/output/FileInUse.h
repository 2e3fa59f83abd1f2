#pragma once

#include <QFileDevice>
#include <QString>

namespace lumiset {

/// \brief Whether the existing file \a path is held open by another program in
/// a way that keeps it from being replaced, as a spreadsheet program holds the
/// table it shows. Only Windows refuses to replace such a file; elsewhere, and
/// for a file that does not exist, false. Asked only after a replace failed.
bool fileInUse(const QString& path);

/// \brief Whether a save to \a path whose commit failed was held back by
/// another program: the new file was written but could not take the earlier
/// one's place because that one is open (see fileInUse()).
bool replaceHeldBack(const QFileDevice& save, const QString& path);

} // namespace lumiset
