#pragma once

#include "output/CsvExport.h"

class QWidget;

namespace lumiset {

/// \brief Writes the table file of \a ws's region named by \a answer. A write
/// that takes longer than \a delayMs shows a progress box over \a parent, with
/// the time left and a stop button; a stopped write leaves no file.
CsvError writeCsvShowingProgress(QWidget* parent, Workspace& ws, const QString& answer, int delayMs);

} // namespace lumiset
