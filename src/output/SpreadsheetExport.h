#pragma once

#include "output/CsvExport.h"
#include "output/ExportProgressView.h"
#include "output/ExportState.h"
#include "output/SpreadsheetAutomation.h"

#include <QLocale>

namespace lumiset {

enum class SpreadsheetOutcome {
    Cancelled, ///< the export window was left without exporting: nothing written
    Written,   ///< the sheet is complete and handed to the user
    Failed,    ///< the application refused an operation: show automationFailureMessage() and end the program
};

/// \brief Colours the value cells row by row from ExportRequest::CellColors.
///
/// White fills (index 2) and black text (index 1) are the sheet's defaults and
/// are not set. A refused assignment (such as the fill index 0 that near-white
/// points get) is skipped cell by cell. The stop button is polled once per row;
/// stopping leaves the remaining rows uncoloured.
void colourCells(const ExportRequest& request, SpreadsheetAutomation& sheet, ExportProgressView& view);

/// \brief The export command of the open window after the export window closed:
/// writes ws.request into a new worksheet (values from A1, optional colours,
/// number format, widths fitted to the values, three description lines) and
/// shows it.
///
/// Returns Cancelled at once when ws.ExportCancelled is set. When the sheet
/// cannot be put in front of the user, tells where it is and still returns Written.
SpreadsheetOutcome exportToSpreadsheet(const Workspace& ws, SpreadsheetAutomation& sheet, ExportProgressView& view,
                                       const QLocale& locale = QLocale());

/// The critical message after which the program ends.
UserMessage automationFailureMessage();

/// The notice when the finished workbook could not be opened for the user.
UserMessage workbookNotOpenedMessage(const QString& location);

} // namespace lumiset
