#pragma once

#include <QString>

namespace lumiset {

/// \brief Whether the existing file \a path is held open by another program in
/// a way that keeps it from being replaced, as a spreadsheet program holds the
/// table it shows. Only Windows refuses to replace such a file; elsewhere, and
/// for a file that does not exist, false. Asked only after a replace failed.
bool fileInUse(const QString& path);

} // namespace lumiset
